// The 3DS reader and the steps after it: scale and pivot, normals, boxes,
// extension dispatch, damaged files, materials and material groups.
#include <gtest/gtest.h>

#include <cmath>

#include "core/logger.h"
#include "core/paths.h"
#include "model_fixtures.h"
#include "core/binary_file.h"

namespace {

void ExpectVec(const TVec3& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, 1e-5);
  EXPECT_NEAR(v.y, y, 1e-5);
  EXPECT_NEAR(v.z, z, 1e-5);
}

std::string Triangle(const std::string& name, TVec3 a, TVec3 b, TVec3 c) {
  return ObjectChunk(name, VertexChunk({a, b, c}) + FaceChunk({{0, 1, 2}}));
}

std::string PivotNode(TVec3 p) { return Chunk(0xB002, Chunk(0xB013, F32(p.x) + F32(p.y) + F32(p.z))); }

}  // namespace

TEST(Model3ds, MasterScaleAndPivot) {
  struct Case {
    const char* what;
    bool scaleChunk;
    float scale;
    bool pivot;
    TVec3 stored;
    TVec3 expected;
  };
  const Case cases[] = {
      {"no scale chunk: a tenth", false, 0, false, {10, 20, -30}, {1, 2, -3}},
      {"scale 1: still a tenth", true, 1, false, {10, 20, -30}, {1, 2, -3}},
      {"scale 1 after the pivot", true, 1, true, {11, 22, -27}, {1, 2, -3}},
      {"scale 4", true, 4, false, {10, 0, 5}, {4, 0, 2}},
      {"scale 0.5 after the pivot", true, 0.5f, true, {21, 2, 3}, {1, 0, 0}},
  };
  const TVec3 pivot{1, 2, 3};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string data = (c.scaleChunk ? Chunk(0x0100, F32(c.scale)) : "") +
                       Triangle("first", c.stored, c.stored, c.stored) + Triangle("second", {10, 10, 10}, {}, {});
    // The pivot belongs to the first keyframe node, so only the first mesh.
    std::string keys = c.pivot ? Chunk(0xB000, PivotNode(pivot)) : "";
    TempDir dir;
    TAll3dsMesh model;
    LoadModelBytes(model, dir, "m.3ds", Main3ds(data, keys));
    ASSERT_EQ(model.Meshes.size(), 2u);
    ExpectVec(model.Meshes[0]->Vertices[0], c.expected.x, c.expected.y, c.expected.z);
    float scale = c.scaleChunk ? c.scale : 1;
    ExpectVec(model.Meshes[1]->Vertices[0], scale, scale, scale);
    EXPECT_FLOAT_EQ(model.Scale, scale / 10);
    EXPECT_EQ(model.FormatKind, TAll3dsMesh::Kind3ds);
    EXPECT_EQ(model.MeshCount, 2);
    EXPECT_EQ(model.Meshes[1]->MeshNumber, 2);
    EXPECT_EQ(model.DrawOrder, (std::vector<int>{0, 1}));
  }
}

TEST(Model3ds, PivotOfLaterNodesAndNodesPastTheMeshes) {
  std::string data = Triangle("a", {10, 0, 0}, {}, {}) + Triangle("b", {10, 0, 0}, {}, {});
  std::string keys = Chunk(0xB000, PivotNode({}) + PivotNode({10, 0, 0}) + PivotNode({5, 5, 5}));
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "m.3ds", Main3ds(data, keys));
  ASSERT_EQ(model.Meshes.size(), 2u);
  ExpectVec(model.Meshes[0]->Vertices[0], 1, 0, 0);
  ExpectVec(model.Meshes[1]->Vertices[0], 0, 0, 0);
  ExpectVec(model.Meshes[1]->Pivot, 10, 0, 0);
}

// No averaging: each vertex keeps the normal of the last face using it.
TEST(Model3ds, SharedVerticesCarryTheLastFacesNormal) {
  std::string object = ObjectChunk(
      "n", VertexChunk({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}}) + FaceChunk({{0, 1, 2}, {0, 3, 1}}));
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "m.3ds", Main3ds(object));
  const T3dsMesh& mesh = *model.Meshes[0];
  ASSERT_EQ(mesh.Normals.size(), 4u);
  ExpectVec(mesh.Normals[0], 0, 1, 0);
  ExpectVec(mesh.Normals[1], 0, 1, 0);
  ExpectVec(mesh.Normals[2], 0, 0, 1);
  ExpectVec(mesh.Normals[3], 0, 1, 0);
  EXPECT_EQ(mesh.NormalIndices, mesh.Indices);
  EXPECT_EQ(mesh.IndexCount, 6);
}

