// The match in a fleet. The frame only queues requests: the sidecar's
// client sends them on its own thread, so nothing here waits on the network.
#include "app/fleet_match.h"

#include "core/convert.h"
#include "game/characters.h"
#include "game/net_rules.h"
#include "net/agones_gameserver.h"
#include "net/network.h"
#include "world/level.h"

namespace {

// An annotation's text is the cluster user's: cut and made printable before
// it reaches the log.
std::string Printable(const std::string& text) {
  std::string out = text.substr(0, 64);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '?';
  return text.size() > 64 ? out + "..." : out;
}

std::string CurrentMap() { return Characters && Characters->Level() ? Characters->Level()->MapName : ""; }

}  // namespace

std::optional<uint16_t> AgonesSdkPort(bool agonesOption, const char* sdkPortVariable, std::string& error) {
  if (!sdkPortVariable) return agonesOption ? std::optional<uint16_t>(kAgonesDefaultPort) : std::nullopt;
  const std::optional<int32_t> port = TryStrToInt(sdkPortVariable);
  if (!port || *port < 1 || *port > 65535) {
    error = "AGONES_SDK_HTTP_PORT=" + Printable(sdkPortVariable) + " is no port";
    return std::nullopt;
  }
  return static_cast<uint16_t>(*port);
}

TFleetMatch::TFleetMatch(const TDedicatedOptions& options, std::optional<uint16_t> sdkPort, TFleetHooks hooks,
                         const TSdkTiming& timing)
    : options(options), hooks(std::move(hooks)) {
  if (sdkPort) sdk = std::make_unique<TAgonesSdk>(*sdkPort, timing);
}

void TFleetMatch::Started(uint32_t now) {
  lastHealth = lastAsk = now;
  roundsSeen = Characters ? Characters->RoundsEnded : 0;
  if (!sdk) {
    // Nobody allocates a server outside a fleet: its match starts now.
    allocated = true;
    allocatedAt = now;
    return;
  }
  sdk->SetPlayerCapacity(options.MaxPlayers);
  sdk->SetLabel("map", CurrentMap());
  sdk->Ready();
  sdk->Health();
  sdk->AskGameServer();
  hooks.Log("Agones SDK: ready, waiting for an allocation", false);
}

void TFleetMatch::TakeGameServer(const std::string& body, uint32_t now) {
  const std::optional<TGameServerView> view = ParseGameServer(body);
  if (!view) {
    if (!badAnswerLogged) hooks.Log("Agones SDK: the sidecar's GameServer answer is no GameServer object", true);
    badAnswerLogged = true;
    return;
  }
  if (allocated || view->State != "Allocated") return;
  allocated = true;
  allocatedAt = now;
  matchRounds = 0;
  hooks.Log("Agones SDK: allocated", false);
  const auto named = view->Annotations.find(kMapAnnotation);
  if (named == view->Annotations.end() || named->second == CurrentMap()) return;
  const std::string& map = named->second;
  if (!PlayableLevel(map)) {
    hooks.Log("The allocation names an unknown map \"" + Printable(map) + "\"; " + CurrentMap() + " stays", true);
  } else if (!players.empty()) {
    hooks.Log("The allocation names " + map + ", but players are in " + CurrentMap() + ", which stays", true);
  } else if (hooks.SwitchMap(map)) {
    hooks.Log("The allocation's map " + map + " runs", false);
    roundsSeen = Characters ? Characters->RoundsEnded : 0;
    sdk->SetLabel("map", map);
  }
}

void TFleetMatch::FollowPlayers() {
  if (!Network || !Network->Server) return;
  std::set<int32_t> now;
  // Connections only: bots hold slots too, but never a place a player could be allocated to.
  for (int32_t k = 0; k < Network->Server->ClientCount; ++k)
    if (const TServerClient* c = Network->Server->Slot(k); c && c->Connection) now.insert(k);
  if (now == players) return;
  for (int32_t k : players)
    if (!now.count(k)) sdk->RemovePlayer(std::to_string(k));
  for (int32_t k : now)
    if (!players.count(k)) sdk->AddPlayer(std::to_string(k));
  players.swap(now);
}

void TFleetMatch::CountRounds() {
  if (!Characters || Characters->RoundsEnded == roundsSeen) return;
  roundsSeen = Characters->RoundsEnded;
  // An empty server ends its empty round every few seconds: those are no match.
  if (allocated && Characters->TerroristCount + Characters->CounterCount > 0) ++matchRounds;
}

bool TFleetMatch::Frame(uint32_t now) {
  if (sdk) {
    if (std::optional<std::string> body = sdk->Poll(hooks.Log)) TakeGameServer(*body, now);
    if (now - lastHealth >= kHealthEveryMs) {
      sdk->Health();
      lastHealth = now;
    }
    if (!allocated && now - lastAsk >= kAskAllocationEveryMs) {
      sdk->AskGameServer();
      lastAsk = now;
    }
    FollowPlayers();
  }
  CountRounds();
  switch (phase) {
    case TPhase::Playing: {
      const bool roundsDone = options.MatchRounds > 0 && matchRounds >= options.MatchRounds;
      const bool timeDone = allocated && options.MatchMinutes > 0 &&
                            now - allocatedAt >= static_cast<uint32_t>(options.MatchMinutes) * 60000u;
      if (!roundsDone && !timeDone) return true;
      hooks.Log(roundsDone ? "Match over after " + std::to_string(matchRounds) + " rounds"
                           : "Match over after " + std::to_string(options.MatchMinutes) + " minutes",
                false);
      hooks.Tell("The match is over. This server closes in " + std::to_string(kMatchGoodbyeMs / 1000) + " seconds.");
      phase = TPhase::Goodbye;
      phaseAt = now;
      return true;
    }
    case TPhase::Goodbye:
      if (now - phaseAt < kMatchGoodbyeMs) return true;
      if (!sdk) return false;
      sdk->Shutdown();
      hooks.Log("Agones SDK: shutdown", false);
      phase = TPhase::ShuttingDown;
      phaseAt = now;
      return true;
    case TPhase::ShuttingDown:
      // The sidecar deletes the pod on /shutdown; a missing one must not keep the server.
      return !sdk->Idle() && now - phaseAt < kShutdownPatienceMs;
  }
  return true;
}
