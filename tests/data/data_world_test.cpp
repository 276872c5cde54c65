// Maps and models of the generated tree through the game's loaders: each map
// builds into a level whose spawn points stand above its floor with room
// overhead, the stress map is big enough, and the models have the sizes the
// hit zones and the weapon placement assume.
#include "data_tree.h"
#include "test_support.h"

#include "core/ini_file.h"
#include "core/paths.h"
#include "render/model.h"
#include "core/binary_file.h"
#include "world/level.h"
#include "world/octree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

namespace {

namespace fs = std::filesystem;

// Maps are copied into a scratch tree, where the build writes map.lvl.
class DataMap : public TScratchTree {
 protected:
  DataMap() : TScratchTree(64, 64) {}
};

// Distance along the ray to the nearest level triangle, and that triangle.
float Nearest(const TOctree& octree, TVec3 origin, TVec3 direction, const TTriangle** hit) {
  float best = std::numeric_limits<float>::infinity();
  const TRay ray{origin, direction};
  for (const auto& node : octree.Nodes)
    for (const TTriangle& t : node->Triangles) {
      float param = 0;
      if (RayTriangle(t, ray, param) && param > 0 && param < best) {
        best = param;
        *hit = &t;
      }
    }
  return best;
}

TEST_F(DataMap, PlayableMapsBuildAndTheirSpawnPointsStandOnTheFloor) {
  const std::vector<std::string> maps = ListedMaps();
  ASSERT_GE(maps.size(), 4u);
  for (const std::string& map : maps) {
    SCOPED_TRACE(map);
    CopyMap(map);
    BuildLevel(map, 500);
    TLevel level(map, false);
    TBinaryFile in("data\\maps\\" + map + "\\map.lvl", false);
    level.LoadFromFile(in);
    const TOctree& octree = *level.Octree;
    size_t triangles = 0, textured = 0;
    for (const auto& node : octree.Nodes) triangles += node->Triangles.size();
    for (const auto& m : octree.Materials) textured += m.HasTexture;
    EXPECT_GT(triangles, 150u);
    EXPECT_GE(textured, 4u);

    TIniFile config("data/maps/" + map + "/config.ini");
    EXPECT_TRUE(FileExists(HostPath(BinDir() + "/data/skyboxes/" + config.ReadString("config", "Skybox", "") + "/pos_x.bmp")));
    for (const char* team : {"Ter", "CT"}) {
      const int spawns = config.ReadInteger("config", std::string(team) + "SpawnPoints", 0);
      EXPECT_GE(spawns, 4) << team;
      for (int s = 0; s < spawns; ++s) {
        const std::string section = team + std::string("Spawn") + std::to_string(s);
        const TVec3 p{static_cast<float>(config.ReadFloat(section, "x", 0)), static_cast<float>(config.ReadFloat(section, "y", 0)),
                      static_cast<float>(config.ReadFloat(section, "z", 0))};
        const TTriangle* floor = nullptr;
        const float below = Nearest(octree, p, {0, -1, 0}, &floor);
        ASSERT_NE(floor, nullptr) << section;
        EXPECT_GT(below, 0.5f) << section;
        EXPECT_LT(below, 1.5f) << section;
        EXPECT_GT(floor->Vertices[0].Normal.y, 0.9f) << section << ": the floor faces up";
        const TTriangle* ceiling = nullptr;
        EXPECT_GT(Nearest(octree, p, {0, 1, 0}, &ceiling), 1.2f) << section << ": room for the head";
      }
    }
  }
}

// Every spawn point of every listed map carries its view, and from eye height
// that view, like the one the game would choose itself, reaches well into
// the level instead of meeting a wall or a crate.
TEST_F(DataMap, EverySpawnPointFacesOpenSpace) {
  constexpr float kMetres = 8;
  for (const std::string& map : ListedMaps()) {
    CopyMap(map);
    BuildLevel(map, 500);
    TLevel level(map, false);
    level.LoadData();
    for (bool terrorist : {true, false}) {
      const std::vector<TVec3>& spawns = terrorist ? level.TerSpawns : level.CTSpawns;
      const std::vector<float>& yaws = terrorist ? level.TerYaws : level.CTYaws;
      ASSERT_EQ(yaws.size(), spawns.size());
      for (size_t s = 0; s < spawns.size(); ++s) {
        const std::string where = map + (terrorist ? " TerSpawn" : " CTSpawn") + std::to_string(s);
        EXPECT_TRUE(std::isfinite(yaws[s])) << where << ": no yaw in config.ini";
        for (float yaw : {yaws[s], level.OpenYaw(spawns[s])}) {
          const double a = yaw * 3.14159265358979 / 180;
          const TRay view{{spawns[s].x, spawns[s].y + 0.6f, spawns[s].z},
                          {static_cast<float>(std::cos(a)), 0, static_cast<float>(std::sin(a))}};
          EXPECT_GT(level.Octree->FirstHit(view, 1000), kMetres) << where << " looking at yaw " << yaw;
        }
      }
    }
  }
}

TEST(DataModels, StressSceneHoldsAtLeast200000Triangles) {
  REQUIRE_GL_WINDOW(64, 64);
  TAll3dsMesh model;
  model.TextureDir = BinDir() + "/data/MapTextures/";
  model.LoadFromFile(BinDir() + "/data/maps/stress/map.3ds");
  size_t faces = 0;
  for (const auto& mesh : model.Meshes) faces += mesh->Faces.size();
  EXPECT_GE(faces, 200000u);
}

TEST(DataModels, CharactersPutTheHitSpheresOnHeadChestAndLegs) {
  TIniFile config(BinDir() + "/data/characters/config.ini");
  for (const auto& [section, key] : {std::pair{"counter", "counter1"}, {"counter", "counter2"}, {"terror", "terror1"},
                                     {"terror", "terror2"}}) {
    const std::string dir = BinDir() + "/data/characters/" + config.ReadString(section, key, "") + "/";
    SCOPED_TRACE(dir);
    TAll3dsMesh model;
    model.TextureDir = dir;
    model.LoadFromFile(dir + "char.3ds");
    ASSERT_GT(model.Meshes.size(), 0u);
    float minY = 1e9f, maxY = -1e9f, maxX = 0, maxZ = 0;
    for (const auto& mesh : model.Meshes) {
      minY = std::min(minY, mesh->BoxMin.y);
      maxY = std::max(maxY, mesh->BoxMax.y);
      maxX = std::max({maxX, std::fabs(mesh->BoxMin.x), std::fabs(mesh->BoxMax.x)});
      maxZ = std::max({maxZ, std::fabs(mesh->BoxMin.z), std::fabs(mesh->BoxMax.z)});
    }
    // The game's derivation: R and C from the height, head at C + 0.85 R
    // (radius 0.15 R), chest at C + 0.25 R, legs at C - 0.6 R; the model is
    // drawn with its origin at the head centre.
    const float R = (maxY - minY) / 2, C = (maxY + minY) / 2;
    EXPECT_NEAR(maxY - minY, 1.8f, 0.1f);
    EXPECT_NEAR(C + 0.85f * R, 0.0f, 0.03f) << "head sphere centre at the model's origin";
    EXPECT_NEAR(C - 0.6f * R - 0.4f * R, minY, 0.05f) << "legs sphere reaches the feet";
    EXPECT_LT(maxX, 0.45f);
    EXPECT_LT(maxZ, 0.5f);
  }
}

TEST(DataModels, WeaponsPointForwardAndHaveHandSizes) {
  TIniFile config(BinDir() + "/data/weapons/config.ini");
  for (const auto& [section, key, minLength, maxLength] :
       {std::tuple{"pistols", "Pistol", 0.12f, 0.45f}, {"rifles", "Rifle", 0.5f, 1.8f}}) {
    for (int i = 1; i <= 5; ++i) {
      const std::string dir = BinDir() + "/data/weapons/" + config.ReadString(section, key + std::to_string(i), "") + "/";
      SCOPED_TRACE(dir);
      TAll3dsMesh model;
      model.TextureDir = dir;
      model.LoadFromFile(dir + "weapon.3ds");
      ASSERT_GT(model.Meshes.size(), 0u);
      const float length = model.BoxMax.z - model.BoxMin.z;
      EXPECT_GE(length, minLength);
      EXPECT_LE(length, maxLength);
      EXPECT_LT(model.BoxMax.x - model.BoxMin.x, length / 2) << "the barrel runs along z";
    }
  }
}

}  // namespace