TEST(Model3ds, ModelBoxAlwaysHoldsTheOrigin) {
  struct Case {
    TVec3 a, b;
    TVec3 meshMin, meshMax, modelMin, modelMax;
  };
  const Case cases[] = {
      {{10, 20, 30}, {20, 40, 50}, {1, 2, 3}, {2, 4, 5}, {0, 0, 0}, {2, 4, 5}},
      {{-10, -20, -30}, {-20, -40, -50}, {-2, -4, -5}, {-1, -2, -3}, {-2, -4, -5}, {0, 0, 0}},
      {{-10, 20, 0}, {10, 30, 0}, {-1, 2, 0}, {1, 3, 0}, {-1, 0, 0}, {1, 3, 0}},
  };
  for (const Case& c : cases) {
    std::string object = ObjectChunk("box", VertexChunk({c.a, c.b, c.a}) + FaceChunk({{0, 1, 2}}));
    // A mesh without faces widens nothing.
    std::string empty = ObjectChunk("empty", VertexChunk({{-1000, 1000, 1000}}));
    TempDir dir;
    TAll3dsMesh model;
    LoadModelBytes(model, dir, "m.3ds", Main3ds(object + empty));
    const T3dsMesh& mesh = *model.Meshes[0];
    ExpectVec(mesh.BoxMin, c.meshMin.x, c.meshMin.y, c.meshMin.z);
    ExpectVec(mesh.BoxMax, c.meshMax.x, c.meshMax.y, c.meshMax.z);
    ExpectVec(model.BoxMin, c.modelMin.x, c.modelMin.y, c.modelMin.z);
    ExpectVec(model.BoxMax, c.modelMax.x, c.modelMax.y, c.modelMax.z);
  }
}

