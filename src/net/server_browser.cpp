// The Internet list's queries over the operating system's UDP sockets.
#include "net/server_browser.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

#include "net/discovery.h"
#include "net/net_log.h"
#include "net/network.h"
#include "net/out_of_band.h"

namespace {

// Datagrams taken per poll: a thousand answers in a second come to a few
// dozen a frame, and a flood beyond it waits in (or is dropped by) the kernel.
constexpr int kBrowserDatagramsPerPoll = 256;
// Queries that may go out in one burst, after a frame that came late.
constexpr double kMaxQueryBurst = 40;

uint64_t Key(TServerAddress a) { return (uint64_t{a.Host} << 16) | a.Port; }

std::string Where(TServerAddress a) { return DottedAddress(a.Host) + ":" + std::to_string(a.Port); }

// The tests' safety net, as for LAN searches and heartbeats: nothing beyond this machine.
bool MayAsk(TServerAddress a) {
  return !std::getenv(kDiscoveryLoopbackOnlyVariable) || (a.Host >> 24) == 127;
}

std::string FreshChallenge() {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device device;
  std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
  std::string text(16, ' ');
  for (char& c : text) c = kChars[pick(device)];
  return text;
}

}  // namespace

bool TServerBrowser::Start(const std::vector<std::string>& names, uint64_t now, std::string& error) {
  Stop();
  servers.clear();
  known.clear();
  toAsk.clear();
  masters.clear();
  ++revision;
  if (names.empty()) {
    error = "no masters to ask ([Network] masters in config.ini)";
    return false;
  }
  fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  for (const std::string& name : names) masters.push_back({name, {}, false});
  resolver = std::make_unique<TNameResolver>();
  for (TMaster& m : masters)
    if (!resolver->Request(m.Name, kDefaultMasterPort)) {
      NetLog("Internet search: too many masters, " + m.Name + " left out");
      m.Done = true;
    }
  challenge = FreshChallenge();
  started = lastAsk = lastSent = now;
  allowance = 0;
  error.clear();
  return true;
}

void TServerBrowser::Stop() {
  if (fd < 0) return;
  ::close(fd);
  fd = -1;
  resolver.reset();
  ++revision;
}

bool TServerBrowser::SendTo(TServerAddress to, const std::string& bytes) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(to.Host);
  a.sin_port = htons(to.Port);
  return ::sendto(fd, bytes.data(), bytes.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&a), sizeof a) ==
         static_cast<ssize_t>(bytes.size());
}

void TServerBrowser::TakeNames() {
  for (const TNameResolver::TResult& r : resolver->Take())
    for (TMaster& m : masters) {
      if (m.Name != r.Name || m.Done || m.Address.Host != 0) continue;
      if (!r.Found) {
        NetLog("Internet search: cannot resolve the master " + m.Name);
        m.Done = true;
      } else if (!MayAsk(r.Address)) {
        NetLog("Internet search: loopback only, skipped " + m.Name);
        m.Done = true;
      } else {
        m.Address = r.Address;
        const TServerListQuery query{kGameName, QueryProtocol(), true, true};
        if (SendTo(m.Address, EncodeGetServers(query)))
          NetLog("Internet search: asked the master " + m.Name + " (" + Where(m.Address) + ")");
        else
          m.Done = true;
      }
    }
}

void TServerBrowser::TakeList(const uint8_t* data, size_t size, TServerAddress from) {
  TMaster* master = nullptr;
  for (TMaster& m : masters)
    if (m.Address == from && !m.Done) master = &m;
  if (!master) return;
  const std::optional<TServerListPacket> list = DecodeServerList(data, size);
  if (!list) return;
  for (const TServerAddress& a : list->Servers) {
    if (known.size() >= kMaxServers || !MayAsk(a)) continue;
    if (known.emplace(Key(a), TKnown{}).second) toAsk.push_back(a);
  }
  if (list->Last) master->Done = true;
  ++revision;
}

void TServerBrowser::TakeInfo(const uint8_t* data, size_t size, TServerAddress from, uint64_t now) {
  const auto entry = known.find(Key(from));
  if (entry == known.end() || entry->second.SentMs == 0) return;
  const std::optional<TInfoResponse> info = DecodeInfoResponse(data, size);
  // An answer that does not echo this search's challenge answers nobody's question.
  if (!info || info->Challenge != challenge || info->GameName != kGameName) return;
  TBrowsedServer s;
  s.Address = from;
  if (const std::string* name = info->Info.Find("hostname")) s.Name = *name;
  if (const std::string* map = info->Info.Find("mapname")) s.Map = *map;
  s.Players = info->Clients;
  s.MaxPlayers = info->MaxClients;
  s.Bots = std::min(info->Bots, info->Clients);
  // Servers of this game say where players join; one that does not likely takes them on its UDP port.
  s.TCPPort = info->TCPPort > 0 ? info->TCPPort : from.Port;
  TKnown& k = entry->second;
  s.PingMs = static_cast<int32_t>(std::min<uint64_t>(now - k.SentMs, 9999));
  if (k.Row < 0) {
    k.Row = static_cast<int64_t>(servers.size());
    servers.push_back(s);
  } else {
    s.PingMs = servers[static_cast<size_t>(k.Row)].PingMs;  // a repeated answer says nothing of the way
    servers[static_cast<size_t>(k.Row)] = s;
  }
  ++revision;
}

void TServerBrowser::Receive(uint64_t now) {
  for (int i = 0; i < kBrowserDatagramsPerPoll; ++i) {
    uint8_t bytes[kMaxOutOfBandSize + 1];
    sockaddr_in a{};
    socklen_t n = sizeof a;
    const ssize_t size = ::recvfrom(fd, bytes, sizeof bytes, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&a), &n);
    if (size < 0) return;
    if (static_cast<size_t>(size) > kMaxOutOfBandSize || !IsOutOfBand(bytes, static_cast<size_t>(size))) continue;
    const TServerAddress from{ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
    const std::string_view text = OutOfBandText(bytes, static_cast<size_t>(size));
    if (text.starts_with("getserversResponse"))
      TakeList(bytes, static_cast<size_t>(size), from);
    else
      TakeInfo(bytes, static_cast<size_t>(size), from, now);
  }
}

void TServerBrowser::Ask(uint64_t now) {
  allowance = std::min(kMaxQueryBurst, allowance + double(now - lastAsk) * QueriesPerSecond / 1000.0);
  lastAsk = now;
  const std::string query = EncodeServerQuery(TQueryKind::Info, challenge);
  while (allowance >= 1 && !toAsk.empty()) {
    const TServerAddress to = toAsk.front();
    toAsk.pop_front();
    allowance -= 1;
    // A send the kernel refused counts as asked: its answer never comes and it times out.
    SendTo(to, query);
    known[Key(to)].SentMs = now == 0 ? 1 : now;
    lastSent = now;
  }
}

bool TServerBrowser::Finished(uint64_t now) const {
  const bool listsDone =
      now - started >= ListTimeoutMs || std::all_of(masters.begin(), masters.end(), [](const TMaster& m) { return m.Done; });
  if (!listsDone || !toAsk.empty()) return false;
  if (servers.size() == known.size()) return true;
  return now - lastSent >= AnswerTimeoutMs;
}

void TServerBrowser::Poll(uint64_t now) {
  if (fd < 0) return;
  const uint32_t before = revision;
  TakeNames();
  Receive(now);
  Ask(now);
  if (Finished(now)) {
    NetLog("Internet search: " + std::to_string(servers.size()) + " of " + std::to_string(known.size()) +
           " servers answered");
    Stop();
  }
  if (revision != before && OnChange) OnChange();
}
