#include "preview.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

struct TP {
  float x, y, z;
};

TP Rotate(const TVec3& v, float cy, float sy, float cp, float sp) {
  // Yaw about y, then pitch about x; the viewer looks along -z.
  const float x = v.x * cy + v.z * sy, z = -v.x * sy + v.z * cy;
  return {x, v.y * cp - z * sp, v.y * sp + z * cp};
}

}  // namespace

TCanvas RenderPreview(const TSceneBuilder& model, float yawDegrees, float pitchDegrees, const TCanvas& background) {
  constexpr int kSuper = 3;
  const int W = background.Width() * kSuper, H = background.Height() * kSuper;
  const float cy = std::cos(yawDegrees * 3.14159265f / 180), sy = std::sin(yawDegrees * 3.14159265f / 180);
  const float cp = std::cos(pitchDegrees * 3.14159265f / 180), sp = std::sin(pitchDegrees * 3.14159265f / 180);
  struct TTri {
    TP p[3];
    TColor3 c;
  };
  std::vector<TTri> tris;
  float minX = 1e30f, maxX = -1e30f, minY = 1e30f, maxY = -1e30f;
  model.ForEachTriangle([&](const TVec3* corners, TColor3 colour) {
    TTri t;
    for (int k = 0; k < 3; ++k) {
      t.p[k] = Rotate(corners[k], cy, sy, cp, sp);
      minX = std::min(minX, t.p[k].x);
      maxX = std::max(maxX, t.p[k].x);
      minY = std::min(minY, t.p[k].y);
      maxY = std::max(maxY, t.p[k].y);
    }
    t.c = colour;
    tris.push_back(t);
  });
  const float scale = 0.86f * std::min(W / std::max(maxX - minX, 1e-3f), H / std::max(maxY - minY, 1e-3f));
  const float ox = W / 2.0f - (minX + maxX) / 2 * scale, oy = H / 2.0f + (minY + maxY) / 2 * scale;
  std::vector<float> depth(static_cast<size_t>(W) * H, -std::numeric_limits<float>::infinity());
  std::vector<TRGBA> colour(static_cast<size_t>(W) * H, TRGBA{0, 0, 0, 0});
  const TP light{-0.45f, 0.7f, 0.55f};
  for (const TTri& t : tris) {
    TP s[3];
    for (int k = 0; k < 3; ++k) s[k] = {ox + t.p[k].x * scale, oy - t.p[k].y * scale, t.p[k].z};
    const TP e1{t.p[1].x - t.p[0].x, t.p[1].y - t.p[0].y, t.p[1].z - t.p[0].z};
    const TP e2{t.p[2].x - t.p[0].x, t.p[2].y - t.p[0].y, t.p[2].z - t.p[0].z};
    TP n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    const float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (len <= 0 || n.z <= 0) continue;  // back faces and slivers
    n = {n.x / len, n.y / len, n.z / len};
    const float lit = 0.35f + 0.75f * std::max(0.0f, n.x * light.x + n.y * light.y + n.z * light.z);
    const TRGBA c{t.c.r * lit, t.c.g * lit, t.c.b * lit, 1};
    const int x0 = std::max(0, static_cast<int>(std::min({s[0].x, s[1].x, s[2].x})));
    const int x1 = std::min(W - 1, static_cast<int>(std::max({s[0].x, s[1].x, s[2].x})) + 1);
    const int y0 = std::max(0, static_cast<int>(std::min({s[0].y, s[1].y, s[2].y})));
    const int y1 = std::min(H - 1, static_cast<int>(std::max({s[0].y, s[1].y, s[2].y})) + 1);
    const float area = (s[1].x - s[0].x) * (s[2].y - s[0].y) - (s[2].x - s[0].x) * (s[1].y - s[0].y);
    if (std::fabs(area) < 1e-9f) continue;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const float px = x + 0.5f, py = y + 0.5f;
        const float w0 = ((s[1].x - px) * (s[2].y - py) - (s[2].x - px) * (s[1].y - py)) / area;
        const float w1 = ((s[2].x - px) * (s[0].y - py) - (s[0].x - px) * (s[2].y - py)) / area;
        const float w2 = 1 - w0 - w1;
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        const float z = w0 * s[0].z + w1 * s[1].z + w2 * s[2].z;
        const size_t i = static_cast<size_t>(y) * W + x;
        if (z <= depth[i]) continue;
        depth[i] = z;
        colour[i] = c;
      }
  }
  TCanvas out = background;
  for (int y = 0; y < background.Height(); ++y)
    for (int x = 0; x < background.Width(); ++x) {
      TRGBA sum{0, 0, 0, 0};
      for (int j = 0; j < kSuper; ++j)
        for (int i = 0; i < kSuper; ++i) {
          const TRGBA& c = colour[static_cast<size_t>(y * kSuper + j) * W + x * kSuper + i];
          sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
        }
      if (sum.a <= 0) continue;
      const float a = sum.a / (kSuper * kSuper);
      out.Blend(x, y, {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, 1}, a);
    }
  return out;
}
