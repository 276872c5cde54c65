// The computer players: slots, names, teams and models, the round's money
// and shopping, and each frame's thinking. How a bot decides, in order:
// dead bots wait; a bot that revived buys and heads for the enemy's spawn
// area (or, now and then, any point of the level); every 200 ms it looks for
// the nearest enemy it can see; with one in sight and in range it turns
// toward it at the skill's turn rate, sidestepping, and fires once the
// reaction delay has passed and its aim is on, never when a wall or a team
// mate is in the line; one out of range it walks to along the graph; without
// one it follows its path, picks a new point when it arrives, and when it
// has not moved for a while it jumps and sidesteps, then searches again.
#include "game/ki.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "core/platform.h"
#include "game/character.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "net/network.h"
#include "world/level.h"
#include "world/octree.h"

TKI* KI = nullptr;

namespace {

struct TSkillSettings {
  uint32_t ReactionMs;   // from first sight to the first shot
  float AimErrorDeg;     // each shot's error, up to this in yaw and pitch
  float TurnDegPerSec;   // how fast the view follows
  float SightRange;      // enemies farther away are not noticed
  float FireRange;       // farther away a bot closes in without firing: rounds are few
};

constexpr TSkillSettings kSkills[] = {
    {700, 5.0f, 180.0f, 30.0f, 10.0f},  // easy
    {400, 2.5f, 360.0f, 45.0f, 15.0f},  // normal
    {200, 1.0f, 720.0f, 60.0f, 25.0f},  // hard
};

constexpr const char* kNames[] = {"Alder", "Basil", "Cedar", "Dagny",  "Ember",   "Fenn", "Garnet", "Hollis",
                                  "Ivo",   "Juno",  "Kes",   "Larch",  "Moss",    "Nell", "Oren",   "Pike",
                                  "Quill", "Rook",  "Sable", "Tamsin", "Ulla",    "Vale", "Wren",   "Yarrow",
                                  "Zed",   "Brisk", "Cobb",  "Dune",   "Fletch",  "Gale", "Heath",  "Iris"};
constexpr int32_t kNameCount = static_cast<int32_t>(sizeof(kNames) / sizeof(kNames[0]));

constexpr uint32_t kScanMs = 200;        // between looks for enemies
constexpr uint32_t kNoProgressMs = 2500;  // without reaching a waypoint: stuck (they are 1 to 1.5 units apart)
constexpr uint32_t kRebuyMs = 1000;       // between tries to buy ammunition when out of it
constexpr uint32_t kUnstuckMs = 700;      // sidestepping after being stuck
constexpr float kWaypointReach = 0.7f;
constexpr float kAimTolerance = 4.0f;     // degrees off the target before firing
constexpr int32_t kPathsPerFrame = 2;     // searches are spread over frames
constexpr float kCloseRange = 10.0f;      // a fighting bot walks toward a target farther away
constexpr uint32_t kSidestepMs = 1200;    // and sidesteps one way, then the other, when nearer
constexpr uint32_t kChaseRepathMs = 3000;  // a chased target's place is looked up again this often

float Wrap180(float a) {
  a = std::fmod(a, 360.0f);
  if (a > 180) a -= 360;
  if (a < -180) a += 360;
  return a;
}

float Degrees(double radians) { return static_cast<float>(radians * 180 / std::numbers::pi); }

// The view (yaw, pitch) in which GetShotRay points from `from` toward `to`.
void ViewToward(const TVec3& from, const TVec3& to, float& yaw, float& pitch) {
  const double dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
  yaw = Degrees(std::atan2(dz, dx));
  const double h = std::max(1e-6, std::hypot(dx, dz));
  pitch = Degrees(-std::asin(std::clamp(dy / h, -1.0, 1.0)));
}

// Moves `angle` toward `goal` by at most `step` degrees.
float TurnToward(float angle, float goal, float step) {
  const float d = Wrap180(goal - angle);
  return Wrap180(angle + std::clamp(d, -step, step));
}

float RandomSpread(float size) { return static_cast<float>((RandomFloat() * 2 - 1) * size); }

const TWeapon* WeaponOf(const std::vector<std::unique_ptr<TWeapon>>& list, int32_t i) {
  return i >= 0 && static_cast<size_t>(i) < list.size() ? list[static_cast<size_t>(i)].get() : nullptr;
}

// The weapon in hand and its counters; null weapon when the slot has none.
struct THand {
  const TWeapon* Weapon = nullptr;
  int32_t* Shots = nullptr;
  uint32_t* Magazines = nullptr;
  uint32_t* LastShot = nullptr;
};

THand Hand(TCharacter& c, int32_t slot) {
  if (!Weapons) return {};
  if (slot == 0) return {WeaponOf(Weapons->Rifles, c.RifleIndex), &c.RifleShots, &c.RifleMagazines, &c.RifleLastShot};
  if (slot == 1)
    return {WeaponOf(Weapons->Pistols, c.PistolIndex), &c.PistolShots, &c.PistolMagazines, &c.PistolLastShot};
  return {};
}

bool HasAmmunition(TCharacter& c, int32_t slot) {
  THand h = Hand(c, slot);
  return h.Weapon && (*h.Shots > 0 || *h.Magazines > 0);
}

}  // namespace

