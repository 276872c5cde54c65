// Levels: compiling a 3DS scene, loading map.lvl with its rebuild rule, spawn
// points in config.ini, and a drawn frame. (The game driver's level start and
// end are tested with the driver, in tests/app.)
#include "core/gl_api.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "core/platform.h"
#include "level_dir.h"
#include "render/image_writers.h"
#include "render/level_scene_reader.h"
#include "render/model.h"
#include "world/frustum.h"

#include <gtest/gtest.h>

#include <cmath>

TEST_F(LevelDir, BuildTurnsFacesIntoTrianglesAndMaterialsAndLogsTheCounts) {
  WriteArenaScene();
  BuildLevel("arena", 500);
  EXPECT_EQ(LogCount("INFO ULevels: 10 Triangles in 2 Meshes found! With 2 polys without Mats (8 with)"), 1);

  TLevel level("arena", false);
  TBinaryFile in("data\\maps\\arena\\map.lvl", false);
  level.LoadFromFile(in);
  const TOctree& octree = *level.Octree;
  EXPECT_EQ(octree.MaxTriangles, 500);
  EXPECT_EQ(octree.TextureDir, "data\\MapTextures\\");
  ASSERT_EQ(octree.Materials.size(), 2u);
  EXPECT_FALSE(octree.Materials[0].HasTexture);
  EXPECT_EQ(octree.Materials[0].Diffuse[0], 0.8f);
  const TOctreeMaterial& stone = octree.Materials[1];
  EXPECT_TRUE(stone.HasTexture);
  EXPECT_EQ(stone.TextureName, "stone.bmp");
  int byMaterial[2] = {0, 0};
  for (const auto& node : octree.Nodes)
    for (const TTriangle& t : node->Triangles) {
      ASSERT_LT(t.Material, 2);
      ++byMaterial[t.Material];
      EXPECT_EQ(t.Vertices[0].Normal.y, 1);  // every face of the scene faces up
      EXPECT_EQ(t.D, t.Vertices[0].Position.y);
    }
  EXPECT_EQ(byMaterial[0], 2);
  EXPECT_EQ(byMaterial[1], 8);
}

TEST(LevelGeometry, MaterialsShiftBehindTheDefaultAndUnknownOnesFallBackToIt) {
  TAll3dsMesh model;
  model.Materials.push_back(std::make_unique<T3dsMaterial>());
  T3dsMaterial& scene = *model.Materials.back();
  scene.HasDiffuse = scene.HasAmbient = scene.TwoSided = true;
  scene.Diffuse = {0.5f, 0.25f, 1};
  scene.Ambient = {0.125f, 0, 0};
  scene.Specular = {1, 1, 1};  // not flagged: not copied
  scene.Alpha = 0.5f;
  model.MeshCount = 1;
  auto mesh = std::make_unique<T3dsMesh>();
  mesh->Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
  for (int f = 0; f < 3; ++f) {
    mesh->Faces.push_back({{0, 2, 1}, {0, 2, 1}});
    mesh->Indices.insert(mesh->Indices.end(), {0, 2, 1});
  }
  mesh->FaceMaterials = {0, T3dsMesh::NoMaterial, 5};
  model.Meshes.push_back(std::move(mesh));
  std::vector<TTriangle> triangles;
  std::vector<TOctreeMaterial> materials;
  TLevelBuildReport report;
  MakeLevelGeometry(model, triangles, materials, report);
  ASSERT_EQ(triangles.size(), 3u);
  EXPECT_EQ(triangles[0].Material, 1);
  EXPECT_EQ(triangles[1].Material, 0);
  EXPECT_EQ(triangles[2].Material, 0);
  ASSERT_EQ(materials.size(), 2u);
  const TOctreeMaterial& m = materials[1];
  EXPECT_TRUE(m.HasDiffuse && m.HasAmbient && m.TwoSided);
  EXPECT_FALSE(m.HasSpecular || m.HasTexture);
  const float diffuse[4] = {0.5f, 0.25f, 1, 0.5f}, ambient[4] = {0.125f, 0, 0, 1}, specular[4] = {0, 0, 0, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(m.Diffuse[i], diffuse[i]);
    EXPECT_EQ(m.Ambient[i], ambient[i]);
    EXPECT_EQ(m.Specular[i], specular[i]);
  }
  EXPECT_EQ(report.WithMaterials, 3);
  EXPECT_EQ(report.LogLine(), "3 Triangles in 1 Meshes found! With 0 polys without Mats (3 with)");
}

