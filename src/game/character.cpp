// The character record: creation, the setters that keep the team counts and
// the network informed, placing, hit spheres from the model, death and
// revival.
#include "game/character.h"

#include <cmath>
#include <exception>
#include <limits>

#include "core/convert.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "game/characters.h"
#include "net/network.h"
#include "render/model.h"


// Vertical extent of the shipped figures, used for the hit spheres of a
// character whose model cannot be read, so the player still plays.
static constexpr float kDefaultMinY = -1.665f, kDefaultMaxY = 0.135f;

static bool Finite(float a, float b, float c) { return std::isfinite(a) && std::isfinite(b) && std::isfinite(c); }

static int32_t Clamp32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

TCharacter::TCharacter(int32_t id, TCharacters& owner, int32_t modelNr) : Id(id), Owner(owner) {
  // Born dead, but not killed: no death is counted, no effect shown and
  // nothing broadcast for a player who never lived.
  InUse = true;
  Dead = true;
  SetModel(modelNr);
}

TCharacter::~TCharacter() = default;

bool TCharacter::IsLocal() const { return Owner.LocalCharacter == this; }

void TCharacter::MarkDirty() {
  if (Network) Network->MarkDirty(Id, IsLocal());
}

void TCharacter::SetHealth(int32_t h) {
  if (h == Health) return;
  if (h > 0) {
    Health = h;
    SetDead(false);
  } else {
    SetDead(true);  // sees the health before the blow, for the kill feed
    Health = 0;
  }
}

void TCharacter::SetArmour(int32_t a) {
  if (a == Armour) return;
  Armour = a;
  MarkDirty();
}

void TCharacter::SetName(const std::string& s) {
  if (s == Name) return;
  Name = s;
  MarkDirty();
}

void TCharacter::SetWeaponSlot(int32_t s) {
  if (s == WeaponSlot) return;
  WeaponSlot = s;
  MarkDirty();
}

void TCharacter::SetTeam(uint8_t t) {
  t = t ? 1 : 0;
  if (t == Team) return;
  Team = t;
  MarkDirty();
  Owner.Recount();
}

void TCharacter::SetInUse(bool u) {
  InUse = u;
  if (!u) SetDead(true);
}

static void BroadcastScore(const TCharacter& c) {
  if (Network && Network->IsServer)
    Network->Broadcast(
        MakeMessage(ServerMsg::Score, std::to_string(c.Id), std::to_string(c.Kills), std::to_string(c.Deaths)));
}

void TCharacter::SetKills(int32_t n) {
  Kills = n;
  BroadcastScore(*this);
}

void TCharacter::SetDeaths(int32_t n) {
  Deaths = n;
  BroadcastScore(*this);
}

void TCharacter::SetView(float yaw, float pitch) {
  if (!std::isfinite(yaw) || !std::isfinite(pitch)) return;
  Yaw = yaw;
  Pitch = pitch;
}

TViewPose TCharacter::DrawnPose() const {
  if (RemoteClock && !IsLocal() && !Remote.Empty() && RemoteClock->Known())
    return Remote.At(RemoteClock->DrawTime(Owner.Now));
  return {{X, Y, Z}, Yaw, Pitch};
}

void TCharacter::ShiftSpheres(float dx, float dy, float dz) {
  for (TSphere* s : {&BoundSphere, &HeadSphere, &ChestSphere, &LegsSphere}) {
    s->Centre.x += dx;
    s->Centre.y += dy;
    s->Centre.z += dz;
  }
}

void TCharacter::SetPosition(float x, float y, float z) {
  if (!Finite(x, y, z)) return;
  ShiftSpheres(x - X, y - Y, z - Z);
  X = x;
  Y = y;
  Z = z;
}

void TCharacter::MoveBy(float dx, float dy, float dz) {
  if (!Finite(dx, dy, dz) || !Finite(X + dx, Y + dy, Z + dz)) return;
  ShiftSpheres(dx, dy, dz);
  X += dx;
  Y += dy;
  Z += dz;
}

void TCharacter::MoveCentreTo(const TVec3& p) {
  if (!Finite(p.x, p.y, p.z)) return;
  TVec3 d = VecSub(p, BoundSphere.Centre);
  if (!Finite(X + d.x, Y + d.y, Z + d.z)) return;
  for (TSphere* s : {&HeadSphere, &ChestSphere, &LegsSphere}) s->Centre = VecAdd(s->Centre, d);
  X += d.x;
  Y += d.y;
  Z += d.z;
  BoundSphere.Centre = p;
}

void TCharacter::FallDamage(float v) {
  if (!(v < -6.5f)) return;
  SetHealth(Clamp32(int64_t{Health} + RoundToInt(static_cast<double>(v) + 6.5)));
}