bool ParseBotSkill(const std::string& text, TBotSkill& skill) {
  std::string t;
  for (char ch : text) t += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (t == "easy") skill = TBotSkill::Easy;
  else if (t == "normal") skill = TBotSkill::Normal;
  else if (t == "hard") skill = TBotSkill::Hard;
  else return false;
  return true;
}

struct TKI::TBot {
  int32_t Index = 0;  // character
  int32_t Slot = 0;   // server slot (Index - 1)
  bool Pinned = false;  // added with keepTeam: never moved to even the sides
  TMovement Move;
  TMoveInput Keys;
  std::vector<int32_t> Path;
  size_t PathPos = 0;
  int32_t Goal = -1;
  bool NeedsPath = true;
  bool WasDead = true;
  int32_t Target = -1;
  uint32_t TargetSince = 0;
  uint32_t NextScan = 0;
  uint32_t ReloadStart = 0;
  bool HasReloaded = false;
  uint32_t LastProgress = 0;  // a waypoint reached, a path found, a fight
  int32_t Unstucks = 0;       // tries since the last waypoint reached
  uint32_t UnstuckUntil = 0;
  uint32_t NextRebuy = 0;
  int32_t Chased = -1;        // the target out of range that the path leads to
  uint32_t ChasedAt = 0;
  TVec3 FightFrom;            // where the last fight check found the bot
  uint32_t FightCheck = 0;
  bool FightFlip = false;     // sidestep the other way, and stop closing in, after no movement
  bool StrafeLeft = false;
};

TKI::TKI(TCharacters* characters) : characters(characters) {
  // Bots that arrive in a round's pause are paid for that round, as the
  // host's player was.
  if (characters) roundsPaid = characters->RoundsEnded - (characters->RoundOver && characters->RoundsEnded > 0 ? 1 : 0);
  TLevel* level = characters ? characters->Level() : nullptr;
  if (!level || !level->Octree) return;
  std::vector<TVec3> spawns = level->TerSpawns;
  spawns.insert(spawns.end(), level->CTSpawns.begin(), level->CTSpawns.end());
  Nav.Build(*level->Octree, spawns);
}

// The slots go back to the session they were taken from (a new session has
// slots of its own, which are none of the bots' business).
TKI::~TKI() {
  if (!Network || !Network->Server || Network->Server.get() != server) return;
  for (const auto& bot : bots) server->RemoveClient(bot->Slot);
}

// Only players who chose a character count: a human still in the character
// choice is on team 0 by default, and would otherwise pull every bot to the
// terrorists.
void TKI::TeamSizes(int32_t sizes[2]) const {
  sizes[0] = sizes[1] = 0;
  for (int32_t i = 0; i < characters->Count; ++i)
    if (const TCharacter* c = characters->At(i); c && c->InUse && c->ModelNr >= 0) ++sizes[c->Team == 1 ? 1 : 0];
}

int32_t TKI::ModelFor(int32_t team) { return (team == 1 ? 10 : 0) + Random(2); }

