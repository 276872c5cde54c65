// The network session: the role of this machine (none, server, client), the
// server's slots and settings, the client's connection, the sockets (one TCP
// connection per client with 104-byte messages, UDP datagrams of 24 bytes),
// and the per-frame poll. The net layer knows nothing of characters: what
// arrives goes to the rules (TSessionRules), which the game layer installs,
// and the rules ask the session to send whole messages. TCP output goes
// through the packet thread (packet_queue.h); the main thread never writes to
// a TCP socket. UDP is sent and received on the main thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/discovery.h"
#include "net/link_stats.h"
#include "net/master_announcer.h"
#include "net/name_resolver.h"
#include "net/net_codec.h"
#include "net/network_message.h"
#include "net/packet_queue.h"
#include "net/query_responder.h"
#include "net/server_browser.h"

class TServer;
class TServerClient;

// What the rules made of a message. Unknown codes are ignored, but a peer
// that keeps sending them, or sends one Garbage message, is dropped.
enum class TVerdict { Handled, Ignored, Unknown, Garbage };

// The game's side of the session; every call comes on the main thread from
// TNetwork::Poll or from the event handler's timed sends.
class TSessionRules {
 public:
  virtual ~TSessionRules() = default;
  // Server: a client took slot `client.Index` (its character is Index + 1).
  virtual void ClientJoined(TServerClient& client) = 0;
  virtual TVerdict ClientMessage(TServerClient& client, const TNetMessage& message) = 0;
  // Server: slot `slot` is being freed (the others have been told).
  virtual void ClientLeft(int32_t slot) = 0;
  // Server: a connection arrives while every slot is taken. True when the
  // rules freed one (a bot gave its place up), so the newcomer is accepted.
  virtual bool MakeRoomForJoin() { return false; }
  // Server: a datagram from the address of this client's UDP socket.
  virtual void ClientDatagram(TServerClient& client, const TDatagram& datagram) = 0;
  // Client: a message or a datagram from the server.
  virtual TVerdict ServerMessage(const TNetMessage& message) = 0;
  virtual void ServerDatagram(const TDatagram& datagram) = 0;
  // The event handler's timed sends.
  virtual void SendPositions() = 0;
  virtual void SendDirtyStates() = 0;
  virtual void MarkLocalDirty() = 0;
  virtual void SendChat(const std::string& text, bool teamOnly) = 0;
};

// Sees the stream a client is given: on a client what arrives from the
// server, on a server what it sends to every client (the game layer adds the
// position datagrams of every character). The demo recorder is one.
class TSessionTap {
 public:
  virtual ~TSessionTap() = default;
  virtual void Message(const TNetMessage& message) = 0;
  virtual void Datagram(const TDatagram& datagram) = 0;
};

// One connected client in slot Index; it plays character Index + 1.
class TServerClient {
 public:
  TServerClient(TServer& server, int32_t index) : Index(index), Server(server) {}
  void Send(const TNetMessage& message);
  void Send(uint8_t code, std::string s1 = "", std::string s2 = "", std::string s3 = "");
  // Server message 6: where the round restart put the client's player.
  void SendPosition(float x, float y, float z);
  // Where this client's datagrams come from and go to: its address and the
  // UDP port it announced (the server's own UDP port until it does).
  void SetUDPPort(uint16_t port) { UDPPort = port; }

  bool Dirty = false;    // the client's character needs a state message
  bool Started = false;  // the client has answered the start message
  int32_t Index;
  TServer& Server;
  std::shared_ptr<TConnection> Connection;  // null in tests without sockets
  uint32_t PeerAddress = 0;                 // IPv4, host byte order
  uint16_t PeerPort = 0;
  uint16_t UDPPort = 0;
  int32_t UnknownCodes = 0;
  bool PeerStamps = false;  // its ready message said it stamps its datagrams
  TLinkStats Link;
};

inline constexpr int32_t kMaxRoundTime = 3600;

