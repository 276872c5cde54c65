// The two loaders a level needs from the renderer above it: the texture-file
// loader (skybox faces, material textures) and the scene reader that turns
// "map.3ds" into level triangles and materials. The world calls them through
// these hooks so it never includes the renderer; InstallLevelLoaders
// (render/level_scene_reader.h) fills them in at start, in the game, the tools
// and the tests.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "world/geometry.h"
#include "world/octree.h"

struct TLevelBuildReport;

struct TLevelLoaders {
  // Loads an image file into an OpenGL texture; leaves texture unchanged on failure.
  std::function<void(const std::string& fileName, unsigned& texture)> Texture;
  // Reads a scene file into triangles and materials (index 0 the default
  // material) and fills the report's triangle and mesh counts; throws when
  // the file cannot be used.
  std::function<void(const std::string& sceneFile, std::vector<TTriangle>& triangles,
                     std::vector<TOctreeMaterial>& materials, TLevelBuildReport& report)>
      Scene;
};

// Whole run: empty until InstallLevelLoaders; a level used before then throws
// std::logic_error.
extern TLevelLoaders LevelLoaders;

void LoadLevelTexture(const std::string& fileName, unsigned& texture);
void ReadLevelScene(const std::string& sceneFile, std::vector<TTriangle>& triangles,
                    std::vector<TOctreeMaterial>& materials, TLevelBuildReport& report);
