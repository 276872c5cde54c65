// A public server's heartbeats to the masters it was given: one when the
// server starts (as soon as a master's name is resolved), one every
// IntervalMs, one when its player count changed (at once for the first
// change, then at most one per ChangeGapMs for that), and a last one when it
// shuts down, after which it answers no more, so each master drops it at once. Names are resolved on a
// worker thread, again before each regular heartbeat: the frame never waits.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/master_codec.h"
#include "net/name_resolver.h"

class TMasterAnnouncer {
 public:
  using TSend = std::function<void(TServerAddress to, const std::string& bytes)>;

  // masters: "host" or "host:port" (kDefaultMasterPort when none). Without
  // any, nothing is ever sent.
  void Start(const std::vector<std::string>& masters, uint64_t nowMs);
  // Each frame: takes the resolved names and sends what is due. players is
  // asked at most once a second.
  void Poll(uint64_t nowMs, const std::function<int32_t()>& players, const TSend& send);
  // The shutdown heartbeat to every master known; nothing more goes out
  // until the next Start.
  void Stop(const TSend& send);
  bool Active() const { return !masters.empty(); }
  // The address (IPv4, host order) is one of the masters' as last resolved.
  bool IsMaster(uint32_t host) const;

  uint64_t IntervalMs = 5 * 60 * 1000;
  uint64_t ChangeGapMs = 60 * 1000;

 private:
  struct TMaster {
    std::string Name;
    TServerAddress Address;  // Host 0 until resolved
    bool Announced = false;  // its start heartbeat went out
  };
  void Beat(const TMaster& master, const TSend& send, const char* why);
  void Resolve();

  std::vector<TMaster> masters;
  std::unique_ptr<TNameResolver> resolver;
  uint64_t nextRegular = 0;
  uint64_t lastChangeBeat = 0;
  bool changeBeaten = false;  // a heartbeat for a change went out already
  uint64_t nextCount = 0;
  int32_t players = -1;
  bool countChanged = false;
};
