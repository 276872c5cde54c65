// What arrives over the network, applied to the characters. Each direction
// has a table from code to handler with the connection states in which the
// code is allowed; a code outside its states is ignored, one missing from the
// table counts as unknown, and a number that does not convert makes the
// message garbage (the session drops the peer).
#include "game/net_rules.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/console_sink.h"
#include "core/convert.h"
#include "core/game_settings.h"
#include "core/paths.h"
#include "game/characters.h"
#include "game/ki.h"
#include "game/query_status.h"
#include "game/weapons.h"
#include "net/net_log.h"
#include "world/level.h"

TNetRuleHooks NetRuleHooks;

namespace {

constexpr int32_t kMaxCharacters = 255;  // the datagram's index is one byte

bool Sane(float v) { return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate; }

// A float field as an integer in [lo, hi]; false when outside or not finite.
bool FloatField(float f, int32_t lo, int32_t hi, int32_t& out) {
  if (!std::isfinite(f)) return false;
  out = RoundToInt(f);
  return out >= lo && out <= hi;
}

// A decimal text; false when it does not convert.
bool IntField(const std::string& s, int32_t& out) {
  std::optional<int32_t> v = TryStrToInt(s);
  if (!v) return false;
  out = *v;
  return true;
}

// The character an index text names, or null.
TCharacter* NamedCharacter(const std::string& s, bool& converts) {
  int32_t i = 0;
  converts = IntField(s, i);
  return converts && Characters ? Characters->At(i) : nullptr;
}

struct TStateFields {
  std::string Name;
  uint8_t Team = 0;
  int32_t Armour = 0, Model = -1, Slot = 0, Pistol = -1, Rifle = -1;
};

// The state payload, or false when any field lies outside what a player can be.
bool ReadState(const TNetMessage& m, TStateFields& s) {
  if (m.S2 != "0" && m.S2 != "1") return false;
  s.Name = m.S1;
  s.Team = m.S2 == "1" ? 1 : 0;
  if (!FloatField(m.F[0], 0, 100, s.Armour) || !FloatField(m.F[1], -1, 11, s.Model) ||
      !FloatField(m.F[3], 0, 3, s.Slot) || !FloatField(m.F[4], -1, 4, s.Pistol) || !FloatField(m.F[5], -1, 4, s.Rifle))
    return false;
  return s.Model == -1 || s.Model == 0 || s.Model == 1 || s.Model == 10 || s.Model == 11;
}

void ApplyState(TCharacter& c, const TStateFields& s) {
  c.SetName(s.Name);
  c.SetTeam(s.Team);
  c.SetArmour(s.Armour);
  c.SetModel(s.Model);
  c.SetWeaponSlot(s.Slot);
  c.PistolIndex = s.Pistol;
  c.RifleIndex = s.Rifle;
}

}  // namespace

TNetMessage StateMessage(uint8_t code, const TCharacter& c) {
  TNetMessage m = MakeMessage(code, c.Name, c.Team == 1 ? "1" : "0");
  m.F[0] = static_cast<float>(c.Armour);
  m.F[1] = static_cast<float>(c.ModelNr);
  m.F[3] = static_cast<float>(c.WeaponSlot);
  m.F[4] = static_cast<float>(c.PistolIndex);
  m.F[5] = static_cast<float>(c.RifleIndex);
  return m;
}

TNetMessage PhysicsMessage(int32_t gravity, double speed) {
  return MakeMessage(ServerMsg::Physics, std::to_string(gravity), FloatToStr(speed));
}

