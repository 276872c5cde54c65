// A loopback relay that stands between clients and a server and makes the
// path worse on purpose: a one-way delay, jitter, loss and reordering, so
// network figures can be measured on one machine and repeated. Tests and
// benchmarks use it; the game never does.
//
// Clients connect to ProxyTCPPort and send their datagrams to ProxyUDPPort.
// Each accepted connection gets an upstream connection to the server and a
// UDP socket of its own towards the server, like an address translator: the
// client's ready message (code 1) announces its UDP port in F1, and the relay
// puts the port of that socket there instead, so the server's datagrams for
// the client come back through the relay. TCP keeps its order and loses
// nothing (the stream would break); its bytes are delayed and jittered in
// whole 104-byte messages. Datagrams are delayed, jittered, dropped and
// reordered independently.
#pragma once
#include "wire_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <vector>

struct TImpairment {
  uint32_t DelayMs = 0;   // one way; a round trip takes twice this
  uint32_t JitterMs = 0;  // each packet's delay lies uniformly within DelayMs +- JitterMs / 2
  double Loss = 0;        // share of datagrams dropped, each way
  double Reorder = 0;     // share of datagrams held back a further ReorderMs
  uint32_t ReorderMs = 50;
  uint32_t Seed = 1;
};

class TImpairProxy {
 public:
  // ownPort: the relay's TCP and UDP port both (a game's join dialog takes
  // one port for both); 0 for any free ones.
  TImpairProxy(uint16_t serverTCPPort, uint16_t serverUDPPort, TImpairment impairment, uint16_t ownPort = 0)
      : serverTCP(serverTCPPort), serverUDP(serverUDPPort), settings(impairment), random(impairment.Seed) {
    listenFd = Socket(SOCK_STREAM, ownPort);
    ::listen(listenFd, 64);
    udpFd = Socket(SOCK_DGRAM, ownPort);
    ProxyTCPPort = PortOf(listenFd);
    ProxyUDPPort = PortOf(udpFd);
    thread = std::thread([this] { Run(); });
  }
  ~TImpairProxy() {
    stop = true;
    thread.join();
    for (auto& l : links) {
      ::close(l->Down);
      ::close(l->Up);
      ::close(l->Udp);
    }
    ::close(listenFd);
    ::close(udpFd);
  }
  TImpairProxy(const TImpairProxy&) = delete;
  TImpairProxy& operator=(const TImpairProxy&) = delete;

  uint16_t ProxyTCPPort = 0, ProxyUDPPort = 0;
  // Datagrams the relay took in and dropped, towards the server [0] and
  // towards the clients [1].
  std::atomic<uint64_t> DatagramsIn[2] = {0, 0}, DatagramsDropped[2] = {0, 0};
  double DroppedShare(int direction) const {
    const uint64_t in = DatagramsIn[direction];
    return in ? static_cast<double>(DatagramsDropped[direction]) / static_cast<double>(in) : 0;
  }

 private:
  using Clock = std::chrono::steady_clock;
  struct TLink {
    int Down = -1, Up = -1, Udp = -1;  // the client's connection, the server's, the socket towards the server
    uint16_t ClientUDPPort = 0;         // where the client's datagrams come from
    std::vector<uint8_t> FromClient;    // bytes of a message not yet whole
    Clock::time_point LastTCPDue[2];    // per direction: TCP never overtakes itself
    bool Shut = false;                  // one side went away; the link is no longer read
  };
  struct TPending {
    Clock::time_point Due;
    uint64_t Order;
    int Fd;
    uint16_t UDPPort;  // 0: a TCP write to Fd; else a datagram from Fd to this loopback port
    std::vector<uint8_t> Bytes;
    bool operator<(const TPending& o) const { return Due != o.Due ? Due < o.Due : Order < o.Order; }
  };

  static int Socket(int type, uint16_t port) {
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in a = Loopback(port);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
  }
  static uint16_t PortOf(int fd) {
    sockaddr_in a{};
    socklen_t n = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    return ntohs(a.sin_port);
  }

  // When a packet arriving now leaves, or false when it is dropped.
  bool DueTime(bool datagram, Clock::time_point& due) {
    double ms = settings.DelayMs;
    if (settings.JitterMs > 0)
      ms += std::uniform_real_distribution<double>(-0.5, 0.5)(random) * settings.JitterMs;
    if (datagram) {
      if (std::uniform_real_distribution<double>(0, 1)(random) < settings.Loss) return false;
      if (std::uniform_real_distribution<double>(0, 1)(random) < settings.Reorder) ms += settings.ReorderMs;
    }
    due = Clock::now() + std::chrono::microseconds(static_cast<int64_t>(std::max(0.0, ms) * 1000));
    return true;
  }
  void Queue(Clock::time_point due, int fd, uint16_t udpPort, const uint8_t* bytes, size_t n) {
    queue.insert({due, order++, fd, udpPort, std::vector<uint8_t>(bytes, bytes + n)});
  }
  void QueueTCP(TLink& link, int direction, int fd, const uint8_t* bytes, size_t n) {
    Clock::time_point due;
    DueTime(false, due);
    due = std::max(due, link.LastTCPDue[direction]);
    link.LastTCPDue[direction] = due;
    Queue(due, fd, 0, bytes, n);
  }

