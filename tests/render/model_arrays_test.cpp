// Laying a model out for vertex arrays, without OpenGL: which faces share a
// draw call and under which material, and what each corner carries.
#include <gtest/gtest.h>

#include <cmath>

#include "render/model_arrays.h"

namespace {

// A quad of two faces over (-1, -1) .. (1, 1), each face with a normal of its
// own, under the given material per face (empty: no groups).
void AddQuad(TAll3dsMesh& model, std::vector<uint16_t> materials) {
  T3dsMesh& mesh = model.AddMesh();
  mesh.Vertices = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
  mesh.TexCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  mesh.Normals = {{0, 0, 1}, {0, 1, 0}};
  mesh.Faces.resize(2);
  mesh.Indices = {0, 1, 2, 0, 2, 3};
  mesh.NormalIndices = {0, 0, 0, 1, 1, 1};
  mesh.FaceMaterials = std::move(materials);
  ++model.MeshCount;
}

void AddMaterials(TAll3dsMesh& model, int count) {
  for (int i = 0; i < count; ++i) model.AddMaterial();
}

std::vector<std::tuple<uint32_t, uint32_t, uint16_t>> Runs(const TModelArrays& arrays) {
  std::vector<std::tuple<uint32_t, uint32_t, uint16_t>> runs;
  for (const TModelRun& r : arrays.Runs) runs.emplace_back(r.First, r.Count, r.Material);
  return runs;
}

constexpr uint16_t kNone = T3dsMesh::NoMaterial;

}  // namespace

TEST(ModelArrays, ARunLastsWhileTheMaterialInEffectStays) {
  struct Case {
    const char* name;
    std::vector<std::vector<uint16_t>> meshes;
    std::vector<std::tuple<uint32_t, uint32_t, uint16_t>> runs;
  };
  const Case cases[] = {
      {"a material per mesh", {{0, 0}, {1, 1}}, {{0, 6, 0}, {6, 6, 1}}},
      {"a change inside a mesh", {{0, 1}}, {{0, 3, 0}, {3, 3, 1}}},
      // Faces naming no material, or one past the list, and meshes without
      // groups keep the material before them, across meshes too.
      {"faces naming none or too far", {{1, kNone}, {0, 7}}, {{0, 6, 1}, {6, 6, 0}}},
      {"a mesh without groups", {{1, 1}, {}, {0, 0}}, {{0, 12, 1}, {12, 6, 0}}},
      {"the same material in the next mesh", {{1, 1}, {1, 1}}, {{0, 12, 1}}},
      {"nothing named at first", {{}, {kNone, 1}}, {{0, 9, kNone}, {9, 3, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TAll3dsMesh model;
    AddMaterials(model, 2);
    for (const auto& materials : c.meshes) AddQuad(model, materials);
    EXPECT_EQ(Runs(LayOutModel(model)), c.runs);
  }
}

TEST(ModelArrays, MeshesFollowTheDrawOrderAndSkipBadEntries) {
  TAll3dsMesh model;
  AddMaterials(model, 2);
  AddQuad(model, {0, 0});
  AddQuad(model, {1, 1});
  model.DrawOrder = {1, 5, -1, 0};
  model.MeshCount = 4;
  EXPECT_EQ(Runs(LayOutModel(model)), (std::vector<std::tuple<uint32_t, uint32_t, uint16_t>>{{0, 6, 1}, {6, 6, 0}}));
  // Only the first MeshCount entries of the order are drawn.
  model.MeshCount = 1;
  EXPECT_EQ(LayOutModel(model).Corners.size(), 6u);
}

TEST(ModelArrays, CornersCarryTheirNormalAndTheBumpShiftOfTheirMesh) {
  TAll3dsMesh model;
  AddMaterials(model, 2);
  model.GetMaterial(1).HasBump = true;
  model.GetMaterial(1).BumpAmount = 0.5f;
  AddQuad(model, {0, 0});
  AddQuad(model, {1, 1});
  AddQuad(model, {});  // under the bump material, but its own groups name none
  model.GetMesh(0).TexCoords.resize(2);  // corners past the list get (0, 0)
  const TModelArrays arrays = LayOutModel(model);
  ASSERT_EQ(arrays.Corners.size(), 18u);
  auto same = [](TTexCoord a, TTexCoord b) { return a.u == b.u && a.v == b.v; };

  // The second face's normal, not the vertex's.
  const TModelCorner& first = arrays.Corners[3];
  EXPECT_EQ(first.Normal.y, 1);
  EXPECT_TRUE(same(first.Uv, {0, 0}));
  EXPECT_TRUE(same(arrays.Corners[1].Uv, {1, 0}));
  EXPECT_TRUE(same(arrays.Corners[4].Uv, {0, 0}));

  // The last corner of the bump mesh is (-1, 1) at (0, 1); the light sits at
  // the origin, along (1, -1) / sqrt 2 from it.
  const TModelCorner& bumped = arrays.Corners[11];
  const float shift = 0.5f / std::sqrt(2.0f);
  EXPECT_NEAR(bumped.SecondUv.u, shift, 1e-6);
  EXPECT_NEAR(bumped.SecondUv.v, 1 - shift, 1e-6);
  EXPECT_TRUE(same(bumped.Uv, {0, 1}));
  for (size_t i : {5u, 17u}) EXPECT_TRUE(same(arrays.Corners[i].SecondUv, arrays.Corners[i].Uv)) << i;
}
