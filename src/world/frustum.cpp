// Frustum planes from the combined matrices, and the visibility tests.
#include "world/frustum.h"

#include <cmath>

TFrustum* Frustum = nullptr;

static void NormalisePlane(float plane[4]) {
  float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
  for (int i = 0; i < 4; ++i) plane[i] /= length;
}

void TFrustum::SetFromMatrices(const float projection[16], const float modelView[16]) {
  const float* p = projection;
  const float* m = modelView;
  float clip[16];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      clip[4 * r + c] = m[4 * r] * p[c] + m[4 * r + 1] * p[4 + c] + m[4 * r + 2] * p[8 + c] + m[4 * r + 3] * p[12 + c];
  // Column k of the clip matrix is clip[k], clip[4 + k], clip[8 + k], clip[12 + k];
  // each plane is column 3 plus or minus one of the others.
  struct Combination {
    int column;
    float sign;
  };
  static constexpr Combination kPlanes[6] = {{0, -1}, {0, 1}, {1, 1}, {1, -1}, {2, -1}, {2, 1}};
  for (int i = 0; i < 6; ++i) {
    for (int row = 0; row < 4; ++row)
      Planes[i][row] = clip[4 * row + 3] + kPlanes[i].sign * clip[4 * row + kPlanes[i].column];
    NormalisePlane(Planes[i]);
  }
}

bool TFrustum::SphereVisible(float x, float y, float z, float radius) const {
  for (const auto& p : Planes)
    if (p[0] * x + p[1] * y + p[2] * z + p[3] <= -radius) return false;
  return true;
}

bool TFrustum::BoxVisible(float x, float y, float z, float halfX, float halfY, float halfZ) const {
  for (const auto& p : Planes) {
    bool passed = false;
    for (int corner = 0; corner < 8 && !passed; ++corner) {
      float cx = corner & 1 ? x + halfX : x - halfX;
      float cy = corner & 2 ? y + halfY : y - halfY;
      float cz = corner & 4 ? z + halfZ : z - halfZ;
      passed = p[0] * cx + p[1] * cy + p[2] * cz + p[3] > 0;
    }
    if (!passed) return false;
  }
  return true;
}
