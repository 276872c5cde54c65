// The generated tree: every file the game loads exists and decodes with the
// game's own readers, sounds have the formats the game needs, and the builder
// is deterministic and leaves unchanged files alone.
#include "data_tree.h"
#include "test_support.h"

#include "core/ini_file.h"
#include "core/convert.h"
#include "core/paths.h"
#include "fx/wav_file.h"
#include "render/texture_images.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::string Data(const std::string& gamePath) { return HostPath(BinDir() + "/" + gamePath); }

bool Decodes(const std::string& path, TPixelImage& image) { return DecodesAsTexture(path, &image.Width, &image.Height); }

// Every picture the game loads by a fixed name.
std::vector<std::string> FixedPictures() {
  std::vector<std::string> names = {
      "data/textures/cross3.bmp", "data/textures/Armor.tga",  "data/textures/Life.tga",
      "data/textures/Dollar.tga", "data/textures/magazine.tga", "data/textures/Ammo.tga",
      "data/nil.bmp",             "data/GUI/main.jpg",        "data/shaders/storybook.tga",
      "data/skins/default.tga",   "data/skins/black blood/default.tga"};
  for (const char* sky : {"default", "dusk", "overcast"})
    for (const char* face : {"pos_x", "neg_x", "pos_z", "neg_z", "pos_y", "neg_y"})
      names.push_back(std::string("data/skyboxes/") + sky + "/" + face + ".bmp");
  for (const char* font : {"arial10", "bodini10", "verdana12", "couriernew48", "brokenghost36"})
    names.push_back(std::string("data/fonts/") + font + ".tga");
  return names;
}

TEST(DataFiles, EveryFixedPictureDecodesWithTheTextureReaders) {
  for (const std::string& name : FixedPictures()) {
    TPixelImage image;
    ASSERT_TRUE(Decodes(Data(name), image)) << name;
    EXPECT_GE(image.Width, 8) << name;
    EXPECT_GE(image.Height, 8) << name;
  }
  // The loader's 24-bit BMP path uses rows without padding: widths must
  // give rows of a multiple of four bytes.
  for (const std::string& name : FixedPictures()) {
    TPixelImage image;
    ASSERT_TRUE(Decodes(Data(name), image));
    if (TextureFormatOf(name) == TTextureFormat::BMP) {
      EXPECT_EQ(image.Width * 3 % 4, 0) << name;
    }
  }
  EXPECT_TRUE(MessageBoxes().empty());
}

TEST(DataFiles, LevelTexturesAreLowerCaseAndUseAllThreeFormats) {
  bool seen[4] = {};
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(BinDir() + "/data/MapTextures")) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(name, LowerCase(name));
    TPixelImage image;
    EXPECT_TRUE(Decodes(entry.path().string(), image)) << name;
    seen[static_cast<int>(TextureFormatOf(name))] = true;
    ++count;
  }
  EXPECT_GE(count, 4);
  EXPECT_TRUE(seen[static_cast<int>(TTextureFormat::BMP)] && seen[static_cast<int>(TTextureFormat::JPG)] &&
              seen[static_cast<int>(TTextureFormat::TGA)]);
}

TEST(DataFiles, SoundsAreSixteenBitPcmAndOnlyTheThemeLoops) {
  struct {
    const char* Name;
    int32_t Loop;
    double MinSeconds, MaxSeconds;
  } const sounds[] = {{"data/sound/vedizi_theme.wav", 1, 20, 120},
                      {"data/sound/click.wav", 0, 0.01, 0.5},
                      {"data/sound/schuss.wav", 0, 0.1, 2}};
  for (const auto& s : sounds) {
    TWavData wav;
    LoadWavFile(Data(s.Name), wav);
    EXPECT_EQ(wav.Format, kWavMono16) << s.Name;
    EXPECT_EQ(wav.Frequency, 22050) << s.Name;
    EXPECT_EQ(wav.Loop, s.Loop) << s.Name;
    const double seconds = wav.Size / 2.0 / wav.Frequency;
    EXPECT_GE(seconds, s.MinSeconds) << s.Name;
    EXPECT_LE(seconds, s.MaxSeconds) << s.Name;
    // Loud enough to hear, never clipped to the limit.
    int peak = 0;
    for (int32_t i = 0; i + 1 < wav.Size; i += 2)
      peak = std::max(peak, std::abs(static_cast<int16_t>(wav.Data[i] | (wav.Data[i + 1] << 8))));
    EXPECT_GT(peak, 3000) << s.Name;
    EXPECT_LT(peak, 32767) << s.Name;
  }
}

