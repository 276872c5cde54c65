// Sound playback with the shipped sounds: on OpenAL's null output (the
// sources' real state is read back from OpenAL), without OpenAL or a device,
// and on a backend made to fail, one operation at a time.
#include <AL/al.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>
#include <tuple>

#include "app/game.h"
#include "core/config.h"
#include "core/logger.h"
#include "fx/game_sounds.h"
#include "fx/openal.h"
#include "fx/wav_file.h"
#include "test_support.h"

namespace {

// Reads a source's or buffer's state from the OpenAL the game loaded.
struct TAlProbe {
  TAlProbe() {
    void* lib = dlopen("libopenal.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!lib) return;
    getSourcei = reinterpret_cast<LPALGETSOURCEI>(dlsym(lib, "alGetSourcei"));
    getSourcef = reinterpret_cast<LPALGETSOURCEF>(dlsym(lib, "alGetSourcef"));
    getBufferi = reinterpret_cast<LPALGETBUFFERI>(dlsym(lib, "alGetBufferi"));
  }
  int Source(unsigned source, int param) const {
    ALint v = -1;
    getSourcei(source, param, &v);
    return v;
  }
  float Gain(unsigned source) const {
    ALfloat v = -1;
    getSourcef(source, AL_GAIN, &v);
    return v;
  }
  int Buffer(unsigned buffer, int param) const {
    ALint v = -1;
    getBufferi(buffer, param, &v);
    return v;
  }
  LPALGETSOURCEI getSourcei = nullptr;
  LPALGETSOURCEF getSourcef = nullptr;
  LPALGETBUFFERI getBufferi = nullptr;
};

// Runs in the build's bin directory, where the data tree is, with a fresh
// configuration; everything created here is freed again.
class Sound : public testing::Test {
 protected:
  void SetUp() override {
    oldDir = std::filesystem::current_path();
    std::filesystem::current_path(GRIMVALE_BIN_DIR);
    FreeAll();
  }
  void TearDown() override {
    FreeAll();
    std::filesystem::current_path(oldDir);
  }
  // Frees what a test made and starts the log afresh, for the next case of a table.
  void FreeAll() {
    delete Game;
    Game = nullptr;
    delete OpenAL;
    OpenAL = nullptr;
    delete GameVars;
    GameVars = nullptr;
    ClickSound = ShotSound = -1;
    Logger->Flush();
    logStart = ReadFile(Logger->LogPath()).size();
  }
  void ReadConfig(const std::string& text = "") {
    WriteFile(dir / "config.ini", text);
    GameVars = new TgameVariabeln(dir / "config.ini");
  }
  void OpenRealAudio() {
    OpenAL = new TOpenALclass();
    ASSERT_TRUE(OpenAL->Audible()) << "OpenAL's null output should open (ALSOFT_DRIVERS=null)";
    al = TAlProbe();
    ASSERT_NE(al.getSourcei, nullptr);
  }
  // What the log got since the test began.
  std::string NewLog() const {
    Logger->Flush();
    return ReadFile(Logger->LogPath()).substr(logStart);
  }
  TempDir dir;
  TAlProbe al;
  std::filesystem::path oldDir;
  size_t logStart = 0;
};

TEST_F(Sound, ThemeLoopsInTheMenuStopsInGameAndIsNotStartedOver) {
  ReadConfig();
  ASSERT_NO_FATAL_FAILURE(OpenRealAudio());
  Game = new Tgame();
  Game->ThemeMusic = StartThemeMusic();
  const TAlObject* theme = OpenAL->MusicAt(Game->ThemeMusic);
  ASSERT_NE(theme, nullptr);
  ASSERT_TRUE(theme->Audible());
  const unsigned source = theme->Source.SourceName;
  TWavData wav;
  LoadWavFile("data\\sound\\vedizi_theme.wav", wav);
  EXPECT_EQ(al.Buffer(theme->Buffer.BufferName, AL_SIZE), wav.Size);
  EXPECT_EQ(al.Source(source, AL_SOURCE_STATE), AL_PLAYING);
  EXPECT_EQ(al.Source(source, AL_LOOPING), AL_TRUE);

  Game->SetInGame(true);
  EXPECT_EQ(al.Source(source, AL_SOURCE_STATE), AL_STOPPED);
  Game->SetInGame(false);
  EXPECT_EQ(al.Source(source, AL_SOURCE_STATE), AL_PLAYING);
  EXPECT_EQ(al.Source(source, AL_LOOPING), AL_TRUE);

  // Another switch to the menu (an error report does one) lets it play on.
  int offset = 0;
  for (int i = 0; i < 100 && offset == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    offset = al.Source(source, AL_SAMPLE_OFFSET);
  }
  ASSERT_GT(offset, 0) << "the null output never advanced the theme";
  Game->SetInGame(false);
  EXPECT_GE(al.Source(source, AL_SAMPLE_OFFSET), offset);
}

TEST_F(Sound, ClickAndShotPlayWithTheirFiles) {
  ReadConfig();
  ASSERT_NO_FATAL_FAILURE(OpenRealAudio());
  LoadGameSounds();
  for (auto [index, file, play] : {std::tuple{ClickSound, "data\\sound\\click.wav", &PlayClickSound},
                                   std::tuple{ShotSound, "data\\sound\\schuss.wav", &PlayShotSound}}) {
    SCOPED_TRACE(file);
    const TAlObject* sound = OpenAL->Sound(index);
    ASSERT_NE(sound, nullptr);
    ASSERT_TRUE(sound->Audible());
    TWavData wav;
    LoadWavFile(file, wav);
    EXPECT_EQ(al.Buffer(sound->Buffer.BufferName, AL_SIZE), wav.Size);
    EXPECT_EQ(al.Source(sound->Source.SourceName, AL_SOURCE_STATE), AL_INITIAL);
    play();
    // A short sound may be over already; either way it has been started.
    EXPECT_NE(al.Source(sound->Source.SourceName, AL_SOURCE_STATE), AL_INITIAL);
    EXPECT_EQ(al.Source(sound->Source.SourceName, AL_LOOPING), AL_FALSE);
    EXPECT_EQ(al.Source(sound->Source.SourceName, AL_SOURCE_RELATIVE), AL_TRUE);  // at the listener
  }
  // Another player's shot sounds from its place in the level, not at the listener.
  PlaceSoundListener(0, 1, 0, 90, 0);
  PlayShotSoundAt(12, 1, 5);
  int placed = 0;
  for (const auto& sound : OpenAL->Sounds) {
    if (sound->Relative || !sound->Playing) continue;
    ++placed;
    EXPECT_EQ(al.Source(sound->Source.SourceName, AL_SOURCE_RELATIVE), AL_FALSE);
    EXPECT_EQ(sound->Position[0], 12);
    EXPECT_EQ(sound->Position[2], 5);
    EXPECT_NE(al.Source(sound->Source.SourceName, AL_SOURCE_STATE), AL_INITIAL);
  }
  EXPECT_EQ(placed, 1);
}

TEST_F(Sound, VolumesComeFromTheSettingsAndActAtOnceOnTheirOwnList) {
  ReadConfig("[TAudioConfig]\nSoundVolume=0.5\nMusicVolume=0.25\n");
  ASSERT_NO_FATAL_FAILURE(OpenRealAudio());
  const TAlObject* theme = OpenAL->MusicAt(StartThemeMusic());
  LoadGameSounds();
  const TAlObject* click = OpenAL->Sound(ClickSound);
  const TAlObject* shot = OpenAL->Sound(ShotSound);
  auto gains = [&] {
    return std::vector<float>{al.Gain(click->Source.SourceName), al.Gain(shot->Source.SourceName),
                              al.Gain(theme->Source.SourceName)};
  };
  EXPECT_EQ(gains(), (std::vector<float>{0.5f, 0.5f, 0.25f}));
  GameVars->Audio->SetSoundVolume(0.3f);
  EXPECT_EQ(gains(), (std::vector<float>{0.3f, 0.3f, 0.25f}));
  GameVars->Audio->SetMusicVolume(0.6f);
  EXPECT_EQ(gains(), (std::vector<float>{0.3f, 0.3f, 0.6f}));
  GameVars->Audio->SetSound(false);
  EXPECT_EQ(gains(), (std::vector<float>{0.0f, 0.0f, 0.6f}));
  GameVars->Audio->SetMusic(false);
  EXPECT_EQ(gains(), (std::vector<float>{0.0f, 0.0f, 0.0f}));
}

TEST_F(Sound, MissingFileSilencesOnlyThatSound) {
  ReadConfig();
  ASSERT_NO_FATAL_FAILURE(OpenRealAudio());
  int32_t missing = OpenAL->LoadSound("data\\sound\\missing.wav", false);
  ASSERT_NE(OpenAL->Sound(missing), nullptr);
  EXPECT_FALSE(OpenAL->Sound(missing)->Audible());
  EXPECT_NE(NewLog().find("ERROR Sound: Cannot open WAV file data\\sound\\missing.wav"), std::string::npos) << NewLog();
  LoadGameSounds();
  EXPECT_EQ(ClickSound, 1);
  ASSERT_TRUE(OpenAL->Sound(ClickSound)->Audible());
  PlayClickSound();
  EXPECT_NE(al.Source(OpenAL->Sound(ClickSound)->Source.SourceName, AL_SOURCE_STATE), AL_INITIAL);
}

// No OpenAL library, or no device: one log line, then every call does nothing
// and the game's indices and settings still work.
TEST_F(Sound, WithoutOpenALOrDeviceTheGameRunsSilent) {
  struct Case {
    const char* name;
    TSoundOptions options;
    const char* logged;
  };
  const Case cases[] = {
      {"no library", {"libgrimvale-no-such-openal.so", "DirectSound3D"}, "the OpenAL library libgrimvale-no-such-openal.so cannot be loaded"},
      {"no device", {"libopenal.so.1", "Grimvale Test Device"}, "the audio device \"Grimvale Test Device\" cannot be opened"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReadConfig();
    OpenAL = new TOpenALclass(c.options);
    EXPECT_FALSE(OpenAL->Audible());
    Game = new Tgame();
    Game->ThemeMusic = StartThemeMusic();
    LoadGameSounds();
    OpenAL->LoadSound("data\\sound\\missing.wav", false);
    PlayClickSound();
    PlayShotSound();
    Game->SetInGame(true);
    Game->SetInGame(false);
    GameVars->Audio->SetSoundVolume(0.4f);
    EXPECT_EQ(Game->ThemeMusic, 0);
    EXPECT_EQ(ShotSound, 1);
    EXPECT_FLOAT_EQ(OpenAL->Sound(ShotSound)->Gain, 0.4f);
    std::string log = NewLog();
    EXPECT_NE(log.find(std::string("INFO Sound: No sound: ") + c.logged), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    FreeAll();
  }
}

// A backend that counts what is alive and fails one named operation once.
class TFailingBackend : public TSoundBackend {
 public:
  explicit TFailingBackend(std::string failing) : failing(std::move(failing)) {}
  bool Audible() const override { return true; }
  unsigned CreateBuffer() override {
    Fail("CreateBuffer", "Cannot create Buffer");
    return Born(buffers);
  }
  void DeleteBuffer(unsigned buffer) override {
    Fail("DeleteBuffer", "Cannot delete Buffer");
    buffers.erase(buffer);
  }
  void FillBuffer(unsigned, const TWavData&) override { Fail("FillBuffer", "Cannot assign wave data to buffer"); }
  unsigned CreateSource() override {
    Fail("CreateSource", "Cannot create Source");
    return Born(sources);
  }
  void DeleteSource(unsigned source) override {
    Fail("DeleteSource", "Cannot delete Source");
    sources.erase(source);
  }
  void AttachBuffer(unsigned, unsigned) override {}
  void ApplySettings(unsigned, const TSourceSettings&) override {}
  void Play(unsigned source) override { played.insert(source); }
  void Stop(unsigned) override {}

  std::set<unsigned> buffers, sources, played;

 private:
  void Fail(const std::string& operation, const char* text) {
    if (operation != failing) return;
    failing.clear();
    throw EOpenALError(text);
  }
  unsigned Born(std::set<unsigned>& alive) {
    alive.insert(++lastName);
    return lastName;
  }
  std::string failing;
  unsigned lastName = 0;
};

TEST_F(Sound, OpenALErrorsAreLoggedAndSilenceOneSound) {
  struct Case {
    const char* failing;
    const char* logged;
    bool clickSilent;
  };
  const Case cases[] = {
      {"CreateBuffer", "ERROR Sound: Cannot create Buffer", true},
      {"CreateSource", "ERROR Sound: Cannot create Source", true},
      {"FillBuffer", "ERROR Sound: Cannot assign wave data to buffer: data\\sound\\click.wav", true},
      {"DeleteSource", "ERROR Sound: Cannot delete Source", false},
      {"DeleteBuffer", "ERROR Sound: Cannot delete Buffer", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    ReadConfig();
    auto owned = std::make_unique<TFailingBackend>(c.failing);
    TFailingBackend& backend = *owned;
    OpenAL = new TOpenALclass(std::move(owned));
    LoadGameSounds();
    PlayClickSound();
    PlayShotSound();
    const TAlObject* click = OpenAL->Sound(ClickSound);
    const TAlObject* shot = OpenAL->Sound(ShotSound);
    EXPECT_EQ(click->Audible(), !c.clickSilent);
    EXPECT_TRUE(shot->Audible());
    EXPECT_EQ(backend.played.count(click->Source.SourceName), c.clickSilent ? 0u : 1u);
    EXPECT_EQ(backend.played.count(shot->Source.SourceName), 1u);
    if (c.clickSilent) {
      // The half-made sound gave back what it had: every other sound holds one of each.
      EXPECT_EQ(backend.buffers.size(), OpenAL->Sounds.size() - 1);
      EXPECT_EQ(backend.sources.size(), OpenAL->Sounds.size() - 1);
    }
    delete OpenAL;  // the delete cases fail here, without throwing
    OpenAL = nullptr;
    EXPECT_NE(NewLog().find(c.logged), std::string::npos) << NewLog();
    FreeAll();
  }
}

}  // namespace
