// The text (".txt") and binary (".bin") model formats.
#include <gtest/gtest.h>

#include "model_fixtures.h"
#include "render/skeleton.h"

namespace {

const char* const TextModel = R"(// exported
Frames: 30
Frame: 1

Meshes: 2
"Body Part" 0 0
3
0 1.0 2.0 3.0 0.25 0.75 -1
0 4.0 5.0 6.0 0.5 0.0 -1
0 7.0 8.0 9.0 1.0 1.0 -1
2
0.0 0.0 1.0
1.0 0.0 0.0
3
0 0 1 2 0 0 1 1
0 0 1 5 0 0 0 1
0 2 1 0 1 1 9 1
"Legs" 0 -1
3
0 -1.0 0.0 0.0 0 0 -1
0 0.0 -2.0 0.0 0 0 -1
0 0.0 0.0 -3.0 0 0 -1
1
0 1 0
1
0 0 1 2 0 0 0 1
Materials: 1
"Skin"
0.2 0.2 0.2 1.0
0.8 0.6 0.4 0.5
0.0 0.0 0.0 1.0
0.0 0.0 0.0 1.0
10.0
0.3
"Skin.BMP"
""
Bones: 0
)";

std::string I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
std::string Name(const std::string& text) { return I32(static_cast<int32_t>(text.size())) + text; }

std::string BinMesh(int32_t vertexCount, int32_t indexCount) {
  std::string bytes = Name(std::string("Hull\0", 5)) + I32(0) + I32(vertexCount);
  for (int i = 0; i < 3; ++i) bytes += F32(i) + F32(0) + F32(0) + F32(0.5f) + F32(0.25f) + I32(-1);
  bytes += I32(3);
  for (int i = 0; i < 3; ++i) bytes += F32(0) + F32(1) + F32(0);
  bytes += I32(indexCount);
  for (int corner : {0, 1, 2, 0, 7, 2}) bytes += I32(corner) + I32(corner == 7 ? 0 : corner);
  bytes += I32(0) + I32(0);
  return bytes;
}

std::string BinMaterial() {
  return Name("Gun") + F32(0.1f) + F32(0.2f) + F32(0.3f) + F32(0.4f) + F32(0.5f) + F32(0.6f) + F32(0.75f) + F32(0) +
         F32(0) + F32(0) + Name(std::string("\0", 1)) + Name(std::string("bump.bmp\0", 9)) + F32(0.5f);
}

}  // namespace

TEST(ModelText, MeshesMaterialsAndDroppedFaces) {
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "char.txt", TextModel);
  EXPECT_EQ(model.FormatKind, TAll3dsMesh::KindText);
  EXPECT_FALSE(model.HasBones);
  ASSERT_EQ(model.MeshCount, 2);
  const T3dsMesh& body = model.GetMesh(0);
  EXPECT_EQ(body.Name, "Body Part");
  EXPECT_FLOAT_EQ(body.Vertices[1].y, 5);  // no scale for text models
  EXPECT_FLOAT_EQ(body.TexCoords[0].u, 0.25f);
  EXPECT_FLOAT_EQ(body.TexCoords[0].v, 0.25f);  // stored as 1 - v
  EXPECT_EQ(body.BoneIndices[2], -1);
  ASSERT_EQ(body.Normals.size(), 2u);
  // The second face names vertex 5, the third normal 9: both dropped.
  ASSERT_EQ(body.Faces.size(), 1u);
  EXPECT_EQ(body.NormalIndices, (std::vector<uint16_t>{0, 0, 1}));
  EXPECT_EQ(body.Faces[0].Normal[2], 1);
  EXPECT_EQ(body.FaceMaterials, (std::vector<uint16_t>{0}));
  EXPECT_EQ(body.MaterialNames, (std::vector<std::string>{"Skin"}));
  const T3dsMesh& legs = model.GetMesh(1);
  EXPECT_EQ(legs.FaceMaterials, (std::vector<uint16_t>{0}));  // -1 becomes 0
  EXPECT_FLOAT_EQ(legs.BoxMin.z, -3);
  EXPECT_FLOAT_EQ(model.BoxMin.y, -2);
  EXPECT_FLOAT_EQ(model.BoxMax.z, 9);

  ASSERT_EQ(model.MaterialCount, 1);
  const T3dsMaterial& skin = model.GetMaterial(0);
  EXPECT_EQ(skin.Name, "Skin");
  EXPECT_TRUE(skin.HasAmbient && skin.HasDiffuse && !skin.HasSpecular);
  EXPECT_FLOAT_EQ(skin.Diffuse.b, 0.4f);
  EXPECT_FLOAT_EQ(skin.Alpha, 0.5f);
  EXPECT_FLOAT_EQ(skin.BumpAmount, 0.3f);
  EXPECT_TRUE(skin.HasTexture);
  EXPECT_EQ(skin.TextureName, "Skin.BMP");
  EXPECT_FALSE(skin.HasBump);
}

TEST(ModelText, CountsPastTheEndOfTheFile) {
  const char* const texts[] = {
      "Meshes: 1000000\n\"a\" 0 0\n99999999\n0 1 2 3 0 0 -1\n",
      "Meshes: 1\n\"a\" 0 0\n1\n0 1 2 3 0 0 -1\n1\n0 0 1\n400000000\n0 0 0 0 0 0 0\n",
      "Materials: 5\n\"m\"\n1 1 1\n",
      "Meshes: x\nMaterials: -3\n",
  };
  for (const char* text : texts) {
    TempDir dir;
    TAll3dsMesh model;
    LoadModelBytes(model, dir, "m.txt", text);
    for (const auto& mesh : model.Meshes) EXPECT_LE(mesh->Faces.size(), 1u);
  }
}

