// The master's tables: listed servers, pending challenges, the caps and limits.
#include "net/master_list.h"

#include "net/network.h"

namespace {

constexpr size_t kChallengeLength = 12;
constexpr char kChallengeAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string Described(TServerAddress a) { return DottedAddress(a.Host) + ":" + std::to_string(a.Port); }

}  // namespace

TMasterList::TMasterList(const TMasterOptions& o)
    : options(o),
      heartbeatLimit(o.Heartbeats),
      listLimit(o.ListRequests),
      packetLimit({o.ListPacketsPerSecond, o.ListPacketsPerSecond * 4, o.ListPacketsPerSecond,
                   o.ListPacketsPerSecond * 4, 1}) {}

void TMasterList::Receive(const uint8_t* data, size_t size, TServerAddress from, uint64_t now,
                          std::vector<TMasterAnswer>& out) {
  ++counters.Packets;
  const std::optional<TMasterRequest> request = ParseMasterRequest(data, size);
  if (!request || from.Host == 0 || from.Port == 0) {
    ++counters.Malformed;
    return;
  }
  switch (request->Kind) {
    case TMasterRequestKind::Heartbeat:
      Heartbeat(from, now, out);
      break;
    case TMasterRequestKind::InfoResponse:
      Answered(request->Info, from, now);
      break;
    case TMasterRequestKind::GetServers:
      ListServers(request->List, from, now, out);
      break;
  }
}

void TMasterList::Heartbeat(TServerAddress from, uint64_t now, std::vector<TMasterAnswer>& out) {
  const uint64_t key = Key(from);
  if (auto listed = servers.find(key); listed != servers.end()) {
    // A challenge already on its way is not sent again, nor given more time:
    // forged heartbeats make a listed server answer once per challenge at most.
    if (!listed->second.Challenge.empty()) return;
    listed->second.Challenge = NewChallenge();
    listed->second.ChallengeUntil = now + options.ChallengeMs;
    out.push_back({from, EncodeServerQuery(TQueryKind::Info, listed->second.Challenge)});
    return;
  }
  if (pending.count(key)) return;
  if (!heartbeatLimit.Allow(from.Host, now)) return Refuse(heartbeatRefusals, "heartbeats over the rate limit", now);
  const auto perHost = [](const std::unordered_map<uint32_t, uint32_t>& counts, uint32_t host) {
    const auto it = counts.find(host);
    return it == counts.end() ? 0u : it->second;
  };
  if (pending.size() >= options.MaxPending || perHost(pendingPerHost, from.Host) >= options.MaxPerAddress ||
      perHost(listedPerHost, from.Host) >= options.MaxPerAddress)
    return Refuse(heartbeatRefusals, "heartbeats over the caps on challenges", now);
  TPending& p = pending[key];
  p.Challenge = NewChallenge();
  p.Until = now + options.ChallengeMs;
  ++pendingPerHost[from.Host];
  out.push_back({from, EncodeServerQuery(TQueryKind::Info, p.Challenge)});
}

void TMasterList::Answered(const TInfoResponse& info, TServerAddress from, uint64_t now) {
  if (info.Challenge.empty()) return;
  const uint64_t key = Key(from);
  TListed* entry = nullptr;
  if (auto listed = servers.find(key); listed != servers.end()) {
    if (listed->second.Challenge != info.Challenge || now >= listed->second.ChallengeUntil) return;
    entry = &listed->second;
  } else {
    auto p = pending.find(key);
    if (p == pending.end() || p->second.Challenge != info.Challenge || now >= p->second.Until) return;
    Unpend(p);
    if (servers.size() >= options.MaxServers || listedPerHost[from.Host] >= options.MaxPerAddress)
      return Refuse(fullRefusals, "servers: the list is at its cap", now);
    entry = &servers[key];
    ++listedPerHost[from.Host];
    if (Log) Log("listed " + Described(from) + " (" + info.GameName + ")");
  }
  entry->GameName = info.GameName;
  entry->Protocol = info.Protocol;
  entry->Clients = info.Clients;
  entry->Bots = info.Bots;
  entry->MaxClients = info.MaxClients;
  entry->Expires = now + options.ExpiryMs;
  entry->Challenge.clear();
}

void TMasterList::ListServers(const TServerListQuery& query, TServerAddress from, uint64_t now,
                              std::vector<TMasterAnswer>& out) {
  if (!listLimit.Allow(from.Host, now)) return Refuse(listRefusals, "server list requests over the rate limit", now);
  const std::vector<std::string> packets = EncodeServerList(Select(query, now));
  if (!packetLimit.Allow(0, now, static_cast<double>(packets.size())))
    return Refuse(listRefusals, "server list requests over the rate limit", now);
  ++counters.Lists;
  for (const std::string& packet : packets) out.push_back({from, packet});
}

std::vector<TServerAddress> TMasterList::Select(const TServerListQuery& query, uint64_t now) const {
  std::vector<TServerAddress> found;
  for (const auto& [key, s] : servers)
    if (now < s.Expires && QueryWants(query, s.GameName, s.Protocol, s.Clients, s.Bots, s.MaxClients))
      found.push_back(Address(key));
  return found;
}

void TMasterList::Expire(uint64_t now) {
  for (auto it = servers.begin(); it != servers.end();) {
    const TListed& s = it->second;
    const bool silent = !s.Challenge.empty() && now >= s.ChallengeUntil;
    if (now >= s.Expires || silent) {
      auto gone = it++;
      if (Log) Log("dropped " + Described(Address(gone->first)) + (silent ? " (no answer to its challenge)" : " (expired)"));
      Unlist(gone);
    } else {
      ++it;
    }
  }
  for (auto it = pending.begin(); it != pending.end();) {
    auto here = it++;
    if (now >= here->second.Until) Unpend(here);
  }
}

void TMasterList::Unlist(std::unordered_map<uint64_t, TListed>::iterator it) {
  const uint32_t host = Address(it->first).Host;
  if (--listedPerHost[host] == 0) listedPerHost.erase(host);
  servers.erase(it);
}

void TMasterList::Unpend(std::unordered_map<uint64_t, TPending>::iterator it) {
  const uint32_t host = Address(it->first).Host;
  if (--pendingPerHost[host] == 0) pendingPerHost.erase(host);
  pending.erase(it);
}

std::string TMasterList::NewChallenge() {
  // From the system's entropy: a challenge an attacker could predict would
  // let it list forged addresses.
  std::string challenge(kChallengeLength, ' ');
  std::uniform_int_distribution<size_t> pick(0, sizeof kChallengeAlphabet - 2);
  for (char& ch : challenge) ch = kChallengeAlphabet[pick(entropy)];
  return challenge;
}

void TMasterList::Refuse(TRefusalLog& log, const std::string& what, uint64_t now) {
  ++counters.Refused;
  uint64_t count = 0;
  if (log.Note(now, count) && Log) Log("refused " + std::to_string(count) + " " + what);
}
