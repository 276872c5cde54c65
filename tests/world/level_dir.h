// A scratch game directory for level tests: each test runs in a directory of
// its own, so "data\\maps\\..." resolves there, with a small arena scene and
// the log lines written since the test began.
#pragma once
#include "core/binary_file.h"
#include "core/logger.h"
#include "level_scene.h"
#include "test_support.h"
#include "world/level.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

// Runs each test in its own directory, so "data\maps\..." resolves there.
class LevelDir : public testing::Test {
 protected:
  void SetUp() override {
    previous = std::filesystem::current_path();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    std::filesystem::create_directories("data/maps/arena");
    logStart = LogText().size();
  }
  void TearDown() override { std::filesystem::current_path(previous); }

  static std::string LogText() {
    Logger->Flush();
    return ReadFile(Logger->LogPath());
  }
  // Log lines written since the test started that contain `text`.
  int LogCount(const std::string& text) const {
    std::string log = LogText().substr(logStart);
    int n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
  }

  // A two-mesh arena: a stone floor of 8 faces and a crate of 2 faces
  // without material groups.
  static void WriteArenaScene() {
    T3dsScene scene;
    scene.MasterScale = 10;
    T3dsSceneMaterial stone;
    stone.Name = "Stone";
    stone.Diffuse = {0.5f, 0.25f, 1};
    stone.Transparency = 50;
    stone.TextureMap = "stone.bmp";
    scene.Materials.push_back(stone);
    scene.Meshes.push_back(GridMesh("floor", 2, -10, -10, 10, 10, 0));
    UseMaterial(scene.Meshes.back(), "Stone");
    scene.Meshes.push_back(GridMesh("crate", 1, 1, 1, 2, 2, 1));
    Save3ds(scene, "data/maps/arena/map.3ds");
  }

  static void WriteLevelFile(const std::string& path, const TOctree& octree, const std::string& version) {
    TBinaryFile out(path, true);
    out.WriteHeader(version, kLevelFileType);
    octree.SaveToFile(out);
  }

  TempDir dir;
  std::filesystem::path previous;
  size_t logStart = 0;
};
