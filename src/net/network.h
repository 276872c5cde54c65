// The network session as the game rules see it: the role of this machine
// (none, server, client), the server's slots and settings, the dirty flags of
// the timed state messages, and operations that send whole messages. The net
// layer knows nothing of characters: a rule asks to send message N with plain
// fields, and the session decides which connections it goes to.
//
// Sockets, the wire codec and the send queue are not here yet: a message
// leaves through the session's Transmit hook, which the socket layer fills.
// Without a hook, or without clients, sending does nothing.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One 104-byte TCP message before encoding: a code, three strings of at most
// 25 characters (cut when encoded) and six singles.
struct TNetMessage {
  uint8_t Code = 0;
  std::string S1, S2, S3;
  float F[6] = {0, 0, 0, 0, 0, 0};
};

TNetMessage MakeMessage(uint8_t code, std::string s1 = "", std::string s2 = "", std::string s3 = "");

// Codes are separate per direction.
namespace ServerMsg {
inline constexpr uint8_t Position = 6, Armour = 16, Health = 17, Score = 19, RoundOver = 20, Died = 22;
}
namespace ClientMsg {
inline constexpr uint8_t State = 3, Shot = 4, Died = 5;
}

class TServer;

// One connected client in slot Index; it plays character Index + 1.
class TServerClient {
 public:
  TServerClient(TServer& server, int32_t index) : Index(index), Server(server) {}
  void Send(const TNetMessage& message);
  void Send(uint8_t code, std::string s1 = "", std::string s2 = "", std::string s3 = "");
  // Server message 6: where the round restart put the client's player.
  void SendPosition(float x, float y, float z);

  bool Dirty = false;    // the client's character needs a state message
  bool Started = false;  // the client has answered the start message
  int32_t Index;
  TServer& Server;
};

class TServer {
 public:
  TServer(int32_t maxPlayers, int32_t udpPort, int32_t tcpPort, int32_t goldPerRound, bool friendlyFire,
          std::string serverName);

  // The first free slot, else a new one at the end; returns its number.
  int32_t AddClient();
  // Frees slot k (nothing when it is free or out of range).
  void RemoveClient(int32_t slot);
  // The client in slot k; null for a free slot or a number outside the list.
  TServerClient* Slot(int32_t slot) const;
  int32_t ConnectedCount() const;
  // To every existing client.
  void Broadcast(const TNetMessage& message);

  bool HostDirty = false;  // the server's own player (character 0) needs a state message
  std::vector<std::unique_ptr<TServerClient>> Clients;  // null = free slot
  int32_t ClientCount = 0;                              // length of Clients
  int32_t TCPPort, UDPPort, MaxPlayers;
  std::string ServerName;
  bool FriendlyFire;
  int32_t GoldPerRound;
  // Where a message to one client leaves; empty: dropped.
  std::function<void(const TServerClient& to, const TNetMessage& message)> Transmit;
};

class TClient {
 public:
  TClient(std::string host, int32_t tcpPort, int32_t udpPort, std::string playerName);
  void Send(const TNetMessage& message);

  bool Started = false;  // the start information has arrived
  bool Dirty = false;    // the local player's state needs sending
  std::string Host;
  int32_t TCPPort, UDPPort;
  std::string ServerName, PlayerName;
  // Where a message to the server leaves; empty: dropped.
  std::function<void(const TNetMessage& message)> Transmit;
};

class TNetwork {
 public:
  // Sets the role and creates the server; no sockets are opened yet.
  void StartServer(int32_t maxPlayers, int32_t udpPort, int32_t tcpPort, int32_t goldPerRound, bool friendlyFire,
                   const std::string& serverName);
  // Sets the role and creates the client; no connection is made yet.
  void StartClient(const std::string& host, int32_t tcpPort, int32_t udpPort, const std::string& playerName);
  // Frees the session and clears both roles; harmless without one.
  void Close();

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
  // The client that plays character `index` has started (server only).
  bool PlayerStarted(int32_t index) const;

  // Team mates can hit each other (only a server says so).
  bool FriendlyFire() const { return Server && Server->FriendlyFire; }

  bool IsServer = false;
  std::unique_ptr<TServer> Server;
  bool IsClient = false;
  std::unique_ptr<TClient> Client;
};

// Whole run: created by InitModules and freed by ShutdownModules; null only
// before and after (and in tests that do not make one).
extern TNetwork* Network;