// Humans choose their team after the bots did; in the pause after a round,
// dead bots of a team that is more than one larger change sides (a living
// one would lose what it carries).
void TKI::Rebalance() {
  int32_t sizes[2];
  TeamSizes(sizes);
  for (auto it = bots.rbegin(); it != bots.rend(); ++it) {
    const int32_t big = sizes[1] > sizes[0] ? 1 : 0;
    if (sizes[big] - sizes[1 - big] <= 1) return;
    TCharacter* c = characters->At((*it)->Index);
    if ((*it)->Pinned || !c || !c->Dead || c->ModelNr < 0 || c->Team != big) continue;
    c->SetModel(ModelFor(1 - big));
    --sizes[big];
    ++sizes[1 - big];
  }
}

bool TKI::IsBot(int32_t index) const {
  return std::any_of(bots.begin(), bots.end(), [&](const auto& b) { return b->Index == index; });
}

int32_t TKI::AddBot(int32_t team, bool keepTeam) {
  if (!characters || !Network || !Network->IsServer || !Network->Server) return -1;
  TServer& session = *Network->Server;
  // The host's own player, where there is one, takes one of MaxPlayers.
  if (session.ConnectedCount() + session.HostSeats >= session.MaxPlayers) return -1;
  if (team != 0 && team != 1) {
    int32_t sizes[2];
    TeamSizes(sizes);
    team = sizes[1] <= sizes[0] ? 1 : 0;
  }
  if (server && server != &session) return -1;  // bots of an earlier session are still here
  server = &session;
  const int32_t slot = session.AddClient();
  const int32_t model = ModelFor(team);
  const int32_t index = characters->Add(model, 0, 0, 0);
  if (index != slot + 1) {  // slots and characters come and go in pairs; refuse rather than mix them up
    characters->At(index)->SetInUse(false);
    session.RemoveClient(slot);
    characters->Recount();
    return -1;
  }
  TCharacter& c = *characters->At(index);
  c.SetModel(model);
  const int32_t n = namesUsed++;
  c.SetName(std::string(kNames[n % kNameCount]) + (n >= kNameCount ? std::to_string(n / kNameCount + 1) : ""));
  auto bot = std::make_unique<TBot>();
  bot->Index = index;
  bot->Slot = slot;
  bot->Pinned = keepTeam;
  bot->Path.reserve(static_cast<size_t>(Nav.NodeCount()) + 1);
  bot->Keys.Speed = 0.5;
  bot->Keys.Gravity = 100;
  bots.push_back(std::move(bot));
  characters->Recount();
  // Clients that are already playing learn of the newcomer as of any joining
  // player; later ones find it in their start information.
  session.Broadcast(MakeMessage(ServerMsg::PlayerJoined, std::to_string(characters->Count), std::to_string(index)));
  return index;
}

void TKI::Remove(size_t i) {
  const TBot& bot = *bots[i];
  // Announced as any disconnect (message 9), so clients free its character.
  if (Network && Network->Server.get() == server) server->Drop(bot.Slot, "bot left", nullptr);
  if (characters) {
    if (TCharacter* c = characters->At(bot.Index)) c->SetInUse(false);
    characters->Recount();
  }
  bots.erase(bots.begin() + static_cast<std::ptrdiff_t>(i));
}

bool TKI::KickBot() {
  if (bots.empty()) return false;
  Remove(bots.size() - 1);
  return true;
}

void TKI::KickBots() {
  while (KickBot()) {
  }
}

int32_t TKI::RemoveBotForJoin() {
  if (bots.empty()) return -1;
  const int32_t slot = bots.back()->Slot;
  KickBot();
  return slot;
}