class TServer {
 public:
  TServer(int32_t maxPlayers, int32_t udpPort, int32_t tcpPort, int32_t goldPerRound, bool friendlyFire,
          std::string serverName);
  ~TServer();

  // Listens on TCPPort and UDPPort (0: any free port; the port taken is
  // stored). False with the error text when a socket cannot be opened.
  bool Open(TPacketCollector& packets, std::string& error);
  // Accepts, reads what the clients sent, hands it to the rules, drops the
  // connections that failed. Never blocks.
  void Poll(TSessionRules* rules);

  // The first free slot, else a new one at the end; returns its number.
  int32_t AddClient();
  // Frees slot k (nothing when it is free or out of range) without telling
  // anybody; Drop is the disconnect.
  void RemoveClient(int32_t slot);
  // The disconnect of slot k: message 9 to the others, one log line, the
  // socket closed once its queued messages are written, the rules told.
  void Drop(int32_t slot, const std::string& why, TSessionRules* rules);
  // The client in slot k; null for a free slot or a number outside the list.
  TServerClient* Slot(int32_t slot) const;
  int32_t ConnectedCount() const;
  // To every existing client.
  void Broadcast(const TNetMessage& message);
  void SendDatagram(TServerClient& to, const TDatagram& datagram);
  // A decoded message of a client: pings are the link's, the rest the rules'.
  TVerdict LinkMessage(TServerClient& client, const TNetMessage& m, TSessionRules* rules);

  bool HostDirty = false;  // the server's own player (character 0) needs a state message
  // Places of MaxPlayers the server's own machine takes: 1 for the player of
  // a listen server, 0 for a dedicated server (character 0 exists there but
  // is never in use).
  int32_t HostSeats = 1;
  std::vector<std::unique_ptr<TServerClient>> Clients;  // null = free slot
  int32_t ClientCount = 0;                              // length of Clients
  int32_t TCPPort, UDPPort, MaxPlayers;
  std::string ServerName;
  bool FriendlyFire;
  int32_t GoldPerRound;
  // Seconds a round may last before it ends as a draw (0: no limit, at most
  // kMaxRoundTime). Known only to the server: the end reaches clients as any
  // round's end.
  int32_t RoundTime = 0;
  // Seconds from a round's start in which a player who chooses a side spawns
  // at once (0: every newcomer waits for the next round; at most
  // kMaxRoundTime).
  int32_t JoinTime = 15;
  // Test seam: where a message to one client leaves instead of its socket.
  std::function<void(const TServerClient& to, const TNetMessage& message)> Transmit;
  TSessionTap* Tap = nullptr;  // not owned; told of every broadcast
  // Out-of-band packets (out_of_band.h) that reach the UDP port; the poll
  // reads at most kOutOfBandPerPoll of them, beside the game's datagrams.
  std::function<void(const uint8_t* data, size_t size, TServerAddress from)> OutOfBand;
  // Bytes from the UDP port: out-of-band answers and heartbeats.
  void SendOutOfBand(TServerAddress to, const std::string& bytes);

 private:
  friend class TServerClient;
  void Accept(TSessionRules* rules);
  // False when the client is gone (the slot is then freed).
  bool Receive(TServerClient& client, TSessionRules* rules);
  void ReceiveDatagrams(TSessionRules* rules);
  // Pings to the clients that understand them, and every player's ping.
  void MeasureLinks();

  TPacketCollector* packets = nullptr;
  int listenFd = -1;
  int udpFd = -1;
  uint64_t lastPingTable = 0;
};

class TClient {
 public:
  TClient(std::string host, int32_t tcpPort, int32_t udpPort, std::string playerName);
  ~TClient();

  // Resolves the host and starts connecting without waiting; binds the UDP
  // port (any free one when UDPPort is taken). False with the error text.
  bool Open(TPacketCollector& packets, std::string& error);
  // Completes the connection (at most ConnectTimeoutMs), then reads what the
  // server sent. Returns an error text when the session must end.
  std::string Poll(TSessionRules* rules);
  void Send(const TNetMessage& message);
  void SendDatagram(const TDatagram& datagram);
  bool Connected() const { return Connection != nullptr; }