TEST_F(LevelDir, UnusableLevelFilesAreRebuiltOnceFromTheScene) {
  std::vector<TTriangle> triangles;
  AddFloor(triangles, -5, -5, 5, 5, 0);
  TOctree octree(triangles, 500);
  octree.Materials.resize(1);
  WriteLevelFile("good.lvl", octree, kLevelVersion);
  const std::string good = ReadFile("good.lvl");
  WriteLevelFile("old.lvl", octree, "0.2.4");
  std::string badMaterial = good;
  badMaterial[28 + 2 + 4 + 2 + 20 + 100] = 7;  // the root's first triangle's material

  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"older version", ReadFile("old.lvl")},
      {"cut short", good.substr(0, good.size() - 5)},
      {"material beyond the list", badMaterial},
      {"empty", ""},
  };
  WriteArenaScene();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile("data/maps/arena/map.lvl", c.bytes);
    size_t before = LogText().size();
    TLevel level("arena", false);
    level.LoadData();
    EXPECT_EQ(level.Octree->MaxTriangles, 300);
    EXPECT_EQ(level.Octree->TotalTriangles(), 10);
    std::string log = LogText().substr(before);
    size_t builds = 0;
    for (size_t at = log.find("Meshes found!"); at != std::string::npos; at = log.find("Meshes found!", at + 1)) ++builds;
    EXPECT_EQ(builds, 1u);
    EXPECT_NE(log.find("Loaded Level arena"), std::string::npos);

    TBinaryFile rebuilt("data/maps/arena/map.lvl", false);
    rebuilt.ReadHeader();
    EXPECT_EQ(rebuilt.Version, "0.2.5");
  }

  // Without a scene the start fails with a message naming both files.
  std::filesystem::remove("data/maps/arena/map.3ds");
  WriteFile("data/maps/arena/map.lvl", badMaterial);
  TLevel level("arena", false);
  try {
    level.LoadData();
    FAIL() << "loaded a damaged level";
  } catch (const ELevelFileError& e) {
    std::string what = e.what();
    EXPECT_NE(what.find("map.lvl is damaged"), std::string::npos) << what;
    EXPECT_NE(what.find("material 7"), std::string::npos) << what;
    EXPECT_NE(what.find("no data\\maps\\arena\\map.3ds"), std::string::npos) << what;
  }
  EXPECT_EQ(level.Octree->TotalTriangles(), 0);  // nothing of the refused file kept
  std::filesystem::remove("data/maps/arena/map.lvl");
  EXPECT_THROW(TLevel("arena", false).LoadData(), EFileOpenError);
}

// A game that may not write its data tree (an installed one) compiles levels
// into the user's cache and loads them from there, leaving the tree as it was.
TEST_F(LevelDir, WithoutWritingTheTreeLevelsAreBuiltIntoTheCache) {
  TempDir cache;
  TScopedEnv cacheHome("XDG_CACHE_HOME", cache.Path().c_str());
  TUnwritableBase base;
  const std::string built = cache / "grimvale/data/maps/arena/map.lvl";
  WriteArenaScene();
  WriteFile("data/maps/arena/map.lvl", "outdated");
  EXPECT_EQ(LevelFilePath("arena"), "data\\maps\\arena\\map.lvl");

  TLevel level("arena", false);
  level.LoadData();
  EXPECT_EQ(level.Octree->TotalTriangles(), 10);
  EXPECT_EQ(ReadFile("data/maps/arena/map.lvl"), "outdated");
  EXPECT_EQ(HostPath(LevelFilePath("arena")), built);
  TBinaryFile file(built, false);
  file.ReadHeader();
  EXPECT_EQ(file.Version, kLevelVersion);

  // Next start: the cached file is used, nothing is built again.
  TLevel again("arena", false);
  again.LoadData();
  EXPECT_EQ(again.Octree->TotalTriangles(), 10);
  EXPECT_EQ(LogCount("Meshes found!"), 1);

  // A map without map.lvl in the tree is built there too.
  std::filesystem::create_directories("data/maps/yard");
  std::filesystem::copy_file("data/maps/arena/map.3ds", "data/maps/yard/map.3ds");
  BuildLevel("yard", 500);
  EXPECT_TRUE(FileExists(cache / "grimvale/data/maps/yard/map.lvl"));
  EXPECT_FALSE(FileExists("data/maps/yard/map.lvl"));
}


