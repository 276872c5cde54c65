// Whom the local player watches while dead, until the respawn: the own body
// for a short moment, then a living team mate (the nearest first; a click
// steps to the next or the previous; the next when the watched one dies),
// and a free-flying camera while no team mate lives. Only this machine's
// view: nothing of it reaches the rules or the wire.
#pragma once
#include <cstdint>

#include "world/geometry.h"
#include "world/movement.h"

class TCharacters;
class TCharacter;
class TOctree;

// What the view is placed from: a reference point, the height of the eye
// (the centre of the head sphere for a character), and angles in degrees.
struct TCamPose {
  TVec3 Position;
  float EyeHeight = 0;
  float Yaw = 0, Pitch = 0;
};

enum class TWatch { Self, Mate, Free };

// Where the camera is and whose eyes it looks through (-1: the free camera).
struct TSpectatorView {
  TCamPose Pose;
  int32_t CharacterId = -1;
};

class TSpectator {
 public:
  // Long enough to see where one fell, short enough not to bore.
  static constexpr uint32_t kOwnBodyMs = 2500;
  // The free camera flies this many times as fast as a player walks.
  static constexpr double kFlySpeedFactor = 4;

  // Every frame with the rules' clock: follows the local player's life and
  // the watched mate's. A local player alive or not in play watches itself.
  void Update(const TCharacters& all, uint32_t now);
  // A click: the next living team mate (step 1) or the previous (-1); from
  // the own body or the free camera the nearest one. With none alive the own
  // body gives way to the free camera.
  void Cycle(const TCharacters& all, int step);
  // The free camera's mouse look (angles already clamped by the camera) and
  // flight along the view by the movement keys, kept inside the level's cube.
  void SetFreeView(float yaw, float pitch);
  // A demo's viewer: the free camera from the current view, or back to the
  // local player's eyes (Update then chooses again).
  void SetFree(const TCharacters& all, bool free);
  void Fly(const TMoveInput& input, int32_t ms, const TOctree* octree);

  TWatch Mode() const { return mode; }
  int32_t WatchedId() const { return mode == TWatch::Mate ? watched : -1; }
  TSpectatorView View(const TCharacters& all) const;

 private:
  void Watch(const TCharacters& all, int32_t id);
  void StartFree(const TCharacters& all);

  TWatch mode = TWatch::Self;
  int32_t watched = -1;
  TVec3 freeEye{};
  float freeYaw = 0, freePitch = 0;
};

// A character the viewer may watch: in play, alive, on the viewer's team and
// not the viewer.
bool IsLivingMate(const TCharacter* c, const TCharacter& viewer);
// The first living mate of viewer from index `from` on in steps of `step`,
// wrapping round (`from` itself last); -1 when none lives.
int32_t NextLivingMate(const TCharacters& all, const TCharacter& viewer, int32_t from, int step);
// The living mate nearest to the point; -1 when none lives.
int32_t NearestLivingMate(const TCharacters& all, const TCharacter& viewer, const TVec3& from);
