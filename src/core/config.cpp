// Section objects of config.ini and the game variables.
#include "core/config.h"

#include "core/key_codes.h"
#include "core/logger.h"
#include "core/volume_sink.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

TgameVariabeln* GameVars = nullptr;
TVolumeSink* VolumeSink = nullptr;

void LoadKeys(const TIniFile& ini, const char* section, const std::vector<TConfigKey>& keys) {
  for (const TConfigKey& k : keys) {
    std::visit(
        [&](auto* field) {
          using T = std::remove_pointer_t<decltype(field)>;
          if constexpr (std::is_same_v<T, bool>)
            *field = ini.ReadBool(section, k.Name, k.Default != 0);
          else if constexpr (std::is_same_v<T, int32_t>)
            *field = ini.ReadInteger(section, k.Name, static_cast<int32_t>(k.Default));
          else
            *field = static_cast<T>(ini.ReadFloat(section, k.Name, k.Default));
        },
        k.Field);
  }
}

void SaveKeys(TIniFile& ini, const char* section, const std::vector<TConfigKey>& keys) {
  for (const TConfigKey& k : keys) {
    std::visit(
        [&](auto* field) {
          using T = std::remove_pointer_t<decltype(field)>;
          if constexpr (std::is_same_v<T, bool>)
            ini.WriteBool(section, k.Name, *field);
          else if constexpr (std::is_same_v<T, int32_t>)
            ini.WriteInteger(section, k.Name, *field);
          else
            ini.WriteFloat(section, k.Name, *field);
        },
        k.Field);
  }
}

void TAllConfig::Load() {
  TIniFile ini(FileName);
  LoadFromIni(ini);
}

void TAllConfig::Save() {
  TIniFile ini(FileName);
  SaveToIni(ini);
}

// ---- TVideoConfig ----

TVideoConfig::TVideoConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

const char* TVideoConfig::Section() const { return "TVideoConfig"; }

std::vector<TConfigKey> TVideoConfig::Keys() {
  return {{"VerticalSyncronisation", &VerticalSyncronisation, 0},
          {"EnableShader", &enableShader, 0},
          {"GoWindowMode", &GoWindowMode, 0},
          {"Gamma", &Gamma, 1.0},
          {"ResolutionX", &ResolutionX, 800},
          {"ResolutionY", &ResolutionY, 600},
          {"GraphicQuality", &GraphicQuality, 1},
          {"BitDepth", &BitDepth, 1}};
}

int32_t TVideoConfig::ResolutionIndex() const {
  switch (ResolutionX) {
    case 800: return 0;
    case 1024: return 1;
    case 1152: return 2;
    case 1280: return ResolutionY == 800 ? 3 : 4;
    case 1600: return 5;
    default: return 3;
  }
}

void TVideoConfig::SetResolutionIndex(int32_t index) {
  static const int32_t modes[6][2] = {{800, 600}, {1024, 768}, {1152, 864}, {1280, 800}, {1280, 1024}, {1600, 1200}};
  if (index < 0 || index > 5) return;
  ResolutionX = modes[index][0];
  ResolutionY = modes[index][1];
}

int32_t TVideoConfig::BitDepthIndex() const {
  switch (BitDepth) {
    case 8: return 0;
    case 16: return 1;
    case 24: return 2;
    default: return 3;
  }
}

void TVideoConfig::SetBitDepthIndex(int32_t index) {
  BitDepth = index == 0 ? 8 : index == 1 ? 16 : index == 2 ? 24 : 32;
}

void TVideoConfig::SetEnableShader(bool value) {
  if (value == enableShader) return;
  enableShader = value;
  if (OnEnableShaderChanged) OnEnableShaderChanged(value);
}

// ---- TAudioConfig ----

TAudioConfig::TAudioConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

const char* TAudioConfig::Section() const { return "TAudioConfig"; }

std::vector<TConfigKey> TAudioConfig::Keys() {
  return {{"Sound", &sound, 1}, {"Music", &music, 1}, {"SoundVolume", &soundVolume, 0.75}, {"MusicVolume", &musicVolume, 0.75}};
}

// Switching off silences; switching back on does not restore the old volume.
void TAudioConfig::SetSound(bool on) {
  if (!on) SetSoundVolume(0);
  sound = on;
}

void TAudioConfig::SetMusic(bool on) {
  if (!on) SetMusicVolume(0);
  music = on;
}

void TAudioConfig::SetSoundVolume(float v) {
  if (v != soundVolume) soundVolume = v;
  if (VolumeSink) VolumeSink->SoundVolumeChanged(v);
}

void TAudioConfig::SetMusicVolume(float v) {
  if (v != musicVolume) musicVolume = v;
  if (VolumeSink) VolumeSink->MusicVolumeChanged(v);
}

// ---- TKeyConfig, TMouseConfig, TMiscConfig ----