// A spawn point's view comes from its "yaw" key (any number of turns) or,
// without one, from the longest line of sight: here a corridor along z, 2
// wide and 100 long, whose far end lies in +z (yaw 90) from z = -40.
TEST_F(LevelDir, SpawnPointsAndTheirViewsComeFromConfigAndNewOnesAreWrittenBack) {
  WriteFile("data/maps/arena/config.ini",
            "[config]\nSkybox=dusk\nCTSpawnPoints=2\nTerSpawnPoints=0\n"
            "[CTSpawn0]\nx=1\ny=2\nz=3\nyaw=-630\n[CTSpawn1]\nx=-0.5\ny=0.25\nz=-40\n");
  std::vector<TTriangle> triangles;
  AddFloor(triangles, -5, -50, 5, 50, 0);
  for (float x : {-1.0f, 1.0f})
    for (float z = -50; z < 50; z += 10)
      triangles.push_back(MakeTriangle({x, -1, z}, {x, 9, z}, {x, -1, z + 10})),
          triangles.push_back(MakeTriangle({x, 9, z}, {x, 9, z + 10}, {x, -1, z + 10}));
  for (float z : {-50.0f, 50.0f}) triangles.push_back(MakeTriangle({-5, -1, z}, {5, -1, z}, {0, 20, z}));
  TOctree octree(triangles, 4);
  octree.Materials.resize(1);
  WriteLevelFile("data/maps/arena/map.lvl", octree, kLevelVersion);

  TLevel level("arena", false);
  level.LoadData();
  EXPECT_EQ(level.SkyboxName, "dusk");
  ASSERT_EQ(level.CTSpawns.size(), 2u);
  EXPECT_EQ(level.CTSpawns[1].x, -0.5f);
  EXPECT_EQ(level.CTSpawns[1].y, 0.25f);
  TSpawnPoint none = level.ChooseSpawn(true);
  EXPECT_EQ(none.Position.x, 0);
  EXPECT_EQ(none.Position.y, 1);
  EXPECT_EQ(none.Position.z, 0);
  bool seen[2] = {false, false};
  for (int i = 0; i < 64; ++i) {
    const TSpawnPoint spawn = level.ChooseSpawn(false);
    const bool first = spawn.Position.x == 1;
    seen[first ? 0 : 1] = true;
    EXPECT_FLOAT_EQ(std::fmod(spawn.Yaw + 360, 360), 90) << "given for the first, open space for the second";
  }
  EXPECT_TRUE(seen[0] && seen[1]);
  // What a client finds from the position alone.
  EXPECT_FLOAT_EQ(std::fmod(level.SpawnYaw(level.CTSpawns[0]) + 360, 360), 90);
  EXPECT_FLOAT_EQ(level.SpawnYaw({0, 1, 40}), 270);  // no spawn point: open space, back down the corridor

  level.AddCTSpawn({7.125f, -1.5f, 1e-3f}, 725);
  level.AddTerSpawn({2, 2, 2}, 180);
  TIniFile ini("data/maps/arena/config.ini");
  EXPECT_EQ(ini.ReadInteger("config", "CTSpawnPoints", 0), 3);
  EXPECT_EQ(ini.ReadInteger("config", "TerSpawnPoints", 0), 1);
  EXPECT_TRUE(ini.SectionExists("CTSpawn2"));
  EXPECT_TRUE(ini.SectionExists("TerSpawn0"));

  TLevel again("arena", false);
  again.LoadData();
  ASSERT_EQ(again.CTSpawns.size(), 3u);
  EXPECT_EQ(again.CTSpawns[2].x, 7.125f);
  EXPECT_EQ(again.CTSpawns[2].y, -1.5f);
  EXPECT_EQ(again.CTSpawns[2].z, 1e-3f);
  EXPECT_FLOAT_EQ(again.CTYaws[2], 5);
  EXPECT_TRUE(std::isnan(again.CTYaws[1]));
  ASSERT_EQ(again.TerSpawns.size(), 1u);
  EXPECT_FLOAT_EQ(again.ChooseSpawn(true).Yaw, 180);
}