TEST(ModelText, BonesMoveVerticesIntoBoneSpace) {
  // "arm" hangs below "base" at (1, 0, 0), turned 90 degrees about z; the
  // vertex at (1, 2, 0) lies one unit along the arm's y axis.
  const char* const text = R"(Meshes: 1
"Arm" 0 -1
2
0 1.0 2.0 0.0 0 0 1
0 5.0 5.0 5.0 0 0 -1
1
0 0 1
1
0 0 1 1 0 0 0 1
Materials: 0
Bones: 2
"base"
""
8 0.0 1.0 0.0 0.0 0.0 0.0
1
1 0 0 0
0
"ARM"
"Base"
8 1.0 0.0 0.0 0.0 0.0 1.5707963267948966
0
2
1.4 0.1 0.2 0.3
2 0.4 0.5 0.6
)";
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "rig.txt", text);
  ASSERT_TRUE(model.HasBones);
  ASSERT_EQ(model.SkeletonCount, 1);
  const TSkeleton& skeleton = *model.Skeletons[0];
  ASSERT_EQ(skeleton.BoneCount, 2);
  EXPECT_EQ(skeleton.MotionFrames, 0);
  const T3dsBone& arm = *skeleton.Bones[1];
  EXPECT_EQ(arm.ParentBone, skeleton.Bones[0].get());
  EXPECT_NEAR(arm.Matrix.m[12], 1, 1e-6);
  EXPECT_NEAR(arm.Matrix.m[13], 1, 1e-6);
  ASSERT_EQ(arm.RotKeyCount, 2);
  EXPECT_FLOAT_EQ(arm.RotKeys[0].Values[0], 1);  // time rounded
  EXPECT_FLOAT_EQ(arm.RotKeys[1].Values[3], 0.6f);
  EXPECT_EQ(skeleton.Bones[0]->PosKeyCount, 1);

  const T3dsMesh& mesh = model.GetMesh(0);
  EXPECT_NEAR(mesh.Vertices[0].x, 1, 1e-6);
  EXPECT_NEAR(mesh.Vertices[0].y, 0, 1e-6);
  EXPECT_NEAR(mesh.Vertices[0].z, 0, 1e-6);
  EXPECT_FLOAT_EQ(mesh.Vertices[1].x, 5);  // follows no bone
}

TEST(ModelBin, MeshesMaterialsAndTheOneByteName) {
  TempDir dir;
  TAll3dsMesh model;
  LoadModelBytes(model, dir, "gun.bin", "nsk" + I32(1) + BinMesh(3, 6) + I32(1) + BinMaterial());
  EXPECT_EQ(model.FormatKind, TAll3dsMesh::KindBin);
  ASSERT_EQ(model.MeshCount, 1);
  const T3dsMesh& hull = model.GetMesh(0);
  EXPECT_EQ(hull.Name, "Hull");
  EXPECT_FLOAT_EQ(hull.Vertices[2].x, 2);
  EXPECT_FLOAT_EQ(hull.TexCoords[1].v, 0.25f);
  EXPECT_EQ(hull.Faces.size(), 1u);  // the face naming vertex 7 is dropped
  EXPECT_FLOAT_EQ(model.BoxMax.x, 2);
  ASSERT_EQ(model.MaterialCount, 1);
  const T3dsMaterial& gun = model.GetMaterial(0);
  EXPECT_EQ(gun.Name, "Gun");
  EXPECT_FLOAT_EQ(gun.Diffuse.b, 0.6f);
  EXPECT_FLOAT_EQ(gun.Alpha, 0.75f);
  // The texture name's length 1 consumed its byte, so the bump map lines up.
  EXPECT_FALSE(gun.HasTexture);
  EXPECT_TRUE(gun.HasBump);
  EXPECT_EQ(gun.BumpName, "bump.bmp");
  EXPECT_FLOAT_EQ(gun.BumpAmount, 0.5f);
}

TEST(ModelBin, BadMagicShortFilesAndLyingCounts) {
  struct Case {
    const char* what;
    std::string bytes;
    size_t meshes;
    size_t faces;
  };
  const std::string whole = "nsk" + I32(1) + BinMesh(3, 6) + I32(1) + BinMaterial();
  const Case cases[] = {
      {"no magic", "nsx" + I32(1) + BinMesh(3, 6), 0, 0},
      {"empty", "", 0, 0},
      {"cut inside the materials", whole.substr(0, whole.size() - 10), 1, 1},
      {"cut inside the faces", whole.substr(0, 3 + 4 + 100 + 36 + 40), 1, 0},
      {"vertex count past the file", "nsk" + I32(1) + BinMesh(0x7FFFFFFF, 6), 1, 0},
      {"negative vertex count", "nsk" + I32(1) + BinMesh(-4, 6), 1, 0},
      {"index count past the file", "nsk" + I32(1) + BinMesh(3, 0x40000000), 1, 0},
      {"incomplete last face", "nsk" + I32(1) + BinMesh(3, 5), 1, 1},
      {"mesh count past the file", "nsk" + I32(0x7FFFFFFF) + BinMesh(3, 6), 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    TAll3dsMesh model;
    LoadModelBytes(model, dir, "m.bin", c.bytes);
    ASSERT_EQ(model.Meshes.size(), c.meshes);
    if (c.meshes) {
      EXPECT_EQ(model.Meshes[0]->Faces.size(), c.faces);
    }
  }
}