void TKI::Think(uint32_t now, uint32_t ms) {
  // Before the host's first round the bots wait at their spawns.
  if (!characters || bots.empty() || !Network || !Network->IsServer || characters->WaitingForHost()) return;
  const int32_t step = static_cast<int32_t>(std::min<uint32_t>(ms, TMovement::kMaxStepMs));
  // Money: a client adds the gold of message 20 to its own money; a bot's
  // money lives here, on the server.
  if (characters->RoundsEnded != roundsPaid && Network->Server) {
    const int64_t gold = int64_t{Network->Server->GoldPerRound} * (characters->RoundsEnded - roundsPaid);
    for (const auto& bot : bots)
      if (TCharacter* c = characters->At(bot->Index))
        c->Money = static_cast<int32_t>(std::min<int64_t>(int64_t{c->Money} + gold, INT32_MAX));
  }
  roundsPaid = characters->RoundsEnded;
  if (characters->RoundOver) Rebalance();
  pathBudget = kPathsPerFrame;
  for (const auto& bot : bots) {
    TCharacter* c = characters->At(bot->Index);
    if (c && c->InUse) ThinkBot(*bot, *c, now, step);
  }
}

void TKI::ThinkBot(TBot& bot, TCharacter& c, uint32_t now, int32_t ms) {
  if (c.Dead) {
    bot.WasDead = true;
    bot.Target = -1;
    return;
  }
  if (bot.WasDead) Revived(bot, c, now);
  bot.Keys.Forward = bot.Keys.Backward = bot.Keys.Left = bot.Keys.Right = false;
  ReloadIfEmpty(bot, c, now);
  Perceive(bot, c, now);
  if (Fight(bot, c, now, ms)) bot.LastProgress = now;
  else Navigate(bot, c, now, ms);
  TLevel* level = characters->Level();
  if (level && level->Octree) bot.Move.Update(c, bot.Keys, *level->Octree, ms);
}

void TKI::Revived(TBot& bot, TCharacter& c, uint32_t now) {
  bot.WasDead = false;
  bot.Move.VerticalVelocity = 0;
  bot.Target = -1;
  bot.HasReloaded = false;
  bot.NextScan = now + static_cast<uint32_t>(Random(static_cast<int32_t>(kScanMs)));
  bot.LastProgress = now;
  bot.Unstucks = 0;
  bot.UnstuckUntil = 0;
  bot.NextRebuy = now;
  bot.Path.clear();
  bot.NeedsPath = true;
  bot.Goal = -1;
  Buy(c);
}

// The shop's rules with the bot's own money: a rifle when one is
// affordable, else a pistol when the pistol is empty (the dearest that
// leaves money for two magazines, else the dearest affordable: a gun
// without rounds wins no round); then two magazines, armour, and the
// remaining magazines.
void TKI::Buy(TCharacter& c) {
  if (!Weapons) return;
  auto dearest = [&](const std::vector<std::unique_ptr<TWeapon>>& list) {
    int32_t best = -1, bestArmed = -1;
    for (size_t i = 0; i < list.size(); ++i) {
      const TWeapon& w = *list[i];
      if (w.Prize > c.Money) continue;
      if (best < 0 || w.Prize > list[static_cast<size_t>(best)]->Prize) best = static_cast<int32_t>(i);
      if (int64_t{w.Prize} + 2 * int64_t{w.MagazinePrize} <= c.Money &&
          (bestArmed < 0 || w.Prize > list[static_cast<size_t>(bestArmed)]->Prize))
        bestArmed = static_cast<int32_t>(i);
    }
    return bestArmed >= 0 ? bestArmed : best;
  };
  if (c.RifleIndex < 0) {
    if (int32_t r = dearest(Weapons->Rifles); r >= 0) c.BuyRifle(r);
  }
  if (c.RifleIndex < 0 && !HasAmmunition(c, 1)) {
    if (int32_t p = dearest(Weapons->Pistols); p >= 0) c.BuyPistol(p);
  }
  c.SetWeaponSlot(HasAmmunition(c, 0) ? 0 : 1);
  auto buyMagazines = [&](uint32_t upTo) {
    THand h = Hand(c, c.WeaponSlot);
    while (h.Weapon && *h.Magazines < upTo && *h.Magazines < static_cast<uint32_t>(h.Weapon->MaxMagazines) &&
           c.Money >= h.Weapon->MagazinePrize)
      c.BuyEquipment(0);
  };
  buyMagazines(2);
  if (c.Armour < 100 && Weapons->Equips.size() > 1 && c.Money >= Weapons->Equips[1]->Prize) c.BuyEquipment(1);
  buyMagazines(UINT32_MAX);
}