namespace {

TServer* Server() { return Network && Network->IsServer ? Network->Server.get() : nullptr; }
TClient* Client() { return Network && Network->IsClient ? Network->Client.get() : nullptr; }

// ---- server side: client messages ----

enum : uint8_t { kConnected = 1, kStarted = 2 };

void SendStartInfo(TServerClient& client) {
  const int32_t me = client.Index + 1;
  TNetMessage info = MakeMessage(ServerMsg::StartInfo, client.Server.ServerName, kNetRevision);
  info.F[0] = static_cast<float>(Characters->Count);
  info.F[1] = static_cast<float>(me);
  client.Send(info);
  for (int32_t i = 0; i < Characters->Count; ++i)
    if (!Characters->At(i)->InUse) client.Send(ServerMsg::PlayerLeft, std::to_string(i));
  const TGameSettings* settings = NetRuleHooks.Settings;
  client.Send(PhysicsMessage(settings ? settings->Gravity : 100, settings ? settings->Speed : 0.5));
  SendServerState(0);
  for (int32_t j = 0; j < client.Server.ClientCount; ++j) {
    if (j == client.Index) continue;
    SendServerState(j + 1);
    client.Send(ServerMsg::YourIndex, std::to_string(me));
  }
}

TVerdict OnReady(TServerClient& client, const TNetMessage& m) {
  client.Started = true;
  client.PeerStamps = m.S1 == kNetRevision;
  // F1: the UDP port the client listens on; 0 (or nothing usable) means the
  // server's own, as every client did before it could say.
  int32_t port = 0;
  if (FloatField(m.F[0], 1, 65535, port)) client.SetUDPPort(static_cast<uint16_t>(port));
  SendStartInfo(client);
  return TVerdict::Handled;
}

TVerdict OnChat(TServerClient& client, const TNetMessage& m) {
  BroadcastChat(client.Index + 1, m.S1 + m.S2 + m.S3, m.F[0] != 1.0f);
  return TVerdict::Handled;
}

TVerdict OnClientState(TServerClient& client, const TNetMessage& m) {
  TCharacter* c = Characters->At(client.Index + 1);
  TStateFields s;
  if (!c || !ReadState(m, s)) return TVerdict::Ignored;
  ApplyState(*c, s);
  return TVerdict::Handled;
}

// The shot is resolved against the targets where the shooter saw them: its
// picture's moment (S1, the server's clock modulo 16384) at most
// kMaxRewindMs back; without a moment, where they are now.
void FireAsSeen(TCharacter& shooter, const TRay& ray, const TWeapon& weapon, const std::string& seen) {
  const std::optional<int32_t> stamp = seen.empty() ? std::nullopt : TryStrToInt(seen);
  if (!stamp || *stamp < 0 || *stamp > static_cast<int32_t>(kStampMask)) {
    shooter.FireRay(ray, weapon);
    return;
  }
  const uint32_t now = Characters->Now;
  uint32_t back = (now - static_cast<uint32_t>(*stamp)) & kStampMask;
  if (back > kStampMask / 2) back = 0;  // a moment still to come is now
  back = std::min(back, kMaxRewindMs);
  RewindAndFire(*Characters, shooter, ray, weapon, now - back);
}

TVerdict OnShot(TServerClient& client, const TNetMessage& m) {
  TCharacter* c = Characters->At(client.Index + 1);
  // Nobody fights before the host's first round: the bots stand still.
  if (!c || c->Dead || Characters->WaitingForHost()) return TVerdict::Ignored;
  const TWeapon* weapon = WeaponInHand(*c);
  if (!weapon) return TVerdict::Ignored;
  for (float f : m.F)
    if (!Sane(f)) return TVerdict::Ignored;
  TRay ray{{m.F[0], m.F[1], m.F[2]}, {m.F[3], m.F[4], m.F[5]}};
  if (VecLength(ray.Direction) == 0) return TVerdict::Ignored;
  if (VecLength(VecSub(ray.Origin, c->HeadSphere.Centre)) > kMaxShotOriginDistance) return TVerdict::Ignored;
  uint32_t& lastShot = c->WeaponSlot == 0 ? c->RifleLastShot : c->PistolLastShot;
  const double minGap = weapon->Sleep * (1.0 - kShotJitterFraction);
  if (lastShot != 0 && static_cast<double>(Characters->Now) < lastShot + minGap) return TVerdict::Ignored;
  lastShot = Characters->Now;
  ray.Direction = VecNormalize(ray.Direction);
  FireAsSeen(*c, ray, *weapon, m.S1);
  return TVerdict::Handled;
}

TVerdict OnClientDied(TServerClient& client, const TNetMessage&) {
  if (TCharacter* c = Characters->At(client.Index + 1)) c->SetDead(true);
  return TVerdict::Handled;
}

struct TClientCodeRule {
  uint8_t Code;
  uint8_t States;
  TVerdict (*Handle)(TServerClient&, const TNetMessage&);
};

constexpr TClientCodeRule kClientCodes[] = {
    {ClientMsg::Ready, kConnected, OnReady},  // once: a second ready would replay the handshake
    {ClientMsg::Chat, kStarted, OnChat},
    {ClientMsg::State, kStarted, OnClientState},
    {ClientMsg::Shot, kStarted, OnShot},
    {ClientMsg::Died, kStarted, OnClientDied},
};

// ---- client side: server messages ----

TCharacter* Local() { return Characters ? Characters->LocalCharacter : nullptr; }

TVerdict OnServerFull(const TNetMessage&) {
  Network->Fail("Client: Server is full");
  return TVerdict::Handled;
}

TVerdict OnStartLevel(const TNetMessage& m) {
  if (!IsPlainLevelName(m.S1)) {
    Network->Fail("Map konnte nicht gefunden werden: " + m.S1);
    return TVerdict::Handled;
  }
  NetLog("Client: SERVER L\xC4UFT! mit Scenario: " + m.S1);
  if (NetRuleHooks.RequestLevel) NetRuleHooks.RequestLevel(m.S1);
  if (TClient* client = Client()) {
    TNetMessage ready = MakeMessage(ClientMsg::Ready, kNetRevision);
    ready.F[0] = static_cast<float>(client->LocalUDPPort);
    client->Send(ready);
  }
  return TVerdict::Handled;
}

TVerdict OnServerGone(const TNetMessage&) {
  Network->Fail("Server Disconnected");
  return TVerdict::Handled;
}

TVerdict OnServerState(const TNetMessage& m) {
  bool converts = false;
  TCharacter* c = NamedCharacter(m.S3, converts);
  if (!converts) return TVerdict::Garbage;
  TStateFields s;
  if (!c || !ReadState(m, s)) return TVerdict::Ignored;
  ApplyState(*c, s);
  return TVerdict::Handled;
}

TVerdict OnChatLine(const TNetMessage& m) {
  ConsolePrint(m.S1 + m.S2 + m.S3);
  return TVerdict::Handled;
}

TVerdict OnPosition(const TNetMessage& m) {
  TCharacter* me = Local();
  if (!me || !Sane(m.F[0]) || !Sane(m.F[1]) || !Sane(m.F[2])) return TVerdict::Ignored;
  me->SetPosition(m.F[0], m.F[1], m.F[2]);
  // Only a restart sends this: the client turns to the spawn point's view,
  // which its own copy of the level gives.
  if (const TLevel* level = Characters->Level()) me->SetView(level->SpawnYaw(me->BoundSphere.Centre), 0);
  return TVerdict::Handled;
}

TVerdict OnStartInfo(const TNetMessage& m) {
  NetLog("Client: received start infos!");
  if (TClient* client = Client()) client->PeerStamps = m.S2 == kNetRevision;
  int32_t count = 0, me = 0;
  if (!Characters || !FloatField(m.F[0], 1, kMaxCharacters, count) || !FloatField(m.F[1], 0, count - 1, me))
    return TVerdict::Ignored;
  while (Characters->Count < count) Characters->Add(-1, 0, 0, 0);
  Characters->SetLocal(me);
  TClient* client = Client();
  client->ServerName = m.S1;
  ConsolePrint("Welcome on the Server: \"" + m.S1 + "\"!");
  Characters->LocalCharacter->SetName(client->PlayerName);
  client->Started = true;
  client->Dirty = true;
  return TVerdict::Handled;
}

TVerdict OnPlayerJoined(const TNetMessage& m) {
  NetLog("Client: Player Joined");
  int32_t count = 0;
  if (!IntField(m.S1, count)) return TVerdict::Garbage;
  if (!Characters || count > kMaxCharacters) return TVerdict::Ignored;
  for (int32_t i = 0; i < Characters->Count; ++i) Characters->At(i)->SetInUse(true);
  while (Characters->Count < count) Characters->Add(-1, 0, 0, 0);
  return TVerdict::Handled;
}

// Codes whose S1 names a character: converts, and the character exists.
template <typename Apply>
TVerdict OnIndexed(const TNetMessage& m, Apply apply) {
  bool converts = false;
  TCharacter* c = NamedCharacter(m.S1, converts);
  if (!converts) return TVerdict::Garbage;
  if (!c) return TVerdict::Ignored;
  return apply(*c);
}

TVerdict OnPlayerLeft(const TNetMessage& m) {
  NetLog("Client: Player Left");
  return OnIndexed(m, [](TCharacter& c) {
    c.SetInUse(false);
    return TVerdict::Handled;
  });
}

// Codes whose S1 is a number for the local player.
template <typename Apply>
TVerdict OnNumber(const TNetMessage& m, Apply apply) {
  int32_t n = 0;
  if (!IntField(m.S1, n)) return TVerdict::Garbage;
  if (!Characters) return TVerdict::Ignored;
  apply(n);
  return TVerdict::Handled;
}

TVerdict OnArmour(const TNetMessage& m) {
  return OnNumber(m, [](int32_t n) { Local()->SetArmour(n); });
}
TVerdict OnHealth(const TNetMessage& m) {
  return OnNumber(m, [](int32_t n) { Local()->SetHealth(n); });
}
TVerdict OnMoney(const TNetMessage& m) {
  return OnNumber(m, [](int32_t n) { Local()->Money += n; });
}
TVerdict OnRoundOver(const TNetMessage& m) {
  return OnNumber(m, [](int32_t n) {
    Characters->RespawnTime = Characters->Now + 5000;
    Characters->RoundOver = true;
    Local()->Money += n;
  });
}

TVerdict OnScore(const TNetMessage& m) {
  int32_t kills = 0, deaths = 0;
  if (!IntField(m.S2, kills) || !IntField(m.S3, deaths)) return TVerdict::Garbage;
  return OnIndexed(m, [&](TCharacter& c) {
    if (int64_t{kills} == int64_t{c.Kills} + 1) {
      const TWeapon* weapon = WeaponInHand(c);
      Characters->KillFeed.Scored(c, Characters->Now, weapon ? MaxBodyShotDamage(*weapon) : -1);
    }
    c.SetKills(kills);
    c.SetDeaths(deaths);
    return TVerdict::Handled;
  });
}

TVerdict OnPhysics(const TNetMessage& m) {
  int32_t gravity = 0;
  std::optional<double> speed = TryStrToFloat(m.S2);
  if (!IntField(m.S1, gravity) || !speed || !std::isfinite(*speed)) return TVerdict::Garbage;
  if (NetRuleHooks.Settings) {
    NetRuleHooks.Settings->Gravity = gravity;
    NetRuleHooks.Settings->Speed = *speed;
  }
  return TVerdict::Handled;
}

TVerdict OnDied(const TNetMessage& m) {
  return OnIndexed(m, [](TCharacter& c) {
    c.SetDead(true);
    return TVerdict::Handled;
  });
}

TVerdict OnYourIndex(const TNetMessage& m) {
  return OnIndexed(m, [](TCharacter& c) {
    Characters->SetLocal(c.Id);
    return TVerdict::Handled;
  });
}

struct TServerCodeRule {
  uint8_t Code;
  uint8_t States;
  TVerdict (*Handle)(const TNetMessage&);
};

constexpr uint8_t kAny = kConnected | kStarted;
constexpr TServerCodeRule kServerCodes[] = {
    {ServerMsg::ServerFull, kAny, OnServerFull},   {ServerMsg::StartLevel, kAny, OnStartLevel},
    {ServerMsg::ServerGone, kAny, OnServerGone},   {ServerMsg::State, kStarted, OnServerState},
    {ServerMsg::Chat, kAny, OnChatLine},           {ServerMsg::Position, kAny, OnPosition},
    {ServerMsg::StartInfo, kAny, OnStartInfo},     {ServerMsg::PlayerJoined, kAny, OnPlayerJoined},
    {ServerMsg::PlayerLeft, kAny, OnPlayerLeft},   {ServerMsg::Armour, kAny, OnArmour},
    {ServerMsg::Health, kAny, OnHealth},           {ServerMsg::Money, kAny, OnMoney},
    {ServerMsg::Score, kAny, OnScore},             {ServerMsg::RoundOver, kAny, OnRoundOver},
    {ServerMsg::Physics, kAny, OnPhysics},         {ServerMsg::Died, kAny, OnDied},
    {ServerMsg::YourIndex, kAny, OnYourIndex},
};

// Rules that need a level run without one are ignored.
bool NeedsLevel(uint8_t code) { return code != ServerMsg::ServerFull && code != ServerMsg::StartLevel && code != ServerMsg::ServerGone && code != ServerMsg::Chat && code != ServerMsg::Physics; }

// ---- movement claims ----

// How long after a placement or correction refused datagrams are taken for
// ones that were already on their way.
constexpr uint32_t kQuietMs = 1000;
constexpr uint32_t kRefusalLogMs = 10000;

bool Before(uint32_t now, uint32_t until) { return static_cast<int32_t>(now - until) < 0; }

// After a placement the server hears, for about a round trip, what the client
// sent before it learnt of it: a path that goes on from where it was, while
// what it sends after starts where it was placed. Only a datagram clearly
// nearer the old path than the character counts as sent before: near the
// placement the two cannot be told apart, and judging those is safe.
bool FromBeforePlacement(const TClientMoves& m, const TVec3& claimed, const TVec3& here, uint32_t now) {
  return Before(now, m.CrossingUntil) &&
         VecLength(VecSub(claimed, m.OldPath)) + kMoveSlack < VecLength(VecSub(claimed, here));
}

void StartCrossing(TClientMoves& m, const TVec3& oldPath, uint32_t now) {
  m.OldPath = oldPath;
  m.CrossingUntil = now + kQuietMs;
  m.QuietUntil = now + kQuietMs;
}

// A client's claimed position: taken when the movement rules allow it, else
// the server keeps the last position it took and tells the client so.
void JudgeMove(TServerClient& client, TCharacter& c, const TVec3& claimed, uint16_t stamp) {
  const uint32_t now = Characters->Now;
  TClientMoves& m = c.Moves;
  const TVec3 here = c.Position();
  if (here.x != m.Placed.x || here.y != m.Placed.y || here.z != m.Placed.z) {
    // The server placed the character (a respawn) since the last datagram.
    m.Check.Reset(now);
    StartCrossing(m, m.Placed, now);
    m.Placed = here;
  }
  if (FromBeforePlacement(m, claimed, here, now)) {
    // Neither taken nor refused; the next one goes on from here.
    m.OldPath = claimed;
    return;
  }
  TMoveLimits limits;
  if (const TGameSettings* s = NetRuleHooks.Settings) limits = {s->Speed, s->Gravity};
  const TLevel* level = Characters->Level();
  std::string why;
  if (m.Check.Accept(here, claimed, VecSub(c.BoundSphere.Centre, here), c.BoundSphere.Radius, now, limits,
                     level ? level->Octree.get() : nullptr, why)) {
    c.SetPosition(claimed.x, claimed.y, claimed.z);
    m.Placed = c.Position();
    m.QuietUntil = now;
    // The host draws its clients' characters smoothed too.
    const uint32_t at = client.PeerStamps ? c.OwnClock.Unwrap(stamp) : now;
    c.OwnClock.Arrived(at, now);
    c.Remote.Add(at, {claimed, c.Yaw, c.Pitch});
    c.RemoteClock = &c.OwnClock;
    return;
  }
  if (Before(now, m.QuietUntil)) return;
  // A correction is a placement too: until the client hears of it, its
  // datagrams go on from the refused position.
  client.SendPosition(here.x, here.y, here.z);
  StartCrossing(m, claimed, now);
  if (!m.Logged || now - m.LastLog >= kRefusalLogMs) {
    m.Logged = true;
    m.LastLog = now;
    NetLog("Position refused (" + why + ") from " + DottedAddress(client.PeerAddress) + ":" +
        std::to_string(client.PeerPort) + ", character " + std::to_string(c.Id));
  }
}

}  // namespace

