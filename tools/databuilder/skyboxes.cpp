// Skyboxes: six faces per sky painted from the view direction of each pixel,
// so the faces meet without seams. The face corners follow the level's
// skybox quads (face k drawn with texture k).
#include "canvas.h"
#include "generators.h"

#include <algorithm>
#include <cmath>

namespace {

struct TVec {
  float x, y, z;
};

struct TFace {
  const char* Name;
  TVec P00, P10, P01;  // directions at (u, v) = (0, 0), (1, 0), (0, 1)
};

const TFace kFaces[6] = {
    {"pos_x", {1, -1, 1}, {1, -1, -1}, {1, 1, 1}},
    {"neg_x", {-1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}},
    {"pos_z", {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}},
    {"neg_z", {1, -1, -1}, {-1, -1, -1}, {1, 1, -1}},
    {"pos_y", {-1, 1, -1}, {-1, 1, 1}, {1, 1, -1}},
    {"neg_y", {-1, -1, -1}, {-1, -1, 1}, {1, -1, -1}},
};

struct TSky {
  uint32_t Zenith, Horizon, Ground, Hills, Cloud, CloudShade, Sun;
  TVec SunDir;
  float SunSize, Cover;
  uint32_t Seed;
};

TRGBA SkyColour(const TSky& s, TVec d) {
  const float len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  d = {d.x / len, d.y / len, d.z / len};
  // Distant hills: a ridge line around the horizon from noise over the
  // azimuth (taken on the unit circle so it closes on itself).
  const float az = std::atan2(d.z, d.x);
  const float ridge = 0.03f + 0.09f * Fbm(std::cos(az) * 3 + 7, std::sin(az) * 3 + 7, 0, 4, s.Seed + 5);
  const float depth = std::clamp((ridge - d.y) * 6, 0.0f, 1.0f);
  const TRGBA land = Mix(Hex(s.Hills), Hex(s.Ground), depth);
  // The ridge line is blended over about a pixel so it does not step.
  const float edge = std::clamp((ridge - d.y) / 0.006f + 0.5f, 0.0f, 1.0f);
  if (edge >= 1) return land;
  TRGBA sky = Mix(Hex(s.Horizon), Hex(s.Zenith), std::pow(std::clamp(d.y, 0.0f, 1.0f), 0.55f));
  const float sunDot = d.x * s.SunDir.x + d.y * s.SunDir.y + d.z * s.SunDir.z;
  sky = Mix(sky, Hex(s.Sun), std::pow(std::max(sunDot, 0.0f), 24.0f) * 0.55f);  // glow
  // Clouds on a plane above the viewer; they fade out towards the horizon,
  // and below it their noise (most of the painting's time) is not needed.
  float cover = std::clamp((d.y - 0.02f) * 5, 0.0f, 1.0f);
  if (cover > 0) {
    const float px = d.x / std::max(d.y, 0.05f), pz = d.z / std::max(d.y, 0.05f);
    const float n = Fbm(px * 1.2f + 40, pz * 1.2f + 40, 0, 6, s.Seed);
    cover *= std::clamp((n - s.Cover) * 3.5f, 0.0f, 1.0f);
    const float shade = Fbm(px * 1.2f + 41, pz * 1.2f + 41, 0, 4, s.Seed + 9);
    const TRGBA cloud = Mix(Hex(s.Cloud), Hex(s.CloudShade), std::clamp(shade * 1.3f - 0.2f, 0.0f, 1.0f));
    sky = Mix(sky, cloud, cover * 0.9f);
  }
  if (sunDot > std::cos(s.SunSize)) sky = Mix(sky, Hex(s.Sun), 1.0f - cover);
  return Mix(sky, land, edge);
}

// Paints the six faces, `side` pixels square.
void BuildSky(TDataTree& tree, const std::string& name, const TSky& sky, int side = 512) {
  for (const TFace& f : kFaces) {
    TCanvas c(side, side);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        const float u = (x + 0.5f) / side, v = 1 - (y + 0.5f) / side;  // picture top is v = 1
        const TVec d{f.P00.x + u * (f.P10.x - f.P00.x) + v * (f.P01.x - f.P00.x),
                     f.P00.y + u * (f.P10.y - f.P00.y) + v * (f.P01.y - f.P00.y),
                     f.P00.z + u * (f.P10.z - f.P00.z) + v * (f.P01.z - f.P00.z)};
        c.At(x, y) = SkyColour(sky, d);
      }
    tree.Add("skyboxes/" + name + "/" + f.Name + ".bmp", c.BMP());
  }
}

}  // namespace

void BuildSkyboxes(TDataTree& tree) {
  BuildSky(tree, "default",
           {0x2e64b4, 0xa9c8e8, 0x34402a, 0x56664a, 0xf4f4f6, 0x9aa4b4, 0xfff6d8, {0.5f, 0.6f, -0.62f}, 0.035f, 0.48f, 7});
  BuildSky(tree, "dusk",
           {0x1c1838, 0xe0784a, 0x1a1412, 0x2e2224, 0xd89a7a, 0x4a3446, 0xffd080, {-0.8f, 0.08f, 0.6f}, 0.05f, 0.5f, 19});
  // A grey morning over the depot: low cloud almost everywhere, a pale sun
  // behind it, an industrial skyline in haze. Soft enough to be painted at
  // a quarter of the pixels, which keeps the data build quick.
  BuildSky(tree, "overcast",
           {0x4e5866, 0xb8b8ae, 0x30302c, 0x5c5e5a, 0xc4c4c0, 0x62666e, 0xf4ecd8, {0.3f, 0.5f, 0.8f}, 0.03f, 0.32f, 29},
           256);
}