TEST(Model3ds, ExtensionsAreComparedCaseSensitively) {
  const std::string bytes = Main3ds(Triangle("t", {1, 1, 1}, {}, {}));
  struct Case {
    const char* name;
    bool loads;
  };
  const Case cases[] = {{"m.3ds", true}, {"M.3DS", false}, {"m.3Ds", false}, {"m.obj", false},
                        {"noext", false}, {"dir.3ds/m", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    MakeDirectories(dir / "dir.3ds");
    TAll3dsMesh model;
    LoadModelBytes(model, dir, c.name, bytes);
    EXPECT_EQ(model.Meshes.size(), c.loads ? 1u : 0u);
    EXPECT_EQ(model.FormatKind, c.loads ? TAll3dsMesh::Kind3ds : 0);
    EXPECT_EQ(model.ModelFile, dir / c.name);
  }
  TAll3dsMesh model;
  EXPECT_THROW(model.LoadFromFile("/nonexistent/dir/m.3ds"), EFileOpenError);
}

// A damaged chunk ends the read; what came before it stays, and the log names
// the file.
TEST(Model3ds, DamagedChunksEndTheReadAndKeepWhatWasRead) {
  const std::string good = Triangle("good", {10, 0, 0}, {0, 10, 0}, {0, 0, 10});
  struct Case {
    const char* what;
    std::string bytes;
    size_t meshes;
  };
  std::string header = Chunk(0x0002, U32(3));
  const Case cases[] = {
      {"length below 6", Main3ds(good + Chunk(0x4000, Cstr("bad"), 5) + good), 1},
      {"length 0", Main3ds(good + Chunk(0x1234, "", 0) + good), 1},
      {"past its parent",
       Main3ds(good + Chunk(0x4000, Cstr("bad") + Chunk(0x4100, VertexChunk({{1, 2, 3}}), 200)) + good), 2},
      {"past the file", Chunk(0x4D4D, header + Chunk(0x3D3D, good + good), 5000), 2},
      {"header cut short", Main3ds(good) + std::string("\x4d\x4d\x10", 3), 1},
      {"vertex chunk past the file", Main3ds(good).substr(0, 40), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    TCapturedLog log;
    TAll3dsMesh model;
    LoadModelBytes(model, dir, "damaged.3ds", c.bytes);
    EXPECT_EQ(model.Meshes.size(), c.meshes);
    EXPECT_EQ(model.Meshes[0]->Name, "good");
    EXPECT_NE(log.Text().find(dir / "damaged.3ds"), std::string::npos);
  }
}

TEST(Model3ds, CountsBeyondTheChunkAreCut) {
  std::string vertices = Chunk(0x4110, U16(60000) + F32(10) + F32(20) + F32(30) + F32(1) + F32(2) + F32(3));
  std::string faces = Chunk(0x4120, U16(65535) + U16(0) + U16(1) + U16(0) + U16(0));
  std::string coords = Chunk(0x4140, U16(65535) + F32(0.5f) + F32(0.25f));
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "m.3ds", Main3ds(ObjectChunk("cut", vertices + coords + faces)));
  const T3dsMesh& mesh = *model.Meshes[0];
  EXPECT_EQ(mesh.VertexCount, 2);
  ASSERT_EQ(mesh.Faces.size(), 1u);
  EXPECT_EQ(mesh.TexCoords.size(), 2u);
  EXPECT_FLOAT_EQ(mesh.TexCoords[0].u, 0.5f);
  EXPECT_FLOAT_EQ(mesh.TexCoords[1].u, 0);
  EXPECT_EQ(mesh.BoneIndices, (std::vector<int32_t>{-1, -1}));
}

TEST(Model3ds, FacesPastTheVerticesAreDroppedAndGroupsFollowTheRest) {
  std::string materials = Chunk(0xAFFF, Chunk(0xA000, Cstr("A"))) + Chunk(0xAFFF, Chunk(0xA000, Cstr("B")));
  std::string groups = Chunk(0x4130, Cstr("b") + U16(2) + U16(2) + U16(1)) +
                       Chunk(0x4130, Cstr("missing") + U16(2) + U16(3) + U16(40));
  std::string object = ObjectChunk(
      "m", VertexChunk({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}}) +
               FaceChunk({{0, 1, 2}, {0, 1, 3}, {2, 1, 0}, {1, 2, 0}}, groups));
  TempDir dir;
  TCapturedLog log;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "m.3ds", Main3ds(materials + object));
  const T3dsMesh& mesh = *model.Meshes[0];
  ASSERT_EQ(mesh.Faces.size(), 3u);
  EXPECT_EQ(mesh.Indices, (std::vector<uint16_t>{0, 1, 2, 2, 1, 0, 1, 2, 0}));
  // Face 0 is in no group (0), face 2 in "b" (1), face 3 names no material.
  EXPECT_EQ(mesh.FaceMaterials, (std::vector<uint16_t>{0, 1, T3dsMesh::NoMaterial}));
  EXPECT_EQ(mesh.MaterialNames, (std::vector<std::string>{"b", "missing"}));
  EXPECT_EQ(mesh.IndexCount, 9);
  EXPECT_NE(log.Text().find("dropped 1 faces"), std::string::npos);
}

TEST(Model3ds, StrayChunksAndOtherVersionsAreReadOn) {
  std::string stray = VertexChunk({{1, 1, 1}}) + FaceChunk({{0, 0, 0}}) + Chunk(0x0010, F32(1) + F32(1) + F32(1)) +
                      Chunk(0xA300, Cstr("x.bmp")) + Chunk(0xB013, F32(1) + F32(2) + F32(3)) + Chunk(0x4100, "");
  // A second triangle object in one named object counts no second mesh.
  std::string twice = Chunk(0x4000, Cstr("t") + Chunk(0x4100, VertexChunk({{10, 0, 0}}) + FaceChunk({{0, 0, 0}})) +
                                        Chunk(0x4100, "") + Chunk(0x4600, ""));
  std::string bytes = Chunk(0x4D4D, Chunk(0x0002, U32(7)) + Chunk(0x3D3D, stray + twice));
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "m.3ds", bytes);
  EXPECT_EQ(model.Version3ds, 7);
  ASSERT_EQ(model.Meshes.size(), 1u);
  EXPECT_EQ(model.MeshCount, 1);
  ExpectVec(model.Meshes[0]->Vertices[0], 1, 0, 0);
}

TEST(Model3ds, LightsAndCamerasCountAsMeshes) {
  std::string light = Chunk(0x4000, Cstr("lamp") + Chunk(0x4600, F32(0) + F32(0) + F32(0)));
  std::string camera = Chunk(0x4000, Cstr("eye") + Chunk(0x4700, std::string(32, '\0')));
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "m.3ds", Main3ds(light + Triangle("t", {}, {}, {}) + camera));
  EXPECT_EQ(model.MeshCount, 3);
  ASSERT_EQ(model.Meshes.size(), 3u);
  EXPECT_TRUE(model.Meshes[0]->Faces.empty());
  EXPECT_EQ(model.Meshes[2]->Name, "eye");
  EXPECT_EQ(model.Meshes[2]->MeshNumber, 3);
}