// ---- the rules object ----

void TNetRules::ClientJoined(TServerClient& client) {
  const std::string level = Characters && Characters->Level() ? Characters->Level()->MapName : "";
  if (Characters) {
    Characters->Add(-1, 0, 0, 0);
    const TNetMessage joined =
        MakeMessage(ServerMsg::PlayerJoined, std::to_string(Characters->Count), std::to_string(client.Index + 1));
    // A client marks every character in use on message 8; the ones that
    // are not (a dedicated server's character 0, a player who left) are
    // named again, or they would stand in its statistics and teams.
    auto tell = [&](const TNetMessage& m) {
      for (const auto& other : client.Server.Clients)
        if (other && other.get() != &client) other->Send(m);
      if (client.Server.Tap) client.Server.Tap->Message(m);
    };
    tell(joined);
    for (int32_t i = 0; i < Characters->Count; ++i)
      if (!Characters->At(i)->InUse) tell(MakeMessage(ServerMsg::PlayerLeft, std::to_string(i)));
  }
  client.Send(ServerMsg::StartLevel, level);
}

TVerdict TNetRules::ClientMessage(TServerClient& client, const TNetMessage& m) {
  if (!Characters) return TVerdict::Ignored;
  const uint8_t state = client.Started ? kStarted : kConnected;
  for (const TClientCodeRule& rule : kClientCodes)
    if (rule.Code == m.Code) return rule.States & state ? rule.Handle(client, m) : TVerdict::Ignored;
  return TVerdict::Unknown;
}

