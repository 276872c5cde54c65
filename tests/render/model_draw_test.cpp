// Drawing models under Xvfb and reading the pixels back: material changes
// per face, faces naming no material, the prepared layout, textures from a
// model's directory, and a bump map on the second texture unit.
#include <gtest/gtest.h>


#include "core/gl_api.h"
#include "image_fixtures.h"
#include "model_fixtures.h"
#include "render/model_3ds_writer.h"

namespace {

// Two quads filling the view, left and right, with the given groups. The
// master scale of 10 keeps the stored coordinates.
T3dsScene TwoQuads() {
  T3dsScene scene;
  scene.MasterScale = 10;
  auto quad = [](float x0, float x1) {
    T3dsSceneMesh mesh;
    mesh.Vertices = {{x0, -1, 0}, {x1, -1, 0}, {x1, 1, 0}, {x0, 1, 0}};
    mesh.TexCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    mesh.Faces = {{0, 1, 2}, {0, 2, 3}};
    return mesh;
  };
  scene.Meshes = {quad(-1, 0), quad(0, 1)};
  scene.Meshes[0].Name = "left";
  scene.Meshes[1].Name = "right";
  return scene;
}

T3dsSceneMaterial Colour(const std::string& name, TColor3 diffuse) {
  T3dsSceneMaterial material;
  material.Name = name;
  material.Diffuse = diffuse;
  return material;
}

void LoadScene(TAll3dsMesh& model, const TempDir& dir, const T3dsScene& scene, bool textures) {
  Save3ds(scene, dir / "m.3ds");
  model.TextureDir = dir.Path();
  model.BuildTextures = textures;
  model.LoadFromFile(dir / "m.3ds");
}

void SetUpView() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);  // white, from +z
  const GLfloat none[4] = {0, 0, 0, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<int> Pixel(int x, int y) {
  unsigned char rgb[3];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  return {rgb[0], rgb[1], rgb[2]};
}

void ExpectPixel(int x, int y, std::vector<int> rgb) {
  std::vector<int> got = Pixel(x, y);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], rgb[i], 3) << "pixel " << x << "," << y << " channel " << i;
}

}  // namespace

