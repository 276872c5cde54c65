// One player of a running level, local or remote: team, model and hit
// spheres, health, armour, money, weapons and ammunition, kills and deaths,
// position and view. Rules that run on the server (shots, deaths, rounds)
// and those of a client share this class; the session role decides which
// messages go out. Shooting lives in character_shots.cpp, buying in shop.cpp,
// drawing in character_draw.cpp.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "game/move_check.h"
#include "game/remote_view.h"
#include "world/geometry.h"
#include "world/movement.h"

class TAll3dsMesh;
class TCharacters;
class TWeapon;

// Hit zones of HitZone.
enum : int32_t { kZoneMiss = 0, kZoneHead = 1, kZoneChest = 2, kZoneLegs = 3 };

// Server: what the client playing a character has claimed and been told.
struct TClientMoves {
  TMoveCheck Check;
  // Where the last accepted datagram (or a correction) left the character;
  // a position that differs was the server's own placement (a respawn).
  TVec3 Placed{};
  // For a while after a placement or correction: where the datagrams the
  // client sent before it learnt of it have got to. Those are dropped,
  // neither taken nor refused.
  TVec3 OldPath{};
  uint32_t CrossingUntil = 0;
  // Until then refused datagrams are the ones already on their way when the
  // server placed or corrected the character: dropped without a word.
  uint32_t QuietUntil = 0;
  uint32_t LastLog = 0;
  bool Logged = false;
};

class TCharacter : public TMovingBody {
 public:
  // A new character is dead, with no deaths counted and nothing sent: it has
  // not lived yet. ModelNr -1 means no model.
  TCharacter(int32_t id, TCharacters& owner, int32_t modelNr);
  ~TCharacter() override;
  TCharacter(const TCharacter&) = delete;
  TCharacter& operator=(const TCharacter&) = delete;

  void SetHealth(int32_t h);
  void SetArmour(int32_t a);
  void SetName(const std::string& s);
  void SetWeaponSlot(int32_t s);
  void SetTeam(uint8_t t);
  void SetInUse(bool u);
  void SetKills(int32_t n);
  void SetDeaths(int32_t n);
  // Loads the model of N (-1, 0, 1, 10, 11), derives the hit spheres, and
  // leaves the character dead at the model's standing height.
  void SetModel(int32_t n);
  void SetDead(bool d);
  // Non-finite angles are refused.
  void SetView(float yaw, float pitch);

  // TMovingBody. Non-finite coordinates are refused: a character is never
  // placed at NaN or infinity.
  TVec3 Position() const override { return {X, Y, Z}; }
  float Heading() const override { return Yaw; }
  bool HasModel() const override { return ModelNr >= 0; }
  const TSphere& Bounds() const override { return BoundSphere; }
  void SetPosition(float x, float y, float z) override;
  void MoveBy(float dx, float dy, float dz) override;
  void MoveCentreTo(const TVec3& p) override;
  void FallDamage(float v) override;
  void FellOutOfWorld() override { SetDead(true); }

  // In use with a model: a player still in the character choice plays for
  // neither team, is never revived and never ends a round.
  bool Playing() const { return InUse && ModelNr >= 0; }

  TRay GetShotRay() const;
  // Fires the weapon in WeaponSlot at the owner's current time, if cadence,
  // reload time and rounds allow.
  void Shoot();
  void Reload();
  // Resolves a shot of this character against every other (server, or no
  // network). A ray with a non-finite or zero direction does nothing.
  void FireRay(const TRay& ray, const TWeapon& weapon);
  void MarkDirty();

  // Shop (shop.cpp); the item's index 0..4.
  void BuyPistol(int32_t i);
  void BuyRifle(int32_t i);
  void BuyEquipment(int32_t i);

  // viewed: the camera looks through this character's eyes (the local player,
  // or the team mate a dead one watches). character_draw.cpp.
  void Draw(int32_t camMode, bool viewed);

  bool Dead = false;
  int32_t Armour = 0;
  std::string Name;
  uint8_t Team = 0;  // 0 counter-terrorists, 1 terrorists
  int32_t ModelNr = -1;
  int32_t Health = 0;
  bool InUse = false;
  int32_t Kills = 0;
  int32_t Deaths = 0;
  int32_t WeaponSlot = 0;  // 0 rifle, 1 pistol, 2 and 3 nothing to fire
  float X = 0, Y = 0, Z = 0;
  float Yaw = 0, Pitch = 0;
  std::unique_ptr<TAll3dsMesh> Model;  // null while ModelNr is -1 or the model could not be read
  int32_t Money = 0;
  TSphere BoundSphere, HeadSphere, ChestSphere, LegsSphere;
  int32_t PistolIndex = 0;
  uint32_t PistolMagazines = 0;
  int32_t PistolShots = 0;
  uint32_t PistolLastShot = 0;
  int32_t RifleIndex = -1;
  uint32_t RifleMagazines = 0;
  int32_t RifleShots = 0;
  uint32_t RifleLastShot = 0;
  int32_t Id;
  TCharacters& Owner;
  TClientMoves Moves;
  // Another machine's character is drawn from Remote on the clock of its
  // sender; RemoteClock is null while it is drawn where it is (the local
  // player, a server's bots). OwnClock is that clock when this character's
  // client is the sender (on the server).
  TRemoteView Remote;
  const TSenderClock* RemoteClock = nullptr;
  TSenderClock OwnClock;
  // Server: where the character stood at each position send of about the
  // last second, on the rules' clock (shots are resolved in the past).
  TRemoteView History;
  // Shots fired, modulo 256: the server counts each one it resolves, and its
  // datagrams carry the count so that clients hear them. ShotsHeard is the
  // count a client last read for this character (HeardAny once it has one).
  uint8_t ShotsFired = 0;
  uint8_t ShotsHeard = 0;
  bool HeardAny = false;
  // Where the character is drawn now.
  TViewPose DrawnPose() const;

 private:
  bool IsLocal() const;
  void ShiftSpheres(float dx, float dy, float dz);
  void PlaceSpheres(float minY, float maxY);
};

// The zone a ray hits on the target (kZone*), 0 when it misses or a level
// triangle lies on the ray before the distance to the target's centre.
int32_t HitZone(const TRay& ray, const TCharacter& target, const class TOctree* octree);
// Resolves the shooter's shot with every other living character moved back
// to where its History had it at `when` (the rules' clock), then puts each
// back: only the hit test sees the past.
void RewindAndFire(TCharacters& all, TCharacter& shooter, const TRay& ray, const TWeapon& weapon, uint32_t when);
// Round(Random(10) + factor x Damage - 5).
int32_t ShotDamage(const TWeapon& weapon, double factor);
// The weapon in the character's slot; null for slots 2 and 3 or an index
// outside the shop's lists.
const TWeapon* WeaponInHand(TCharacter& c);
// The most one shot of the weapon takes from the chest (without armour) or
// the legs: the head alone can take more.
int32_t MaxBodyShotDamage(const TWeapon& weapon);
// Round to the nearest integer, ties to even, clamped to the 32-bit range
// (NaN gives 0).
int32_t RoundToInt(double v);