void TNetRules::ClientLeft(int32_t slot) {
  if (!Characters) return;
  if (TCharacter* c = Characters->At(slot + 1)) c->SetInUse(false);
}

bool TNetRules::MakeRoomForJoin() { return KI && KI->RemoveBotForJoin() >= 0; }

void TNetRules::ClientDatagram(TServerClient& client, const TDatagram& d) {
  // Only the slot's own character, and only believable numbers.
  if (!Characters || d.Index != client.Index + 1) return;
  TCharacter* c = Characters->At(d.Index);
  if (!c || !Sane(d.X) || !Sane(d.Y) || !Sane(d.Z) || !Sane(d.Yaw) || !Sane(d.Pitch)) return;
  c->SetView(d.Yaw, d.Pitch);
  // A dead player has nowhere to go; what still arrives left before the death.
  if (c->Dead) return;
  JudgeMove(client, *c, {d.X, d.Y, d.Z}, d.Stamp);
}

TVerdict TNetRules::ServerMessage(const TNetMessage& m) {
  TClient* client = Client();
  if (!client) return TVerdict::Ignored;
  const uint8_t state = client->Started ? kStarted : kConnected;
  for (const TServerCodeRule& rule : kServerCodes) {
    if (rule.Code != m.Code) continue;
    if (!(rule.States & state)) return TVerdict::Ignored;
    if (NeedsLevel(m.Code) && !Characters) return TVerdict::Ignored;
    return rule.Handle(m);
  }
  return TVerdict::Unknown;
}