TEST(ModelDraw, MaterialsPerFaceAndFacesNamingNoMaterial) {
  REQUIRE_GL_WINDOW(64, 64);
  T3dsScene scene = TwoQuads();
  scene.Materials = {Colour("red", {1, 0, 0}), Colour("green", {0, 1, 0})};
  scene.Meshes[0].Groups = {{"red", {0, 1}}};
  scene.Meshes[1].Groups = {{"green", {0}}, {"red", {1}}};
  TempDir dir;
  TAll3dsMesh model;
  LoadScene(model, dir, scene, false);
  SetUpView();
  model.Draw();
  ExpectPixel(16, 32, {255, 0, 0});
  ExpectPixel(60, 8, {0, 255, 0});  // right quad, first face
  ExpectPixel(36, 60, {255, 0, 0});  // right quad, second face

  // A face naming no material keeps the state it finds: green from the face
  // before it.
  model.GetMesh(1).FaceMaterials[1] = T3dsMesh::NoMaterial;
  glClear(GL_COLOR_BUFFER_BIT);
  model.Draw();
  ExpectPixel(36, 60, {0, 255, 0});

  // A mesh without groups draws with the state the mesh before left: red.
  model.GetMesh(1).FaceMaterials.clear();
  glClear(GL_COLOR_BUFFER_BIT);
  model.Draw();
  ExpectPixel(60, 8, {255, 0, 0});
  ExpectPixel(36, 60, {255, 0, 0});
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ModelDraw, APreparedModelDrawsTheSame) {
  REQUIRE_GL_WINDOW(64, 64);
  T3dsScene scene = TwoQuads();
  scene.Materials = {Colour("blue", {0, 0, 1}), Colour("white", {1, 1, 1})};
  scene.Materials[1].TwoSided = true;
  scene.Meshes[0].Groups = {{"blue", {0, 1}}};
  scene.Meshes[1].Groups = {{"white", {0, 1}}};
  // Wound the other way, the right quad faces away: it shows (unlit, black
  // on grey) only because its material is two-sided.
  for (auto& face : scene.Meshes[1].Faces) std::swap(face[1], face[2]);
  TempDir dir;
  TAll3dsMesh model;
  LoadScene(model, dir, scene, false);
  SetUpView();
  for (bool prepared : {false, true}) {
    SCOPED_TRACE(prepared);
    if (prepared) model.Prepare();
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    model.Draw();
    ExpectPixel(16, 32, {0, 0, 255});
    ExpectPixel(48, 32, {0, 0, 0});
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ModelDraw, TexturesComeFromTheModelDirectoryUprightAndLowerCased) {
  REQUIRE_GL_WINDOW(64, 64);
  TempDir dir;
  // 2 x 2: top row red, bottom row blue.
  const char pixels[] = "\xFF\x00\x00\xFF\x00\x00\x00\x00\xFF\x00\x00\xFF";
  WriteFile(dir / "src.ppm", "P6 2 2 255\n" + std::string(pixels, 12));
  ASSERT_NE(Convert(dir / "src.ppm", "-type TrueColor", "BMP3:" + dir / "checker.bmp"), "");
  T3dsScene scene = TwoQuads();
  scene.Materials = {Colour("tex", {1, 1, 1}), Colour("missing", {0, 1, 0})};
  scene.Materials[0].TextureMap = "Checker.BMP";
  scene.Materials[1].TextureMap = "nothere.bmp";
  scene.Meshes[0].Groups = {{"tex", {0, 1}}};
  scene.Meshes[1].Groups = {{"missing", {0, 1}}};
  TCapturedLog log;
  TAll3dsMesh model;
  LoadScene(model, dir, scene, true);
  const T3dsMaterial& tex = model.GetMaterial(0);
  ASSERT_NE(tex.TextureId, 0u);
  EXPECT_TRUE(glIsTexture(tex.TextureId));
  // A texture that cannot be read is logged and the colour still draws.
  EXPECT_EQ(model.GetMaterial(1).TextureId, 0u);
  EXPECT_NE(log.Text().find("nothere.bmp"), std::string::npos);

  SetUpView();
  model.Draw();
  ExpectPixel(8, 56, {255, 0, 0});
  ExpectPixel(8, 8, {0, 0, 255});
  ExpectPixel(56, 32, {0, 255, 0});
  // The model leaves texturing as it found it.
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ModelDraw, BumpMapsLoadAndDrawOnTwoUnits) {
  REQUIRE_GL_WINDOW(64, 64);
  if (!glext::HasMultitexture()) GTEST_SKIP() << "no multitexture";
  TempDir dir;
  const char pixels[] = "\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80";
  WriteFile(dir / "src.ppm", "P6 2 2 255\n" + std::string(pixels, 12));
  ASSERT_NE(Convert(dir / "src.ppm", "-type TrueColor", "BMP3:" + dir / "bump.bmp"), "");
  T3dsScene scene = TwoQuads();
  scene.Meshes.resize(1);
  scene.Materials = {Colour("rough", {1, 1, 1})};
  scene.Materials[0].BumpMap = "bump.bmp";
  scene.Materials[0].BumpPercent = 5000;
  scene.Meshes[0].Groups = {{"rough", {0, 1}}};
  TAll3dsMesh model;
  LoadScene(model, dir, scene, true);
  const T3dsMaterial& rough = model.GetMaterial(0);
  ASSERT_TRUE(rough.HasBump && rough.HasTexture);
  ASSERT_NE(rough.TextureId, 0u);
  EXPECT_FLOAT_EQ(rough.BumpAmount, 0.5f);

  SetUpView();
  model.Draw();
  // The shift itself is checked on the layout (model_arrays_test.cpp).
  ExpectPixel(16, 32, {255, 255, 255});
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
