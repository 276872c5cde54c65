// Shots: the ray from the eyes, cadence, rounds and reloading, and resolving
// a shot into hit zones, damage, armour, deaths and kills.
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "core/console_sink.h"
#include "core/platform.h"
#include "fx/game_sounds.h"
#include "game/character.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "net/network.h"
#include "world/level.h"
#include "world/octree.h"

int32_t RoundToInt(double v) {
  if (std::isnan(v)) return 0;
  double r = std::nearbyint(v);  // the default rounding mode: ties to even
  if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

int32_t ShotDamage(const TWeapon& weapon, double factor) {
  return RoundToInt(Random(10) + factor * weapon.Damage - 5);
}

int32_t HitZone(const TRay& ray, const TCharacter& target, const TOctree* octree) {
  if (!RaySphere(target.BoundSphere, ray)) return kZoneMiss;
  int32_t zone = kZoneMiss;
  if (RaySphere(target.HeadSphere, ray)) zone = kZoneHead;
  if (RaySphere(target.ChestSphere, ray)) zone = kZoneChest;
  if (RaySphere(target.LegsSphere, ray)) zone = kZoneLegs;
  if (zone != kZoneMiss && octree) {
    float distance = VecLength(VecSub(target.BoundSphere.Centre, ray.Origin));
    if (octree->SegmentBlocked(ray, distance)) return kZoneMiss;
  }
  return zone;
}

int32_t MaxBodyShotDamage(const TWeapon& weapon) { return RoundToInt(9 + 2.5 * weapon.Damage - 5); }

TRay TCharacter::GetShotRay() const {
  const double yaw = Yaw * std::numbers::pi / 180, pitch = Pitch * std::numbers::pi / 180;
  TRay ray;
  ray.Origin = {static_cast<float>(X + std::sin(yaw) * 0.2), HeadSphere.Centre.y,
                static_cast<float>(Z - std::cos(yaw) * 0.2)};
  ray.Direction = VecNormalize(MakeVec3(static_cast<float>(std::cos(yaw)), static_cast<float>(-std::sin(pitch)),
                                        static_cast<float>(std::sin(yaw))));
  return ray;
}

// The weapon in the slot and its counters; null weapon for slots 2 and 3, a
// negative index or one beyond the list.
struct TSlotState {
  const TWeapon* Weapon = nullptr;
  uint32_t* Magazines = nullptr;
  int32_t* Shots = nullptr;
  uint32_t* LastShot = nullptr;
};

static TSlotState SlotState(TCharacter& c) {
  TSlotState s;
  const std::vector<std::unique_ptr<TWeapon>>* list = nullptr;
  int32_t index = -1;
  if (c.WeaponSlot == 0) {
    s = {nullptr, &c.RifleMagazines, &c.RifleShots, &c.RifleLastShot};
    index = c.RifleIndex;
    if (Weapons) list = &Weapons->Rifles;
  } else if (c.WeaponSlot == 1) {
    s = {nullptr, &c.PistolMagazines, &c.PistolShots, &c.PistolLastShot};
    index = c.PistolIndex;
    if (Weapons) list = &Weapons->Pistols;
  }
  if (list && index >= 0 && static_cast<size_t>(index) < list->size()) s.Weapon = (*list)[static_cast<size_t>(index)].get();
  return s;
}

const TWeapon* WeaponInHand(TCharacter& c) { return SlotState(c).Weapon; }

void TCharacter::Shoot() {
  TSlotState slot = SlotState(*this);
  if (!slot.Weapon) return;
  const TWeapon& w = *slot.Weapon;
  const uint32_t now = Owner.Now;
  if (!(uint64_t{now} > uint64_t{*slot.LastShot} + static_cast<uint64_t>(w.Sleep))) return;
  if (Owner.HasReloaded && !(now - Owner.ReloadStart > static_cast<uint32_t>(w.ReloadSleep))) return;
  if (*slot.Shots <= 0) return;
  *slot.LastShot = now;
  if (Network && Network->IsClient) {
    TRay ray = GetShotRay();
    TNetMessage m = MakeMessage(ClientMsg::Shot);
    // The moment of the picture the player aimed at, for the server to resolve the shot there.
    if (Network->Client && Network->Client->PeerStamps && Owner.ServerClock.Known())
      m.S1 = std::to_string(std::llround(Owner.ServerClock.DrawTime(Owner.Now)) & kStampMask);
    const float f[6] = {ray.Origin.x, ray.Origin.y, ray.Origin.z, ray.Direction.x, ray.Direction.y, ray.Direction.z};
    for (int i = 0; i < 6; ++i) m.F[i] = f[i];
    Network->SendToServer(m);
  } else {
    // The server, or a game without a session, resolves its own shots.
    FireRay(GetShotRay(), w);
  }
  *slot.Shots -= 1;
  if (Owner.Effects) Owner.Effects->RestartMuzzleFlash();
  PlayShotSound();
}

void TCharacter::Reload() {
  TSlotState slot = SlotState(*this);
  if (!slot.Weapon || *slot.Magazines < 1) return;
  *slot.Magazines -= 1;
  *slot.Shots = slot.Weapon->MagazineShots;
  Owner.ReloadStart = Owner.Now;
  Owner.HasReloaded = true;
}

void RewindAndFire(TCharacters& all, TCharacter& shooter, const TRay& ray, const TWeapon& weapon, uint32_t when) {
  struct TMoved {
    TCharacter* Who;
    TVec3 Was;
  };
  std::vector<TMoved> moved;
  for (int32_t i = 0; i < all.Count; ++i) {
    TCharacter* t = all.At(i);
    // Not yet recorded since the moment asked for: it is still where it is.
    if (!t || t == &shooter || t->Dead || t->History.Empty() || static_cast<int32_t>(when - t->History.Newest()) >= 0)
      continue;
    const TVec3 then = t->History.At(when).Position;
    moved.push_back({t, t->Position()});
    t->SetPosition(then.x, then.y, then.z);
  }
  shooter.FireRay(ray, weapon);
  for (const TMoved& m : moved) m.Who->SetPosition(m.Was.x, m.Was.y, m.Was.z);
}

void TCharacter::FireRay(const TRay& shot, const TWeapon& weapon) {
  // A dead player cannot shoot, whatever a peer sends.
  if (Dead) return;
  TRay ray = shot;
  if (!std::isfinite(ray.Origin.x) || !std::isfinite(ray.Origin.y) || !std::isfinite(ray.Origin.z)) return;
  ray.Direction = VecNormalize(ray.Direction);
  const TVec3& d = ray.Direction;
  if (!std::isfinite(d.x) || !std::isfinite(d.y) || !std::isfinite(d.z) || VecLength(d) == 0) return;

  const bool server = Network && Network->IsServer;
  const bool friendlyFire = Network && Network->FriendlyFire();
  // The hit lines are the shooter's own feedback: with bots and clients
  // resolved here too, the host's messages would otherwise fill with the
  // hits of everybody else (and a dedicated server's log with all of them).
  const bool mine = this == Owner.LocalCharacter;
  ++ShotsFired;
  if (!mine && GameHooks.ShotHeard) GameHooks.ShotHeard(HeadSphere.Centre);
  auto tell = [mine](const std::string& line) {
    if (mine) ConsolePrint(line);
  };
  const TOctree* octree = Owner.Level() ? Owner.Level()->Octree.get() : nullptr;
  for (int32_t i = 0; i < Owner.Count; ++i) {
    TCharacter* t = Owner.At(i);
    if (!t || t == this || t->Dead) continue;
    if (t->Team == Team && !friendlyFire) continue;
    int32_t zone = HitZone(ray, *t, octree);
    int32_t damage = 0;
    if (zone == kZoneHead) {
      damage = ShotDamage(weapon, 6);
      if (Random(t->Armour) > 65) damage = 0;
      tell("Hit, Head");
    } else if (zone == kZoneChest) {
      int32_t full = ShotDamage(weapon, 2.5);
      damage = RoundToInt(full - static_cast<double>(t->Armour) * full / 200);
      t->SetArmour(Random(damage));
      if (server && t->Id > 0) Network->SendToPlayer(t->Id, MakeMessage(ServerMsg::Armour, std::to_string(t->Armour)));
      tell("Hit, Chest");
    } else if (zone == kZoneLegs) {
      damage = ShotDamage(weapon, 1);
      tell("Hit, Legs");
    } else {
      continue;
    }
    int64_t health = int64_t{t->Health} - damage;
    t->SetHealth(static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(health, INT32_MAX), INT32_MIN)));
    if (t->Dead) {
      Owner.KillFeed.Killed(*this, *t, zone == kZoneHead);
      SetKills(Kills + 1);
    }
    tell(std::to_string(damage) + " DMG!");
    if (server && t->Id > 0) Network->SendToPlayer(t->Id, MakeMessage(ServerMsg::Health, std::to_string(t->Health)));
  }
}