void TNetRules::ServerDatagram(const TDatagram& d) {
  if (!Characters || d.Index == Characters->LocalIndex) return;  // the local player moves itself
  TCharacter* c = Characters->At(d.Index);
  if (!c || !Sane(d.X) || !Sane(d.Y) || !Sane(d.Z) || !Sane(d.Yaw) || !Sane(d.Pitch)) return;
  c->SetPosition(d.X, d.Y, d.Z);
  c->SetView(d.Yaw, d.Pitch);
  c->SetHealth(d.Health);
  TClient* client = Client();
  TSenderClock& clock = Characters->ServerClock;
  const uint32_t now = Characters->Now;
  const bool stamped = client && client->PeerStamps;
  const uint32_t stamp = stamped ? clock.Unwrap(d.Stamp & kStampMask) : now;
  clock.Arrived(stamp, now);
  // The shot count of the newest datagram only: an overtaken one is older news.
  if (stamped && (c->Remote.Empty() || static_cast<int32_t>(stamp - c->Remote.Newest()) > 0)) {
    const uint8_t shots = static_cast<uint8_t>(d.Stamp >> 14);
    if (c->HeardAny && shots != c->ShotsHeard && GameHooks.ShotHeard) GameHooks.ShotHeard(c->HeadSphere.Centre);
    c->ShotsHeard = shots;
    c->HeardAny = true;
  }
  c->Remote.Add(stamp, {{d.X, d.Y, d.Z}, d.Yaw, d.Pitch});
  c->RemoteClock = &clock;
}

