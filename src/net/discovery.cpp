// The discovery responder and browser over the operating system's UDP sockets.
#include "net/discovery.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

#include "core/platform.h"
#include "net/name_resolver.h"
#include "net/net_log.h"
#include "net/udp.h"

namespace {

// Datagrams taken from a socket per poll; a flood beyond it waits in (or is
// dropped by) the kernel instead of stalling the frame.
constexpr int kDiscoveryDatagramsPerPoll = 64;
constexpr uint32_t kComplaintIntervalMs = 10000;

int UdpSocket() { return ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

bool LoopbackOnly() { return std::getenv(kDiscoveryLoopbackOnlyVariable) != nullptr; }

std::string Dotted(uint32_t host) {
  in_addr a{htonl(host)};
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

struct TTarget {
  uint32_t Host;
  uint16_t Port;
};

// The limited broadcast address and the broadcast address of every interface that is up.
std::vector<TTarget> BroadcastTargets(uint16_t port) {
  std::vector<TTarget> targets{{INADDR_BROADCAST, port}};
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return targets;
  for (ifaddrs* i = list; i; i = i->ifa_next) {
    if (!i->ifa_broadaddr || i->ifa_broadaddr->sa_family != AF_INET || !(i->ifa_flags & IFF_BROADCAST) ||
        !(i->ifa_flags & IFF_UP))
      continue;
    const uint32_t host = ntohl(reinterpret_cast<sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr);
    bool known = false;
    for (const TTarget& t : targets) known = known || t.Host == host;
    if (!known) targets.push_back({host, port});
  }
  ::freeifaddrs(list);
  return targets;
}

}  // namespace

// ---- responder ----

bool TDiscoveryResponder::Open(uint16_t wanted, std::string& error) {
  Close();
  fd = UdpSocket();
  int yes = 1;
  if (fd >= 0) ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  a.sin_port = htons(wanted);
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    error = "discovery port " + std::to_string(wanted) + ": " + std::strerror(errno);
    Close();
    return false;
  }
  socklen_t n = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  port = ntohs(a.sin_port);
  answerTimes.clear();
  nextAnswer = 0;
  NetLog("Discovery answers on UDP port " + std::to_string(port));
  return true;
}

void TDiscoveryResponder::Close() {
  if (fd >= 0) ::close(fd);
  fd = -1;
  port = 0;
}

// At most AnswersPerSecond answers in any 1000 ms: the answer that many
// answers back must be at least a second old.
bool TDiscoveryResponder::MayAnswer(uint32_t now) {
  const size_t limit = static_cast<size_t>(AnswersPerSecond > 0 ? AnswersPerSecond : 0);
  if (limit == 0) return false;
  if (answerTimes.size() != limit) {
    answerTimes.assign(limit, 0);
    nextAnswer = 0;
    for (uint32_t& t : answerTimes) t = now - 1000;
  }
  if (now - answerTimes[nextAnswer] < 1000) return false;
  answerTimes[nextAnswer] = now;
  nextAnswer = (nextAnswer + 1) % limit;
  return true;
}

void TDiscoveryResponder::Poll(const std::function<TServerInfo()>& describe) {
  if (fd < 0) return;
  for (int i = 0; i < kDiscoveryDatagramsPerPoll; ++i) {
    uint8_t bytes[kDiscoveryQuerySize];
    const std::optional<TUdpDatagram> d = UdpReceive(fd, bytes, sizeof bytes);
    if (!d) return;
    const std::optional<uint32_t> nonce = d->Whole ? DecodeDiscoveryQuery(bytes, d->Size) : std::nullopt;
    if (!nonce) {
      // Silent to the sender; one line now and then for whoever reads the log.
      ++malformed;
      const uint32_t now = GetTicks();
      if (lastComplaint == 0 || static_cast<uint32_t>(now - lastComplaint) >= kComplaintIntervalMs) {
        NetLog("Discovery: ignored " + std::to_string(malformed) + " malformed queries, the last from " +
            Dotted(d->From.Host));
        lastComplaint = now == 0 ? 1 : now;
        malformed = 0;
      }
      continue;
    }
    if (!MayAnswer(GetTicks())) continue;
    uint8_t answer[kDiscoveryQuerySize];
    const size_t length = EncodeDiscoveryAnswer(*nonce, describe ? describe() : TServerInfo{}, answer);
    UdpSend(fd, d->From, answer, length);
  }
}

// ---- browser ----

std::vector<std::string> SplitDiscoveryTargets(const std::string& list) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    std::string item = list.substr(start, end - start);
    const size_t first = item.find_first_not_of(" \t");
    const size_t last = item.find_last_not_of(" \t");
    if (first != std::string::npos) items.push_back(item.substr(first, last - first + 1));
    start = end + 1;
  }
  return items;
}

bool TDiscoveryBrowser::Start(const std::vector<std::string>& targets, uint16_t port, std::string& error,
                              uint32_t durationMs) {
  Stop();
  Servers.clear();
  std::vector<TTarget> resolved;
  if (targets.empty()) {
    resolved = BroadcastTargets(port);
  } else {
    for (const std::string& item : targets) {
      TServerAddress t;
      if (ResolveHostPort(item, port, t))
        resolved.push_back({t.Host, t.Port});
      else
        NetLog("Discovery: skipped the target " + item);
    }
  }
  fd = UdpSocket();
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes);
  nonce = std::random_device{}();
  uint8_t query[kDiscoveryQuerySize];
  EncodeDiscoveryQuery(nonce, query);
  const bool loopbackOnly = LoopbackOnly();
  int sent = 0;
  for (const TTarget& t : resolved) {
    if (loopbackOnly && (t.Host >> 24) != 127) {
      NetLog("Discovery: loopback only, skipped " + Dotted(t.Host));
      continue;
    }
    if (UdpSend(fd, {t.Host, t.Port}, query, sizeof query))
      ++sent;
    else
      error = Dotted(t.Host) + ": " + std::strerror(errno);
  }
  if (sent == 0) {
    if (error.empty()) error = "no target to ask";
    Stop();
    return false;
  }
  error.clear();
  deadline = GetTicks() + durationMs;
  return true;
}

void TDiscoveryBrowser::Poll() {
  if (fd < 0) return;
  bool changed = false;
  for (int i = 0; i < kDiscoveryDatagramsPerPoll; ++i) {
    uint8_t bytes[kDiscoveryQuerySize];
    const std::optional<TUdpDatagram> d = UdpReceive(fd, bytes, sizeof bytes);
    if (!d) break;
    uint32_t echoed = 0;
    std::optional<TServerInfo> info = d->Whole ? DecodeDiscoveryAnswer(bytes, d->Size, echoed) : std::nullopt;
    if (!info || echoed != nonce) continue;
    const uint32_t address = d->From.Host;
    TFoundServer* known = nullptr;
    for (TFoundServer& s : Servers)
      if (s.Address == address && s.Info.TCPPort == info->TCPPort) known = &s;
    if (!known) {
      Servers.push_back({Dotted(address), address, {}});
      known = &Servers.back();
    }
    known->Info = *info;
    changed = true;
  }
  // Signed difference: the deadline may lie past a wrap of the tick count.
  if (static_cast<int32_t>(GetTicks() - deadline) >= 0) {
    Stop();
    changed = true;
  }
  if (changed && OnChange) OnChange();
}

void TDiscoveryBrowser::Stop() {
  if (fd >= 0) ::close(fd);
  fd = -1;
}
