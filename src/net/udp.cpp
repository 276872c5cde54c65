// The UDP calls of udp.h.
#include "net/udp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <chrono>
#include <cstring>

bool UdpSend(int fd, TServerAddress to, const void* bytes, size_t size) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(to.Host);
  a.sin_port = htons(to.Port);
  return ::sendto(fd, bytes, size, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&a), sizeof a) ==
         static_cast<ssize_t>(size);
}

std::optional<TUdpDatagram> UdpReceive(int fd, uint8_t* bytes, size_t capacity) {
  sockaddr_in a{};
  iovec part{bytes, capacity};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timeval))];
  msghdr message{};
  message.msg_name = &a;
  message.msg_namelen = sizeof a;
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  // MSG_TRUNC: the size returned is the datagram's own, so one too large for the buffer is known as such.
  const ssize_t size = ::recvmsg(fd, &message, MSG_DONTWAIT | MSG_TRUNC);
  if (size < 0) return std::nullopt;
  TUdpDatagram d;
  d.Whole = static_cast<size_t>(size) <= capacity && !(message.msg_flags & MSG_TRUNC);
  d.Size = d.Whole ? static_cast<size_t>(size) : capacity;
  d.From = {ntohl(a.sin_addr.s_addr), ntohs(a.sin_port)};
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c))
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMP) {
      timeval t;
      std::memcpy(&t, CMSG_DATA(c), sizeof t);
      d.ArrivedUs = int64_t{t.tv_sec} * 1000000 + t.tv_usec;
    }
  return d;
}

int64_t WallClockUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}
