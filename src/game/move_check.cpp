// Budgets of walking and climbing, the wall test and the level's bounds.
#include "game/move_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "world/movement.h"
#include "world/octree.h"

namespace {

// Rising speed a player can keep up by jumping again at each landing: one
// jump's height per airtime, which is a quarter of the jump speed.
double ClimbRate(int32_t gravity) {
  return gravity > 0 ? TMovement::kJumpSpeed / 4.0 : TMovement::kJumpSpeed;
}

double WalkRate(const TMoveLimits& limits) { return std::max(0.0, limits.Speed) / 400.0 * kMoveSpeedMargin; }

bool InsideLevel(const TVec3& p, const TOctree* octree) {
  if (!octree || !octree->Root) return true;
  const TVec3& c = octree->Root->Centre;
  const float reach = octree->Root->HalfSize + kLevelBoundsMargin;
  return std::fabs(p.x - c.x) <= reach && std::fabs(p.z - c.z) <= reach && p.y <= c.y + reach &&
         p.y >= TMovement::kDeathDepth - kLevelBoundsMargin;
}

}  // namespace

double JumpHeight(int32_t gravity) {
  if (gravity <= 0) return std::numeric_limits<double>::infinity();
  const double v = TMovement::kJumpSpeed, a = gravity / 10.0;
  return v * v / (2 * a);
}

void TMoveCheck::Reset(uint32_t now) {
  started = false;
  last = now;
}

void TMoveCheck::Refill(uint32_t now, const TMoveLimits& limits) {
  const double walkCap = WalkRate(limits) * kMoveBurstMs + kMoveSlack;
  const double climbCap = std::min(JumpHeight(limits.Gravity), ClimbRate(limits.Gravity) * kMoveBurstMs / 1000) * 1.25 + kMoveSlack;
  if (!started) {
    started = true;
    walk = walkCap;
    climb = climbCap;
  } else {
    // Signed: a clock that went back refills nothing.
    const double ms = std::max(0, static_cast<int32_t>(now - last));
    walk = std::min(walkCap, walk + WalkRate(limits) * ms);
    climb = std::min(climbCap, climb + ClimbRate(limits.Gravity) * 1.25 * ms / 1000);
  }
  last = now;
}

bool TMoveCheck::Accept(const TVec3& from, const TVec3& to, const TVec3& centreOffset, float radius, uint32_t now,
                        const TMoveLimits& limits, const TOctree* octree, std::string& why) {
  why.clear();
  Refill(now, limits);
  const double horizontal = std::hypot(to.x - from.x, to.z - from.z);
  const double rise = std::max(0.0, static_cast<double>(to.y - from.y) - kMoveClimbPerUnit * horizontal);
  if (!InsideLevel(to, octree)) {
    why = "outside the level";
  } else if (horizontal > walk) {
    why = "too fast";
  } else if (rise > climb) {
    why = "rising too high";
  } else if (octree) {
    const TVec3 a = VecAdd(from, centreOffset), b = VecAdd(to, centreOffset);
    const float distance = VecLength(VecSub(b, a));
    if (distance > 1e-4f && octree->SegmentBlocked({a, VecScale(VecSub(b, a), 1 / distance)}, distance))
      why = "through a wall";
    // Rising, the feet must stay within a jump of some floor below.
    const double reach = radius + std::min(JumpHeight(limits.Gravity), 1e6) * 1.25 + kMoveSlack;
    if (why.empty() && to.y > from.y && !octree->SegmentBlocked({b, {0, -1, 0}}, static_cast<float>(reach)))
      why = "flying";
  }
  if (!why.empty()) return false;
  walk -= horizontal;
  climb -= rise;
  return true;
}