// Reloads through TCharacter::Reload, whose reload time is the local
// player's: the bot keeps its own and leaves the player's as it was.
void TKI::ReloadIfEmpty(TBot& bot, TCharacter& c, uint32_t now) {
  THand h = Hand(c, c.WeaponSlot);
  if (h.Weapon && *h.Shots > 0) return;
  if (h.Weapon && *h.Magazines > 0) {
    const uint32_t start = characters->ReloadStart;
    const bool reloaded = characters->HasReloaded;
    c.Reload();
    characters->ReloadStart = start;
    characters->HasReloaded = reloaded;
    bot.ReloadStart = now;
    bot.HasReloaded = true;
    return;
  }
  // Empty with nothing to load: the other weapon, if it has anything, else
  // the shop (open all round) for whatever the money still buys.
  const int32_t other = c.WeaponSlot == 0 ? 1 : 0;
  if (HasAmmunition(c, other)) {
    c.SetWeaponSlot(other);
  } else if (static_cast<int32_t>(now - bot.NextRebuy) >= 0) {
    bot.NextRebuy = now + kRebuyMs;
    Buy(c);
  }
}

// The target is in sight when the line from the muzzle to the two points a
// shot is judged by (its chest, and its centre, up to which HitZone looks
// for walls) crosses no level triangle.
bool TKI::Sees(const TCharacter& c, const TCharacter& target) const {
  const TLevel* level = characters->Level();
  if (!level || !level->Octree) return true;
  const TVec3 muzzle = c.GetShotRay().Origin;
  for (const TVec3& p : {target.ChestSphere.Centre, target.BoundSphere.Centre}) {
    const TVec3 d = VecSub(p, muzzle);
    const float length = VecLength(d);
    if (length > 1e-4f && level->Octree->SegmentBlocked({muzzle, VecScale(d, 1.0 / length)}, length)) return false;
  }
  return true;
}

void TKI::Perceive(TBot& bot, TCharacter& c, uint32_t now) {
  const TCharacter* current = bot.Target >= 0 ? characters->At(bot.Target) : nullptr;
  if (current && (current->Dead || !current->InUse)) {
    bot.Target = -1;
    bot.NextScan = now;
  }
  if (static_cast<int32_t>(now - bot.NextScan) < 0) return;
  bot.NextScan = now + kScanMs;
  const float range = kSkills[static_cast<int>(Skill)].SightRange;
  int32_t best = -1;
  float bestD = range;
  for (int32_t i = 0; i < characters->Count; ++i) {
    const TCharacter* t = characters->At(i);
    if (!t || t == &c || !t->InUse || t->Dead || t->Team == c.Team || t->ModelNr < 0) continue;
    const float d = VecLength(VecSub(t->BoundSphere.Centre, c.BoundSphere.Centre));
    if (d < bestD && Sees(c, *t)) {
      bestD = d;
      best = i;
    }
  }
  if (best != bot.Target) {
    bot.Target = best;
    bot.TargetSince = now;
  }
}

