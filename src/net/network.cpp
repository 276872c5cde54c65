// Session roles, slots and the sending operations the game rules call.
#include "net/network.h"

#include <utility>

TNetwork* Network = nullptr;

TNetMessage MakeMessage(uint8_t code, std::string s1, std::string s2, std::string s3) {
  TNetMessage m;
  m.Code = code;
  m.S1 = std::move(s1);
  m.S2 = std::move(s2);
  m.S3 = std::move(s3);
  return m;
}

void TServerClient::Send(const TNetMessage& message) {
  if (Server.Transmit) Server.Transmit(*this, message);
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
  for (const auto& c : Clients)
    if (c) c->Send(message);
}

TClient::TClient(std::string host, int32_t tcpPort, int32_t udpPort, std::string playerName)
    : Host(std::move(host)), TCPPort(tcpPort), UDPPort(udpPort), PlayerName(std::move(playerName)) {}

void TClient::Send(const TNetMessage& message) {
  if (Transmit) Transmit(message);
}

void TNetwork::StartServer(int32_t maxPlayers, int32_t udpPort, int32_t tcpPort, int32_t goldPerRound,
                           bool friendlyFire, const std::string& serverName) {
  Close();
  IsServer = true;
  Server = std::make_unique<TServer>(maxPlayers, udpPort, tcpPort, goldPerRound, friendlyFire, serverName);
}

void TNetwork::StartClient(const std::string& host, int32_t tcpPort, int32_t udpPort, const std::string& playerName) {
  Close();
  IsClient = true;
  Client = std::make_unique<TClient>(host, tcpPort, udpPort, playerName);
}

void TNetwork::Close() {
  Server.reset();
  Client.reset();
  IsServer = false;
  IsClient = false;
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
