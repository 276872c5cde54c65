// The camera: the pitch clamp and what it hands the character, and where each
// mode puts the eye and which way it looks.
#include "app/camera.h"
#include "core/gl_api.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

double Rad(double degrees) { return degrees * std::numbers::pi / 180; }

// The eye in world coordinates and the direction it looks along, read back
// from a view matrix (rotation R and translation t: eye = -R^T t, looking
// along R^T (0, 0, -1)).
void EyeOf(const float m[16], TVec3& eye, TVec3& direction) {
  auto r = [m](int row, int col) { return static_cast<double>(m[col * 4 + row]); };
  double e[3];
  for (int i = 0; i < 3; ++i) e[i] = -(r(0, i) * m[12] + r(1, i) * m[13] + r(2, i) * m[14]);
  eye = MakeVec3(float(e[0]), float(e[1]), float(e[2]));
  direction = MakeVec3(float(-r(2, 0)), float(-r(2, 1)), float(-r(2, 2)));
}

void ExpectNear(TVec3 actual, TVec3 expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
  EXPECT_NEAR(actual.z, expected.z, 1e-5f) << what;
}

}  // namespace

TEST(Camera, ClampKeepsThePitchWithinEightyDegreesAndHandsBothAnglesOn) {
  struct Case {
    float pitch, clamped;
  };
  for (const Case& c : {Case{0, 0}, {-80, -80}, {79.5f, 79.5f}, {80.01f, 80}, {-200, -80}, {500, 80},
                        {kNaN, -80}, {kInf, 80}, {-kInf, -80}}) {
    SCOPED_TRACE(c.pitch);
    TCam cam;
    cam.Yaw = 725;  // yaw is never wrapped
    cam.Pitch = c.pitch;
    float yaw = 1, pitch = 2;
    cam.Clamp(yaw, pitch);
    EXPECT_EQ(cam.Pitch, c.clamped);
    EXPECT_EQ(pitch, c.clamped);
    EXPECT_EQ(yaw, 725);
  }
}

TEST(Camera, AYawThatIsNotFiniteNeverReachesTheCharacter) {
  for (float bad : {kNaN, kInf, -kInf}) {
    TCam cam;
    cam.Yaw = bad;
    float yaw = 33, pitch = 0;
    cam.Clamp(yaw, pitch);
    EXPECT_EQ(yaw, 33);
    EXPECT_EQ(cam.Yaw, 33);
  }
}

TEST(Camera, ResetFacesTheCharacterStraightAhead) {
  TCam cam;
  cam.Yaw = 140;
  cam.Pitch = -60;
  float yaw = 140, pitch = -60;
  cam.Reset(yaw, pitch);
  EXPECT_EQ(yaw, 0);
  EXPECT_EQ(pitch, 0);
  EXPECT_EQ(cam.Yaw, 0);
  EXPECT_EQ(cam.Pitch, 0);
}

// The character stands at (3, ., -2) with its head at 1.6. Whatever the mode,
// the view looks along (cos pitch cos yaw, -sin pitch, cos pitch sin yaw): the
// way the forward key walks and shots fly.
TEST(Camera, EachModePutsTheEyeInItsPlace) {
  struct Case {
    int mode;
    float yaw, pitch;
    TVec3 eye;
  };
  const float c30 = static_cast<float>(std::cos(Rad(30)));
  const Case cases[] = {
      {0, 0, 0, {3, 1.6f, -2.2f}},             // 0.2 left of the body, across the view
      {0, 90, 0, {3.2f, 1.6f, -2}},
      {0, 90, 45, {3.2f, 1.6f, -2}},           // pitch turns the view, not the eye
      {1, 30, 10, {2.5f, 1.6f, -2.5f}},        // shifted by (-0.5, 0, -0.5)
      {2, 0, 0, {3, 6.6f, -2}},                // 5 above the head
      {2, 200, -30, {3, 6.6f, -2}},
      {3, 0, 0, {2, 1.6f, -2}},                // one unit behind the head
      {3, 90, 30, {3, 2.1f, -2 - c30}},        // behind and above when looking down
      {3, 0, -80, {3 - static_cast<float>(std::cos(Rad(80))), 1.6f - static_cast<float>(std::sin(Rad(80))), -2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " yaw " << c.yaw << " pitch " << c.pitch);
    float m[16];
    ASSERT_TRUE(TCam::ViewMatrix({{3, 0.9f, -2}, 1.6f, c.yaw, c.pitch}, c.mode, m));
    TVec3 eye, direction;
    EyeOf(m, eye, direction);
    ExpectNear(eye, c.eye, "eye");
    ExpectNear(direction,
               {float(std::cos(Rad(c.pitch)) * std::cos(Rad(c.yaw))), float(-std::sin(Rad(c.pitch))),
                float(std::cos(Rad(c.pitch)) * std::sin(Rad(c.yaw)))},
               "direction");
  }
  float m[16];
  for (int mode : {-1, 4, 7}) EXPECT_FALSE(TCam::ViewMatrix({{3, 0.9f, -2}, 1.6f, 10, 10}, mode, m)) << mode;
}

// What Apply puts on the projection matrix is what the rotations and the
// translation in OpenGL's own order give; an unknown mode adds nothing.
TEST(Camera, ApplyMultipliesTheViewOntoTheProjection) {
  REQUIRE_GL_WINDOW(64, 64);
  const TCamPose pose{{3, 0.9f, -2}, 1.6f, 37, -12};
  auto projectionAfter = [](auto&& work, float out[16]) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, 0.5, 100);
    work();
    GLint selected = 0;
    glGetIntegerv(GL_MATRIX_MODE, &selected);
    EXPECT_EQ(selected, GL_MODELVIEW);
    glGetFloatv(GL_PROJECTION_MATRIX, out);
  };
  float applied[16], expected[16];
  projectionAfter([&] { TCam::Apply(pose, 0); }, applied);
  projectionAfter(
      [&] {
        glRotatef(pose.Pitch, 1, 0, 0);
        glRotatef(pose.Yaw + 90, 0, 1, 0);
        glTranslatef(-3 - 0.2f * float(std::sin(Rad(37))), -1.6f, 2 + 0.2f * float(std::cos(Rad(37))));
        glMatrixMode(GL_MODELVIEW);
      },
      expected);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(applied[i], expected[i], 1e-4f) << i;

  projectionAfter([&] { TCam::Apply(pose, 9); }, applied);
  projectionAfter([&] { glMatrixMode(GL_MODELVIEW); }, expected);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(applied[i], expected[i]) << i;
}
