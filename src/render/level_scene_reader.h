// Levels are built from 3DS scenes and drawn with the texture loader, both of
// which live here in the renderer; the world reaches them through the hooks
// InstallLevelLoaders fills in.
#pragma once
#include <vector>

#include "world/geometry.h"
#include "world/octree.h"

class TAll3dsMesh;
struct TLevelBuildReport;

// Fills LevelLoaders (world/level_loaders.h) with the 3DS scene reader and the
// texture-file loader. Called once at start by the game, the tools and the tests.
void InstallLevelLoaders();

// The level's triangles and materials from a loaded scene: one triangle per
// face of every mesh with vertices and faces, materials shifted by one behind
// the default material.
void MakeLevelGeometry(const TAll3dsMesh& model, std::vector<TTriangle>& triangles,
                       std::vector<TOctreeMaterial>& materials, TLevelBuildReport& report);
