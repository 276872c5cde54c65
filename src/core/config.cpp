// Section objects of config.ini and the game variables.
#include "core/config.h"

#include "core/game.h"
#include "core/logger.h"

TgameVariabeln* GameVars = nullptr;

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

void TVideoConfig::LoadFromIni(const TIniFile& ini) {
  const char* s = "TVideoConfig";
  VerticalSyncronisation = ini.ReadBool(s, "VerticalSyncronisation", false);
  enableShader = ini.ReadBool(s, "EnableShader", false);
  GoWindowMode = ini.ReadBool(s, "GoWindowMode", false);
  Gamma = static_cast<float>(ini.ReadFloat(s, "Gamma", 1.0));
  ResolutionX = ini.ReadInteger(s, "ResolutionX", 800);
  ResolutionY = ini.ReadInteger(s, "ResolutionY", 600);
  GraphicQuality = ini.ReadInteger(s, "GraphicQuality", 1);
  BitDepth = ini.ReadInteger(s, "BitDepth", 1);
}

void TVideoConfig::SaveToIni(TIniFile& ini) {
  const char* s = "TVideoConfig";
  ini.WriteBool(s, "VerticalSyncronisation", VerticalSyncronisation);
  ini.WriteBool(s, "EnableShader", enableShader);
  ini.WriteBool(s, "GoWindowMode", GoWindowMode);
  ini.WriteFloat(s, "Gamma", Gamma);
  ini.WriteInteger(s, "ResolutionX", ResolutionX);
  ini.WriteInteger(s, "ResolutionY", ResolutionY);
  ini.WriteInteger(s, "GraphicQuality", GraphicQuality);
  ini.WriteInteger(s, "BitDepth", BitDepth);
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
}

// ---- TAudioConfig ----

TAudioConfig::TAudioConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

void TAudioConfig::LoadFromIni(const TIniFile& ini) {
  const char* s = "TAudioConfig";
  sound = ini.ReadBool(s, "Sound", true);
  music = ini.ReadBool(s, "Music", true);
  soundVolume = static_cast<float>(ini.ReadFloat(s, "SoundVolume", 0.75));
  musicVolume = static_cast<float>(ini.ReadFloat(s, "MusicVolume", 0.75));
}

void TAudioConfig::SaveToIni(TIniFile& ini) {
  const char* s = "TAudioConfig";
  ini.WriteBool(s, "Sound", sound);
  ini.WriteBool(s, "Music", music);
  ini.WriteFloat(s, "SoundVolume", soundVolume);
  ini.WriteFloat(s, "MusicVolume", musicVolume);
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
}

void TAudioConfig::SetMusicVolume(float v) {
  if (v != musicVolume) musicVolume = v;
}

// ---- TKeyConfig, TMouseConfig, TMiscConfig ----

TKeyConfig::TKeyConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

TMouseConfig::TMouseConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

void TMouseConfig::LoadFromIni(const TIniFile& ini) {
  const char* s = "TMouseConfig";
  MouseSpeed = static_cast<float>(ini.ReadFloat(s, "MouseSpeed", 0.5));
  MouseAcc = static_cast<float>(ini.ReadFloat(s, "MouseAcc", 0.5));
  InvertMouse = ini.ReadBool(s, "InvertMouse", false);
}

void TMouseConfig::SaveToIni(TIniFile& ini) {
  const char* s = "TMouseConfig";
  ini.WriteFloat(s, "MouseSpeed", MouseSpeed);
  ini.WriteFloat(s, "MouseAcc", MouseAcc);
  ini.WriteBool(s, "InvertMouse", InvertMouse);
}

TMiscConfig::TMiscConfig(std::string fileName) : TAllConfig(std::move(fileName)) { Load(); }

void TMiscConfig::LoadFromIni(const TIniFile& ini) {
  const char* s = "TMiscConfig";
  ShowDebug = ini.ReadBool(s, "ShowDebug", false);
  Sleep = ini.ReadInteger(s, "Sleep", 5);
  NearClipping = static_cast<float>(ini.ReadFloat(s, "NearClipping", 0.5));
  FarClipping = static_cast<float>(ini.ReadFloat(s, "FarClipping", 300.0));
}

void TMiscConfig::SaveToIni(TIniFile& ini) {
  const char* s = "TMiscConfig";
  ini.WriteBool(s, "ShowDebug", ShowDebug);
  ini.WriteInteger(s, "Sleep", Sleep);
  ini.WriteFloat(s, "NearClipping", NearClipping);
  ini.WriteFloat(s, "FarClipping", FarClipping);
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

void TgameVariabeln::SetDefaults(Tgame& game) {
  TKeyBinding* keys[7] = {&game.KeyForward, &game.KeyBackward, &game.KeyLeft, &game.KeyRight,
                          &game.KeyJump,    &game.KeyMenu,     &game.KeyCamera};
  const uint16_t symbols[7] = {119, 115, 97, 100, 32, 27, 282};
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

void TgameVariabeln::LoadGameVars(Tgame& game) {
  TIniFile ini(fileName);
  const char* g = "game.gameVar";
  game.Gravity = ini.ReadInteger(g, "gravity", 100);
  game.CamMode = ini.ReadInteger(g, "cammode", 0);
  game.CamCount = ini.ReadInteger(g, "cams", 3);
  game.Speed = ini.ReadFloat(g, "Speed", 0.5);
  const char* f = "game.gameVar.Fog";
  game.FogColor[0] = static_cast<float>(ini.ReadFloat(f, "red", 1.0));
  game.FogColor[2] = static_cast<float>(ini.ReadFloat(f, "blue", 1.0));
  game.FogColor[1] = static_cast<float>(ini.ReadFloat(f, "green", 1.0));
  game.FogColor[3] = static_cast<float>(ini.ReadFloat(f, "alpha", 1.0));
  game.FogStart = ini.ReadFloat(f, "fogstart", 10.0);
  game.FogEnd = ini.ReadFloat(f, "fogend", 100.0);
  game.FogDensity = ini.ReadFloat(f, "fogdensity", 0.01);
  game.FogMode = ini.ReadInteger(f, "fogmode", 1);
  game.FogEnabled = ini.ReadBool(f, "fogenabled", false);
}

void TgameVariabeln::SaveGameVars(const Tgame& game) {
  TIniFile ini(fileName);
  const char* g = "game.gameVar";
  ini.WriteInteger(g, "gravity", game.Gravity);
  ini.WriteInteger(g, "cammode", game.CamMode);
  ini.WriteInteger(g, "cams", game.CamCount);
  ini.WriteFloat(g, "Speed", game.Speed);
  const char* f = "game.gameVar.Fog";
  ini.WriteFloat(f, "red", game.FogColor[0]);
  ini.WriteFloat(f, "blue", game.FogColor[2]);
  ini.WriteFloat(f, "green", game.FogColor[1]);
  ini.WriteFloat(f, "alpha", game.FogColor[3]);
  ini.WriteFloat(f, "fogstart", game.FogStart);
  ini.WriteFloat(f, "fogend", game.FogEnd);
  ini.WriteFloat(f, "fogdensity", game.FogDensity);
  ini.WriteInteger(f, "fogmode", game.FogMode);
  ini.WriteBool(f, "fogenabled", game.FogEnabled);
}
