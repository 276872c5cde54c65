// Emission and ageing of one particle emitter.
#include "fx/particle_effect.h"

#include "core/platform.h"

TExampleFX::TExampleFX(const TFXSettings& settings) : Container(settings.ParticleCount), Settings(settings) {}

namespace {

// Random(range) / divisor + offset: the one shape of every random term.
float Jitter(int32_t range, double divisor, double offset) {
  return static_cast<float>(Random(range) / divisor + offset);
}

float Channel(bool random, double colour) { return static_cast<float>(random ? RandomFloat() * colour : colour); }

}  // namespace

void TExampleFX::Update(int32_t ms) {
  // The timer keeps ageing an effect long after it went out; stop at the top
  // of the range instead of wrapping round to a young age.
  const int64_t age = static_cast<int64_t>(Age) + ms;
  Age = age > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(age);
  if (Age > Lifetime) Active = false;
  if (!Active) return;
  Accumulator += ms;
  while (Accumulator > Settings.EmissionRate) {
    Emit();
    Accumulator -= Settings.EmissionRate;
  }
  Container.Move(ms);
}

void TExampleFX::Emit() {
  const TFXSettings& s = Settings;
  TParticle& t = Template;
  t.X = Jitter(s.StartPosRange.X, s.StartPosDivisor.X, s.StartPosOffset.X);
  t.Y = Jitter(s.StartPosRange.Y, s.StartPosDivisor.Y, s.StartPosOffset.Y);
  t.Z = Jitter(s.StartPosRange.Z, s.StartPosDivisor.Z, s.StartPosOffset.Z);
  t.VelX = Jitter(s.StartVelRange.X, s.StartVelDivisor.X, s.StartVelOffset.X);
  t.VelY = Jitter(s.StartVelRange.Y, s.StartVelDivisor.Y, s.StartVelOffset.Y);
  t.VelZ = Jitter(s.StartVelRange.Z, s.StartVelDivisor.Z, s.StartVelOffset.Z);
  t.Red = Channel(s.RandomR, s.ColR);
  t.Green = Channel(s.RandomG, s.ColG);
  t.Blue = Channel(s.RandomB, s.ColB);
  t.Life = s.LifeSpan;
  for (int32_t i = 0; i < s.ParticlesPerEmission; ++i) {
    t.X += Jitter(s.SpreadRange.X, s.SpreadDivisor.X, s.SpreadOffset.X);
    t.Y += Jitter(s.SpreadRange.Y, s.SpreadDivisor.Y, s.SpreadOffset.Y);
    t.VelX += Jitter(s.DriftRange.X, s.DriftDivisor.X, s.DriftOffset.X);
    t.VelY += Jitter(s.DriftRange.Y, s.DriftDivisor.Y, s.DriftOffset.Y);
    Container.Push(t);
  }
}

float ParticleAlpha(const TParticle& p, const TFXSettings& s) {
  const float age = static_cast<float>(p.Age);
  if (p.Age > s.FadeInEnd) return 1 - age / static_cast<float>(s.LifeSpan);
  return age / static_cast<float>(s.AgeDivisor);
}
