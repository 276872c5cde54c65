// Where the generated data tree is for the data tests: bin/data of the build
// the tests belong to. Tests that read it run with that directory as their
// working directory, since every game path is relative to it.
#pragma once
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline std::string BinDir() { return GRIMVALE_BIN_DIR; }

class TInBinDir {
 public:
  TInBinDir() : previous(std::filesystem::current_path()) { std::filesystem::current_path(BinDir()); }
  ~TInBinDir() { std::filesystem::current_path(previous); }

 private:
  std::filesystem::path previous;
};

// Whether the file decodes with the texture reader its extension selects.
bool DecodesAsTexture(const std::string& path, int* width = nullptr, int* height = nullptr);

// A scratch game directory for tests that write (a level build puts map.lvl
// beside the scene): data/maps/ is empty, the read-only parts of the tree
// are linked in, and the test runs inside it. Needs a GL window of the given
// size, since loading scenes and images uploads textures.
class TScratchTree : public testing::Test {
 protected:
  TScratchTree(int glWidth, int glHeight) : width(glWidth), height(glHeight) {}
  void SetUp() override {
    REQUIRE_GL_WINDOW(width, height);
    previous = std::filesystem::current_path();
    std::filesystem::create_directories(dir / "data/maps");
    for (const char* shared : {"MapTextures", "skyboxes", "fonts", "skins", "GUI", "textures", "weapons"})
      std::filesystem::create_directory_symlink(BinDir() + "/data/" + shared, dir / (std::string("data/") + shared));
    std::filesystem::current_path(dir.Path());
    ClearMessageBoxes();
  }
  void TearDown() override {
    if (!previous.empty()) std::filesystem::current_path(previous);
  }
  void CopyMap(const std::string& name) {
    std::filesystem::copy(BinDir() + "/data/maps/" + name, dir / ("data/maps/" + name),
                          std::filesystem::copy_options::recursive);
  }

  TempDir dir;

 private:
  int width, height;
  std::filesystem::path previous;
};

class TGUIclass;
// The ten fonts and two skins in the order and with the scales of the game's
// start-up, so indices in the window files mean what they mean in the game.
void LoadStartupFontsAndSkins(TGUIclass& gui);
