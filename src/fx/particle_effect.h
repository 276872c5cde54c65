// One particle emitter: its settings, where it stands, how old it is, and the
// emission and ageing that each step of time brings. Drawing is in
// particle_effect_draw.cpp.
#pragma once
#include <cstdint>
#include <limits>

#include "fx/particle_container.h"
#include "fx/particle_settings.h"

class TExampleFX {
 public:
  explicit TExampleFX(const TFXSettings& settings);

  // Ages the effect by ms; while it is active, emits what the accumulated
  // time allows and moves its particles.
  void Update(int32_t ms);
  // Draws the live particles as quads facing a camera turned by cameraYaw
  // degrees (the view direction is (cos yaw, 0, sin yaw)), in the current
  // model-view frame, with the current blending. Nothing when inactive.
  void Draw(float cameraYaw) const;

  TPfxContainer Container;
  TParticle Template;        // the particle being built; keeps its drift between emissions
  int32_t Accumulator = 0;   // ms not yet spent on emission
  unsigned Texture = 0;      // GL texture name, 0 until loaded for drawing
  TFXSettings Settings;
  double Translation[3] = {0, 0, 0};
  double RotationAxis[3] = {0, 0, 0};
  double RotationAngle = 0;  // degrees
  double EffectScale[3] = {1, 1, 1};
  int32_t Age = 0;           // ms since creation or restart
  int32_t Lifetime = std::numeric_limits<int32_t>::max();
  bool Active = true;        // false once Age passes Lifetime

 private:
  void Emit();
};

// The particle's opacity before drawing halves it: fading in as age /
// "agedurch" up to age "ifage", then out as 1 - age / "START_LIVESPAN".
float ParticleAlpha(const TParticle& p, const TFXSettings& s);