void TNetRules::SendPositions() {
  if (!Characters) return;
  const uint32_t now = Characters->Now;
  const uint16_t stamp = static_cast<uint16_t>(now & kStampMask);
  if (TServer* server = Server()) {
    // What every client is about to see, kept for resolving its shots.
    for (int32_t j = 0; j < Characters->Count; ++j)
      if (TCharacter* c = Characters->At(j); !c->Dead) c->History.Add(now, {c->Position(), c->Yaw, c->Pitch});
    auto datagram = [stamp](const TCharacter& c) {
      const uint16_t shots = static_cast<uint16_t>((c.ShotsFired & 3) << 14);
      return TDatagram{c.X, c.Y, c.Z, c.Yaw, c.Pitch, static_cast<uint8_t>(c.Health & 0xFF),
                       static_cast<uint8_t>(c.Id), static_cast<uint16_t>(stamp | shots)};
    };
    for (const auto& client : server->Clients) {
      if (!client || !client->Started) continue;
      for (int32_t j = 0; j < Characters->Count; ++j) {
        const TCharacter* c = Characters->At(j);
        if (j == client->Index + 1 || c->Dead) continue;
        server->SendDatagram(*client, datagram(*c));
      }
    }
    // A recording shows every character, the server's own player too.
    if (server->Tap)
      for (int32_t j = 0; j < Characters->Count; ++j)
        if (const TCharacter* c = Characters->At(j); !c->Dead && c->InUse) server->Tap->Datagram(datagram(*c));
  } else if (TClient* client = Client()) {
    const TCharacter* me = Local();
    if (!client->Started || !me || me->Dead) return;
    client->SendDatagram(
        {me->X, me->Y, me->Z, me->Yaw, me->Pitch, 1, static_cast<uint8_t>(Characters->LocalIndex), stamp});
  }
}

