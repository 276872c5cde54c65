// The view volume's planes and its sphere and box tests.
#include "core/gl_api.h"
#include "test_support.h"
#include "world/frustum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A 90 degree perspective (square aspect) looking down -z, column-major.
void Perspective(float nearZ, float farZ, float out[16]) {
  for (int i = 0; i < 16; ++i) out[i] = 0;
  out[0] = 1;
  out[5] = 1;
  out[10] = (farZ + nearZ) / (nearZ - farZ);
  out[11] = -1;
  out[14] = 2 * farZ * nearZ / (nearZ - farZ);
}

}  // namespace

TEST(Frustum, PlanesOfTheUnitCubeAreNormalisedAndInOrder) {
  TFrustum frustum;
  float scaled[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};  // the cube [-0.5, 0.5]
  frustum.SetFromMatrices(scaled, kIdentity);
  const float expected[6][4] = {{-1, 0, 0, 0.5f}, {1, 0, 0, 0.5f}, {0, 1, 0, 0.5f},
                                {0, -1, 0, 0.5f}, {0, 0, -1, 0.5f}, {0, 0, 1, 0.5f}};
  for (int p = 0; p < 6; ++p)
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(frustum.Planes[p][i], expected[p][i]) << p << "," << i;
}

TEST(Frustum, SphereJustTouchingFromOutsideIsHidden) {
  TFrustum frustum;
  frustum.SetFromMatrices(kIdentity, kIdentity);  // the cube [-1, 1]
  EXPECT_FALSE(frustum.SphereVisible(1.5f, 0, 0, 0.5f));  // distance exactly -R from the right plane
  EXPECT_TRUE(frustum.SphereVisible(1.499f, 0, 0, 0.5f));
  EXPECT_FALSE(frustum.SphereVisible(0, -3, 0, 1.999f));
  EXPECT_TRUE(frustum.SphereVisible(0, 0, 0, 0));
}

TEST(Frustum, BoxCases) {
  TFrustum frustum;
  float projection[16];
  Perspective(1, 100, projection);
  frustum.SetFromMatrices(projection, kIdentity);
  struct Case {
    const char* what;
    float x, y, z, hx, hy, hz;
    bool visible;
  } cases[] = {
      {"inside", 0, 0, -10, 1, 1, 1, true},
      {"one corner just past the near plane", 0, 0, -0.5f, 0.2f, 0.2f, 0.5001f, true},
      {"wholly before the near plane", 0, 0, -0.5f, 0.2f, 0.2f, 0.4999f, false},
      {"behind the camera", 0, 0, 10, 1, 1, 1, false},
      {"beyond the far plane", 0, 0, -120, 5, 5, 5, false},
      {"wholly right of the right plane", 30, 0, -10, 5, 5, 5, false},
      // Outside the volume near the corner of the right and far planes, but
      // not behind either plane alone: counted as visible.
      {"straddling the right-far corner region", 110.5f, 0, -100, 9.5f, 1, 50, true},
      {"enclosing the whole volume", 0, 0, 0, 500, 500, 500, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(frustum.BoxVisible(c.x, c.y, c.z, c.hx, c.hy, c.hz), c.visible) << c.what;
}

TEST(Frustum, UpdateCombinesTheCurrentMatrices) {
  REQUIRE_GL_WINDOW(64, 64);
  float projection[16], modelView[16];
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60, 1.5, 0.5, 200);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(3, -2, 7);
  glRotatef(30, 0, 1, 0);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  TFrustum fromGL, expected;
  fromGL.Update();
  expected.SetFromMatrices(projection, modelView);
  for (int p = 0; p < 6; ++p)
    for (int i = 0; i < 4; ++i) EXPECT_EQ(fromGL.Planes[p][i], expected.Planes[p][i]);
  glLoadIdentity();
}
