// Session roles, slots, sockets and the per-frame poll. Sockets are the
// operating system's own, non-blocking: SDL_net's TCP calls block until the
// peer takes the bytes, which would let one peer stall the game.
#include "net/network.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

#include "core/console_sink.h"
#include "core/ini_file.h"
#include "core/log_sources.h"
#include "net/net_log.h"
#include "net/out_of_band.h"
#include "net/udp.h"

TNetwork* Network = nullptr;

namespace {

// Unknown codes a peer may send before it counts as sending garbage.
constexpr int32_t kMaxUnknownCodes = 16;
// Whole messages read from one connection per poll.
constexpr int kMessagesPerPoll = 4;
constexpr int kDatagramsPerPoll = 50;
constexpr int kOutOfBandPerPoll = 64;

uint64_t NowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

std::string LastError() { return std::strerror(errno); }

sockaddr_in Address(uint32_t host, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(host);
  a.sin_port = htons(port);
  return a;
}

// A socket bound to `port` on every interface (0: any free port); -1 on failure.
int BoundSocket(int type, uint16_t port) {
  int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (type == SOCK_STREAM) {
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  }
  sockaddr_in a = Address(INADDR_ANY, port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

uint16_t LocalPort(int fd) {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  return ntohs(a.sin_port);
}

bool Resolve(const std::string& host, uint32_t& out) {
  in_addr a{};
  if (::inet_pton(AF_INET, host.c_str(), &a) == 1) {
    out = ntohl(a.s_addr);
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  out = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return true;
}

enum class TReadResult { Message, Nothing, Gone };

// Collects one message from a non-blocking socket; a message that arrives in
// parts is kept in the connection until it is whole.
TReadResult ReadMessage(TConnection& c, uint8_t out[kMessageSize]) {
  while (c.Incoming.size() < kMessageSize) {
    uint8_t buffer[kMessageSize];
    const ssize_t n = ::recv(c.Fd, buffer, kMessageSize - c.Incoming.size(), MSG_DONTWAIT);
    if (n == 0) return TReadResult::Gone;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? TReadResult::Nothing : TReadResult::Gone;
    c.Incoming.insert(c.Incoming.end(), buffer, buffer + n);
  }
  std::memcpy(out, c.Incoming.data(), kMessageSize);
  c.Incoming.clear();
  return TReadResult::Message;
}

void Push(TPacketCollector* packets, TConnection* c, const TNetMessage& message) {
  if (!packets || !c) return;
  uint8_t bytes[kMessageSize];
  EncodeMessage(message, bytes);
  packets->Push(*c, bytes, kMessageSize);  // an overflow fails the connection; the poll drops it
}

// Unknown codes are counted; false when the peer is to be dropped.
bool Acceptable(TVerdict verdict, int32_t& unknownCodes) {
  if (verdict == TVerdict::Garbage) return false;
  if (verdict == TVerdict::Unknown) return ++unknownCodes <= kMaxUnknownCodes;
  return true;
}

}  // namespace

TNetMessage MakeMessage(uint8_t code, std::string s1, std::string s2, std::string s3) {
  TNetMessage m;
  m.Code = code;
  m.S1 = std::move(s1);
  m.S2 = std::move(s2);
  m.S3 = std::move(s3);
  return m;
}

// ---- server ----

void TServerClient::Send(const TNetMessage& message) {
  Link.Sent(kMessageSize, false);
  if (Server.Transmit)
    Server.Transmit(*this, message);
  else
    Push(Server.packets, Connection.get(), message);
}

void TServerClient::Send(uint8_t code, std::string s1, std::string s2, std::string s3) {
  Send(MakeMessage(code, std::move(s1), std::move(s2), std::move(s3)));
}

void TServerClient::SendPosition(float x, float y, float z) {
  TNetMessage m = MakeMessage(ServerMsg::Position);
  m.F[0] = x;
  m.F[1] = y;
  m.F[2] = z;
  Send(m);
}

TServer::TServer(int32_t maxPlayers, int32_t udpPort, int32_t tcpPort, int32_t goldPerRound, bool friendlyFire,
                 std::string serverName)
    : TCPPort(tcpPort),
      UDPPort(udpPort),
      MaxPlayers(maxPlayers),
      ServerName(std::move(serverName)),
      FriendlyFire(friendlyFire),
      GoldPerRound(goldPerRound) {}

TServer::~TServer() {
  if (listenFd < 0 && udpFd < 0) return;
  for (int32_t k = 0; k < ClientCount; ++k)
    if (Slot(k)) Drop(k, "server closed", nullptr);
  if (udpFd >= 0) ::close(udpFd);
  if (listenFd >= 0) ::close(listenFd);
  NetLog("Server closed");
}

bool TServer::Open(TPacketCollector& p, std::string& error) {
  packets = &p;
  if (TCPPort < 0 || TCPPort > 65535 || UDPPort < 0 || UDPPort > 65535) {
    error = "SDLNet_ResolveHost: port out of range";
    return false;
  }
  listenFd = BoundSocket(SOCK_STREAM, static_cast<uint16_t>(TCPPort));
  if (listenFd < 0 || ::listen(listenFd, 64) != 0) {
    error = "SDLNet_TCP_Open: " + LastError();
    return false;
  }
  udpFd = BoundSocket(SOCK_DGRAM, static_cast<uint16_t>(UDPPort));
  if (udpFd < 0) {
    error = "SDLNet_UDP_Open: " + LastError();
    return false;
  }
  TCPPort = LocalPort(listenFd);
  UDPPort = LocalPort(udpFd);
  NetLog("Server started at TCPport " + std::to_string(TCPPort) + "; UDPport: " + std::to_string(UDPPort));
  return true;
}

void TServer::Poll(TSessionRules* rules) {
  Accept(rules);
  for (int32_t k = 0; k < ClientCount; ++k) {
    TServerClient* client = Slot(k);
    if (!client || !client->Connection) continue;
    std::string why;
    if (packets->Failed(*client->Connection, &why))
      Drop(k, why, rules);
    else
      Receive(*client, rules);
  }
  ReceiveDatagrams(rules);
  MeasureLinks();
}

void TServer::MeasureLinks() {
  const uint64_t now = NowMs();
  for (const auto& c : Clients) {
    TNetMessage ping;
    if (c && c->PeerStamps && c->Link.PingDue(now, ping)) {
      ping.Code = ServerMsg::Ping;
      c->Send(ping);
    }
  }
  if (now - lastPingTable < 1000) return;
  lastPingTable = now;
  // Character k + 1 is slot k's; character 0 is the host's.
  const int32_t characters = ClientCount + 1;
  for (int32_t first = 0; first < characters; first += 6) {
    TNetMessage table = MakeMessage(ServerMsg::Pings, std::to_string(first));
    for (int32_t i = 0; i < 6 && first + i < characters; ++i) {
      const TServerClient* c = Slot(first + i - 1);
      table.F[i] = c ? static_cast<float>(c->Link.RttMs) : 0.0f;
    }
    for (const auto& c : Clients)
      if (c && c->PeerStamps) c->Send(table);
  }
}

void TServer::Accept(TSessionRules* rules) {
  if (listenFd < 0) return;
  for (;;) {
    sockaddr_in peer{};
    socklen_t n = sizeof peer;
    const int fd = ::accept4(listenFd, reinterpret_cast<sockaddr*>(&peer), &n, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    // A small kernel buffer: a peer that stops reading shows up as pending
    // output soon, instead of after megabytes.
    int buffer = static_cast<int>(kMaxPendingBytes);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    if (ConnectedCount() + HostSeats >= MaxPlayers && rules) rules->MakeRoomForJoin();
    if (ConnectedCount() + HostSeats < MaxPlayers) {
      const int32_t k = AddClient();
      TServerClient& client = *Slot(k);
      client.Connection = packets->Add(fd);
      client.PeerAddress = ntohl(peer.sin_addr.s_addr);
      client.PeerPort = ntohs(peer.sin_port);
      client.UDPPort = static_cast<uint16_t>(UDPPort);
      NetLog("Peer Connected, with IP: " + DottedAddress(client.PeerAddress) + ", port: " + std::to_string(client.PeerPort));
      if (rules) rules->ClientJoined(client);
    } else {
      // Refused: message 1 is written before the socket closes.
      std::shared_ptr<TConnection> c = packets->Add(fd);
      Push(packets, c.get(), MakeMessage(ServerMsg::ServerFull));
      packets->Close(c);
      ConsolePrint(std::string(LogSource::Network) + ": Game is full, one client has been kicked.");
      NetLog("Game is full, one client has been kicked.");
    }
  }
}

bool TServer::Receive(TServerClient& client, TSessionRules* rules) {
  const int32_t k = client.Index;
  for (int i = 0; i < kMessagesPerPoll; ++i) {
    uint8_t bytes[kMessageSize];
    const TReadResult r = ReadMessage(*client.Connection, bytes);
    if (r == TReadResult::Nothing) return true;
    if (r == TReadResult::Gone) {
      Drop(k, "", rules);
      return false;
    }
    TNetMessage m;
    client.Link.Received(kMessageSize, false);
    const TVerdict verdict = DecodeMessage(bytes, m) ? LinkMessage(client, m, rules) : TVerdict::Garbage;
    if (!Slot(k)) return false;  // the rules dropped it
    if (!Acceptable(verdict, client.UnknownCodes)) {
      Drop(k, "sends garbage (code " + std::to_string(m.Code) + ")", rules);
      return false;
    }
  }
  return true;
}

TVerdict TServer::LinkMessage(TServerClient& client, const TNetMessage& m, TSessionRules* rules) {
  if (m.Code == ClientMsg::Ping) {
    TNetMessage pong = client.Link.Answer(m);
    pong.Code = ServerMsg::Pong;
    client.Send(pong);
  } else if (m.Code == ClientMsg::Pong) {
    client.Link.Answered(m, NowMs());
  } else {
    return rules ? rules->ClientMessage(client, m) : TVerdict::Ignored;
  }
  return TVerdict::Handled;
}

void TServer::ReceiveDatagrams(TSessionRules* rules) {
  if (udpFd < 0) return;
  int outOfBand = 0;
  for (int i = 0; i < kDatagramsPerPoll && outOfBand < kOutOfBandPerPoll;) {
    uint8_t bytes[kMaxOutOfBandSize];
    const std::optional<TUdpDatagram> d = UdpReceive(udpFd, bytes, sizeof bytes);
    if (!d) return;
    const auto [host, port] = d->From;
    if (IsOutOfBand(bytes, d->Size)) {
      ++outOfBand;
      if (OutOfBand && d->Whole) OutOfBand(bytes, d->Size, d->From);
      continue;
    }
    ++i;
    if (!d->Whole || d->Size != kDatagramSize) continue;
    for (const auto& c : Clients)
      if (c && c->Connection && c->PeerAddress == host && c->UDPPort == port) {
        c->Link.Received(kDatagramSize, true);
        if (rules) rules->ClientDatagram(*c, DecodeDatagram(bytes));
        break;
      }
  }
}

int32_t TServer::AddClient() {
  size_t slot = 0;
  while (slot < Clients.size() && Clients[slot]) ++slot;
  if (slot == Clients.size()) Clients.emplace_back();
  Clients[slot] = std::make_unique<TServerClient>(*this, static_cast<int32_t>(slot));
  ClientCount = static_cast<int32_t>(Clients.size());
  return static_cast<int32_t>(slot);
}

void TServer::RemoveClient(int32_t slot) {
  if (slot >= 0 && static_cast<size_t>(slot) < Clients.size()) Clients[static_cast<size_t>(slot)].reset();
}

void TServer::Drop(int32_t slot, const std::string& why, TSessionRules* rules) {
  TServerClient* gone = Slot(slot);
  if (!gone) return;
  std::shared_ptr<TConnection> connection = std::move(gone->Connection);
  Clients[static_cast<size_t>(slot)].reset();  // before telling, so the others' messages skip it
  Broadcast(MakeMessage(ServerMsg::PlayerLeft, std::to_string(slot + 1)));
  NetLog("Client disconnected: " + std::to_string(slot) + (why.empty() ? "" : " (" + why + ")"));
  if (connection) packets->Close(connection);
  if (rules) rules->ClientLeft(slot);
}

TServerClient* TServer::Slot(int32_t slot) const {
  if (slot < 0 || static_cast<size_t>(slot) >= Clients.size()) return nullptr;
  return Clients[static_cast<size_t>(slot)].get();
}

int32_t TServer::ConnectedCount() const {
  int32_t n = 0;
  for (const auto& c : Clients) n += c ? 1 : 0;
  return n;
}

void TServer::Broadcast(const TNetMessage& message) {
  if (Tap) Tap->Message(message);
  for (const auto& c : Clients)
    if (c) c->Send(message);
}

void TServer::SendDatagram(TServerClient& to, const TDatagram& datagram) {
  if (udpFd < 0 || !to.Connection) return;
  to.Link.Sent(kDatagramSize, true);
  uint8_t bytes[kDatagramSize];
  EncodeDatagram(datagram, bytes);
  UdpSend(udpFd, {to.PeerAddress, to.UDPPort}, bytes, kDatagramSize);
}

void TServer::SendOutOfBand(TServerAddress to, const std::string& bytes) {
  if (udpFd < 0) return;
  UdpSend(udpFd, to, bytes.data(), bytes.size());
}

// ---- client ----

TClient::TClient(std::string host, int32_t tcpPort, int32_t udpPort, std::string playerName)
    : Host(std::move(host)), TCPPort(tcpPort), UDPPort(udpPort), PlayerName(std::move(playerName)) {}

TClient::~TClient() {
  if (udpFd >= 0) ::close(udpFd);
  if (connectingFd >= 0) ::close(connectingFd);
  if (Connection) packets->Close(Connection);
  if (packets) NetLog("Client closed");
}

// A player who typed a name or followed a link learns which server failed.
std::string TClient::NoAnswerFrom() const {
  return " (no game at " + Host + ":" + std::to_string(TCPPort) + ")";
}

bool TClient::Open(TPacketCollector& p, std::string& error) {
  packets = &p;
  serverAddress = KnownAddress;
  if (TCPPort <= 0 || TCPPort > 65535 || UDPPort < 0 || UDPPort > 65535 ||
      (serverAddress == 0 && !Resolve(Host, serverAddress))) {
    error = "SDLNet_ResolveHost: " + Host;
    return false;
  }
  connectingFd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in a = Address(serverAddress, static_cast<uint16_t>(TCPPort));
  if (connectingFd < 0 ||
      (::connect(connectingFd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS)) {
    error = "SDLNet_TCP_Open: " + LastError();
    return false;
  }
  connectStart = NowMs();
  // The server's UDP port when it is free, else any: a server and clients
  // can share one machine. The ready message tells the server which.
  udpFd = BoundSocket(SOCK_DGRAM, static_cast<uint16_t>(UDPPort));
  if (udpFd < 0) udpFd = BoundSocket(SOCK_DGRAM, 0);
  if (udpFd < 0) {
    error = "SDLNet_UDP_Open" + LastError();
    return false;
  }
  LocalUDPPort = LocalPort(udpFd);
  NetLog("Started UDP.");
  return true;
}

std::string TClient::Poll(TSessionRules* rules) {
  if (!Connection) {
    if (connectingFd < 0) return "";
    pollfd p{connectingFd, POLLOUT, 0};
    if (::poll(&p, 1, 0) == 1) {
      int error = 0;
      socklen_t n = sizeof error;
      ::getsockopt(connectingFd, SOL_SOCKET, SO_ERROR, &error, &n);
      if (error != 0) return "SDLNet_TCP_Open: " + std::string(std::strerror(error)) + NoAnswerFrom();
      int yes = 1;
      ::setsockopt(connectingFd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      Connection = packets->Add(connectingFd);
      connectingFd = -1;
      NetLog("Client started at TCPport: " + std::to_string(TCPPort) + "; UDP Port: " + std::to_string(LocalUDPPort) +
          "; with IP " + Host);
    } else if (NowMs() - connectStart > ConnectTimeoutMs) {
      return "SDLNet_TCP_Open: " + std::string(std::strerror(ETIMEDOUT)) + NoAnswerFrom();
    } else {
      return "";
    }
  }
  std::string why;
  if (packets->Failed(*Connection, &why)) return "Server disconnected!" + why;
  for (int i = 0; i < kMessagesPerPoll; ++i) {
    uint8_t bytes[kMessageSize];
    const TReadResult r = ReadMessage(*Connection, bytes);
    if (r == TReadResult::Nothing) break;
    if (r == TReadResult::Gone) return "Server disconnected!";
    TNetMessage m;
    Link.Received(kMessageSize, false);
    const bool decoded = DecodeMessage(bytes, m);
    if (decoded && Tap) Tap->Message(m);
    const TVerdict verdict = decoded ? LinkMessage(m, rules) : TVerdict::Garbage;
    if (!Acceptable(verdict, unknownCodes)) {
      NetLog("Server sends garbage (code " + std::to_string(m.Code) + ")");
      return "Server disconnected!";
    }
    if (!Connection) return "";
  }
  for (;;) {
    uint8_t bytes[64];
    const std::optional<TUdpDatagram> got = UdpReceive(udpFd, bytes, sizeof bytes);
    if (!got) break;
    if (!got->Whole || got->Size != kDatagramSize ||
        got->From != TServerAddress{serverAddress, static_cast<uint16_t>(UDPPort)})
      continue;
    Link.Received(kDatagramSize, true);
    const TDatagram d = DecodeDatagram(bytes);
    if (Tap) Tap->Datagram(d);
    if (rules) rules->ServerDatagram(d);
  }
  TNetMessage ping;
  if (PeerStamps && Link.PingDue(NowMs(), ping)) {
    ping.Code = ClientMsg::Ping;
    Send(ping);
  }
  return "";
}

TVerdict TClient::LinkMessage(const TNetMessage& m, TSessionRules* rules) {
  if (m.Code == ServerMsg::Ping) {
    TNetMessage pong = Link.Answer(m);
    pong.Code = ClientMsg::Pong;
    Send(pong);
  } else if (m.Code == ServerMsg::Pong) {
    Link.Answered(m, NowMs());
  } else if (m.Code == ServerMsg::Pings) {
    char* end = nullptr;
    const long first = std::strtol(m.S1.c_str(), &end, 10);
    if (m.S1.empty() || *end != '\0' || first < 0 || first > 255) return TVerdict::Garbage;
    if (Pings.size() < static_cast<size_t>(first) + 6) Pings.resize(static_cast<size_t>(first) + 6, 0);
    for (int i = 0; i < 6; ++i) {
      const float ms = m.F[i];
      Pings[static_cast<size_t>(first + i)] = std::isfinite(ms) && ms >= 0 && ms <= 60000 ? static_cast<int32_t>(ms) : 0;
    }
  } else {
    return rules ? rules->ServerMessage(m) : TVerdict::Ignored;
  }
  return TVerdict::Handled;
}

void TClient::Send(const TNetMessage& message) {
  Link.Sent(kMessageSize, false);
  if (Transmit)
    Transmit(message);
  else
    Push(packets, Connection.get(), message);
}

void TClient::SendDatagram(const TDatagram& datagram) {
  if (udpFd < 0 || !Connection) return;
  Link.Sent(kDatagramSize, true);
  uint8_t bytes[kDatagramSize];
  EncodeDatagram(datagram, bytes);
  UdpSend(udpFd, {serverAddress, static_cast<uint16_t>(UDPPort)}, bytes, kDatagramSize);
}

std::string DottedAddress(uint32_t host) {
  return std::to_string(host >> 24) + "." + std::to_string((host >> 16) & 255) + "." +
         std::to_string((host >> 8) & 255) + "." + std::to_string(host & 255);
}

// ---- the session ----

TNetwork::TNetwork() = default;

TNetwork::~TNetwork() {
  Close();
  if (packets) packets->WaitIdle(500);  // what the last session queued
}

TPacketCollector& TNetwork::Packets() {
  if (!packets) packets = std::make_unique<TPacketCollector>(StallMs);
  packets->StallMs = StallMs;
  return *packets;
}

bool TNetwork::StartServer(int32_t maxPlayers, int32_t udpPort, int32_t tcpPort, int32_t goldPerRound,
                           bool friendlyFire, const std::string& serverName) {
  Close();
  if (maxPlayers < 1 || maxPlayers > 255) {
    Report("MaxPlayers must lie between 1 and 255: " + std::to_string(maxPlayers));
    return false;
  }
  IsServer = true;
  Server = std::make_unique<TServer>(maxPlayers, udpPort, tcpPort, goldPerRound, friendlyFire, serverName);
  std::string error;
  if (!Server->Open(Packets(), error)) {
    Close();
    Report(error);
    return false;
  }
  // A server without answers is still a server: the port may be taken by
  // another program, and joining by address keeps working.
  if (DiscoveryPort >= 0 && DiscoveryPort <= 65535 && !Responder.Open(static_cast<uint16_t>(DiscoveryPort), error))
    NetLog("Discovery: no answers, " + error);
  OpenPublic();
  return true;
}

bool TNetwork::StartClient(const std::string& host, int32_t tcpPort, int32_t udpPort, const std::string& playerName,
                           uint32_t address) {
  Close();
  IsClient = true;
  Client = std::make_unique<TClient>(host, tcpPort, udpPort, playerName);
  Client->KnownAddress = address;
  std::string error;
  if (!Client->Open(Packets(), error)) {
    Close();
    Report(error);
    return false;
  }
  return true;
}

void TNetwork::Close() {
  // Cleared first: what a closing slot triggers in the rules sees no session.
  std::unique_ptr<TServer> server = std::move(Server);
  std::unique_ptr<TClient> client = std::move(Client);
  IsServer = false;
  IsClient = false;
  pendingJoin.reset();
  Responder.Close();
  // The last heartbeat leaves before the socket closes; from then on the server answers nothing.
  if (server) ClosePublic(*server);
  server.reset();
  client.reset();
}

void TNetwork::Poll() {
  if (IsServer && Server) {
    Server->Poll(Rules);
    PollPublic();
    Responder.Poll([this] { return DescribeServer(); });
  }
  Finder.Poll();
  Internet.Poll(SteadyMs());
  PollJoin();
  if (IsClient && Client) {
    std::string error = Client->Poll(Rules);
    if (!error.empty() && pendingError.empty()) pendingError = error;
  }
  if (!pendingError.empty()) {
    std::string error;
    error.swap(pendingError);
    Close();
    Report(error);
  }
}

int32_t TNetwork::PingOf(int32_t index) const {
  if (IsServer && Server) {
    const TServerClient* c = Server->Slot(index - 1);
    return c ? c->Link.RttMs : 0;
  }
  if (IsClient && Client && index >= 0 && static_cast<size_t>(index) < Client->Pings.size())
    return Client->Pings[static_cast<size_t>(index)];
  return 0;
}

namespace {
std::string Percent(float share) { return std::to_string(static_cast<int>(share * 100.0f + 0.5f)) + "%"; }

std::string LinkLine(const std::string& who, const TLinkStats& l) {
  return who + ": rtt " + std::to_string(l.RttMs) + " ms, jitter " + std::to_string(l.JitterMs) + " ms, loss " +
         Percent(l.LossIn) + " in, " + (l.LossOutSpan > 0 ? Percent(l.LossOut) : "unknown") + " out, in " +
         std::to_string(l.BytesInPerSec) + " B/s, out " + std::to_string(l.BytesOutPerSec) + " B/s";
}
}  // namespace

std::vector<std::string> TNetwork::LinkReport() const {
  std::vector<std::string> lines;
  if (IsServer && Server)
    for (const auto& c : Server->Clients)
      if (c) lines.push_back(LinkLine("client " + std::to_string(c->Index), c->Link));
  if (IsClient && Client) lines.push_back(LinkLine("server", Client->Link));
  if (lines.empty()) lines.push_back("netstat: no network session.");
  return lines;
}

void TNetwork::SetServerName(const std::string& name) {
  if (Server) Server->ServerName = name;
}

TServerInfo TNetwork::DescribeServer() const {
  TServerInfo info;
  if (!Server) return info;
  info.Name = Server->ServerName;
  info.MaxPlayers = Server->MaxPlayers;
  info.Players = Server->ConnectedCount() + Server->HostSeats;
  info.TCPPort = Server->TCPPort;
  info.UDPPort = Server->UDPPort;
  if (DescribeGame) DescribeGame(info);
  return info;
}

void TNetwork::LoadDiscoverySettings(const std::string& iniFile) {
  TIniFile ini(iniFile);
  DiscoveryPort = ini.ReadInteger("TNetworkConfig", "DiscoveryPort", DiscoveryPort);
  DiscoveryTargets = ini.ReadString("TNetworkConfig", "DiscoveryTargets", DiscoveryTargets);
}

void TNetwork::Fail(const std::string& message) {
  if (pendingError.empty()) pendingError = message;
}

void TNetwork::Report(const std::string& message) {
  NetLog(message);
  if (OnError) OnError(message, LogSource::Network);
}

void TNetwork::SendPositions() {
  if (Rules && (IsServer || IsClient)) Rules->SendPositions();
}

void TNetwork::SendStates() {
  if (Rules && (IsServer || IsClient)) Rules->SendDirtyStates();
}

void TNetwork::MarkLocalDirty() {
  if (Rules && (IsServer || IsClient)) Rules->MarkLocalDirty();
}

void TNetwork::SendChat(const std::string& text, bool teamOnly) {
  if (Rules && (IsServer || IsClient)) Rules->SendChat(text, teamOnly);
}

void TNetwork::MarkDirty(int32_t index, bool isLocal) {
  if (IsClient && Client) {
    if (isLocal) Client->Dirty = true;
  } else if (IsServer && Server) {
    if (index == 0) {
      Server->HostDirty = true;
    } else if (TServerClient* c = Server->Slot(index - 1)) {
      c->Dirty = true;
    }
  }
}

void TNetwork::Broadcast(const TNetMessage& message) {
  if (IsServer && Server) Server->Broadcast(message);
}

void TNetwork::SendToPlayer(int32_t index, const TNetMessage& message) {
  if (!IsServer || !Server || index < 1) return;
  if (TServerClient* c = Server->Slot(index - 1)) c->Send(message);
}

void TNetwork::SendToServer(const TNetMessage& message) {
  if (IsClient && Client) Client->Send(message);
}

bool TNetwork::PlayerStarted(int32_t index) const {
  if (!IsServer || !Server || index < 1) return false;
  const TServerClient* c = Server->Slot(index - 1);
  return c && c->Started;
}