  void Accept() {
    const int down = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (down < 0) return;
    auto link = std::make_unique<TLink>();
    link->Down = down;
    link->Up = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in server = Loopback(serverTCP);
    if (::connect(link->Up, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
      ::close(down);
      ::close(link->Up);
      return;
    }
    int yes = 1;
    timeval timeout{1, 0};
    for (int fd : {link->Down, link->Up}) {
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    }
    link->Udp = Socket(SOCK_DGRAM, 0);
    links.push_back(std::move(link));
  }

  // Client to server: whole messages, the ready message's port rewritten.
  void FromClient(TLink& link) {
    uint8_t buffer[4096];
    const ssize_t n = ::recv(link.Down, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return Shut(link);
    if (n < 0) return;
    link.FromClient.insert(link.FromClient.end(), buffer, buffer + n);
    size_t whole = link.FromClient.size() / 104 * 104;
    for (size_t at = 0; at < whole; at += 104) {
      uint8_t* m = &link.FromClient[at];
      if (m[0] == 1) {
        float f;
        uint32_t u = 0;
        for (int j = 0; j < 4; ++j) u |= static_cast<uint32_t>(m[80 + j]) << (8 * j);
        std::memcpy(&f, &u, 4);
        link.ClientUDPPort = f >= 1 && f <= 65535 ? static_cast<uint16_t>(f) : serverUDP;
        f = PortOf(link.Udp);
        std::memcpy(&u, &f, 4);
        for (int j = 0; j < 4; ++j) m[80 + j] = static_cast<uint8_t>(u >> (8 * j));
      }
    }
    if (whole > 0) QueueTCP(link, 0, link.Up, link.FromClient.data(), whole);
    link.FromClient.erase(link.FromClient.begin(), link.FromClient.begin() + static_cast<ptrdiff_t>(whole));
  }
  void FromServer(TLink& link) {
    uint8_t buffer[4096];
    const ssize_t n = ::recv(link.Up, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return Shut(link);
    if (n > 0) QueueTCP(link, 1, link.Down, buffer, static_cast<size_t>(n));
  }
  // One side went away: the other is ended after what is queued for it.
  void Shut(TLink& link) {
    link.Shut = true;
    Clock::time_point due = std::max(link.LastTCPDue[0], link.LastTCPDue[1]);
    Queue(due, link.Down, 0, nullptr, 0);
    Queue(due, link.Up, 0, nullptr, 0);
  }

  void Datagram(int fd, bool fromClient, TLink* link) {
    uint8_t buffer[512];
    sockaddr_in from{};
    socklen_t size = sizeof from;
    const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &size);
    if (n < 0) return;
    if (fromClient) {
      link = nullptr;
      for (auto& l : links)
        if (l->ClientUDPPort == ntohs(from.sin_port)) link = l.get();
      if (!link) return;
    }
    Clock::time_point due;
    ++DatagramsIn[fromClient ? 0 : 1];
    if (!DueTime(true, due)) {
      ++DatagramsDropped[fromClient ? 0 : 1];
      return;
    }
    if (fromClient)
      Queue(due, link->Udp, serverUDP, buffer, static_cast<size_t>(n));
    else
      Queue(due, udpFd, link->ClientUDPPort, buffer, static_cast<size_t>(n));
  }

  void Deliver() {
    const Clock::time_point now = Clock::now();
    while (!queue.empty() && queue.begin()->Due <= now) {
      const TPending& p = *queue.begin();
      if (p.UDPPort != 0) {
        sockaddr_in to = Loopback(p.UDPPort);
        ::sendto(p.Fd, p.Bytes.data(), p.Bytes.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&to), sizeof to);
      } else if (p.Bytes.empty()) {
        ::shutdown(p.Fd, SHUT_RDWR);
      } else {
        ::send(p.Fd, p.Bytes.data(), p.Bytes.size(), MSG_NOSIGNAL);
      }
      queue.erase(queue.begin());
    }
  }

  void Run() {
    while (!stop) {
      std::vector<pollfd> fds{{listenFd, POLLIN, 0}, {udpFd, POLLIN, 0}};
      for (auto& l : links)
        for (int fd : {l->Down, l->Up, l->Udp}) fds.push_back({l->Shut && fd != l->Udp ? -1 : fd, POLLIN, 0});
      int timeout = 2;
      if (!queue.empty()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(queue.begin()->Due - Clock::now());
        timeout = static_cast<int>(std::clamp<int64_t>(wait.count(), 0, 2));
      }
      ::poll(fds.data(), fds.size(), timeout);
      if (fds[0].revents & POLLIN) Accept();
      if (fds[1].revents & POLLIN) Datagram(udpFd, true, nullptr);
      for (size_t i = 0; i + 2 < fds.size() && i / 3 < links.size(); i += 3) {
        TLink& l = *links[i / 3];
        if (!l.Shut && (fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR))) FromClient(l);
        if (!l.Shut && (fds[i + 3].revents & (POLLIN | POLLHUP | POLLERR))) FromServer(l);
        if (fds[i + 4].revents & POLLIN) Datagram(l.Udp, false, &l);
      }
      Deliver();
    }
  }

  const uint16_t serverTCP, serverUDP;
  const TImpairment settings;
  std::mt19937 random;  // the relay thread's alone
  int listenFd = -1, udpFd = -1;
  std::vector<std::unique_ptr<TLink>> links;  // the relay thread's alone
  std::multiset<TPending> queue;
  uint64_t order = 0;
  std::atomic<bool> stop{false};
  std::thread thread;
};