namespace {

void WriteSolidBMP(const std::string& path, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> bgra;
  for (int i = 0; i < 16; ++i) bgra.insert(bgra.end(), {b, g, r, 255});
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  WriteFile(path, BMPFileBytes(4, 4, bgra));
}

struct Pixel {
  int r, g, b;
};

Pixel ReadPixel(int x, int y) {
  uint8_t p[4] = {0, 0, 0, 0};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

}  // namespace

TEST_F(LevelDir, DrawsTheTexturedFloorUnderTheSkybox) {
  REQUIRE_GL_WINDOW(64, 64);
  // A red floor texture, a blue skybox face ahead (-z) and green above.
  WriteSolidBMP("data/MapTextures/red.bmp", 255, 0, 0);
  const char* faces[6] = {"pos_x", "neg_x", "pos_z", "neg_z", "pos_y", "neg_y"};
  for (const char* face : faces) {
    bool ahead = std::string(face) == "neg_z", above = std::string(face) == "pos_y";
    WriteSolidBMP(std::string("data/skyboxes/test/") + face + ".bmp", 0, above ? 255 : 0, ahead ? 255 : 0);
  }
  WriteFile("data/maps/arena/config.ini", "[config]\nSkybox=test\n");
  std::vector<TTriangle> triangles;
  AddFloor(triangles, -50, -50, 50, 50, 0, 1);
  TOctree octree(triangles, 500);
  octree.TextureDir = kMapTextureDir;
  octree.Materials.resize(2);
  octree.Materials[1].HasTexture = true;
  octree.Materials[1].TextureName = "red.bmp";
  WriteLevelFile("data/maps/arena/map.lvl", octree, kLevelVersion);

  ClearMessageBoxes();
  TLevel level("arena", true);
  EXPECT_TRUE(MessageBoxes().empty());
  ASSERT_NE(level.SkyboxList, 0u);

  // The camera's view transform lives in the projection matrix: standing at
  // (0, 2, 0), looking along -z and a little down.
  const TVec3 eye{0, 2, 0};
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(90, 1, 0.5, 1000);
  gluLookAt(eye.x, eye.y, eye.z, 0, 1.5, -10, 0, 1, 0);
  glMatrixMode(GL_MODELVIEW);
  TFrustum frustum;
  for (bool lists : {true, false}) {
    UseLists = lists;
    // The first frame is lit (the level's lighting is switched off after
    // each frame); the second shows the textures as they are.
    for (int frame = 0; frame < 2; ++frame) {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      glLoadIdentity();
      frustum.Update();
      glLoadIdentity();
      level.Render(frustum);
    }
    SCOPED_TRACE(lists ? "display lists" : "immediate mode");
    Pixel floor = ReadPixel(32, 4), sky = ReadPixel(32, 50);
    EXPECT_GT(floor.r, 200);
    EXPECT_LT(floor.g + floor.b, 40);
    EXPECT_GT(sky.b, 200);
    EXPECT_LT(sky.r + sky.g, 40);
  }
  UseLists = true;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_LIGHTING);
}
