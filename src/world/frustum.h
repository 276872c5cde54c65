// The view volume as six planes, for skipping octree nodes and characters that
// cannot be seen. The planes are taken from the OpenGL matrices once per frame.
#pragma once

class TFrustum {
 public:
  // Plane order; each plane is A, B, C, D with (A, B, C) of length 1, and a
  // point is inside when A x + B y + C z + D > 0.
  enum { Right, Left, Bottom, Top, Far, Near };

  // Reads the current projection and model-view matrices (frustum_draw.cpp).
  void Update();
  // The same from given column-major matrices.
  void SetFromMatrices(const float projection[16], const float modelView[16]);

  // False when the sphere lies wholly on the outer side of some plane (a
  // sphere just touching a plane from outside counts as outside).
  bool SphereVisible(float x, float y, float z, float radius) const;
  // False when all eight corners lie on the outer side of one plane. Boxes
  // outside the volume but not behind a single plane count as visible.
  bool BoxVisible(float x, float y, float z, float halfX, float halfY, float halfZ) const;

  float Planes[6][4] = {};
};

// Created first of all module objects (InitModules) and freed last
// (ShutdownModules); null before and after, and in tests that make their own.
extern TFrustum* Frustum;
