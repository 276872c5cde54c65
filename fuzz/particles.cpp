// Particle settings files on arbitrary bytes: whatever the file says, the
// settings that come out keep the emitter bounded, and a few timer steps of
// an effect made from them stay inside its container.
#include "fuzz_support.h"
#include "fx/particle_effect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TFXSettings s = ReadFXSettings(FuzzInputFile(data, size, ".ini"));
  if (s.ParticleCount < 2 || s.ParticleCount > kMaxParticles) __builtin_trap();
  if (s.LifeSpan < 1 || s.EmissionRate < 1 || s.AgeDivisor == 0) __builtin_trap();
  if (s.ParticlesPerEmission < 1 || s.ParticlesPerEmission > s.ParticleCount) __builtin_trap();
  for (const TFXTriple& d : {s.DriftDivisor, s.SpreadDivisor, s.StartVelDivisor, s.StartPosDivisor})
    if (d.X == 0 || d.Y == 0 || d.Z == 0) __builtin_trap();
  TExampleFX fx(s);
  fx.Lifetime = 60;
  for (int step = 0; step < 4; ++step) fx.Update(25);
  if (fx.Active || fx.Container.Count() >= fx.Container.Capacity()) __builtin_trap();
  float sum = 0;
  for (int32_t i = 0; i < fx.Container.Count(); ++i) sum += ParticleAlpha(fx.Container[i], s);
  (void)sum;
  return 0;
}
