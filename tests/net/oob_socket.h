// A UDP socket on a loopback address of the test's choice (127.0.0.0/8 is all
// this machine's), for out-of-band queries and a stand-in master.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "net/master_codec.h"

class TOutOfBandSocket {
 public:
  explicit TOutOfBandSocket(uint32_t host = 0x7F000001) {
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(host);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    Address = {host, ntohs(a.sin_port)};
  }
  ~TOutOfBandSocket() { ::close(fd); }
  TOutOfBandSocket(const TOutOfBandSocket&) = delete;
  TOutOfBandSocket& operator=(const TOutOfBandSocket&) = delete;

  void Send(const std::string& bytes, uint16_t port, uint32_t host = 0x7F000001) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(host);
    a.sin_port = htons(port);
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  // The next datagram without waiting; false when none is there.
  bool Receive(std::string& bytes, TServerAddress* from = nullptr) {
    char buffer[2048];
    sockaddr_in a{};
    socklen_t n = sizeof a;
    const ssize_t size = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&a), &n);
    if (size < 0) return false;
    bytes.assign(buffer, static_cast<size_t>(size));
    if (from) *from = {ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
    return true;
  }

  TServerAddress Address;

 private:
  int fd = -1;
};
