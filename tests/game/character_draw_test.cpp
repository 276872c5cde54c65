// Drawing: a character in front of the camera covers the pixels its hit
// spheres project to and nothing well outside its bounding sphere; dead or
// model-less characters draw nothing.
#include "game_fixture.h"

#include "core/gl_api.h"
#include "world/octree.h"

namespace {

constexpr int kSize = 200;

class CharacterDrawTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    if (!OpenGLWindow(kSize, kSize)) return;
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, 1, 0.1, 100);
    gluLookAt(0, 0.5, 4, 0, 0.5, 0, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glClearColor(1, 0, 1, 1);
  }

  // Whether the pixel where the world point lands shows something other than
  // the magenta background.
  bool Covered(const TVec3& p) {
    GLdouble model[16], projection[16], x, y, z;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z);
    unsigned char rgb[3];
    glReadPixels(static_cast<GLint>(x), static_cast<GLint>(y), 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return !(rgb[0] == 255 && rgb[1] == 0 && rgb[2] == 255);
  }
  bool AnythingDrawn() {
    std::vector<unsigned char> rgb(kSize * kSize * 3);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (size_t i = 0; i < rgb.size(); i += 3)
      if (!(rgb[i] == 255 && rgb[i + 1] == 0 && rgb[i + 2] == 255)) return true;
    return false;
  }
  void DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    characters->DrawAll(0);
    glFinish();
  }
};

TEST_F(CharacterDrawTest, ACharacterAppearsWhereItsSpheresSay) {
  REQUIRE_GL_WINDOW(kSize, kSize);
  characters = std::make_unique<TCharacters>(nullptr, true);
  for (int32_t model : {0, 1, 10, 11}) {
    SCOPED_TRACE(model);
    characters = std::make_unique<TCharacters>(nullptr, true);
    TCharacter& c = Player(model, {0, 0.5f, 0});
    c.SetView(-90, 0);  // facing the camera
    DrawScene();
    EXPECT_TRUE(Covered(c.HeadSphere.Centre));
    EXPECT_TRUE(Covered(c.ChestSphere.Centre));
    // The figures stand with their legs apart: each leg is 0.11 off the middle.
    for (float side : {-0.11f, 0.11f}) EXPECT_TRUE(Covered(VecAdd(c.LegsSphere.Centre, {side, 0, 0}))) << side;
    const TSphere& b = c.BoundSphere;
    for (TVec3 outside : {TVec3{b.Centre.x - 1.3f * b.Radius, b.Centre.y, 0}, TVec3{b.Centre.x + 1.3f * b.Radius, b.Centre.y, 0},
                          TVec3{0, c.HeadSphere.Centre.y + 2.5f * c.HeadSphere.Radius, 0},
                          TVec3{0, b.Centre.y - 1.2f * b.Radius, 0}})
      EXPECT_FALSE(Covered(outside)) << outside.x << " " << outside.y;
  }
}

TEST_F(CharacterDrawTest, DeadOrModelLessCharactersDrawNothing) {
  REQUIRE_GL_WINDOW(kSize, kSize);
  characters = std::make_unique<TCharacters>(nullptr, true);
  TCharacter& c = Player(0, {0, 0.5f, 0});
  DrawScene();
  EXPECT_TRUE(AnythingDrawn());
  c.SetDead(true);
  DrawScene();
  EXPECT_FALSE(AnythingDrawn());
  c.SetModel(-1);
  c.SetHealth(100);
  DrawScene();
  EXPECT_FALSE(AnythingDrawn());
}

TEST_F(CharacterDrawTest, TheLocalPlayerDrawsItsWeaponFlashAndDebugSpheres) {
  REQUIRE_GL_WINDOW(kSize, kSize);
  delete Weapons;
  Weapons = new TWeapons(true);
  characters = std::make_unique<TCharacters>(nullptr, true);
  TCharacter& me = *characters->LocalCharacter;
  me.SetModel(0);
  me.SetHealth(100);
  me.MoveCentreTo({0, 0.5f, 0});
  me.RifleIndex = 1;
  ShowNodes = true;
  DrawScene();
  ShowNodes = false;
  EXPECT_EQ(effects.MuzzleDraws, 1);
  EXPECT_TRUE(Covered(me.HeadSphere.Centre));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