void TNetRules::SendDirtyStates() {
  if (!Characters) return;
  if (TServer* server = Server()) {
    for (const auto& client : server->Clients) {
      if (!client || !client->Dirty) continue;
      client->Dirty = false;
      SendServerState(client->Index + 1);
    }
    if (server->HostDirty) {
      server->HostDirty = false;
      SendServerState(0);
    }
  } else if (TClient* client = Client()) {
    if (!client->Dirty || !client->Started || !Local()) return;
    client->Dirty = false;
    client->Send(StateMessage(ClientMsg::State, *Local()));
  }
}

void TNetRules::MarkLocalDirty() {
  if (TServer* server = Server()) {
    const int32_t local = Characters ? Characters->LocalIndex : 0;
    if (local < 1)
      server->HostDirty = true;
    else if (TServerClient* c = server->Slot(local - 1))
      c->Dirty = true;
  } else if (TClient* client = Client()) {
    if (client->Started) client->Dirty = true;
  }
}

void TNetRules::SendChat(const std::string& text, bool teamOnly) {
  if (Server()) {
    BroadcastChat(0, text, !teamOnly);
  } else if (TClient* client = Client()) {
    const std::string cut = text.substr(0, 50);
    TNetMessage m = MakeMessage(ClientMsg::Chat, "", cut.substr(0, 25), cut.size() > 25 ? cut.substr(25) : "");
    m.F[0] = teamOnly ? 1.0f : 0.0f;
    client->Send(m);
  }
}

