// Walking, jumping, falling and collision of one player against the level's
// triangles. The world knows nothing of characters: movement works on a
// TMovingBody, which the character implements (and every bot, given its own
// keys and heading, uses the same code).
#pragma once
#include <cstdint>
#include <vector>

#include "world/geometry.h"

class TOctree;
struct TTriangle;

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

// The held movement keys and settings an update reads.
struct TMoveInput {
  bool Forward = false, Backward = false, Left = false, Right = false;
  bool CursorVisible = false;  // a menu or dialog is open: no walking, still falling
  double Speed = 0.5;
  int32_t Gravity = 100;
};
