// config.ini as the game reads and writes it.
#include "core/config.h"
#include "core/key_codes.h"
#include "core/game_settings.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Config, FreshFileGetsDefaultsAndSectionOrder) {
  TempDir dir;
  std::string file = dir / "config.ini";
  TGameSettings game;
  {
    TgameVariabeln vars(file);
    vars.SetDefaults(game);
    vars.LoadGameVars(game);
    EXPECT_EQ(vars.Video->ResolutionX, 800);
    EXPECT_EQ(vars.Video->BitDepth, 1);
    EXPECT_FALSE(vars.Video->GoWindowMode);
    EXPECT_FLOAT_EQ(vars.Audio->SoundVolume(), 0.75f);
    EXPECT_EQ(vars.Misc->Sleep, 5);
    EXPECT_EQ(game.KeyCamera.Key, kKeyF1);
    EXPECT_EQ(game.Gravity, 100);
    vars.SaveGameVars(game);
  }
  std::string text = ReadFile(file);
  size_t last = 0;
  for (const char* section : {"[game.gameVar]", "[game.gameVar.Fog]", "[TVideoConfig]", "[TAudioConfig]",
                              "[TMouseConfig]", "[TMiscConfig]"}) {
    size_t at = text.find(section);
    ASSERT_NE(at, std::string::npos) << section;
    EXPECT_GE(at, last) << section;
    last = at;
  }
  EXPECT_EQ(text.find("[TKeyConfig]"), std::string::npos);
  EXPECT_NE(text.find("red=1\nblue=1\ngreen=1\nalpha=1\n"), std::string::npos);
  EXPECT_NE(text.find("Speed=0.5\n"), std::string::npos);
  EXPECT_NE(text.find("fogdensity=0.01\n"), std::string::npos);
  EXPECT_NE(text.find("FarClipping=300\n"), std::string::npos);
}

TEST(Config, ValuesConvertAndWriteBackNormalised) {
  TempDir dir;
  std::string file = dir / "config.ini";
  WriteFile(file, "[TVideoConfig]\nResolutionX=0x320\n[TMouseConfig]\nInvertMouse=2\n[TAudioConfig]\nSoundVolume=abc\n");
  {
    TgameVariabeln vars(file);
    EXPECT_EQ(vars.Video->ResolutionX, 800);
    EXPECT_TRUE(vars.Mouse->InvertMouse);
    EXPECT_FLOAT_EQ(vars.Audio->SoundVolume(), 0.75f);
  }
  std::string text = ReadFile(file);
  EXPECT_NE(text.find("InvertMouse=1\n"), std::string::npos);
  EXPECT_NE(text.find("ResolutionX=800\n"), std::string::npos);
}

TEST(Config, ClippingPlanesStayInTheirRanges) {
  TempDir dir;
  struct Case {
    const char* Near;
    const char* Far;
    float WantNear, WantFar;
  };
  const Case cases[] = {
      {"0.2", "800", 0.2f, 800},
      {"0", "-5", TMiscConfig::kMinNearClipping, TMiscConfig::kMinFarClipping},
      {"100", "1e9", TMiscConfig::kMaxNearClipping, TMiscConfig::kMaxFarClipping},
      {"abc", "", TMiscConfig::kDefaultNearClipping, TMiscConfig::kDefaultFarClipping},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Near) + " / " + c.Far);
    WriteFile(dir / "c.ini", std::string("[TMiscConfig]\nNearClipping=") + c.Near + "\nFarClipping=" + c.Far + "\n");
    TMiscConfig misc(dir / "c.ini");
    EXPECT_FLOAT_EQ(misc.NearClipping, c.WantNear);
    EXPECT_FLOAT_EQ(misc.FarClipping, c.WantFar);
  }
  TMiscConfig misc(dir / "c.ini");
  misc.NearClipping = misc.FarClipping = std::nanf("");
  misc.ClampClipping();
  EXPECT_FLOAT_EQ(misc.NearClipping, TMiscConfig::kDefaultNearClipping);
  EXPECT_FLOAT_EQ(misc.FarClipping, TMiscConfig::kDefaultFarClipping);
}

TEST(Config, ResolutionAndBitDepthIndices) {
  TempDir dir;
  TVideoConfig video(dir / "c.ini");
  struct Case {
    int32_t x, y, index;
  } cases[] = {{800, 600, 0}, {1024, 768, 1}, {1152, 864, 2}, {1280, 800, 3},
               {1280, 960, 4}, {1600, 1200, 5}, {640, 480, 3}};
  for (const Case& c : cases) {
    video.ResolutionX = c.x;
    video.ResolutionY = c.y;
    EXPECT_EQ(video.ResolutionIndex(), c.index) << c.x << "x" << c.y;
  }
  video.SetResolutionIndex(4);
  EXPECT_EQ(video.ResolutionY, 1024);
  video.SetResolutionIndex(9);  // unknown: unchanged
  EXPECT_EQ(video.ResolutionX, 1280);
  for (int i : {0, 1, 2, 3, 7}) {
    video.SetBitDepthIndex(i);
    EXPECT_EQ(video.BitDepthIndex(), i > 3 ? 3 : i);
  }
}

TEST(Config, SoundOffSilencesAndOnDoesNotRestore) {
  TempDir dir;
  TAudioConfig audio(dir / "c.ini");
  audio.SetSound(false);
  EXPECT_EQ(audio.SoundVolume(), 0.0f);
  audio.SetSound(true);
  EXPECT_TRUE(audio.Sound());
  EXPECT_EQ(audio.SoundVolume(), 0.0f);
}
