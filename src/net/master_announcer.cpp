// When a public server's heartbeats go out, and where to.
#include "net/master_announcer.h"

#include <cstdlib>

#include "net/discovery.h"
#include "net/net_log.h"
#include "net/network.h"

namespace {

std::string Where(const std::string& name, TServerAddress a) {
  return name + " (" + DottedAddress(a.Host) + ":" + std::to_string(a.Port) + ")";
}

}  // namespace

void TMasterAnnouncer::Start(const std::vector<std::string>& names, uint64_t now) {
  masters.clear();
  for (const std::string& name : names) masters.push_back({name, {}, false});
  resolver.reset();
  players = -1;
  countChanged = false;
  nextRegular = now + IntervalMs;
  nextCount = now;
  changeBeaten = false;
  if (masters.empty()) return;
  resolver = std::make_unique<TNameResolver>();
  Resolve();
}

void TMasterAnnouncer::Resolve() {
  for (const TMaster& m : masters)
    if (!resolver->Request(m.Name, kDefaultMasterPort)) NetLog("Masters: too many names waiting, " + m.Name + " later");
}

void TMasterAnnouncer::Beat(const TMaster& master, const TSend& send, const char* why) {
  // The tests' safety net, as for LAN searches: nothing beyond this machine.
  if (std::getenv(kDiscoveryLoopbackOnlyVariable) && (master.Address.Host >> 24) != 127) {
    NetLog("Masters: loopback only, skipped " + master.Name);
    return;
  }
  send(master.Address, EncodeHeartbeat());
  NetLog(std::string("Heartbeat (") + why + ") to " + Where(master.Name, master.Address));
}

void TMasterAnnouncer::Poll(uint64_t now, const std::function<int32_t()>& countPlayers, const TSend& send) {
  if (masters.empty()) return;
  for (const TNameResolver::TResult& r : resolver->Take())
    for (TMaster& m : masters) {
      if (m.Name != r.Name) continue;
      if (!r.Found) {
        if (!m.Announced) NetLog("Masters: cannot resolve " + m.Name);
        continue;
      }
      m.Address = r.Address;
      if (!m.Announced) {
        m.Announced = true;
        Beat(m, send, "start");
      }
    }
  if (countPlayers && now >= nextCount) {
    nextCount = now + 1000;
    const int32_t count = countPlayers();
    if (players >= 0 && count != players) countChanged = true;
    players = count;
  }
  const char* why = nullptr;
  const bool regular = now >= nextRegular;
  if (regular) {
    why = "regular";
    nextRegular = now + IntervalMs;
  } else if (countChanged && (!changeBeaten || now - lastChangeBeat >= ChangeGapMs)) {
    why = "players";
    changeBeaten = true;
    lastChangeBeat = now;
  }
  if (!why) return;
  countChanged = false;
  for (const TMaster& m : masters)
    if (m.Announced) Beat(m, send, why);
  // A master may have moved (or been unknown so far): looked up again for the next time.
  if (regular) Resolve();
}

void TMasterAnnouncer::Stop(const TSend& send) {
  for (const TMaster& m : masters)
    if (m.Announced) Beat(m, send, "shutdown");
  masters.clear();
  resolver.reset();
}

bool TMasterAnnouncer::IsMaster(uint32_t host) const {
  for (const TMaster& m : masters)
    if (m.Address.Host == host && host != 0) return true;
  return false;
}
