// Vector, triangle, ray, sphere and matrix operations.
#include "world/geometry.h"
#include "world/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

static TTriangle Tri(TVec3 a, TVec3 b, TVec3 c) {
  TTriangle t;
  t.Vertices[0].Position = a;
  t.Vertices[1].Position = b;
  t.Vertices[2].Position = c;
  TrianglePlane(t);
  return t;
}

TEST(Geometry, NormalsAndDegenerateInput) {
  TVec3 zero = VecNormalize({0, 0, 0});
  EXPECT_EQ(zero.x, 0);
  TVec3 out{9, 9, 9};
  NormalizeNonZero({0, 0, 0}, out);
  EXPECT_EQ(out.x, 9);

  TTriangle degenerate = Tri({1, 1, 1}, {1, 1, 1}, {2, 3, 4});
  EXPECT_EQ(degenerate.Vertices[2].Normal.x, 0);
  EXPECT_EQ(degenerate.D, 0);

  TTriangle floor = Tri({0, 2, 0}, {0, 2, 1}, {1, 2, 0});
  EXPECT_FLOAT_EQ(floor.Vertices[1].Normal.y, 1);
  EXPECT_FLOAT_EQ(floor.D, 2);
}

TEST(Geometry, PointInTriangleProjectionPlanes) {
  struct Case {
    TTriangle t;
    TVec3 p;
    bool inside;
  } cases[] = {
      {Tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), {0.2f, 0.2f, 0}, true},   // normal z: x-y plane
      {Tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), {1, 1, 0}, false},
      {Tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), {0.5f, 0, 0}, false},     // on a vertex's line: strict straddle
      {Tri({0, 0, 0}, {0, 0, 1}, {1, 0, 0}), {0.2f, 0, 0.2f}, true},   // normal y: x-z plane
      {Tri({0, 0, 0}, {1, 0, 0}, {0, 0, 1}), {0.9f, 0, 0.9f}, false},
      {Tri({0, 0, 0}, {0, 1, 0}, {0, 0, 1}), {0, 0.2f, 0.2f}, true},   // normal x: z-y plane
      {Tri({0, 0, 0}, {0, 1, 0}, {0, 0, 1}), {0, 2, 2}, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(PointInTriangle(cases[i].t, cases[i].p), cases[i].inside) << "case " << i;
}

TEST(Geometry, RaysAndSpheres) {
  TTriangle t = Tri({0, 0, 0}, {0, 0, 1}, {1, 0, 0});  // floor y = 0, normal up
  float param = -7;
  EXPECT_FALSE(RayTriangle(t, {{0.2f, 1, 0.2f}, {1, 0, 0}}, param));  // parallel
  EXPECT_EQ(param, -7);
  EXPECT_FALSE(RayTriangleWithin(t, {{0.2f, 1, 0.2f}, {1, 0, 0}}, 100));
  EXPECT_TRUE(RayTriangle(t, {{0.2f, 1, 0.2f}, {0, 1, 0}}, param));  // hit behind: negative t
  EXPECT_FLOAT_EQ(param, -1);
  EXPECT_TRUE(RayTriangleWithin(t, {{0.2f, 1, 0.2f}, {0, -1, 0}}, 1));
  EXPECT_FALSE(RayTriangleWithin(t, {{0.2f, 1, 0.2f}, {0, -1, 0}}, 0.5f));
  EXPECT_FALSE(RayTriangleWithin(t, {{0.2f, 1, 0.2f}, {0, 1, 0}}, 5));
  EXPECT_TRUE(RayTriangleWithin(t, {{0.2f, 0, 0.2f}, {0, -1, 0}}, 0));  // limit 0 accepts t = 0 only

  EXPECT_TRUE(SphereTouchesTriangle(t, {{0.2f, 0.4f, 0.2f}, 0.5f}));
  EXPECT_FALSE(SphereTouchesTriangle(t, {{0.2f, 0.5f, 0.2f}, 0.5f}));
  EXPECT_FALSE(SphereTouchesTriangle(t, {{2, 0.1f, 2}, 0.5f}));

  // A sphere behind the origin is measured from the origin itself.
  TRay ray{{0, 0, 0}, {1, 0, 0}};
  EXPECT_TRUE(RaySphere({{-0.5f, 0.5f, 0}, 1}, ray));
  EXPECT_FALSE(RaySphere({{-3, 0.5f, 0}, 1}, ray));
  EXPECT_TRUE(RaySphere({{10, 0.9f, 0}, 1}, ray));
  EXPECT_FALSE(RaySphere({{10, 1.0f, 0}, 1}, ray));  // strictly closer than the radius
}

TEST(Geometry, Text) {
  EXPECT_EQ(Vec3ToString({1, 0.5f, -2}), "1|0.5|-2");
  TTriangle t = Tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  EXPECT_EQ(TriangleToString(t), "Points: 0|0|0 - 1|0|0 - 0|1|0 D: 0 Normal: 0|0|1");
}

TEST(Matrix, RotationTranslationAndProducts) {
  clsMatrix m;
  float zero[3] = {0, 0, 0};
  m.SetRotationRadians(zero);
  clsMatrix identity;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], identity.m[i]) << i;
  EXPECT_FALSE(std::signbit(m.m[2]));

  float pitch[3] = {0, static_cast<float>(M_PI / 2), 0};
  m.SetRotationRadians(pitch);
  EXPECT_FLOAT_EQ(m.m[2], -1);

  float t[3] = {1, 2, 3};
  clsMatrix a, b;
  a.SetTranslation(t);
  b.SetTranslation(t);
  a.PostMultiply(b);
  EXPECT_FLOAT_EQ(a.m[12], 2);
  EXPECT_FLOAT_EQ(a.m[14], 6);
  float v[3] = {3, 3, 3};
  a.InverseTranslateVect(v);
  EXPECT_FLOAT_EQ(v[1], -1);

  float yaw[3] = {0, 0, static_cast<float>(M_PI / 2)};
  clsMatrix r;
  r.SetRotationRadians(yaw);
  float x[3] = {1, 0, 0};
  r.InverseRotateVect(x);  // transpose of a +90 degree turn about z takes x to -y
  EXPECT_NEAR(x[0], 0, 1e-6);
  EXPECT_NEAR(x[1], -1, 1e-6);
}
