// A test peer that speaks the wire bytes itself: raw loopback sockets and its
// own small encoder and decoder, written from the protocol tables rather than
// from the game's codec, so a fault shared by both ends cannot hide.
#pragma once
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

struct TWireMessage {
  uint8_t Code = 0;
  std::string S[3];
  float F[6] = {0, 0, 0, 0, 0, 0};
};

// 104 bytes: code at 0; strings as length byte + 25 bytes at 1, 27, 53;
// byte 79 unused; six little-endian singles from 80.
inline std::vector<uint8_t> WireEncode(const TWireMessage& m) {
  std::vector<uint8_t> b(104, 0);
  b[0] = m.Code;
  const int at[3] = {1, 27, 53};
  for (int i = 0; i < 3; ++i) {
    const size_t n = std::min<size_t>(m.S[i].size(), 25);
    b[at[i]] = static_cast<uint8_t>(n);
    std::memcpy(&b[at[i] + 1], m.S[i].data(), n);
  }
  for (int i = 0; i < 6; ++i) {
    uint32_t u;
    std::memcpy(&u, &m.F[i], 4);
    for (int j = 0; j < 4; ++j) b[80 + 4 * i + j] = static_cast<uint8_t>(u >> (8 * j));
  }
  return b;
}

inline TWireMessage WireDecode(const uint8_t* b) {
  TWireMessage m;
  m.Code = b[0];
  const int at[3] = {1, 27, 53};
  for (int i = 0; i < 3; ++i) m.S[i].assign(reinterpret_cast<const char*>(b + at[i] + 1), std::min<int>(b[at[i]], 25));
  for (int i = 0; i < 6; ++i) {
    uint32_t u = 0;
    for (int j = 0; j < 4; ++j) u |= static_cast<uint32_t>(b[80 + 4 * i + j]) << (8 * j);
    std::memcpy(&m.F[i], &u, 4);
  }
  return m;
}

inline TWireMessage Wire(uint8_t code, std::string s1 = "", std::string s2 = "", std::string s3 = "") {
  TWireMessage m;
  m.Code = code;
  m.S[0] = std::move(s1);
  m.S[1] = std::move(s2);
  m.S[2] = std::move(s3);
  return m;
}

// 24 bytes: x, y, z, yaw, pitch as little-endian singles, byte 20 health (or
// 1), byte 21 character index, two unused.
inline std::vector<uint8_t> WireDatagram(const float v[5], uint8_t b20, uint8_t index) {
  std::vector<uint8_t> b(24, 0);
  for (int i = 0; i < 5; ++i) {
    uint32_t u;
    std::memcpy(&u, &v[i], 4);
    for (int j = 0; j < 4; ++j) b[4 * i + j] = static_cast<uint8_t>(u >> (8 * j));
  }
  b[20] = b20;
  b[21] = index;
  return b;
}

inline float WireFloat(const uint8_t* p) {
  uint32_t u = 0;
  for (int j = 0; j < 4; ++j) u |= static_cast<uint32_t>(p[j]) << (8 * j);
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}

inline sockaddr_in Loopback(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(port);
  return a;
}

// One raw peer: a TCP connection and a UDP socket of its own.
class TWirePeer {
 public:
  // receiveBuffer > 0 shrinks the socket's receive buffer (a peer that stalls).
  explicit TWirePeer(uint16_t tcpPort, int receiveBuffer = 0) {
    tcp = ::socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBuffer > 0) ::setsockopt(tcp, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in a = Loopback(tcpPort);
    Connected = ::connect(tcp, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    int yes = 1;
    ::setsockopt(tcp, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    udp = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in any = Loopback(0);
    ::bind(udp, reinterpret_cast<sockaddr*>(&any), sizeof any);
    socklen_t n = sizeof any;
    ::getsockname(udp, reinterpret_cast<sockaddr*>(&any), &n);
    UDPPort = ntohs(any.sin_port);
  }
  ~TWirePeer() {
    Close();
    ::close(udp);
  }
  void Close() {
    if (tcp >= 0) ::close(tcp);
    tcp = -1;
  }
  void SendBytes(const std::vector<uint8_t>& b) { ::send(tcp, b.data(), b.size(), MSG_NOSIGNAL); }
  void Send(const TWireMessage& m) { SendBytes(WireEncode(m)); }
  void SendDatagram(uint16_t port, const std::vector<uint8_t>& b) {
    sockaddr_in a = Loopback(port);
    ::sendto(udp, b.data(), b.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  // Reads what has arrived without waiting; false once the server closed.
  bool Drain() {
    if (Stalled) return Open;
    for (;;) {
      uint8_t buf[4096];
      const ssize_t n = ::recv(tcp, buf, sizeof buf, MSG_DONTWAIT);
      if (n == 0) return Open = false;
      if (n < 0) return Open = (errno == EAGAIN || errno == EWOULDBLOCK);
      pending.insert(pending.end(), buf, buf + n);
      while (pending.size() >= 104) {
        Received.push_back(WireDecode(pending.data()));
        pending.erase(pending.begin(), pending.begin() + 104);
      }
    }
  }
  std::vector<std::vector<uint8_t>> DrainDatagrams() {
    std::vector<std::vector<uint8_t>> out;
    for (;;) {
      uint8_t buf[64];
      const ssize_t n = ::recv(udp, buf, sizeof buf, MSG_DONTWAIT);
      if (n < 0) return out;
      out.emplace_back(buf, buf + n);
    }
  }
  std::vector<uint8_t> Codes() const {
    std::vector<uint8_t> c;
    for (const auto& m : Received) c.push_back(m.Code);
    return c;
  }
  int CountOf(uint8_t code) const {
    int n = 0;
    for (const auto& m : Received) n += m.Code == code;
    return n;
  }
  const TWireMessage* Find(uint8_t code) const {
    for (const auto& m : Received)
      if (m.Code == code) return &m;
    return nullptr;
  }

  bool Connected = false;
  bool Open = true;
  bool Stalled = false;  // stops reading
  uint16_t UDPPort = 0;
  std::vector<TWireMessage> Received;

 private:
  int tcp = -1, udp = -1;
  std::vector<uint8_t> pending;
};

// Calls step until done() holds or timeoutMs passes; true when it held.
inline bool Until(const std::function<void()>& step, const std::function<bool()>& done, int timeoutMs = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    step();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