  bool Started = false;  // the start information has arrived
  bool Dirty = false;    // the local player's state needs sending
  std::string Host;
  int32_t TCPPort, UDPPort;
  std::string ServerName, PlayerName;
  uint16_t LocalUDPPort = 0;  // the port this client's datagrams come from
  bool PeerStamps = false;    // the start information said the server stamps its datagrams
  uint32_t ConnectTimeoutMs = 5000;
  // The server's address already looked up (IPv4, host order); 0: Open looks Host up.
  uint32_t KnownAddress = 0;
  std::shared_ptr<TConnection> Connection;  // null until connected
  TLinkStats Link;
  // Every character's ping as the server last told it (ms, by index).
  std::vector<int32_t> Pings;
  // Test seam: where a message to the server leaves instead of the socket.
  std::function<void(const TNetMessage& message)> Transmit;
  TSessionTap* Tap = nullptr;  // not owned; told of what arrives, before the rules
  // A decoded message of the server: pings and the ping table are the
  // link's, the rest the rules'.
  TVerdict LinkMessage(const TNetMessage& m, TSessionRules* rules);

 private:
  TPacketCollector* packets = nullptr;
  int connectingFd = -1;
  uint64_t connectStart = 0;
  int udpFd = -1;
  uint32_t serverAddress = 0;  // IPv4, host byte order
  int32_t unknownCodes = 0;
  // What a failed connect adds to its error: the server it tried.
  std::string NoAnswerFrom() const;
};

class TNetwork {
 public:
  TNetwork();
  ~TNetwork();

  // Starts listening. MaxPlayers must lie in 1..255 (a datagram carries the
  // character index in one byte). On failure the error goes to OnError, no
  // session remains, and false is returned.
  bool StartServer(int32_t maxPlayers, int32_t udpPort, int32_t tcpPort, int32_t goldPerRound, bool friendlyFire,
                   const std::string& serverName);
  // Starts connecting; Poll completes it. Failure as for StartServer. With
  // an address (IPv4, host order) host is only the name the messages show.
  bool StartClient(const std::string& host, int32_t tcpPort, int32_t udpPort, const std::string& playerName,
                   uint32_t address = 0);
  // Joins host by name or dotted address without waiting for a name server:
  // a name is looked up on the resolver's thread and the client starts in
  // the Poll that takes the answer; a name that does not resolve is
  // reported through OnError ("Unknown host: NAME"). Close forgets it.
  void Connect(const std::string& host, int32_t tcpPort, int32_t udpPort, const std::string& playerName);
  // A Connect waits for its name.
  bool Resolving() const { return pendingJoin.has_value(); }
  // Frees the session and clears both roles; harmless without one. Messages
  // already queued are still written before the sockets close.
  void Close();
  // Once per frame: what arrived goes to the rules. A session that failed is
  // closed and its error reported through OnError.
  void Poll();
  // The rules end the session with an error (reported after the poll).
  void Fail(const std::string& message);

  // Forwarded to the rules (nothing without a session or rules).
  void SendPositions();
  void SendStates();
  void MarkLocalDirty();
  void SendChat(const std::string& text, bool teamOnly);

  // Asks for the state of character `index` at the next state tick: on the
  // server the flag of the slot playing it (the host's own for index 0), on a
  // client only for its own player (isLocal).
  void MarkDirty(int32_t index, bool isLocal);
  // Server: to every client. Elsewhere nothing.
  void Broadcast(const TNetMessage& message);
  // Server: to the client that plays character `index` (nothing for 0, a free
  // slot or an index outside the slots).
  void SendToPlayer(int32_t index, const TNetMessage& message);
  // Client: to the server. Elsewhere nothing.
  void SendToServer(const TNetMessage& message);
  // The round trip of the player of character `index` in ms: a server's own
  // measure of its clients, what the server told a client; 0 for the host,
  // bots and unknown players.
  int32_t PingOf(int32_t index) const;
  // The console's report of each link: round trip, jitter, loss each way
  // ("loss 5% in, 4% out"; "unknown out" until the peer reports it), bytes/s.
  std::vector<std::string> LinkReport() const;
  // The client that plays character `index` has started (server only).
  bool PlayerStarted(int32_t index) const;

