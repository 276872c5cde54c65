// The program's settings in "config.ini": five section objects, each reading
// its own section when created and writing it back when destroyed, and the
// game variables (game_settings.h).
#pragma once
#include "core/game_settings.h"
#include "core/ini_file.h"

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

// One key of a section: its name, the field it fills and the default used when
// the key is missing or its text does not convert. Booleans are read as
// integers and written "1"/"0"; singles are widened to double when written.
struct TConfigKey {
  const char* Name;
  std::variant<bool*, int32_t*, float*, double*> Field;
  double Default;
};
void LoadKeys(const TIniFile& ini, const char* section, const std::vector<TConfigKey>& keys);
void SaveKeys(TIniFile& ini, const char* section, const std::vector<TConfigKey>& keys);

class TAllConfig {
 public:
  explicit TAllConfig(std::string fileName) : FileName(std::move(fileName)) {}
  virtual ~TAllConfig() = default;
  TAllConfig(const TAllConfig&) = delete;
  TAllConfig& operator=(const TAllConfig&) = delete;

  void Load();
  // Throws EIniWriteError when the file cannot be written.
  void Save();

  std::string FileName;

 protected:
  virtual void LoadFromIni(const TIniFile& ini) { LoadKeys(ini, Section(), Keys()); }
  virtual void SaveToIni(TIniFile& ini) { SaveKeys(ini, Section(), Keys()); }
  // The section's name and its keys in file order.
  virtual const char* Section() const = 0;
  virtual std::vector<TConfigKey> Keys() = 0;
};

class TVideoConfig : public TAllConfig {
 public:
  explicit TVideoConfig(std::string fileName);
  int32_t ResolutionIndex() const;
  void SetResolutionIndex(int32_t index);
  int32_t BitDepthIndex() const;
  void SetBitDepthIndex(int32_t index);
  bool EnableShader() const { return enableShader; }
  // A change takes effect at once through OnEnableShaderChanged.
  void SetEnableShader(bool value);
  // Whole run: set by the game to re-create its render passes; empty in tools.
  std::function<void(bool enableShader)> OnEnableShaderChanged;

  bool VerticalSyncronisation = false;
  bool GoWindowMode = false;
  float Gamma = 1.0f;
  int32_t ResolutionX = 800;
  int32_t ResolutionY = 600;
  int32_t GraphicQuality = 1;
  int32_t BitDepth = 1;

 protected:
  const char* Section() const override;
  std::vector<TConfigKey> Keys() override;

 private:
  bool enableShader = false;
};

class TAudioConfig : public TAllConfig {
 public:
  explicit TAudioConfig(std::string fileName);
  bool Sound() const { return sound; }
  bool Music() const { return music; }
  float SoundVolume() const { return soundVolume; }
  float MusicVolume() const { return musicVolume; }
  void SetSound(bool on);
  void SetMusic(bool on);
  // Store the volume and hand it to the sound module (VolumeSink), which sets
  // the gain of every sound effect, respectively every piece of music, at once.
  void SetSoundVolume(float v);
  void SetMusicVolume(float v);

 protected:
  const char* Section() const override;
  std::vector<TConfigKey> Keys() override;

 private:
  bool sound = true;
  bool music = true;
  float soundVolume = 0.75f;
  float musicVolume = 0.75f;
};

// Key bindings are not stored in the file; the section reads and writes nothing.
class TKeyConfig : public TAllConfig {
 public:
  explicit TKeyConfig(std::string fileName);

 protected:
  const char* Section() const override { return "TKeyConfig"; }
  std::vector<TConfigKey> Keys() override { return {}; }
};

class TMouseConfig : public TAllConfig {
 public:
  explicit TMouseConfig(std::string fileName);
  float MouseSpeed = 0.5f;
  float MouseAcc = 0.5f;
  bool InvertMouse = false;

 protected:
  const char* Section() const override;
  std::vector<TConfigKey> Keys() override;
};

class TMiscConfig : public TAllConfig {
 public:
  explicit TMiscConfig(std::string fileName);
  bool ShowDebug = false;
  int32_t Sleep = 5;
  // The clipping planes' defaults and ranges: a near plane at or behind the
  // eye, or a far plane not beyond the near one, leaves the view no usable depth.
  static constexpr float kDefaultNearClipping = 0.5f, kMinNearClipping = 0.05f, kMaxNearClipping = 10;
  static constexpr float kDefaultFarClipping = 300, kMinFarClipping = 20, kMaxFarClipping = 5000;
  float NearClipping = kDefaultNearClipping;
  float FarClipping = kDefaultFarClipping;
  int32_t Bots = 3;  // the New Game dialog's last choice

  // Brings both planes into their ranges (a value that is not a number takes
  // the default); loading does it, and so does whatever sets them.
  void ClampClipping();

 protected:
  void LoadFromIni(const TIniFile& ini) override;
  const char* Section() const override;
  std::vector<TConfigKey> Keys() override;
};

class TgameVariabeln {
 public:
  // Creates the five sections in order; each loads itself from fileName.
  explicit TgameVariabeln(const std::string& fileName);
  // Frees the five sections in the same order; each saves its section. A
  // section that cannot be written is logged and the others are still saved.
  ~TgameVariabeln();
  TgameVariabeln(const TgameVariabeln&) = delete;
  TgameVariabeln& operator=(const TgameVariabeln&) = delete;

  void SetDefaults(TGameSettings& game);
  void LoadGameVars(TGameSettings& game);
  // Throws EIniWriteError when the file cannot be written.
  void SaveGameVars(TGameSettings& game);

  TVideoConfig* Video;
  TAudioConfig* Audio;
  TKeyConfig* Keys;
  TMouseConfig* Mouse;
  TMiscConfig* Misc;

 private:
  static std::vector<TConfigKey> GameVarKeys(TGameSettings& game);
  static std::vector<TConfigKey> FogKeys(TGameSettings& game);
  std::string fileName;
};

// Created by Tgame::Run before the window opens, freed in its teardown (which
// writes the file); null before and after.
extern TgameVariabeln* GameVars;
