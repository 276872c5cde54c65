// 3DS files from elsewhere (exported by assimp from OBJ files written here)
// and from the project's own writer, read back by the loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "model_fixtures.h"
#include "render/model_3ds_writer.h"

namespace {

bool HaveAssimp() { return std::system("command -v assimp >/dev/null 2>&1") == 0; }

// Exports dir/name.obj (with dir/name.mtl) to dir/name.3ds.
void ExportWithAssimp(const TempDir& dir, const std::string& name, const std::string& obj, const std::string& mtl) {
  WriteFile(dir / (name + ".obj"), obj);
  WriteFile(dir / (name + ".mtl"), mtl);
  std::string command = "cd '" + dir.Path() + "' && assimp export " + name + ".obj " + name + ".3ds >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
}

std::vector<TVec3> AllFaceCorners(const TAll3dsMesh& model, const std::string& materialPrefix) {
  std::vector<TVec3> corners;
  for (const auto& mesh : model.Meshes)
    for (size_t f = 0; f < mesh->Faces.size(); ++f) {
      int material = mesh->FaceMaterials.empty() ? -1 : mesh->FaceMaterials[f];
      if (material < 0 || material >= model.MaterialCount) continue;
      if (model.Materials[material]->Name.rfind(materialPrefix, 0) != 0) continue;
      for (int k = 0; k < 3; ++k) corners.push_back(mesh->Vertices[mesh->Indices[3 * f + k]]);
    }
  return corners;
}

bool Contains(const std::vector<TVec3>& points, TVec3 p) {
  return std::any_of(points.begin(), points.end(), [&](const TVec3& q) {
    return std::abs(q.x - p.x) < 1e-4 && std::abs(q.y - p.y) < 1e-4 && std::abs(q.z - p.z) < 1e-4;
  });
}

const T3dsMaterial* MaterialStartingWith(const TAll3dsMesh& model, const std::string& prefix) {
  for (const auto& material : model.Materials)
    if (material->Name.rfind(prefix, 0) == 0) return material.get();
  return nullptr;
}

}  // namespace

TEST(ModelForeign3ds, AssimpExportsLoadWithVerticesAndMaterials) {
  if (!HaveAssimp()) GTEST_SKIP() << "assimp not installed";
  const std::string obj =
      "mtllib scene.mtl\n"
      "o Crate\n"
      "v 0 0 0\nv 10 0 0\nv 10 20 0\nv 0 20 30\n"
      "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
      "usemtl Red\nf 1/1 2/2 3/3\n"
      "usemtl Stone\nf 1/1 3/3 4/4\n"
      "o Plank\n"
      "v -5 -5 -5\nv -15 -5 -5\nv -5 -25 -5\n"
      "usemtl Stone\nf 5/1 6/2 7/3\n";
  const std::string mtl =
      "newmtl Red\nKa 0.2 0.2 0.2\nKd 1 0 0\nKs 0 0 0\n"
      "newmtl Stone\nKa 0 0 0\nKd 0.5 0.5 0.5\nKs 0 0 0\nmap_Kd Wall.BMP\n";
  TempDir dir;
  ExportWithAssimp(dir, "scene", obj, mtl);
  TAll3dsMesh model;
  model.BuildTextures = false;
  model.LoadFromFile(dir / "scene.3ds");

  const T3dsMaterial* red = MaterialStartingWith(model, "Red");
  const T3dsMaterial* stone = MaterialStartingWith(model, "Stone");
  ASSERT_TRUE(red && stone);
  EXPECT_NEAR(red->Diffuse.r, 1, 1e-5);
  EXPECT_NEAR(red->Diffuse.g, 0, 1e-5);
  EXPECT_NEAR(stone->Diffuse.b, 0.5, 1e-5);
  EXPECT_NEAR(red->Alpha, 1, 1e-5);
  EXPECT_FALSE(red->HasTexture);
  EXPECT_TRUE(stone->HasTexture);
  EXPECT_EQ(stone->TextureName, "Wall.BMP");

  // The master scale is 1, so every stored coordinate comes back a tenth.
  std::vector<TVec3> redCorners = AllFaceCorners(model, "Red");
  std::vector<TVec3> stoneCorners = AllFaceCorners(model, "Stone");
  EXPECT_EQ(redCorners.size(), 3u);
  EXPECT_EQ(stoneCorners.size(), 6u);
  for (TVec3 p : {TVec3{0, 0, 0}, TVec3{1, 0, 0}, TVec3{1, 2, 0}}) EXPECT_TRUE(Contains(redCorners, p));
  for (TVec3 p : {TVec3{0, 2, 3}, TVec3{-0.5f, -0.5f, -0.5f}, TVec3{-1.5f, -0.5f, -0.5f}, TVec3{-0.5f, -2.5f, -0.5f}})
    EXPECT_TRUE(Contains(stoneCorners, p));
  EXPECT_NEAR(model.BoxMin.y, -2.5, 1e-5);
  EXPECT_NEAR(model.BoxMax.z, 3, 1e-5);
}