// Turns toward the target and fires; false when there is none to fight (or
// nothing to fight with), so the bot walks on.
bool TKI::Fight(TBot& bot, TCharacter& c, uint32_t now, int32_t ms) {
  const TCharacter* target = bot.Target >= 0 ? characters->At(bot.Target) : nullptr;
  if (!target || !HasAmmunition(c, c.WeaponSlot)) return false;
  const TSkillSettings& skill = kSkills[static_cast<int>(Skill)];
  // Out of range: walk there by the graph. Straight at it, a ledge or a
  // railing between would hold the bot in place for good.
  const float distance = VecLength(VecSub(target->BoundSphere.Centre, c.BoundSphere.Centre));
  if (distance > skill.FireRange) {
    if (bot.Target != bot.Chased || now - bot.ChasedAt >= kChaseRepathMs) {
      bot.Chased = bot.Target;
      bot.ChasedAt = now;
      const int32_t node = Nav.Nearest(target->BoundSphere.Centre);
      if (node >= 0 && node != bot.Goal) {
        bot.Goal = node;
        bot.NeedsPath = true;
      }
    }
    return false;
  }
  float yaw, pitch;
  ViewToward(c.GetShotRay().Origin, target->ChestSphere.Centre, yaw, pitch);
  const float step = skill.TurnDegPerSec * static_cast<float>(ms) / 1000.0f;
  c.SetView(TurnToward(c.Yaw, yaw, step), std::clamp(TurnToward(c.Pitch, pitch, step), -89.0f, 89.0f));
  // Zigzagging closer, sidestepping near: a fighting bot is never still, and
  // slides along cover rather than pressing against it.
  if (now - bot.FightCheck >= kSidestepMs / 2) {
    const TVec3 moved = VecSub(c.BoundSphere.Centre, bot.FightFrom);
    if (std::hypot(moved.x, moved.z) < 0.2f) bot.FightFlip = !bot.FightFlip;  // pressed into a corner
    bot.FightFrom = c.BoundSphere.Centre;
    bot.FightCheck = now;
  }
  bot.Keys.Forward = distance > kCloseRange && !bot.FightFlip;
  ((now / kSidestepMs + static_cast<uint32_t>(bot.Index) + bot.FightFlip) % 2 ? bot.Keys.Left : bot.Keys.Right) = true;
  const bool onTarget = std::fabs(Wrap180(yaw - c.Yaw)) < kAimTolerance && std::fabs(pitch - c.Pitch) < kAimTolerance;
  if (onTarget && distance <= skill.FireRange && now - bot.TargetSince >= skill.ReactionMs) TryFire(bot, c, *target, now);
  return true;
}

// The rules of TCharacter::Shoot (cadence, reload time, rounds) with the
// bot's own reload time, and the shot resolved as the server resolves any.
void TKI::TryFire(TBot& bot, TCharacter& c, const TCharacter& target, uint32_t now) {
  THand h = Hand(c, c.WeaponSlot);
  if (!h.Weapon || *h.Shots <= 0) return;
  if (!(uint64_t{now} > uint64_t{*h.LastShot} + static_cast<uint64_t>(h.Weapon->Sleep))) return;
  if (bot.HasReloaded && !(now - bot.ReloadStart > static_cast<uint32_t>(h.Weapon->ReloadSleep))) return;

  // Never at a target behind a wall; one that went behind cover is given up
  // until the next look around.
  if (!Sees(c, target)) {
    bot.Target = -1;
    return;
  }
  const float spread = kSkills[static_cast<int>(Skill)].AimErrorDeg;
  const float yaw = c.Yaw, pitch = c.Pitch;
  c.SetView(yaw + RandomSpread(spread), pitch + RandomSpread(spread));
  const TRay ray = c.GetShotRay();
  c.SetView(yaw, pitch);
  // Never at a team mate: nobody of the own team near the line before the target.
  const float targetDistance = VecLength(VecSub(target.BoundSphere.Centre, ray.Origin));
  for (int32_t i = 0; i < characters->Count; ++i) {
    const TCharacter* m = characters->At(i);
    if (!m || m == &c || !m->InUse || m->Dead || m->Team != c.Team) continue;
    const TVec3 to = VecSub(m->BoundSphere.Centre, ray.Origin);
    const float along = VecDot(to, ray.Direction);
    if (along <= 0 || along > targetDistance) continue;
    const TVec3 off = VecSub(to, VecScale(ray.Direction, along));
    if (VecLength(off) < m->BoundSphere.Radius + 0.3f) return;
  }
  *h.LastShot = now;
  *h.Shots -= 1;
  c.FireRay(ray, *h.Weapon);
}

void TKI::ChooseGoal(TBot& bot, TCharacter& c) {
  bot.Goal = -1;
  if (Nav.NodeCount() == 0) return;
  const TLevel* level = characters->Level();
  // Spawn nodes are the level's terrorist spawns, then the counter ones.
  const size_t ter = level ? level->TerSpawns.size() : 0;
  const size_t first = c.Team == 1 ? ter : 0;
  const size_t count = c.Team == 1 ? Nav.SpawnNodes.size() - ter : std::min(ter, Nav.SpawnNodes.size());
  if (count > 0 && Random(3) < 2) bot.Goal = Nav.SpawnNodes[first + static_cast<size_t>(Random(static_cast<int32_t>(count)))];
  if (bot.Goal < 0) bot.Goal = Random(Nav.NodeCount());
  bot.NeedsPath = true;
}

