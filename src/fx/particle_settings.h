// The settings of one particle effect, read from section "Effect.FXSettings"
// of its INI file. Every key has a default; values that would hang or break
// the emitter (no capacity, an emission interval of 0, a divisor of 0) are
// replaced and logged, so nothing downstream has to check them again.
#pragma once
#include <cstdint>
#include <string>

// The most particles one effect keeps. A settings file asking for more gets
// this many: every effect owns its array for its whole life.
constexpr int32_t kMaxParticles = 10000;

struct TFXRange {
  int32_t X, Y, Z;
};

struct TFXTriple {
  double X, Y, Z;
};

struct TFXSettings {
  std::string FileName;
  int32_t ParticleCount = 600;         // "particlenr": capacity of the container, 2 .. kMaxParticles
  int32_t LifeSpan = 1000;             // "START_LIVESPAN": ms each particle lives, > 0
  int32_t EmissionRate = 2;            // "EMISSION_RATE": ms between emissions, > 0
  int32_t ParticlesPerEmission = 1;    // "PARTICLES_PER_EMISSION": 1 .. ParticleCount
  std::string TexPath = "Fire.tga";    // "TexPath"
  int32_t AgeDivisor = 100;            // "agedurch": alpha = age / this while young, != 0
  int32_t FadeInEnd = 100;             // "ifage": age after which alpha fades out
  bool RandomR = false, RandomG = true, RandomB = true;  // "randomr", "randomg", "randomb"
  double ColR = 1.0, ColG = 0.7, ColB = 0.25;            // "colr", "colg", "colb"
  // The Z entries of the drift and spread families are read but never used.
  TFXRange DriftRange{4, 6, 1};        // "randomVelx " (trailing blank) ...
  TFXRange SpreadRange{10, 5, 1};      // "randomposx" ...
  TFXRange StartVelRange{60, 80, 40};  // "startrandomVelx" ...
  TFXRange StartPosRange{20, 5, 5};    // "startrandomposx" ...
  // Divisors are never 0.
  TFXTriple DriftDivisor{100, 100, 1};       // "durchVelx" ...
  TFXTriple SpreadDivisor{100, 100, 1};      // "durchPosx" ...
  TFXTriple StartVelDivisor{100, 100, 100};  // "startdurchVelx" ...
  TFXTriple StartPosDivisor{100, 100, 100};  // "startdurchPosx" ...
  TFXTriple DriftOffset{-0.02, 0.03, -1.0};    // "plusVelx" ...
  TFXTriple SpreadOffset{-0.05, 0.0, -1.0};    // "plusPosx" ...
  TFXTriple StartVelOffset{-0.3, 0.2, -0.2};   // "startplusVelx" ...
  TFXTriple StartPosOffset{-0.1, 0.0, 0.0};    // "startplusPosx" ...
};

// Reads the settings from fileName (a game path); a missing file or key gives
// the default. Each value replaced because it was unusable is logged as an
// error naming the file, the key, the value and what is used instead.
TFXSettings ReadFXSettings(const std::string& fileName);
