// grimvale-master: the master server program. The list and its rules are
// TMasterList (net/master_list.h); here are the options, the UDP socket, the
// clock and the status lines. No window, GL or sound: it links core and net.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "manual.h"
#include "net/infostring.h"
#include "net/master_list.h"
#include "net/out_of_band.h"
#include "net/udp.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

void Say(const std::string& line) {
  std::printf("grimvale-master: %s\n", line.c_str());
  std::fflush(stdout);
}

struct TMasterArgs {
  int32_t Port = kDefaultMasterPort;
  int32_t StatusSeconds = 300;
  TMasterOptions List;
  bool Help = false;
  std::string Error;
};

TMasterArgs ParseArgs(const std::vector<std::string>& args) {
  TMasterArgs parsed;
  for (size_t i = 0; i < args.size() && parsed.Error.empty(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      parsed.Help = true;
      continue;
    }
    const bool known = arg == "--port" || arg == "--expiry" || arg == "--max-servers" || arg == "--max-per-address" ||
                       arg == "--status";
    if (!known) {
      parsed.Error = "unknown argument: " + arg;
      break;
    }
    if (i + 1 == args.size()) {
      parsed.Error = arg + " needs a value";
      break;
    }
    const std::string& value = args[++i];
    const std::optional<int32_t> n = DecimalNumber(value, arg == "--port" ? 0 : 1, arg == "--port" ? 65535 : 1 << 24);
    if (!n) {
      parsed.Error = arg + " " + value + ": not a usable value";
    } else if (arg == "--port") {
      parsed.Port = *n;
    } else if (arg == "--expiry") {
      parsed.List.ExpiryMs = static_cast<uint64_t>(*n) * 1000;
    } else if (arg == "--max-servers") {
      parsed.List.MaxServers = static_cast<size_t>(*n);
    } else if (arg == "--max-per-address") {
      parsed.List.MaxPerAddress = static_cast<size_t>(*n);
    } else {
      parsed.StatusSeconds = *n;
    }
  }
  return parsed;
}

int OpenSocket(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  a.sin_port = htons(port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void Send(int fd, const TMasterAnswer& answer) {
  const auto send = [&] { return UdpSend(fd, answer.To, answer.Bytes.data(), answer.Bytes.size()); };
  // A long list is hundreds of packets at once, more than the socket's
  // buffer may hold: a full buffer is waited for briefly, not dropped into.
  if (send() || (errno != EAGAIN && errno != EWOULDBLOCK)) return;
  pollfd p{fd, POLLOUT, 0};
  if (::poll(&p, 1, 100) == 1) send();
}

}  // namespace

int main(int argc, char** argv) {
  const TMasterArgs args = ParseArgs(std::vector<std::string>(argv + 1, argv + argc));
  if (args.Help) return std::fputs(HelpText(MasterManual()).c_str(), stdout) < 0;
  if (!args.Error.empty()) {
    std::fprintf(stderr, "grimvale-master: %s\n%s", args.Error.c_str(), HelpText(MasterManual()).c_str());
    return 2;
  }
  std::signal(SIGTERM, RequestStop);
  std::signal(SIGINT, RequestStop);
  std::signal(SIGPIPE, SIG_IGN);
  const int fd = OpenSocket(static_cast<uint16_t>(args.Port));
  if (fd < 0) {
    Say("cannot open UDP port " + std::to_string(args.Port) + ": " + std::strerror(errno));
    return 1;
  }
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
  Say("listening on UDP port " + std::to_string(ntohs(bound.sin_port)));

  TMasterList list(args.List);
  list.Log = Say;
  std::vector<TMasterAnswer> answers;
  const uint64_t statusMs = static_cast<uint64_t>(args.StatusSeconds) * 1000;
  uint64_t nextExpiry = SteadyMs() + 1000;
  uint64_t nextStatus = SteadyMs() + statusMs;
  uint64_t packetsAtStatus = 0;
  while (!stopRequested) {
    pollfd p{fd, POLLIN, 0};
    ::poll(&p, 1, 250);
    // A bounded batch per wake: expiry and the status line keep their time under a flood.
    for (int i = 0; i < 256; ++i) {
      uint8_t bytes[kMaxOutOfBandSize];
      const std::optional<TUdpDatagram> d = UdpReceive(fd, bytes, sizeof bytes);
      if (!d) break;
      if (!d->Whole) continue;
      answers.clear();
      list.Receive(bytes, d->Size, d->From, SteadyMs(), answers);
      for (const TMasterAnswer& answer : answers) Send(fd, answer);
    }
    const uint64_t now = SteadyMs();
    if (now >= nextExpiry) {
      list.Expire(now);
      nextExpiry = now + 1000;
    }
    if (now >= nextStatus) {
      const TMasterCounters& c = list.Counters();
      const uint64_t perMinute = (c.Packets - packetsAtStatus) * 60000 / statusMs;
      Say(std::to_string(list.Listed()) + " servers listed, " + std::to_string(list.Pending()) + " challenged, " +
          std::to_string(perMinute) + " requests a minute, " + std::to_string(c.Refused) + " refused and " +
          std::to_string(c.Malformed) + " malformed so far");
      packetsAtStatus = c.Packets;
      nextStatus = now + statusMs;
    }
  }
  ::close(fd);
  Say("stopped with " + std::to_string(list.Listed()) + " servers listed");
  return 0;
}