void TKI::Navigate(TBot& bot, TCharacter& c, uint32_t now, int32_t ms) {
  const TSkillSettings& skill = kSkills[static_cast<int>(Skill)];
  const TVec3 at = c.BoundSphere.Centre;

  // No waypoint reached for a while: jump and sidestep back, then search
  // again; when that did not help either, somewhere else entirely (a path
  // can run where the walk cannot follow, as onto a stair from its side).
  if (static_cast<int32_t>(now - bot.LastProgress) > static_cast<int32_t>(kNoProgressMs)) {
    bot.UnstuckUntil = now + kUnstuckMs;
    bot.LastProgress = now + kUnstuckMs;
    bot.StrafeLeft = Random(2) == 0;
    bot.Move.Jump();
    bot.NeedsPath = true;
    if (bot.PathPos > 0 && bot.PathPos < bot.Path.size()) Nav.BlockEdge(bot.Path[bot.PathPos - 1], bot.Path[bot.PathPos]);
    if (++bot.Unstucks >= 2 && Nav.NodeCount() > 0) bot.Goal = Random(Nav.NodeCount());
  }
  if (static_cast<int32_t>(now - bot.UnstuckUntil) < 0) {
    bot.Keys.Backward = true;
    (bot.StrafeLeft ? bot.Keys.Left : bot.Keys.Right) = true;
    return;
  }

  if (bot.Goal < 0 || (!bot.NeedsPath && bot.PathPos >= bot.Path.size())) ChooseGoal(bot, c);
  if (bot.NeedsPath) {
    if (pathBudget <= 0) return;
    --pathBudget;
    const int32_t from = Nav.Nearest(at);
    if (from < 0 || !Nav.Connected(from, bot.Goal)) {
      // Off the graph or the goal is out of reach: anything reachable from here.
      const int32_t component = from >= 0 ? Nav.Nodes[static_cast<size_t>(from)].Component : -1;
      bot.Goal = from >= 0 ? Random(Nav.NodeCount()) : -1;
      if (bot.Goal >= 0 && Nav.Nodes[static_cast<size_t>(bot.Goal)].Component != component) bot.Goal = from;
    }
    if (from < 0 || bot.Goal < 0 || !Nav.FindPath(from, bot.Goal, bot.Path)) {
      // Nowhere to go from here: wander straight ahead and try elsewhere.
      if (Nav.NodeCount() > 0) bot.Goal = Random(Nav.NodeCount());
      bot.Path.clear();
      bot.PathPos = 0;
      bot.Keys.Forward = true;
      c.SetView(Wrap180(c.Yaw + static_cast<float>(ms) * 0.05f), c.Pitch);
      return;
    }
    bot.NeedsPath = false;
    bot.PathPos = bot.Path.size() > 1 ? 1 : 0;
    if (static_cast<int32_t>(now - bot.LastProgress) > 0) bot.LastProgress = now;
  }
  if (bot.PathPos >= bot.Path.size()) return;
  TVec3 next = Nav.Nodes[static_cast<size_t>(bot.Path[bot.PathPos])].Centre;
  while (std::hypot(next.x - at.x, next.z - at.z) < kWaypointReach && std::fabs(next.y - at.y) < 1.5f) {
    bot.LastProgress = now;
    bot.Unstucks = 0;
    if (++bot.PathPos >= bot.Path.size()) return;
    next = Nav.Nodes[static_cast<size_t>(bot.Path[bot.PathPos])].Centre;
  }
  const float yaw = Degrees(std::atan2(next.z - at.z, next.x - at.x));
  // Walking turns faster than aiming: the skill only limits the aim.
  const float step = std::max(skill.TurnDegPerSec, 360.0f) * static_cast<float>(ms) / 1000.0f;
  c.SetView(TurnToward(c.Yaw, yaw, step), TurnToward(c.Pitch, 0, step));
  bot.Keys.Forward = std::fabs(Wrap180(yaw - c.Yaw)) < 60.0f;
}
