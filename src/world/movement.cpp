// Walking, jumping, falling and landing of one body against the level's
// triangles.
#include "world/movement.h"

#include "world/octree.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TMovement* Movement = nullptr;

namespace {

// The walking direction in half turns from the yaw, from the held keys. The
// sums give forward 0, right 0.5, backward 1, left 1.5 and the diagonals
// between them; opposite keys cancel (left and right together walk forward,
// forward and backward together walk backward).
double DirectionOffset(const TMoveInput& in) {
  double s = 0;
  if (in.Left) {
    if (in.Forward) s += 0.25;
    if (in.Backward) s -= 1.25;
    s += 1.5;
  }
  if (in.Right) {
    if (in.Forward) s -= 0.25;
    if (in.Backward) s -= 0.75;
    s += 0.5;
  }
  if (in.Backward) s += 1;
  return s;
}

// Moves the bounding sphere onto the normal through its centre, margin
// away from the triangle's plane, on the side the centre is on.
void PushOut(TMovingBody& body, const TTriangle& t, float margin) {
  const TSphere& sphere = body.Bounds();
  const TVec3 c = sphere.Centre;
  const TVec3 n = t.Vertices[0].Normal;
  const float d = VecDot(n, c) - t.D;
  const TVec3 p = VecSub(c, VecScale(n, d));
  const TVec3 above = VecSub(VecAdd(p, n), c), below = VecSub(VecSub(p, n), c);
  const bool onNormalSide = VecDot(above, above) < VecDot(below, below);
  body.MoveCentreTo(VecAdd(p, VecScale(n, onNormalSide ? margin : -margin)));
}

}  // namespace

TSphereBody::TSphereBody(const TVec3& centre, float radius, float pointAboveCentre, float yaw, bool model)
    : Yaw(yaw), Model(model), position(VecAdd(centre, {0, pointAboveCentre, 0})), sphere{centre, radius} {}

void TSphereBody::MoveBy(float dx, float dy, float dz) {
  position = VecAdd(position, {dx, dy, dz});
  sphere.Centre = VecAdd(sphere.Centre, {dx, dy, dz});
}

void TSphereBody::MoveCentreTo(const TVec3& centre) {
  MoveBy(centre.x - sphere.Centre.x, centre.y - sphere.Centre.y, centre.z - sphere.Centre.z);
}

void TSphereBody::SetPosition(float x, float y, float z) { MoveBy(x - position.x, y - position.y, z - position.z); }

bool TMovement::Jump() {
  if (!(std::fabs(VerticalVelocity) < 0.001f)) return false;
  VerticalVelocity = kJumpSpeed;
  return true;
}

bool TMovement::CollectCollisions(TOctree& octree, const TMovingBody& body, TPolyList& list) {
  const size_t before = list.size();
  static thread_local TPolyList found;
  octree.TrianglesTouchingSphere(body.Bounds(), found);
  for (TTriangle* t : found) {
    t->Material = 0;
    list.push_back(t);
  }
  return list.size() > before;
}

void TMovement::Update(TMovingBody& body, const TMoveInput& input, TOctree& octree, int32_t ms) {
  ms = std::clamp(ms, 0, kMaxStepMs);
  if (!input.CursorVisible && (input.Forward || input.Backward || input.Left || input.Right))
    Walk(body, input, octree, ms);
  if (body.HasModel()) Fall(body, input, octree, ms);
}

void TMovement::Walk(TMovingBody& body, const TMoveInput& input, TOctree& octree, int32_t ms) {
  const TVec3 start = body.Position();
  const double heading = body.Heading() * std::numbers::pi / 180 + DirectionOffset(input) * std::numbers::pi;
  const double step = input.Speed * ms / 400;
  body.MoveBy(static_cast<float>(std::cos(heading) * step), 0, static_cast<float>(std::sin(heading) * step));
  hits.clear();
  if (!CollectCollisions(octree, body, hits)) return;
  PushOut(body, *hits.front(), 1.001f * body.Bounds().Radius);
  hits.clear();
  // Still touching (a corner, or a wall behind the one pushed from): the step
  // is cancelled.
  if (CollectCollisions(octree, body, hits)) body.SetPosition(start.x, start.y, start.z);
}

void TMovement::Fall(TMovingBody& body, const TMoveInput& input, TOctree& octree, int32_t ms) {
  const float before = VerticalVelocity;
  const float after = before - static_cast<float>(static_cast<int64_t>(input.Gravity) * ms) / 10000;
  const TVec3 start = body.Position();
  body.SetPosition(start.x, static_cast<float>(start.y + ms * static_cast<double>(after) / 1000), start.z);
  hits.clear();
  if (!CollectCollisions(octree, body, hits)) {
    VerticalVelocity = after;
  } else {
    const bool ground = std::any_of(hits.begin(), hits.end(),
                                    [](const TTriangle* t) { return t->Vertices[0].Normal.y >= 0.5f; });
    const TTriangle& last = *hits.back();
    if (ground) {
      body.FallDamage(before);
      VerticalVelocity = 0;
      body.SetPosition(start.x, start.y, start.z);
    } else {
      // Only walls, steep slopes or ceilings: slide along the last of them.
      const TVec3 beforePush = body.Position();
      PushOut(body, last, body.Bounds().Radius + 0.01f);
      hits.clear();
      if (CollectCollisions(octree, body, hits)) {
        body.SetPosition(beforePush.x, start.y, beforePush.z);
        body.FallDamage(before);
        VerticalVelocity = 0;
      } else {
        // A vertical wall lets gravity act fully, a normal y of +-0.25
        // cancels it, steeper ones reverse part of it.
        const double ny = last.Vertices[0].Normal.y;
        VerticalVelocity = static_cast<float>(before + std::cos(2 * std::numbers::pi * ny) * (after - before));
      }
    }
  }
  if (!(body.Position().y >= kDeathDepth)) body.FellOutOfWorld();
}