TEST(ModelForeign3ds, AssimpExportOfAModelWithoutMaterials) {
  if (!HaveAssimp()) GTEST_SKIP() << "assimp not installed";
  TempDir dir;
  ExportWithAssimp(dir, "plain", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 2 4\n", "");
  TAll3dsMesh model;
  model.BuildTextures = false;
  model.LoadFromFile(dir / "plain.3ds");
  size_t faces = 0;
  for (const auto& mesh : model.Meshes) faces += mesh->Faces.size();
  EXPECT_EQ(faces, 2u);
  EXPECT_NEAR(model.BoxMax.x, 0.1, 1e-6);
}

TEST(Model3dsWriter, RoundTrip) {
  T3dsScene scene;
  scene.MasterScale = 2;
  T3dsSceneMaterial wood;
  wood.Name = "Wood";
  wood.Ambient = {0.2f, 0.2f, 0.2f};
  wood.Diffuse = {1, 0.5f, 0};
  wood.Specular = {0, 0, 1};
  wood.Transparency = 30;
  wood.TwoSided = true;
  wood.TextureMap = "Planks.JPG";
  wood.BumpMap = "grain.bmp";
  wood.BumpPercent = 250;
  T3dsSceneMaterial glass;
  glass.Name = "Glass";
  glass.OpacityMap = "mask.tga";
  scene.Materials = {wood, glass};

  T3dsSceneMesh box;
  box.Name = "box";
  box.Vertices = {{10, 0, 0}, {0, 10, 0}, {0, 0, 10}, {10, 10, 10}};
  box.TexCoords = {{0, 0}, {1, 0}, {1, 1}, {0.5f, 0.25f}};
  box.Faces = {{0, 1, 2}, {1, 2, 3}, {0, 2, 3}};
  box.Groups = {{"Glass", {1}}, {"Wood", {0, 2}}};
  box.Pivot = {5, 5, 5};
  T3dsSceneMesh bare;
  bare.Name = "bare";
  bare.Vertices = {{10, 10, 10}, {20, 10, 10}, {10, 20, 10}};
  bare.Faces = {{0, 1, 2}};
  scene.Meshes = {box, bare};

  TempDir dir;
  Save3ds(scene, dir / "round.3ds");
  TAll3dsMesh model;
  model.BuildTextures = false;
  model.LoadFromFile(dir / "round.3ds");

  EXPECT_EQ(model.Version3ds, 3);
  ASSERT_EQ(model.MaterialCount, 2);
  const T3dsMaterial& w = model.GetMaterial(0);
  EXPECT_EQ(w.Name, "Wood");
  EXPECT_NEAR(w.Diffuse.g, 128 / 255.0, 1e-6);
  EXPECT_NEAR(w.Specular.b, 1, 1e-6);
  EXPECT_NEAR(w.Alpha, 0.7, 1e-6);
  EXPECT_TRUE(w.TwoSided && w.HasTexture && w.HasBump && !w.HasOpacity);
  EXPECT_EQ(w.TextureName, "Planks.JPG");
  EXPECT_EQ(w.BumpName, "grain.bmp");
  EXPECT_NEAR(w.BumpAmount, 0.025, 1e-6);
  const T3dsMaterial& g = model.GetMaterial(1);
  EXPECT_TRUE(g.HasOpacity && !g.HasTexture && !g.TwoSided);
  EXPECT_EQ(g.OpacityName, "mask.tga");
  EXPECT_FLOAT_EQ(g.Alpha, 1);

  ASSERT_EQ(model.Meshes.size(), 2u);
  const T3dsMesh& m = model.GetMesh(0);
  EXPECT_EQ(m.Name, "box");
  EXPECT_EQ(m.Indices, (std::vector<uint16_t>{0, 1, 2, 1, 2, 3, 0, 2, 3}));
  EXPECT_EQ(m.FaceMaterials, (std::vector<uint16_t>{0, 1, 0}));
  EXPECT_EQ(m.MaterialNames, (std::vector<std::string>{"Glass", "Wood"}));
  // (10, 0, 0) - pivot (5, 5, 5), times 2 / 10.
  EXPECT_FLOAT_EQ(m.Vertices[0].x, 1);
  EXPECT_FLOAT_EQ(m.Vertices[0].y, -1);
  EXPECT_FLOAT_EQ(m.TexCoords[3].v, 0.25f);
  const T3dsMesh& b = model.GetMesh(1);
  EXPECT_TRUE(b.FaceMaterials.empty());
  EXPECT_FLOAT_EQ(b.Vertices[1].x, 4);  // no pivot of its own
}

TEST(Model3dsWriter, RefusesWhatA3dsFileCannotHold) {
  auto meshWith = [](auto change) {
    T3dsScene scene;
    scene.Materials.push_back({});
    scene.Materials[0].Name = "m";
    T3dsSceneMesh mesh;
    mesh.Vertices = {{}, {}, {}};
    mesh.Faces = {{0, 1, 2}};
    change(mesh, scene);
    scene.Meshes.push_back(mesh);
    return scene;
  };
  const T3dsScene bad[] = {
      meshWith([](T3dsSceneMesh& m, T3dsScene&) { m.Vertices.resize(70000); }),
      meshWith([](T3dsSceneMesh& m, T3dsScene&) { m.Faces.push_back({0, 1, 3}); }),
      meshWith([](T3dsSceneMesh& m, T3dsScene&) { m.Groups = {{"other", {0}}}; }),
      meshWith([](T3dsSceneMesh& m, T3dsScene&) { m.Groups = {{"m", {1}}}; }),
      meshWith([](T3dsSceneMesh& m, T3dsScene&) { m.TexCoords = {{0, 0}}; }),
      meshWith([](T3dsSceneMesh& m, T3dsScene&) { m.Name = std::string("a\0b", 3); }),
      meshWith([](T3dsSceneMesh&, T3dsScene& s) { s.Materials[0].Transparency = 101; }),
  };
  for (const T3dsScene& scene : bad) EXPECT_THROW(Encode3ds(scene), E3dsWriteError);
  EXPECT_NO_THROW(Encode3ds(meshWith([](T3dsSceneMesh& m, T3dsScene&) { m.Groups = {{"m", {0}}}; })));
}
