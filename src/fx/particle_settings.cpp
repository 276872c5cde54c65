// Reading and checking particle effect settings.
#include "fx/particle_settings.h"

#include "core/convert.h"
#include "core/ini_file.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/paths.h"

#include <tuple>
#include <utility>

namespace {

const char* const kSection = "Effect.FXSettings";

// Keys of one family: prefix + "x"/"y"/"z" + suffix.
TFXRange ReadRange(const TIniFile& ini, const std::string& prefix, const std::string& suffix, TFXRange def) {
  return {ini.ReadInteger(kSection, prefix + "x" + suffix, def.X), ini.ReadInteger(kSection, prefix + "y" + suffix, def.Y),
          ini.ReadInteger(kSection, prefix + "z" + suffix, def.Z)};
}

TFXTriple ReadTriple(const TIniFile& ini, const std::string& prefix, TFXTriple def) {
  return {ini.ReadFloat(kSection, prefix + "x", def.X), ini.ReadFloat(kSection, prefix + "y", def.Y),
          ini.ReadFloat(kSection, prefix + "z", def.Z)};
}

void Report(const TFXSettings& s, const std::string& key, const std::string& value, const std::string& why,
            const std::string& used) {
  if (Logger) Logger->LogError(s.FileName + ": " + key + " " + value + " " + why + "; using " + used, LogSource::Particles);
}

// value must be at least min; otherwise it becomes def.
void AtLeast(const TFXSettings& s, const char* key, int32_t& value, int32_t min, int32_t def) {
  if (value >= min) return;
  Report(s, key, std::to_string(value), "is below " + std::to_string(min), std::to_string(def));
  value = def;
}

// A divisor of 0 would turn every particle's position or speed into an
// infinity or a NaN.
void NonZero(const TFXSettings& s, const std::string& prefix, TFXTriple& value, TFXTriple def) {
  double TFXTriple::*axes[] = {&TFXTriple::X, &TFXTriple::Y, &TFXTriple::Z};
  const char* names[] = {"x", "y", "z"};
  for (int i = 0; i < 3; ++i) {
    if (value.*axes[i] != 0) continue;
    Report(s, prefix + names[i], "0", "is not a divisor", FloatToStr(def.*axes[i]));
    value.*axes[i] = def.*axes[i];
  }
}

void Check(TFXSettings& s) {
  const TFXSettings d;
  // A container of capacity n keeps at most n - 1 particles, so 1 shows
  // nothing and 0 has no room for the particle being written.
  AtLeast(s, "particlenr", s.ParticleCount, 2, d.ParticleCount);
  if (s.ParticleCount > kMaxParticles) {
    Report(s, "particlenr", std::to_string(s.ParticleCount),
           "is above the limit of " + std::to_string(kMaxParticles) + " particles per effect",
           std::to_string(kMaxParticles));
    s.ParticleCount = kMaxParticles;
  }
  AtLeast(s, "START_LIVESPAN", s.LifeSpan, 1, d.LifeSpan);
  // An interval of 0 or less would never use up the accumulated time.
  AtLeast(s, "EMISSION_RATE", s.EmissionRate, 1, d.EmissionRate);
  AtLeast(s, "PARTICLES_PER_EMISSION", s.ParticlesPerEmission, 1, d.ParticlesPerEmission);
  // More than the container holds only burns time: the surplus is never kept.
  if (s.ParticlesPerEmission > s.ParticleCount) {
    Report(s, "PARTICLES_PER_EMISSION", std::to_string(s.ParticlesPerEmission), "is more than particlenr",
           std::to_string(s.ParticleCount));
    s.ParticlesPerEmission = s.ParticleCount;
  }
  if (s.AgeDivisor == 0) {
    Report(s, "agedurch", "0", "is not a divisor", std::to_string(d.AgeDivisor));
    s.AgeDivisor = d.AgeDivisor;
  }
  NonZero(s, "durchVel", s.DriftDivisor, d.DriftDivisor);
  NonZero(s, "durchPos", s.SpreadDivisor, d.SpreadDivisor);
  NonZero(s, "startdurchVel", s.StartVelDivisor, d.StartVelDivisor);
  NonZero(s, "startdurchPos", s.StartPosDivisor, d.StartPosDivisor);
}

}  // namespace

TFXSettings ReadFXSettings(const std::string& fileName) {
  const TIniFile ini(HostPath(fileName));
  TFXSettings s;
  s.FileName = fileName;
  const std::pair<const char*, int32_t TFXSettings::*> integers[] = {
      {"particlenr", &TFXSettings::ParticleCount},    {"START_LIVESPAN", &TFXSettings::LifeSpan},
      {"EMISSION_RATE", &TFXSettings::EmissionRate},  {"PARTICLES_PER_EMISSION", &TFXSettings::ParticlesPerEmission},
      {"agedurch", &TFXSettings::AgeDivisor},         {"ifage", &TFXSettings::FadeInEnd}};
  for (const auto& [key, field] : integers) s.*field = ini.ReadInteger(kSection, key, s.*field);
  const std::pair<const char*, bool TFXSettings::*> flags[] = {
      {"randomr", &TFXSettings::RandomR}, {"randomg", &TFXSettings::RandomG}, {"randomb", &TFXSettings::RandomB}};
  for (const auto& [key, field] : flags) s.*field = ini.ReadBool(kSection, key, s.*field);
  const std::pair<const char*, double TFXSettings::*> colours[] = {
      {"colr", &TFXSettings::ColR}, {"colg", &TFXSettings::ColG}, {"colb", &TFXSettings::ColB}};
  for (const auto& [key, field] : colours) s.*field = ini.ReadFloat(kSection, key, s.*field);
  s.TexPath = ini.ReadString(kSection, "TexPath", s.TexPath);
  // The drift ranges' keys end in a blank.
  const std::tuple<const char*, const char*, TFXRange TFXSettings::*> ranges[] = {
      {"randomVel", " ", &TFXSettings::DriftRange},
      {"randompos", "", &TFXSettings::SpreadRange},
      {"startrandomVel", "", &TFXSettings::StartVelRange},
      {"startrandompos", "", &TFXSettings::StartPosRange}};
  for (const auto& [prefix, suffix, field] : ranges) s.*field = ReadRange(ini, prefix, suffix, s.*field);
  const std::pair<const char*, TFXTriple TFXSettings::*> triples[] = {
      {"durchVel", &TFXSettings::DriftDivisor},        {"durchPos", &TFXSettings::SpreadDivisor},
      {"startdurchVel", &TFXSettings::StartVelDivisor}, {"startdurchPos", &TFXSettings::StartPosDivisor},
      {"plusVel", &TFXSettings::DriftOffset},          {"plusPos", &TFXSettings::SpreadOffset},
      {"startplusVel", &TFXSettings::StartVelOffset},   {"startplusPos", &TFXSettings::StartPosOffset}};
  for (const auto& [prefix, field] : triples) s.*field = ReadTriple(ini, prefix, s.*field);
  Check(s);
  return s;
}