TEST(Model3ds, MaterialChunks) {
  auto percent = [](uint16_t id, float p) {
    return id == 0x0031 ? Chunk(0x0031, F32(p)) : Chunk(0x0030, U16(static_cast<uint16_t>(p)));
  };
  std::string first =
      Chunk(0xA000, Cstr("Metal")) + Chunk(0xA010, Chunk(0x0011, std::string("\xff\x00\x33", 3))) +
      Chunk(0xA020, Chunk(0x0010, F32(0.5f) + F32(0.25f) + F32(1))) +
      Chunk(0xA030, Chunk(0x0011, std::string("\x00\x00\xff", 3))) + Chunk(0xA050, percent(0x30, 25)) +
      Chunk(0xA081, "") +
      Chunk(0xA200, percent(0x30, 100) + Chunk(0xA300, Cstr("Wall.BMP")) + Chunk(0xA356, F32(2)) +
                        Chunk(0xA358, F32(0.5f)) + Chunk(0xA35C, F32(45))) +
      Chunk(0xA230, percent(0x30, 150) + Chunk(0xA300, Cstr("bump.bmp")));
  std::string second = Chunk(0xA000, Cstr("Glass")) + Chunk(0x0011, std::string("\xff\xff\xff", 3)) +
                       Chunk(0xA050, percent(0x31, 40)) +
                       Chunk(0xA210, percent(0x31, 100) + Chunk(0xA300, Cstr("mask.tga"))) +
                       Chunk(0xA230, percent(0x31, 30) + Chunk(0xA300, Cstr("b2.bmp")));
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "m.3ds", Main3ds(Chunk(0xAFFF, first) + Chunk(0xAFFF, second)));
  ASSERT_EQ(model.MaterialCount, 2);
  const T3dsMaterial& metal = model.GetMaterial(0);
  EXPECT_EQ(metal.Name, "Metal");
  EXPECT_FLOAT_EQ(metal.Ambient.r, 1);
  EXPECT_FLOAT_EQ(metal.Ambient.b, 0.2f);
  EXPECT_FLOAT_EQ(metal.Diffuse.g, 0.25f);
  EXPECT_FLOAT_EQ(metal.Specular.b, 1);
  EXPECT_FLOAT_EQ(metal.Specular.r, 0);
  // Every colour given keeps its flag, whatever chunk came after it.
  EXPECT_TRUE(metal.HasSpecular && metal.HasAmbient && metal.HasDiffuse && metal.HasColor);
  EXPECT_FLOAT_EQ(metal.Alpha, 0.75f);
  EXPECT_TRUE(metal.TwoSided);
  EXPECT_TRUE(metal.HasTexture);
  EXPECT_EQ(metal.TextureName, "Wall.BMP");
  EXPECT_FLOAT_EQ(metal.UScale, 2);
  EXPECT_FLOAT_EQ(metal.UOffset, 0.5f);
  EXPECT_FLOAT_EQ(metal.MapAngle, 45);
  EXPECT_TRUE(metal.HasBump);
  EXPECT_EQ(metal.BumpName, "bump.bmp");
  EXPECT_FLOAT_EQ(metal.BumpAmount, 0.015f);
  EXPECT_FALSE(metal.HasOpacity);

  const T3dsMaterial& glass = model.GetMaterial(1);
  EXPECT_FLOAT_EQ(glass.Alpha, 0.6f);
  EXPECT_TRUE(glass.HasOpacity);
  EXPECT_EQ(glass.OpacityName, "mask.tga");
  EXPECT_FALSE(glass.HasTexture);
  // Its colour chunk sits outside any colour container and fills nothing.
  EXPECT_FALSE(glass.HasColor || glass.HasDiffuse);
  EXPECT_FLOAT_EQ(glass.Diffuse.r, 0);
  EXPECT_FALSE(glass.TwoSided);
  EXPECT_FLOAT_EQ(glass.BumpAmount, 0.003f);
  EXPECT_EQ(model.FindMaterial("GLASS"), 1);
  EXPECT_EQ(model.FindMaterial("wood"), -1);
}
