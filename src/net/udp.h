// Datagrams over the operating system's IPv4 UDP sockets, as the game
// server, the LAN search, the Internet list and the master send and read
// them: without waiting, and never reading past the buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

struct TServerAddress {
  uint32_t Host = 0;  // IPv4, host byte order
  uint16_t Port = 0;
  bool operator==(const TServerAddress&) const = default;
};

// Sends size bytes to `to`; true when the datagram went out whole.
bool UdpSend(int fd, TServerAddress to, const void* bytes, size_t size);

struct TUdpDatagram {
  size_t Size = 0;     // bytes in the buffer, at most its capacity
  bool Whole = true;   // false: the datagram was larger than the buffer, its rest is lost
  TServerAddress From;
  int64_t ArrivedUs = 0;  // the kernel's receive stamp on a socket with SO_TIMESTAMP, else 0
};
// Reads the next waiting datagram into bytes; empty when none waits.
std::optional<TUdpDatagram> UdpReceive(int fd, uint8_t* bytes, size_t capacity);

// Microseconds by the wall clock, which the kernel stamps arrivals with.
int64_t WallClockUs();
