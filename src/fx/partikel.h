// The particle system: the two effect settings, the effect slots, the 25 ms
// timer that advances every effect on SDL's timer thread, and drawing them.
//
// Threads: the timer ticks on SDL's timer thread while the main thread adds,
// restarts, draws and removes effects. One lock guards the slots and the
// effects; every public member takes it, so callers never hold it themselves.
//
// Use by the characters: an instance of settings record 1 is made with
// AddEffect and kept by its slot number. A new effect plays at once where it
// was placed, so both are put out with StopEffect right after creation;
// otherwise every level would start with a burst and a flash at the origin.
// The death effect is restarted where a character dies with RestartEffectAt;
// the muzzle flash is restarted by RestartEffect at each shot and advanced and
// drawn in the weapon's frame by AdvanceAndDraw. Both are released with
// RemoveEffect. Slot numbers that are out of range or unused (-1 from a failed
// AddEffect) are ignored everywhere. The yaw passed for drawing is the
// view's.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fx/particle_effect.h"

class TPartikel {
 public:
  static constexpr int32_t kSlots = 1001;
  static constexpr int32_t kTickMs = 25;

  // withTimer: the game's instance starts SDL's timer subsystem here and runs
  // TimerTick every 25 ms once the first effect exists. Without it only
  // explicit TimerTick calls advance the effects (tests).
  explicit TPartikel(bool withTimer = true);
  ~TPartikel();  // stops the timer; no tick runs once it returns
  TPartikel(const TPartikel&) = delete;
  TPartikel& operator=(const TPartikel&) = delete;

  // Reads settings record 0 from "data\particles\bluefire.ini" and record 1
  // from "data\particles\winampeffekt.ini" and frees every slot.
  void Load();

  // Creates an effect of settings record settingsIndex (0 or 1) in a free
  // slot: active, aged by one 25 ms step, placed at (x, y, z), scaled, turned
  // by angle degrees about the axis, going out after lifetime ms. Returns the
  // slot, or -1 (logged) for an unknown record or when all slots are taken.
  int32_t AddEffect(int32_t settingsIndex, int32_t lifetime, double x, double y, double z, double scaleX,
                    double scaleY, double scaleZ, double axisX, double axisY, double axisZ, double angle);
  void RemoveEffect(int32_t slot);
  // Plays the effect again from age 0 where it stands (the muzzle flash).
  void RestartEffect(int32_t slot);
  // Plays the effect again from age 0 at (x, y, z), active (the death effect).
  void RestartEffectAt(int32_t slot, double x, double y, double z);
  // Puts the effect out until its next restart: inactive, with its age at its
  // lifetime so that AdvanceAndDraw shows nothing either.
  void StopEffect(int32_t slot);
  // Frees every slot (the end of a level).
  void SwitchAllOff();

  // One timer step: every used effect advances by 25 ms. Returns the interval
  // for the next step.
  uint32_t TimerTick();

  // Draws every used effect in its own frame (after glLoadIdentity, with the
  // camera on the projection matrix), blending additively without writing
  // depth. Needs a current GL context; main thread. (partikel_draw.cpp)
  void DrawAll(float cameraYaw);
  // The muzzle-flash step, in the caller's frame: the effect is made active,
  // advanced by ms, drawn and made inactive again, so the timer never emits
  // for it. (partikel_draw.cpp)
  void AdvanceAndDraw(int32_t slot, int32_t ms, float cameraYaw);

  // Reading the state, each under the lock.
  int32_t HighSlot() const;
  bool Used(int32_t slot) const;
  TFXSettings Settings(int32_t index) const;
  // Runs f on the effect in a used slot; false when there is none.
  bool WithEffect(int32_t slot, const std::function<void(TExampleFX&)>& f);

 private:
  TExampleFX* EffectAt(int32_t slot);  // used slot or null; lock held
  unsigned TextureFor(const std::string& path);  // lock held, main thread (partikel_draw.cpp)
  // SDL's side (partikel_timer.cpp).
  static void InitTimerSubsystem();
  void RestartTimer();
  void StopTimer();

  mutable std::mutex lock;
  int32_t highSlot = 0;
  std::array<TFXSettings, 2> settings;
  std::vector<std::unique_ptr<TExampleFX>> effects;  // by slot
  std::array<bool, kSlots> used{};
  std::map<std::string, unsigned> textures;  // loaded once per path for the whole run
  bool withTimer;
};

// Created by InitModules after Logger, freed by ShutdownModules; null before,
// after, and in tests that make their own.
extern TPartikel* Partikel;
