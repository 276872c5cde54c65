// The server's judgement of where a client says its player is. A position is
// taken only when the movement rules could have brought the player there from
// the last one taken in the time that passed: walking no faster than the
// speed setting, rising no more than ramps and one jump at a time allow under
// the gravity setting and never higher above a floor than a jump reaches,
// never through a level triangle, never outside the level. Datagrams arrive bunched after jitter or a loss, so walking and
// climbing are budgets that refill with time and hold a short burst, rather
// than a speed test between two datagrams.
#pragma once
#include <cstdint>
#include <string>

#include "world/geometry.h"

class TOctree;

struct TMoveLimits {
  double Speed = 0.5;     // the game's speed: level units per 400 ms of walking
  int32_t Gravity = 100;  // tenths of a level unit per second squared
};

// Walking may run this much faster than the speed allows: tick rounding and
// the push out of walls and slopes.
inline constexpr double kMoveSpeedMargin = 1.25;
// How much walking and climbing time a burst of late datagrams may catch up.
inline constexpr uint32_t kMoveBurstMs = 700;
// Free rise per unit walked: ramps and stairs up to about 63 degrees.
inline constexpr float kMoveClimbPerUnit = 2.0f;
// Distances below this are measurement noise.
inline constexpr float kMoveSlack = 0.25f;
// Beyond the level's octree cube by more than this is outside the level.
inline constexpr float kLevelBoundsMargin = 5.0f;

class TMoveCheck {
 public:
  // Whether `to` can follow `from` (both reference points; the body's
  // bounding sphere has its centre at centreOffset from them and the given
  // radius) at `now`. Empty `why` when it can; the budgets are charged only
  // then. The octree may be null (nothing blocks, no bounds, no floors).
  bool Accept(const TVec3& from, const TVec3& to, const TVec3& centreOffset, float radius, uint32_t now,
              const TMoveLimits& limits, const TOctree* octree, std::string& why);
  // The server placed the body itself: full budgets from `now`.
  void Reset(uint32_t now);

 private:
  void Refill(uint32_t now, const TMoveLimits& limits);

  bool started = false;
  uint32_t last = 0;
  double walk = 0;   // level units of horizontal travel left
  double climb = 0;  // level units of rise beyond the ramps' allowance left
};

// The highest a jump rises under this gravity (unbounded without gravity).
double JumpHeight(int32_t gravity);