  // Renames the running server (what clients and discovery answers show);
  // nothing without a server.
  void SetServerName(const std::string& name);
  // What discovery answers tell about the running server: its name, ports and
  // maximum, the player count of the session, then DescribeGame's additions.
  TServerInfo DescribeServer() const;
  // Reads the discovery keys of "TNetworkConfig" from an INI file; missing
  // keys keep their values.
  void LoadDiscoverySettings(const std::string& iniFile);
  // Reads Masters from "masters" in the INI file's section "Network".
  void LoadMasterSettings(const std::string& iniFile);
  // What out-of-band answers tell: DescribeServer, the round time, then
  // DescribePlayers' bots and players (left out unless players).
  TServerStatus DescribeStatus(bool players) const;

  // Team mates can hit each other (only a server says so).
  bool FriendlyFire() const { return Server && Server->FriendlyFire; }
  // The packet thread, started with the first session.
  TPacketCollector& Packets();

  bool IsServer = false;
  std::unique_ptr<TServer> Server;
  bool IsClient = false;
  std::unique_ptr<TClient> Client;
  TSessionRules* Rules = nullptr;  // not owned; set by the game layer
  // How long a peer may take none of its pending output before it is dropped.
  uint32_t StallMs = 10000;
  // Failures of the session (message, source "UNetwork"); the game driver
  // wires it to its error report. Called after the session has been closed.
  std::function<void(const std::string& message, const std::string& source)> OnError;

  // Discovery: the port servers answer on (0: any free port, negative: no
  // answers) and where the Join dialog's queries go (comma-separated
  // host[:port]; empty: the broadcast addresses).
  int32_t DiscoveryPort = kDefaultDiscoveryPort;
  std::string DiscoveryTargets;
  // The game layer fills in the map and the players (bots included).
  std::function<void(TServerInfo& info)> DescribeGame;
  // Open while a server session runs; polled by Poll.
  TDiscoveryResponder Responder;
  // The Join dialog's search; polled by Poll whatever the session.
  TDiscoveryBrowser Finder;
  // The Internet list, which asks Masters; polled by Poll whatever the session.
  TServerBrowser Internet;

  // Masters a server announces itself to ("host[:port]"; none: it stays
  // private and sends nothing beyond its players), read when a server starts;
  // the Internet list asks the same.
  std::vector<std::string> Masters;
  // The game layer fills in the bots and every player (kills, ping, name).
  std::function<void(TServerStatus& status)> DescribePlayers;
  TQueryResponder Queries;
  TMasterAnnouncer Announcer;

 private:
  void Report(const std::string& message);
  // The server's out-of-band answers and heartbeats (public_server.cpp).
  void OpenPublic();
  void PollPublic();
  void ClosePublic(TServer& server);
  // Starts the client of a Connect whose name was found (join_by_name.cpp).
  void PollJoin();
  struct TPendingJoin {
    std::string Host, PlayerName;
    int32_t TCPPort = 0, UDPPort = 0;
  };
  std::optional<TPendingJoin> pendingJoin;
  std::unique_ptr<TNameResolver> joinResolver;
  std::unique_ptr<TPacketCollector> packets;
  std::string pendingError;
};

// "a.b.c.d" of an IPv4 address in host byte order.
std::string DottedAddress(uint32_t host);

// Whole run: created by InitModules and freed by ShutdownModules; null only
// before and after (and in tests that do not make one).
extern TNetwork* Network;
