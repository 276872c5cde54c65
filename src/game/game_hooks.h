// What the character rules trigger in subsystems above the game layer or not
// built yet: movement's vertical speed (the driver knows which body it
// moves), the buy window, and the particle effects. The game driver fills
// these at start; every hook may be empty (tests, tools), and an empty hook
// does nothing.
#pragma once
#include <functional>
#include <memory>

#include "world/geometry.h"
#include "world/movement.h"

// The two particle effect instances a level's characters use. One object
// per TCharacters, made when it is created and freed with it (which releases
// the instances).
class TCharacterEffects {
 public:
  virtual ~TCharacterEffects() = default;
  // The death effect restarts at `where` (age 0, visible).
  virtual void Death(const TVec3& where) = 0;
  // The muzzle flash restarts (age 0).
  virtual void RestartMuzzleFlash() = 0;
  // Advances the muzzle flash by 25 ms and draws it at the current matrix.
  virtual void DrawMuzzleFlash() = 0;
};

struct TGameHooks {
  // The vertical speed of the movement that moves this body := 0 (on death
  // and revival).
  std::function<void(TMovingBody& body)> StopVerticalMotion;
  std::function<void()> HideBuyWindow;
  std::function<std::unique_ptr<TCharacterEffects>()> MakeEffects;
  // Another character fired, from `where` (its head): heard there.
  std::function<void(const TVec3& where)> ShotHeard;
};

// Whole run: empty hooks until the game driver (or a test) fills them.
extern TGameHooks GameHooks;