TKeyConfig::TKeyConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

TMouseConfig::TMouseConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

const char* TMouseConfig::Section() const { return "TMouseConfig"; }

std::vector<TConfigKey> TMouseConfig::Keys() {
  return {{"MouseSpeed", &MouseSpeed, 0.5}, {"MouseAcc", &MouseAcc, 0.5}, {"InvertMouse", &InvertMouse, 0}};
}

TMiscConfig::TMiscConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

const char* TMiscConfig::Section() const { return "TMiscConfig"; }

std::vector<TConfigKey> TMiscConfig::Keys() {
  return {{"ShowDebug", &ShowDebug, 0}, {"Sleep", &Sleep, 5}, {"NearClipping", &NearClipping, kDefaultNearClipping},
          {"FarClipping", &FarClipping, kDefaultFarClipping}, {"Bots", &Bots, 3}};
}

void TMiscConfig::LoadFromIni(const TIniFile& ini) {
  TAllConfig::LoadFromIni(ini);
  ClampClipping();
}

static_assert(TMiscConfig::kMaxNearClipping < TMiscConfig::kMinFarClipping, "the far plane stays beyond the near one");

void TMiscConfig::ClampClipping() {
  auto clamp = [](float& value, float def, float low, float high) {
    value = std::isnan(value) ? def : std::clamp(value, low, high);
  };
  clamp(NearClipping, kDefaultNearClipping, kMinNearClipping, kMaxNearClipping);
  clamp(FarClipping, kDefaultFarClipping, kMinFarClipping, kMaxFarClipping);
}

// ---- TgameVariabeln ----

TgameVariabeln::TgameVariabeln(const std::string& name) : fileName(name) {
  Video = new TVideoConfig(name);
  Audio = new TAudioConfig(name);
  Keys = new TKeyConfig(name);
  Mouse = new TMouseConfig(name);
  Misc = new TMiscConfig(name);
}

// A section object saves itself as it is freed; a failed write is reported and
// the remaining sections are still written.
static void SaveAndFree(TAllConfig* section) {
  try {
    section->Save();
  } catch (const EIniWriteError& e) {
    if (Logger) Logger->LogError(e.what(), "Main");
  }
  delete section;
}

TgameVariabeln::~TgameVariabeln() {
  SaveAndFree(Video);
  SaveAndFree(Audio);
  SaveAndFree(Keys);
  SaveAndFree(Mouse);
  SaveAndFree(Misc);
}

void TgameVariabeln::SetDefaults(TGameSettings& game) {
  TKeyBinding* keys[7] = {&game.KeyForward, &game.KeyBackward, &game.KeyLeft, &game.KeyRight,
                          &game.KeyJump,    &game.KeyMenu,     &game.KeyCamera};
  const uint16_t symbols[7] = {kKeyW, kKeyS, kKeyA, kKeyD, kKeySpace, kKeyEscape, kKeyF1};
  for (int i = 0; i < 7; ++i) *keys[i] = TKeyBinding{symbols[i], false};
  game.Gravity = 100;
  game.CamMode = 0;
  game.CamCount = 3;
  game.Speed = 0.5;
  for (float& c : game.FogColor) c = 1.0f;
  game.FogStart = 10.0;
  game.FogEnd = 100.0;
  game.FogDensity = 0.01;
  game.FogMode = 1;
  game.FogEnabled = false;
}

// Keys of "game.gameVar" and "game.gameVar.Fog" in file order (blue before green).
std::vector<TConfigKey> TgameVariabeln::GameVarKeys(TGameSettings& game) {
  return {{"gravity", &game.Gravity, 100}, {"cammode", &game.CamMode, 0}, {"cams", &game.CamCount, 3},
          {"Speed", &game.Speed, 0.5}};
}

std::vector<TConfigKey> TgameVariabeln::FogKeys(TGameSettings& game) {
  return {{"red", &game.FogColor[0], 1.0},      {"blue", &game.FogColor[2], 1.0},
          {"green", &game.FogColor[1], 1.0},    {"alpha", &game.FogColor[3], 1.0},
          {"fogstart", &game.FogStart, 10.0},   {"fogend", &game.FogEnd, 100.0},
          {"fogdensity", &game.FogDensity, 0.01}, {"fogmode", &game.FogMode, 1},
          {"fogenabled", &game.FogEnabled, 0}};
}

void TgameVariabeln::LoadGameVars(TGameSettings& game) {
  TIniFile ini(fileName);
  LoadKeys(ini, "game.gameVar", GameVarKeys(game));
  LoadKeys(ini, "game.gameVar.Fog", FogKeys(game));
}

void TgameVariabeln::SaveGameVars(TGameSettings& game) {
  TIniFile ini(fileName);
  SaveKeys(ini, "game.gameVar", GameVarKeys(game));
  SaveKeys(ini, "game.gameVar.Fog", FogKeys(game));
}