// Spheres in model coordinates from the model's vertical extent, then lifted
// so the legs sphere's bottom is at the reference point.
void TCharacter::PlaceSpheres(float minY, float maxY) {
  const float r = (maxY - minY) / 2, c = (maxY + minY) / 2;
  X = Y = Z = 0;
  BoundSphere = {{0, c, 0}, r};
  ChestSphere = {{0, c + 0.25f * r, 0}, 0.45f * r};
  HeadSphere = {{0, ChestSphere.Centre.y + 0.45f * r + 0.15f * r, 0}, 0.15f * r};
  LegsSphere = {{0, ChestSphere.Centre.y - 0.45f * r - 0.4f * r, 0}, 0.4f * r};
  ChestSphere.Radius = 0.5f * r;
  SetPosition(0, HeadSphere.Centre.y - LegsSphere.Centre.y - LegsSphere.Radius, 0);
  if (Logger)
    Logger->LogInfo("SphereRadius: " + FloatToStr(r) + "SphereY: " + FloatToStr(BoundSphere.Centre.y), LogSource::Characters);
}

void TCharacter::SetModel(int32_t n) {
  if (n == ModelNr) return;
  std::string dir = Owner.ModelNames.ForModel(n);
  if (n != -1 && dir.empty()) {
    // Refused rather than reported as a level-ending error: the number may
    // come from a peer, and ending the level here would free this character
    // while it runs.
    if (Logger) Logger->LogError("False ModelNr: " + std::to_string(n), LogSource::Characters);
    n = -1;
    if (n == ModelNr) return;
  }
  const bool choosing = ModelNr == -1;  // off the teams until now: a side is chosen
  SetDead(true);
  ModelNr = n;
  MarkDirty();
  Model.reset();
  if (n == -1) {
    SetTeam(0);
    Owner.Recount();  // off the teams even when the team number stays
    X = Y = Z = 0;
    BoundSphere = HeadSphere = ChestSphere = LegsSphere = TSphere{};
    return;
  }
  const std::string path = "data\\characters\\" + dir + "\\";
  auto model = std::make_unique<TAll3dsMesh>();
  model->TextureDir = path;
  model->BuildTextures = Owner.Graphics();
  try {
    model->LoadFromFile(path + "char.3ds");
  } catch (const std::exception& e) {
    if (Logger) Logger->LogError("Failed to load character model " + path + "char.3ds: " + e.what(), LogSource::Characters);
    model.reset();
  }
  // A newcomer's team is counted only once the round has placed it (spawned
  // at once, or waiting): counted before, the first of an empty team would
  // end the round it may still join.
  if (choosing) {
    Team = n < 10 ? 0 : 1;
  } else {
    SetTeam(n < 10 ? 0 : 1);
    Owner.Recount();  // on a team even when the team number stays
  }
  float minY = kDefaultMinY, maxY = kDefaultMaxY;
  if (model && !model->Meshes.empty()) {
    minY = std::numeric_limits<float>::infinity();
    maxY = -minY;
    for (const auto& mesh : model->Meshes) {
      minY = std::min(minY, mesh->BoxMin.y);
      maxY = std::max(maxY, mesh->BoxMax.y);
    }
    if (!std::isfinite(minY) || !std::isfinite(maxY) || !(maxY > minY)) {
      if (Logger) Logger->LogError("Character model without a usable extent: " + path + "char.3ds", LogSource::Characters);
      minY = kDefaultMinY;
      maxY = kDefaultMaxY;
    }
  }
  PlaceSpheres(minY, maxY);
  Model = std::move(model);
  if (Model && Owner.Graphics()) Model->Prepare();
  if (choosing) {
    Owner.SideChosen(*this);
    Owner.Recount();
  }
}

void TCharacter::SetDead(bool d) {
  if (d == Dead) return;
  Dead = d;
  if (d) {
    if (Network && Network->IsClient) {
      if (IsLocal()) Network->SendToServer(MakeMessage(ClientMsg::Died));
    } else if (Network && Network->IsServer) {
      Network->Broadcast(MakeMessage(ServerMsg::Died, std::to_string(Id)));
      if (Playing()) (Team == 1 ? Owner.TerroristsAlive : Owner.CountersAlive) -= 1;
    }
    if (IsLocal()) Owner.DeathTime = Owner.Now;
    if (InUse) Owner.KillFeed.Died(*this, Health, Owner.Now);
    if (GameHooks.StopVerticalMotion) GameHooks.StopVerticalMotion(*this);
    Health = 0;
    SetArmour(0);
    RifleIndex = -1;
    RifleMagazines = 0;
    RifleShots = 0;
    RifleLastShot = 0;
    PistolIndex = 2;  // a dead player keeps pistol 2 without ammunition
    PistolMagazines = 0;
    PistolShots = 0;
    PistolLastShot = 0;
    SetDeaths(Deaths + 1);
    if (Owner.Effects) Owner.Effects->Death({X, LegsSphere.Centre.y, Z});
  } else {
    // Revived at a spawn point: drawn there at once, not sliding from where it died.
    Remote.Clear();
    History.Clear();
    if (GameHooks.StopVerticalMotion) GameHooks.StopVerticalMotion(*this);
  }
  Owner.Recount();
}
