// The game's side of the network session: what each arriving message does to
// the characters, the handshake of a joining client, chat relaying, state and
// position sends. Every code has a handler and the connection states in which
// it is allowed; whatever arrives is checked before it touches a character:
// indices against the list, numbers for range and finiteness, shots for
// cadence and origin. The server trusts no client.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "net/network.h"

struct TGameSettings;
class TCharacter;

struct TNetRuleHooks {
  // A client was told to play this level (Tgame::RequestLevel).
  std::function<void(const std::string& name)> RequestLevel;
  // The gravity and speed of message 21 (the game's own settings).
  TGameSettings* Settings = nullptr;
};

// Whole run: empty until the game driver (or a test) fills it.
extern TNetRuleHooks NetRuleHooks;

// A shot may come this much sooner than the weapon's Sleep allows: TCP
// delivers a burst of shots that left in cadence closer together.
inline constexpr double kShotJitterFraction = 0.25;
// The most a shot's origin may lie from the shooter's head centre.
inline constexpr float kMaxShotOriginDistance = 2.0f;
// How far back a client's shot may be resolved: a slow connection may not
// shoot into the past at will.
inline constexpr uint32_t kMaxRewindMs = 250;
// Coordinates beyond this are absurd.
inline constexpr float kMaxCoordinate = 1e6f;

class TNetRules : public TSessionRules {
 public:
  void ClientJoined(TServerClient& client) override;
  TVerdict ClientMessage(TServerClient& client, const TNetMessage& message) override;
  void ClientLeft(int32_t slot) override;
  // A bot leaves for the human.
  bool MakeRoomForJoin() override;
  void ClientDatagram(TServerClient& client, const TDatagram& datagram) override;
  TVerdict ServerMessage(const TNetMessage& message) override;
  void ServerDatagram(const TDatagram& datagram) override;
  void SendPositions() override;
  void SendDirtyStates() override;
  void MarkLocalDirty() override;
  void SendChat(const std::string& text, bool teamOnly) override;
};

// Sets Network->Rules to the one rules object (whole run).
void InstallNetRules(TNetwork& network);

// Server: message 4 with character I's state to every client but the one
// playing I.
void SendServerState(int32_t index);
// Server: "<>" + sender's name + ": " + text as message 5 to every client
// (all) or the sender's team, and on the server's console when it may read it.
void BroadcastChat(int32_t senderIndex, const std::string& text, bool all);
// A console line for clients (message 5, at most 75 characters).
TNetMessage ChatLineMessage(const std::string& line);
// Server: message 21 with the gravity and speed to every client (the console
// calls it when either changes).
void BroadcastPhysics(int32_t gravity, double speed);
// A character's state as message `code` (server 4 without S3, client 3).
TNetMessage StateMessage(uint8_t code, const TCharacter& c);
// Server message 21: the gravity and speed.
TNetMessage PhysicsMessage(int32_t gravity, double speed);
// A level name a server may give: a plain directory name of at most 25
// characters that exists under the maps directory.
bool IsPlainLevelName(const std::string& name);
// A plain level name whose map.lvl or map.3ds exists.
bool PlayableLevel(const std::string& name);
