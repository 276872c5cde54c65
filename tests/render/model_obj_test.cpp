// OBJ import for the model tool, checked through the 3DS file it writes.
#include <gtest/gtest.h>

#include "model_fixtures.h"
#include "render/model_obj.h"

TEST(ModelObjImport, PolygonsGroupsAndMaterialsReachTheGame) {
  TempDir dir;
  WriteFile(dir / "lib.mtl",
            "newmtl Brick Wall\nKd 1 0.5 0\nd 0.25\nmap_Kd -s 1 1 1 Bricks.JPG\nmap_bump bump.bmp\n"
            "newmtl unused\nKd 0 0 1\n");
  const std::string obj =
      "# a wall and a roof\nmtllib lib.mtl\n"
      "v 0 0 0\nv 10 0 0\nv 10 10 0\nv 0 10 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
      "o wall\nusemtl Brick Wall\nf 1/1 2/2 3/3 4/4\n"
      "o roof\nusemtl\nf -4 -3 -2\nusemtl Slate\nf 1//1 3//1 4//1\n";
  T3dsScene scene = ImportObjText(obj, dir.Path(), "test.obj");
  scene.MasterScale = 10;
  Save3ds(scene, dir / "m.3ds");
  TAll3dsMesh model;
  model.BuildTextures = false;
  model.LoadFromFile(dir / "m.3ds");

  ASSERT_EQ(model.MeshCount, 2);
  const T3dsMesh& wall = model.GetMesh(0);
  EXPECT_EQ(wall.Name, "wall");
  EXPECT_EQ(wall.Indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));  // a fan
  EXPECT_FLOAT_EQ(wall.TexCoords[2].u, 1);
  EXPECT_FLOAT_EQ(wall.Vertices[2].y, 10);
  int brick = model.FindMaterial("Brick Wall");
  ASSERT_GE(brick, 0);
  EXPECT_EQ(wall.FaceMaterials, (std::vector<uint16_t>{uint16_t(brick), uint16_t(brick)}));
  const T3dsMaterial& b = model.GetMaterial(brick);
  EXPECT_NEAR(b.Alpha, 0.25, 1e-6);
  EXPECT_EQ(b.TextureName, "Bricks.JPG");
  EXPECT_TRUE(b.HasBump);
  EXPECT_EQ(b.BumpName, "bump.bmp");

  const T3dsMesh& roof = model.GetMesh(1);
  ASSERT_EQ(roof.Faces.size(), 2u);
  int slate = model.FindMaterial("Slate");  // used, never defined
  ASSERT_GE(slate, 0);
  // The face without a material falls into no group, which reads as 0.
  EXPECT_EQ(roof.FaceMaterials, (std::vector<uint16_t>{0, uint16_t(slate)}));
  EXPECT_NEAR(model.GetMaterial(slate).Diffuse.r, 0.8, 0.01);
}

TEST(ModelObjImport, LargeMeshesAreSplitAndBadLinesNamed) {
  std::string obj;
  for (int i = 0; i < 70000; ++i) obj += "v " + std::to_string(i) + " 0 0\n";
  for (int i = 1; i + 2 <= 70000; i += 3)
    obj += "f " + std::to_string(i) + " " + std::to_string(i + 1) + " " + std::to_string(i + 2) + "\n";
  T3dsScene scene = ImportObjText(obj, "", "big.obj");
  ASSERT_EQ(scene.Meshes.size(), 2u);
  EXPECT_EQ(scene.Meshes[0].Name, "object");
  EXPECT_EQ(scene.Meshes[1].Name, "object_2");
  EXPECT_EQ(scene.Meshes[0].Faces.size() + scene.Meshes[1].Faces.size(), 23333u);
  EXPECT_NO_THROW(Encode3ds(scene));

  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {{"v 0 0 0\nv 1 1 1\nf 1 2 3\n", "bad.obj:3: index 3 out of range"},
                        {"v 0 0 x\n", "bad.obj:1: \"x\" is not a number"},
                        {"v 0 0 0\nf 1 1\n", "bad.obj:2: a face needs three corners"},
                        {"mtllib none.mtl\n", "bad.obj:1: cannot read material library"}};
  for (const Case& c : cases) {
    try {
      ImportObjText(c.text, "/nonexistent/", "bad.obj");
      ADD_FAILURE() << c.text;
    } catch (const EObjImportError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
  }
}