void InstallNetRules(TNetwork& network) {
  static TNetRules rules;
  network.Rules = &rules;
  // Discovery answers name the level and count everybody playing, bots included.
  network.DescribeGame = [](TServerInfo& info) {
    if (!Characters) return;
    if (Characters->Level()) info.Map = Characters->Level()->MapName;
    info.Players = Characters->CountInUse();
  };
  network.DescribePlayers = [&network](TServerStatus& status) { DescribeStatusPlayers(network, status); };
}

void SendServerState(int32_t index) {
  TServer* server = Server();
  const TCharacter* c = Characters ? Characters->At(index) : nullptr;
  if (!server || !c) return;
  TNetMessage m = StateMessage(ServerMsg::State, *c);
  m.S3 = std::to_string(index);
  for (const auto& client : server->Clients)
    if (client && client->Index + 1 != index) client->Send(m);
  if (server->Tap) server->Tap->Message(m);
}

TNetMessage ChatLineMessage(const std::string& line) {
  auto piece = [&](size_t at) { return at < line.size() ? line.substr(at, 25) : std::string(); };
  return MakeMessage(ServerMsg::Chat, piece(0), piece(25), piece(50));
}

void BroadcastChat(int32_t senderIndex, const std::string& text, bool all) {
  TServer* server = Server();
  const TCharacter* sender = Characters ? Characters->At(senderIndex) : nullptr;
  if (!server || !sender) return;
  const std::string line = "<>" + sender->Name + ": " + text;
  const TNetMessage m = ChatLineMessage(line);
  for (const auto& client : server->Clients) {
    if (!client) continue;
    const TCharacter* c = Characters->At(client->Index + 1);
    if (all || (c && c->Team == sender->Team)) client->Send(m);
  }
  if (all && server->Tap) server->Tap->Message(m);
  // A server without a player of its own (character 0 out of use) is its
  // operator's: every line, team chat too, goes to the log.
  const TCharacter* host = Characters->At(0);
  if (all || (host && (!host->InUse || host->Team == sender->Team))) ConsolePrint(line);
}

void BroadcastPhysics(int32_t gravity, double speed) {
  if (TServer* server = Server()) server->Broadcast(PhysicsMessage(gravity, speed));
}

bool IsPlainLevelName(const std::string& name) {
  if (name.empty() || name == "." || name.size() > 25 || name.find("..") != std::string::npos) return false;
  for (char ch : name)
    if (ch == '/' || ch == '\\' || ch == ':' || static_cast<unsigned char>(ch) < 32) return false;
  return DirectoryExists(HostPath("data\\maps\\" + name));
}

bool PlayableLevel(const std::string& name) {
  const std::string base = "data\\maps\\" + name + "\\map";
  return IsPlainLevelName(name) && (FileExists(HostPath(base + ".lvl")) || FileExists(HostPath(base + ".3ds")));
}
