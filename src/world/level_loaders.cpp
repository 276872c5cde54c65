// The level's hooks into the renderer.
#include "world/level_loaders.h"

#include <stdexcept>

TLevelLoaders LevelLoaders;

void LoadLevelTexture(const std::string& fileName, unsigned& texture) {
  if (!LevelLoaders.Texture) throw std::logic_error("no texture loader installed for levels");
  LevelLoaders.Texture(fileName, texture);
}

void ReadLevelScene(const std::string& sceneFile, std::vector<TTriangle>& triangles,
                    std::vector<TOctreeMaterial>& materials, TLevelBuildReport& report) {
  if (!LevelLoaders.Scene) throw std::logic_error("no scene reader installed for levels");
  LevelLoaders.Scene(sceneFile, triangles, materials, report);
}
