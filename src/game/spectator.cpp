// The choice of whom a dead player watches, and the free camera's flight.
#include "game/spectator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/logger.h"
#include "game/characters.h"
#include "world/octree.h"

namespace {

// Where a character is drawn, seen from its eyes: remote players from their
// smoothed picture, so the watcher sees what everybody else sees of them.
TCamPose EyesOf(const TCharacter& c) {
  const TViewPose drawn = c.DrawnPose();
  return {drawn.Position, c.HeadSphere.Centre.y + (drawn.Position.y - c.Y), drawn.Yaw, drawn.Pitch};
}

bool Spectating(const TCharacter* me) { return me && me->Playing() && me->Dead; }

}  // namespace

bool IsLivingMate(const TCharacter* c, const TCharacter& viewer) {
  return c && c != &viewer && c->Playing() && !c->Dead && c->Team == viewer.Team;
}

int32_t NextLivingMate(const TCharacters& all, const TCharacter& viewer, int32_t from, int step) {
  const int64_t n = all.Count, s = step < 0 ? -1 : 1;
  for (int64_t k = 1; k <= n; ++k) {
    const auto i = static_cast<int32_t>(((from + s * k) % n + n) % n);
    if (IsLivingMate(all.At(i), viewer)) return i;
  }
  return -1;
}

int32_t NearestLivingMate(const TCharacters& all, const TCharacter& viewer, const TVec3& from) {
  int32_t best = -1;
  float bestDistance = 0;
  for (int32_t i = 0; i < all.Count; ++i) {
    const TCharacter* c = all.At(i);
    if (!IsLivingMate(c, viewer)) continue;
    const TVec3 d = VecSub(c->Position(), from);
    const float distance = VecDot(d, d);
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

void TSpectator::Update(const TCharacters& all, uint32_t now) {
  const TCharacter* me = all.LocalCharacter;
  if (!Spectating(me)) {
    mode = TWatch::Self;
    watched = -1;
    return;
  }
  if (mode == TWatch::Self) {
    if (now - all.DeathTime >= kOwnBodyMs) Cycle(all, 1);
  } else if (mode == TWatch::Mate && !IsLivingMate(all.At(watched), *me)) {
    const int32_t next = NextLivingMate(all, *me, watched, 1);
    if (next >= 0)
      Watch(all, next);
    else
      StartFree(all);
  }
}

void TSpectator::Cycle(const TCharacters& all, int step) {
  const TCharacter* me = all.LocalCharacter;
  if (!Spectating(me)) return;
  const int32_t next = mode == TWatch::Mate ? NextLivingMate(all, *me, watched, step)
                                            : NearestLivingMate(all, *me, View(all).Pose.Position);
  if (next >= 0)
    Watch(all, next);
  else if (mode != TWatch::Free)
    StartFree(all);
}

// The log names whom a dead player watched: what a player saw, afterwards.
void TSpectator::Watch(const TCharacters& all, int32_t id) {
  mode = TWatch::Mate;
  watched = id;
  if (Logger) Logger->LogInfo("watching " + all.At(id)->Name, "Spectator");
}

// The free camera starts where the view was, looking the same way.
void TSpectator::StartFree(const TCharacters& all) {
  const TCamPose from = View(all).Pose;
  freeEye = {from.Position.x, from.EyeHeight, from.Position.z};
  freeYaw = from.Yaw;
  freePitch = from.Pitch;
  mode = TWatch::Free;
  watched = -1;
  if (Logger) Logger->LogInfo("free camera", "Spectator");
}

void TSpectator::SetFree(const TCharacters& all, bool free) {
  if (free) {
    StartFree(all);
  } else {
    mode = TWatch::Self;
    watched = -1;
  }
}

void TSpectator::SetFreeView(float yaw, float pitch) {
  if (!std::isfinite(yaw) || !std::isfinite(pitch)) return;
  freeYaw = yaw;
  freePitch = pitch;
}

void TSpectator::Fly(const TMoveInput& input, int32_t ms, const TOctree* octree) {
  if (mode != TWatch::Free || input.CursorVisible) return;
  const double forward = (input.Forward ? 1 : 0) - (input.Backward ? 1 : 0);
  const double right = (input.Right ? 1 : 0) - (input.Left ? 1 : 0);
  const double step = input.Speed * std::max(ms, 0) / 400 * kFlySpeedFactor;
  if ((forward == 0 && right == 0) || !(step > 0) || !std::isfinite(step)) return;
  // Along the view as a shot leaves it (a positive pitch looks down); the
  // sideways keys as walking turns them, level.
  const double yaw = freeYaw * std::numbers::pi / 180, pitch = freePitch * std::numbers::pi / 180;
  const double dx = forward * std::cos(yaw) * std::cos(pitch) - right * std::sin(yaw);
  const double dy = -forward * std::sin(pitch);
  const double dz = forward * std::sin(yaw) * std::cos(pitch) + right * std::cos(yaw);
  const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (!(length > 0)) return;
  freeEye.x += static_cast<float>(dx / length * step);
  freeEye.y += static_cast<float>(dy / length * step);
  freeEye.z += static_cast<float>(dz / length * step);
  if (!octree || !octree->Root) return;
  const TVec3& c = octree->Root->Centre;
  const float h = octree->Root->HalfSize;
  freeEye.x = std::clamp(freeEye.x, c.x - h, c.x + h);
  freeEye.y = std::clamp(freeEye.y, c.y - h, c.y + h);
  freeEye.z = std::clamp(freeEye.z, c.z - h, c.z + h);
}

TSpectatorView TSpectator::View(const TCharacters& all) const {
  if (mode == TWatch::Free) return {{freeEye, freeEye.y, freeYaw, freePitch}, -1};
  if (mode == TWatch::Mate)
    if (const TCharacter* c = all.At(watched)) return {EyesOf(*c), watched};
  const TCharacter* me = all.LocalCharacter;
  if (!me) return {};
  return {EyesOf(*me), me->Id};
}
