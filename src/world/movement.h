// Walking, jumping, falling and collision of one player against the level's
// triangles. The world knows nothing of characters: movement works on a
// TMovingBody, which the character implements (and every bot, given its own
// keys and heading, uses the same code).
#pragma once
#include <cstdint>
#include <vector>

#include "world/geometry.h"

class TOctree;

// What movement reads and changes of the body it moves.
class TMovingBody {
 public:
  virtual ~TMovingBody() = default;
  virtual TVec3 Position() const = 0;      // the reference point (X, Y, Z)
  virtual float Heading() const = 0;       // Yaw in degrees
  virtual bool HasModel() const = 0;       // a model is chosen (ModelNr >= 0): only then it falls
  virtual const TSphere& Bounds() const = 0;  // the bounding sphere, following the position
  virtual void MoveBy(float dx, float dy, float dz) = 0;
  virtual void MoveCentreTo(const TVec3& centre) = 0;  // bounding-sphere centre to centre, all spheres follow
  virtual void SetPosition(float x, float y, float z) = 0;
  virtual void FallDamage(float verticalSpeed) = 0;
  virtual void FellOutOfWorld() = 0;       // below Y = -100: the character dies
};

// A body that is only its bounding sphere, with the reference point a fixed
// height above the sphere's centre, as on a character. Lands and dies
// without consequence; for moving a body where there is no character (tests,
// benchmarks, tools).
class TSphereBody : public TMovingBody {
 public:
  TSphereBody(const TVec3& centre, float radius, float pointAboveCentre, float yaw = 0, bool model = true);
  TVec3 Position() const override { return position; }
  float Heading() const override { return Yaw; }
  bool HasModel() const override { return Model; }
  const TSphere& Bounds() const override { return sphere; }
  void MoveBy(float dx, float dy, float dz) override;
  void MoveCentreTo(const TVec3& centre) override;
  void SetPosition(float x, float y, float z) override;
  void FallDamage(float) override {}
  void FellOutOfWorld() override {}

  float Yaw;
  bool Model;
  void SetRadius(float radius) { sphere.Radius = radius; }

 private:
  TVec3 position;
  TSphere sphere;
};

// The held movement keys and settings an update reads.
struct TMoveInput {
  bool Forward = false, Backward = false, Left = false, Right = false;
  bool CursorVisible = false;  // a menu or dialog is open: no walking, still falling
  double Speed = 0.5;
  int32_t Gravity = 100;
};

// The result of a collision query: level triangles, owned by the octree.
using TPolyList = std::vector<TTriangle*>;

// The longest step one frame simulates; time beyond is dropped, so a late
// frame moves nothing further than a regular one would.
inline constexpr uint32_t kMaxStepMs = 50;

// Moves the local player once per tick: walking from the held keys, falling
// under gravity, jumping, landing, and pushing the body out of the level's
// triangles. Remote players are placed by the network and never move here.
class TMovement {
 public:
  static constexpr float kJumpSpeed = 4.0f;
  // The event handler's step cap; a longer step is cut to this.
  static constexpr int32_t kMaxStepMs = 50;
  static constexpr float kDeathDepth = -100.0f;

  // Starts a jump unless the body is already rising or falling; true when it did.
  bool Jump();

  // Advances the body by ms milliseconds (0 .. kMaxStepMs).
  void Update(TMovingBody& body, const TMoveInput& input, TOctree& octree, int32_t ms);

  // Appends every triangle the body's bounding sphere touches, in the order
  // collision walks the tree, and gives each the default material 0 (seen
  // only when the level is drawn without display lists). True when it
  // appended any.
  static bool CollectCollisions(TOctree& octree, const TMovingBody& body, TPolyList& list);

  // Level units per second, positive upwards.
  float VerticalVelocity = 0;

 private:
  void Walk(TMovingBody& body, const TMoveInput& input, TOctree& octree, int32_t ms);
  void Fall(TMovingBody& body, const TMoveInput& input, TOctree& octree, int32_t ms);

  TPolyList hits;  // reused by every query of an update
};

// Per level: created when a level starts and freed when it ends; null
// outside a running level.
extern TMovement* Movement;
