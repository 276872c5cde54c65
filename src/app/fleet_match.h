// The dedicated server's part in a fleet run by an orchestrator (Agones):
// it tells the SDK sidecar that it is ready, pings it from the frame, keeps
// its players list, takes an allocation (and the map it names), and ends the
// match after its rounds or minutes with /shutdown. The match limits hold
// without a sidecar too; the match then counts from the start.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/dedicated_options.h"
#include "net/agones_sdk.h"

// The sidecar's port when the server speaks to one: AGONES_SDK_HTTP_PORT
// (sdkPortVariable, null when unset) or, with --agones alone, the default.
// nullopt without either, or with error set when the variable is no port.
std::optional<uint16_t> AgonesSdkPort(bool agonesOption, const char* sdkPortVariable, std::string& error);

inline constexpr uint32_t kHealthEveryMs = 2000;
inline constexpr uint32_t kAskAllocationEveryMs = 1000;
inline constexpr uint32_t kMatchGoodbyeMs = 5000;    // from telling the players to /shutdown
inline constexpr uint32_t kShutdownPatienceMs = 3000;  // for the sidecar to take /shutdown
inline constexpr const char* kMapAnnotation = "grimvale.example/map";

struct TFleetHooks {
  // Loads another level while nobody is connected; false when it failed
  // (the previous level runs again).
  std::function<bool(const std::string& map)> SwitchMap;
  std::function<void(const std::string& text)> Tell;      // to every player
  std::function<void(const std::string& line, bool fault)> Log;
};

class TFleetMatch {
 public:
  TFleetMatch(const TDedicatedOptions& options, std::optional<uint16_t> sdkPort, TFleetHooks hooks,
              const TSdkTiming& timing = {});
  // The level is loaded and the ports listen.
  void Started(uint32_t now);
  // Once a frame, after the server's own; false once the match has ended
  // and the server should exit.
  bool Frame(uint32_t now);
  bool Allocated() const { return allocated; }

 private:
  void TakeGameServer(const std::string& body, uint32_t now);
  void FollowPlayers();
  void CountRounds();

  TDedicatedOptions options;
  TFleetHooks hooks;
  std::unique_ptr<TAgonesSdk> sdk;
  enum class TPhase { Playing, Goodbye, ShuttingDown } phase = TPhase::Playing;
  bool allocated = false;
  bool badAnswerLogged = false;
  uint32_t allocatedAt = 0, lastHealth = 0, lastAsk = 0, phaseAt = 0;
  uint32_t roundsSeen = 0;     // the characters' RoundsEnded last looked at
  int32_t matchRounds = 0;     // rounds with players since the allocation
  std::set<int32_t> players;   // connected slots the sidecar has been told of
};
