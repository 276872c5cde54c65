// Particle effects without a display: settings files (shipped and broken),
// emission and ageing of an emitter, the container's capacity, and the slots
// of the particle system driven by explicit timer steps.
#include <gtest/gtest.h>

#include <limits>

#include "../data/data_tree.h"
#include "core/logger.h"
#include "core/platform.h"
#include "fx/partikel.h"
#include "test_support.h"

namespace {

std::string LogText() {
  Logger->Flush();
  return ReadFile(Logger->LogPath());
}

TFXSettings SettingsFromText(const std::string& body) {
  TempDir dir;
  WriteFile(dir / "fx.ini", "[Effect.FXSettings]\n" + body);
  return ReadFXSettings(dir / "fx.ini");
}

// Settings whose random terms are all 0, so every particle is predictable.
TFXSettings Fixed() {
  TFXSettings s;
  s.DriftRange = s.SpreadRange = s.StartVelRange = s.StartPosRange = {0, 0, 0};
  s.RandomG = s.RandomB = false;
  return s;
}

TEST(ParticleSettings, ShippedFilesReadAsWritten) {
  TInBinDir inBin;
  TPartikel system(false);
  system.Load();
  const TFXSettings blue = system.Settings(0), spark = system.Settings(1);
  EXPECT_EQ(blue.FileName, "data\\particles\\bluefire.ini");
  EXPECT_EQ(blue.ParticleCount, 500);
  EXPECT_EQ(blue.TexPath, "data\\particles\\flame.tga");
  EXPECT_EQ(blue.SpreadDivisor.X, 200);
  EXPECT_EQ(spark.ParticleCount, 600);
  EXPECT_EQ(spark.ParticlesPerEmission, 2);
  EXPECT_EQ(spark.TexPath, "data\\particles\\spark.tga");
  EXPECT_EQ(spark.StartVelOffset.X, -0.6);
  EXPECT_FALSE(spark.RandomR);
  EXPECT_TRUE(spark.RandomG);
  // Neither file sets the drift ranges: the defaults hold.
  EXPECT_EQ(spark.DriftRange.X, 4);
  EXPECT_EQ(spark.DriftRange.Y, 6);
}

TEST(ParticleSettings, MissingFileAndTrailingBlankKeys) {
  const TFXSettings missing = ReadFXSettings("no\\such\\effect.ini");
  const TFXSettings d;
  EXPECT_EQ(missing.ParticleCount, d.ParticleCount);
  EXPECT_EQ(missing.TexPath, "Fire.tga");
  EXPECT_EQ(missing.StartPosOffset.X, -0.1);
  // The drift ranges are the keys written with a trailing blank.
  const TFXSettings drift = SettingsFromText("randomVelx =9\nrandomVely=8\nrandomVelz = 7\n");
  EXPECT_EQ(drift.DriftRange.X, 9);
  EXPECT_EQ(drift.DriftRange.Y, 8);
  EXPECT_EQ(drift.DriftRange.Z, 7);
}

// Values that would crash, hang or allocate without bound are replaced, and
// the log says what was wrong and what is used.
TEST(ParticleSettings, UnusableValuesAreReplacedAndLogged) {
  struct Case {
    const char* line;
    int32_t TFXSettings::*field;
    int32_t expected;
    const char* logged;
  };
  const Case cases[] = {
      {"particlenr=0", &TFXSettings::ParticleCount, 600, "particlenr 0 is below 2; using 600"},
      {"particlenr=1", &TFXSettings::ParticleCount, 600, "particlenr 1 is below 2; using 600"},
      {"particlenr=-5", &TFXSettings::ParticleCount, 600, "particlenr -5 is below 2"},
      {"particlenr=1000000", &TFXSettings::ParticleCount, 10000,
       "particlenr 1000000 is above the limit of 10000 particles per effect; using 10000"},
      {"particlenr=10000", &TFXSettings::ParticleCount, 10000, nullptr},
      {"START_LIVESPAN=0", &TFXSettings::LifeSpan, 1000, "START_LIVESPAN 0 is below 1; using 1000"},
      {"EMISSION_RATE=0", &TFXSettings::EmissionRate, 2, "EMISSION_RATE 0 is below 1; using 2"},
      {"EMISSION_RATE=-3", &TFXSettings::EmissionRate, 2, "EMISSION_RATE -3 is below 1"},
      {"PARTICLES_PER_EMISSION=-1", &TFXSettings::ParticlesPerEmission, 1, "PARTICLES_PER_EMISSION -1 is below 1"},
      {"PARTICLES_PER_EMISSION=700", &TFXSettings::ParticlesPerEmission, 600,
       "PARTICLES_PER_EMISSION 700 is more than particlenr; using 600"},
      {"agedurch=0", &TFXSettings::AgeDivisor, 100, "agedurch 0 is not a divisor; using 100"},
      {"agedurch=-20", &TFXSettings::AgeDivisor, -20, nullptr},
      {"EMISSION_RATE=fast", &TFXSettings::EmissionRate, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const size_t before = LogText().size();
    const TFXSettings s = SettingsFromText(std::string(c.line) + "\n");
    EXPECT_EQ(s.*c.field, c.expected);
    const std::string logged = LogText().substr(before);
    if (c.logged) {
      EXPECT_NE(logged.find(c.logged), std::string::npos) << logged;
      EXPECT_NE(logged.find("fx.ini: "), std::string::npos) << logged;
    } else {
      EXPECT_EQ(logged, "");
    }
  }
  const TFXSettings divisors = SettingsFromText("durchVelx=0\nstartdurchPosz=0.0\ndurchPosy=-2\n");
  EXPECT_EQ(divisors.DriftDivisor.X, 100);
  EXPECT_EQ(divisors.StartPosDivisor.Z, 100);
  EXPECT_EQ(divisors.SpreadDivisor.Y, -2);
  EXPECT_NE(LogText().find("startdurchPosz 0 is not a divisor; using 100"), std::string::npos);
}

TEST(ParticleContainer, HoldsOneLessThanItsCapacityAndDropsTheNewest) {
  TPfxContainer c(600);
  TParticle p;
  p.Life = 1000;
  for (int i = 0; i < 1000; ++i) {
    p.X = static_cast<float>(i);
    c.Push(p);
  }
  EXPECT_EQ(c.Count(), 599);
  EXPECT_EQ(c[598].X, 598);  // the later ones went into the spare place and were overwritten
  // Once some have died, a push compacts them away, keeping the order.
  TPfxContainer small(4);
  for (int life : {10, 30, 20}) {
    p.Life = life;
    p.X = static_cast<float>(life);
    small.Push(p);
  }
  small.Move(15);
  p.Life = 50;
  p.X = 50;
  small.Push(p);
  ASSERT_EQ(small.Count(), 3);
  EXPECT_EQ(small[0].X, 30);
  EXPECT_EQ(small[0].Life, 15);
  EXPECT_EQ(small[1].Life, 5);
  EXPECT_EQ(small[2].X, 50);
  for (int32_t capacity : {0, 1, -7, 1000000}) {
    TPfxContainer clamped(capacity);
    EXPECT_GE(clamped.Capacity(), 2);
    EXPECT_LE(clamped.Capacity(), kMaxParticles);
    clamped.Push(p);
    clamped.Push(p);
  }
}

TEST(ParticleEmitter, ParticlesPerStepFollowTheInterval) {
  struct Case {
    int32_t interval, perEmission, ms, particles, leftOver;
  };
  // With the defaults a 25 ms step emits 12 particles and keeps 1 ms.
  for (const Case& c : {Case{2, 1, 25, 12, 1}, Case{3, 2, 25, 16, 1}, Case{25, 1, 25, 0, 25}, Case{1, 1, 25, 24, 1},
                        Case{2, 1, 1, 0, 1}}) {
    SCOPED_TRACE(testing::Message() << c.interval << " ms x " << c.perEmission << " in " << c.ms << " ms");
    TFXSettings s;
    s.EmissionRate = c.interval;
    s.ParticlesPerEmission = c.perEmission;
    TExampleFX fx(s);
    fx.Update(c.ms);
    EXPECT_EQ(fx.Container.Count(), c.particles);
    EXPECT_EQ(fx.Accumulator, c.leftOver);
  }
}

TEST(ParticleEmitter, EachParticleAddsItsDriftToTheTemplate) {
  TFXSettings s = Fixed();
  s.EmissionRate = 25;
  s.ParticlesPerEmission = 2;
  s.StartPosOffset = {0.5, 1.0, 2.0};
  s.StartVelOffset = {2.0, 4.0, 8.0};
  s.SpreadOffset = {0.1, 0.2, 9.0};  // Z unused
  s.DriftOffset = {1.0, -1.0, 9.0};  // Z unused
  s.ColR = 0.5;
  TExampleFX fx(s);
  fx.Update(26);
  ASSERT_EQ(fx.Container.Count(), 2);
  // Emitted, then moved by 26 ms within the same step.
  const TParticle& first = fx.Container[0];
  const TParticle& second = fx.Container[1];
  EXPECT_FLOAT_EQ(first.X, 0.6f + 3.0f * 0.026f);
  EXPECT_FLOAT_EQ(first.Y, 1.2f + 3.0f * 0.026f);
  EXPECT_FLOAT_EQ(first.Z, 2.0f + 8.0f * 0.026f);
  EXPECT_FLOAT_EQ(second.X, 0.7f + 4.0f * 0.026f);
  EXPECT_FLOAT_EQ(second.Y, 1.4f + 2.0f * 0.026f);
  EXPECT_EQ(second.VelZ, 8.0f);
  EXPECT_EQ(first.Life, 1000 - 26);
  EXPECT_EQ(first.Age, 26);
  EXPECT_EQ(first.Red, 0.5f);
  EXPECT_EQ(first.Green, 0.7f);
}

TEST(ParticleEmitter, RandomTermsStayInTheirRanges) {
  RandomSeed(1234);
  TFXSettings s;  // start X: Random(20) / 100 - 0.1; random green and blue
  TExampleFX fx(s);
  fx.Update(2000);
  ASSERT_GT(fx.Container.Count(), 500);
  bool greenVaries = false;
  for (int32_t i = 0; i < fx.Container.Count(); ++i) {
    const TParticle& p = fx.Container[i];
    EXPECT_EQ(p.Red, 1.0f);
    EXPECT_GE(p.Green, 0.0f);
    EXPECT_LT(p.Green, 0.7f);
    EXPECT_LT(p.Blue, 0.25f);
    greenVaries |= p.Green != fx.Container[0].Green;
  }
  EXPECT_TRUE(greenVaries);
  // The same seed gives the same effect.
  RandomSeed(1234);
  TExampleFX again(s);
  again.Update(2000);
  EXPECT_EQ(again.Container[17].X, fx.Container[17].X);
  EXPECT_EQ(again.Container[17].Green, fx.Container[17].Green);
}

TEST(ParticleEmitter, AlphaFadesInThenOut) {
  TFXSettings s;  // agedurch 100, ifage 100, life span 1000
  struct Case {
    int32_t age;
    float alpha;
  };
  // Drawn at half these: age 50 and age 500 both give 0.25.
  for (const Case& c : {Case{0, 0}, Case{50, 0.5f}, Case{100, 1.0f}, Case{101, 0.899f}, Case{500, 0.5f},
                        Case{1000, 0}}) {
    TParticle p;
    p.Age = c.age;
    EXPECT_FLOAT_EQ(ParticleAlpha(p, s), c.alpha) << "age " << c.age;
  }
}

TEST(ParticleEmitter, StopsOnceItsAgePassesItsLifetime) {
  TExampleFX fx{TFXSettings{}};
  fx.Lifetime = 300;
  for (int step = 0; step < 12; ++step) fx.Update(25);
  EXPECT_TRUE(fx.Active);  // age 300 is not past 300
  const int32_t count = fx.Container.Count();
  const float x = fx.Container[0].X;
  fx.Update(25);
  EXPECT_FALSE(fx.Active);
  for (int step = 0; step < 10; ++step) fx.Update(25);
  EXPECT_EQ(fx.Container.Count(), count);
  EXPECT_EQ(fx.Container[0].X, x);
  EXPECT_EQ(fx.Age, 23 * 25);
  // The age stops at the top of its range instead of wrapping to young again.
  fx.Age = std::numeric_limits<int32_t>::max() - 10;
  fx.Update(25);
  EXPECT_EQ(fx.Age, std::numeric_limits<int32_t>::max());
  EXPECT_FALSE(fx.Active);
}

class ParticleSlots : public testing::Test {
 protected:
  int32_t Add(int32_t settings = 1, int32_t lifetime = 3000) {
    return system.AddEffect(settings, lifetime, 1, 2, 3, 5, 5, 5, 1, 1, 1, 0);
  }
  TPartikel system{false};
};

TEST_F(ParticleSlots, TheLastFreeSlotIsTakenElseANewOne) {
  EXPECT_EQ(Add(), 0);
  EXPECT_EQ(Add(), 1);
  EXPECT_EQ(Add(), 2);
  EXPECT_EQ(system.HighSlot(), 2);
  system.RemoveEffect(0);
  system.RemoveEffect(2);
  EXPECT_EQ(Add(), 2);
  EXPECT_EQ(Add(), 0);
  EXPECT_EQ(Add(), 3);
  system.SwitchAllOff();
  for (int32_t slot = 0; slot <= 3; ++slot) EXPECT_FALSE(system.Used(slot));
  EXPECT_EQ(Add(), 3);
  EXPECT_EQ(system.HighSlot(), 3);
}

TEST_F(ParticleSlots, RefusedRequestsAndUnknownSlotsChangeNothing) {
  EXPECT_EQ(Add(2), -1);
  EXPECT_EQ(Add(-1), -1);
  EXPECT_NE(LogText().find("No particle settings 2"), std::string::npos);
  for (int32_t i = 0; i < TPartikel::kSlots; ++i) ASSERT_EQ(Add(), i);
  EXPECT_EQ(Add(), -1);
  EXPECT_NE(LogText().find("All 1001 particle effect slots are taken"), std::string::npos);
  for (int32_t slot : {-1, 1001, 5000}) {
    system.RemoveEffect(slot);
    system.RestartEffect(slot);
    system.RestartEffectAt(slot, 1, 1, 1);
    system.StopEffect(slot);
    EXPECT_FALSE(system.WithEffect(slot, [](TExampleFX&) {}));
  }
  system.TimerTick();
}

TEST_F(ParticleSlots, ANewEffectHasStepped25MsAndTheTimerAgesOnlyUsedOnes) {
  const int32_t death = Add(1, 3000);
  const int32_t muzzle = Add(1, 300);
  system.WithEffect(death, [](TExampleFX& fx) {
    EXPECT_EQ(fx.Age, 25);
    EXPECT_TRUE(fx.Active);
    EXPECT_EQ(fx.Container.Count(), 12);  // default settings: 12 per 25 ms
    EXPECT_EQ(fx.Translation[2], 3);
    EXPECT_EQ(fx.EffectScale[0], 5);
    EXPECT_EQ(fx.Lifetime, 3000);
  });
  system.RemoveEffect(muzzle);
  EXPECT_EQ(system.TimerTick(), 25u);
  system.WithEffect(death, [](TExampleFX& fx) { EXPECT_EQ(fx.Age, 50); });
  // A freed slot is not ticked; re-taking it makes a fresh effect.
  EXPECT_EQ(Add(1, 300), muzzle);
  system.WithEffect(muzzle, [](TExampleFX& fx) { EXPECT_EQ(fx.Age, 25); });
}

TEST_F(ParticleSlots, RestartsAndStop) {
  const int32_t death = Add(1, 3000);
  for (int i = 0; i < 130; ++i) system.TimerTick();
  system.WithEffect(death, [](TExampleFX& fx) { EXPECT_FALSE(fx.Active); });
  system.RestartEffectAt(death, 7, 8, 9);
  system.WithEffect(death, [](TExampleFX& fx) {
    EXPECT_TRUE(fx.Active);
    EXPECT_EQ(fx.Age, 0);
    EXPECT_EQ(fx.Translation[0], 7);
    EXPECT_EQ(fx.Translation[2], 9);
  });
  system.StopEffect(death);
  system.TimerTick();
  system.WithEffect(death, [](TExampleFX& fx) {
    EXPECT_FALSE(fx.Active);
    EXPECT_GT(fx.Age, fx.Lifetime);
  });
  // A plain restart rewinds the age and leaves the rest alone.
  system.RestartEffect(death);
  system.WithEffect(death, [](TExampleFX& fx) {
    EXPECT_EQ(fx.Age, 0);
    EXPECT_FALSE(fx.Active);
    EXPECT_EQ(fx.Translation[1], 8);
  });
}

}  // namespace