TEST(DataFiles, SettingsNameWhatExists) {
  TIniFile maps(Data("data/maps/config.ini"));
  const int count = maps.ReadInteger("config", "maps", 0);
  ASSERT_GE(count, 2);
  for (int i = 0; i < count; ++i) {
    const std::string map = maps.ReadString("config", "map" + std::to_string(i), "");
    EXPECT_TRUE(FileExists(Data("data/maps/" + map + "/map.3ds"))) << map;
    EXPECT_TRUE(FileExists(Data("data/maps/" + map + "/config.ini"))) << map;
    EXPECT_NE(map, "stress");
  }
  TIniFile characters(Data("data/characters/config.ini"));
  for (const auto& [section, key] : {std::pair{"counter", "counter1"}, {"counter", "counter2"}, {"terror", "terror1"},
                                     {"terror", "terror2"}}) {
    const std::string dir = "data/characters/" + characters.ReadString(section, key, "") + "/";
    EXPECT_TRUE(FileExists(Data(dir + "char.3ds"))) << key;
    TPixelImage image;
    EXPECT_TRUE(ReadJPGTextureImage(Data(dir + "graphic.jpg"), image)) << key;
  }
  for (const char* particles : {"data/particles/bluefire.ini", "data/particles/winampeffekt.ini"}) {
    TIniFile ini(Data(particles));
    const std::string texture = ini.ReadString("Effect.FXSettings", "TexPath", "");
    TPixelImage image;
    EXPECT_TRUE(Decodes(Data(texture), image)) << particles;
  }
  for (const char* shader : {"f_blur_row", "v_blur_row", "f_blur_column", "v_blur_column", "f_bloom", "v_bloom"})
    EXPECT_TRUE(FileExists(Data(std::string("data/shaders/") + shader + ".txt"))) << shader;
}

TEST(DataFiles, WeaponsHaveDistinctSettingsModelsAndPictures) {
  TIniFile list(Data("data/weapons/config.ini"));
  struct {
    const char* Section;
    const char* Key;
    bool Model;
  } const kinds[] = {{"pistols", "Pistol", true}, {"rifles", "Rifle", true}, {"equips", "Equip", false}};
  for (const auto& kind : kinds) {
    std::vector<std::string> seen;
    for (int i = 1; i <= 5; ++i) {
      const std::string name = list.ReadString(kind.Section, kind.Key + std::to_string(i), "");
      ASSERT_FALSE(name.empty()) << kind.Key << i;
      const std::string dir = "data/weapons/" + name + "/";
      TIniFile config(Data(dir + "config.ini"));
      EXPECT_GT(config.ReadInteger("config", "prize", 0), 0) << name;
      EXPECT_FALSE(config.ReadString("config", "description", "").empty()) << name;
      TPixelImage image;
      EXPECT_TRUE(ReadJPGTextureImage(Data(dir + "graphic.jpg"), image)) << name;
      if (kind.Model) {
        EXPECT_TRUE(FileExists(Data(dir + "weapon.3ds"))) << name;
        EXPECT_GT(config.ReadFloat("config", "Weapondmg", 0), 0) << name;
        EXPECT_GT(config.ReadInteger("config", "sleep", 0), 0) << name;
        seen.push_back(config.ReadString("config", "Weapondmg", "") + "/" + config.ReadString("config", "sleep", "") +
                       "/" + config.ReadString("config", "magazineshots", "") + "/" + config.ReadString("config", "prize", ""));
      }
      for (size_t j = 0; j + 1 < seen.size(); ++j) EXPECT_NE(seen[j], seen.back()) << name;
    }
  }
  EXPECT_EQ(list.ReadString("equips", "Equip1", ""), "Magazine");
  EXPECT_EQ(list.ReadString("equips", "Equip2", ""), "Armour");
  EXPECT_TRUE(FileExists(Data("data/weapons/default/config.ini")));
  EXPECT_TRUE(FileExists(Data("data/weapons/default/weapon.3ds")));
}

TEST(DataBuilder, SecondRunIsByteIdenticalAndWritesNothing) {
  TempDir out;
  const std::string builder = BinDir() + "/databuilder";
  const std::string assets = std::string(GRIMVALE_SOURCE_DIR) + "/assets";
  ASSERT_EQ(std::system((builder + " " + assets + " " + out.Path() + "data > " + out.Path() + "first.txt").c_str()), 0);
  ASSERT_EQ(std::system((builder + " " + assets + " " + out.Path() + "data > " + out.Path() + "second.txt").c_str()), 0);
  EXPECT_NE(ReadFile(out / "second.txt").find(" 0 written"), std::string::npos) << ReadFile(out / "second.txt");
  // The fresh tree equals the one the build made, file for file.
  int compared = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(out / "data")) {
    if (!entry.is_regular_file()) continue;
    const std::string relative = std::filesystem::relative(entry.path(), out / "data").generic_string();
    EXPECT_EQ(ReadFile(entry.path().string()), ReadFile(BinDir() + "/data/" + relative)) << relative;
    ++compared;
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
