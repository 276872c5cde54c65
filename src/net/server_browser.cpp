// The Internet list's queries over the operating system's UDP sockets.
#include "net/server_browser.h"

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

bool TServerBrowser::Start(const std::vector<std::string>& names, uint64_t now, std::string& error,
                           TBrowseFilter wanted) {
  Stop();
  filter = wanted;
  servers.clear();
  answered = 0;
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
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMP, &on, sizeof on);
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
        const TServerListQuery query{kGameName, QueryProtocol(), filter.Empty, filter.Full};
        if (Send(m.Address, EncodeGetServers(query)))
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

void TServerBrowser::TakeInfo(const uint8_t* data, size_t size, TServerAddress from, int64_t arrivedUs) {
  const auto entry = known.find(Key(from));
  if (entry == known.end() || entry->second.SentMs == 0) return;
  const std::optional<TInfoResponse> info = DecodeInfoResponse(data, size);
  // An answer that does not echo this search's challenge answers nobody's question.
  if (!info || info->Challenge != challenge || info->GameName != kGameName) return;
  TKnown& k = entry->second;
  if (!k.Answered) {
    k.Answered = true;
    ++answered;
    ++revision;
  }
  // A master may not know the filters, or the players came or went since its list.
  const TServerListQuery query{kGameName, QueryProtocol(), filter.Empty, filter.Full};
  if (k.Row < 0 && !QueryWants(query, info->GameName, info->Protocol, info->Clients, info->Bots, info->MaxClients))
    return;
  TBrowsedServer s;
  s.Address = from;
  if (const std::string* name = info->Info.Find("hostname")) s.Name = *name;
  if (const std::string* map = info->Info.Find("mapname")) s.Map = *map;
  s.Players = info->Clients;
  s.MaxPlayers = info->MaxClients;
  s.Bots = std::min(info->Bots, info->Clients);
  // Servers of this game say where players join; one that does not likely takes them on its UDP port.
  s.TCPPort = info->TCPPort > 0 ? info->TCPPort : from.Port;
  s.PingMs = static_cast<int32_t>(std::clamp<int64_t>((arrivedUs - k.SentUs) / 1000, 0, 9999));
  if (k.Row < 0) {
    k.Row = static_cast<int64_t>(servers.size());
    servers.push_back(s);
  } else {
    s.PingMs = servers[static_cast<size_t>(k.Row)].PingMs;  // a repeated answer says nothing of the way
    servers[static_cast<size_t>(k.Row)] = s;
  }
  ++revision;
}

void TServerBrowser::Receive() {
  for (int i = 0; i < kBrowserDatagramsPerPoll; ++i) {
    uint8_t bytes[kMaxOutOfBandSize];
    const std::optional<TUdpDatagram> d = UdpReceive(fd, bytes, sizeof bytes);
    if (!d) return;
    if (!d->Whole || !IsOutOfBand(bytes, d->Size)) continue;
    if (OutOfBandText(bytes, d->Size).starts_with("getserversResponse"))
      TakeList(bytes, d->Size, d->From);
    else
      // The kernel's stamp: a ping is the way there and back, not how long the answer waited for a frame.
      TakeInfo(bytes, d->Size, d->From, d->ArrivedUs ? d->ArrivedUs : WallClockUs());
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
    Send(to, query);
    TKnown& k = known[Key(to)];
    k.SentMs = now == 0 ? 1 : now;
    k.SentUs = WallClockUs();
    lastSent = now;
  }
}

bool TServerBrowser::Finished(uint64_t now) const {
  const bool listsDone =
      now - started >= ListTimeoutMs || std::all_of(masters.begin(), masters.end(), [](const TMaster& m) { return m.Done; });
  if (!listsDone || !toAsk.empty()) return false;
  if (answered == known.size()) return true;
  return now - lastSent >= AnswerTimeoutMs;
}

void TServerBrowser::Poll(uint64_t now) {
  if (fd < 0) return;
  const uint32_t before = revision;
  TakeNames();
  Receive();
  Ask(now);
  if (Finished(now)) {
    NetLog("Internet search: " + std::to_string(answered) + " of " + std::to_string(known.size()) +
           " servers answered, " + std::to_string(servers.size()) + " listed");
    Stop();
  }
  if (revision != before && OnChange) OnChange();
}
