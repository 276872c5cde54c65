// What the map generators share: the common level materials, crates,
// perimeter walls, spawn points with their view and the config.ini that
// lists them. Spawn points stand kStand above the floor they are on (a
// character's bounding sphere centre, about its half height).
#pragma once
#include "data_tree.h"
#include "scene_builder.h"

#include <string>
#include <vector>

constexpr float kStand = 1.0f;

// brick, concrete, wood, crate, metal, tiles and ground.
void LevelMaterials(TSceneBuilder& s);

// A crate of side `size` with its bottom on `floorY`; the crate texture
// covers each face once whatever the size.
void Crate(TSceneBuilder& s, float x, float floorY, float z, float size);

// Four walls of height h around [x0, x1] x [z0, z1], `t` thick, outside it.
void Perimeter(TSceneBuilder& s, const std::string& m, float x0, float z0, float x1, float z1, float h, float t);

// A spawn point and the yaw its player faces, in degrees (0 looks along +x,
// 90 along +z): toward the level, not the wall behind.
struct TSpawn {
  TV3 At;
  float Yaw;
};
struct TSpawns {
  std::vector<TSpawn> Ter, CT;
};

// The map's config.ini: its skybox and spawn points.
std::string Config(const std::string& skybox, const TSpawns& spawns);

void BuildDepot(TDataTree& tree);  // maps/depot
void BuildTower(TDataTree& tree);  // maps/tower
