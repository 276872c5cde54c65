// Level textures: seamless tiles painted from noise. Names are lower case
// (the level build lower-cases material file names) and the three formats
// the texture loader reads are all in use.
#include "canvas.h"
#include "generators.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

constexpr int kSize = 256;

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

// Rows of bricks with mortar, each brick its own shade, chipped edges.
TCanvas Brick() {
  TCanvas c(kSize, kSize);
  const int rowH = 32, brickW = 64, mortar = 3;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int row = y / rowH;
      const int shift = (row % 2) * brickW / 2;
      const int bx = ((x + shift) % kSize) / brickW;
      const int lx = (x + shift) % brickW, ly = y % rowH;
      const float grain = Fbm(x / 16.0f, y / 16.0f, kSize / 16, 4, 11);
      const float chip = Fbm(x / 6.0f, y / 6.0f, kSize / 6 + 1, 2, 12);
      const int edge = std::min(std::min(lx, brickW - 1 - lx), std::min(ly, rowH - 1 - ly));
      const bool isMortar = edge < mortar || (edge < mortar + 2 && chip > 0.62f);
      if (isMortar) {
        const float m = 0.55f + 0.2f * grain;
        c.At(x, y) = {m, m * 0.96f, m * 0.9f, 1};
        continue;
      }
      const float tone = 0.75f + 0.35f * Hash01(bx, row, 13);
      TRGBA base = Mix(Hex(0x8a3b22), Hex(0xa8583a), Hash01(bx, row, 14));
      base = Scale(base, tone * (0.8f + 0.4f * grain));
      // Bricks catch light on the top edge and fall into shade at the bottom.
      if (ly - mortar < 2) base = Scale(base, 1.15f);
      if (rowH - 1 - ly - mortar < 2) base = Scale(base, 0.7f);
      const float soot = Clamp01((Fbm(x / 64.0f, y / 64.0f, kSize / 64, 3, 15) - 0.55f) * 3);
      c.At(x, y) = Mix(base, Hex(0x2a2420), soot * 0.6f);
    }
  return c;
}

// Cast concrete: cloudy grey, pores, faint form-work seams and stains.
TCanvas Concrete() {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float cloud = Fbm(x / 32.0f, y / 32.0f, kSize / 32, 5, 21);
      const float pores = Hash01(x, y, 22) > 0.985f ? 0.75f : 1.0f;
      const float speck = 0.92f + 0.16f * Hash01(x, y, 23);
      float g = (0.42f + 0.3f * cloud) * pores * speck;
      if (y % 128 < 2) g *= 0.8f;  // form-work seam
      const float stain = Clamp01((Fbm(x / 20.0f, y / 48.0f, kSize / 16, 3, 24) - 0.6f) * 2.5f);
      c.At(x, y) = Mix({g, g, g * 0.97f, 1}, Hex(0x4a4236), stain * 0.5f);
    }
  return c;
}

// Planks running along x with grain lines and knots.
TCanvas Wood(uint32_t seed, uint32_t light, uint32_t dark) {
  TCanvas c(kSize, kSize);
  const int plankH = 32;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int plank = y / plankH;
      const float offset = Hash01(plank, 0, seed) * 50;
      const float warp = Fbm(x / 64.0f, y / 8.0f, kSize / 64, 3, seed + 1) * 6;
      const float rings = std::sin((y + warp * 3 + offset) * 0.9f + Fbm(x / 32.0f, y / 4.0f, kSize / 32, 2, seed + 2) * 4);
      float t = 0.5f + 0.5f * rings;
      t = 0.35f + 0.45f * t + 0.2f * Fbm(x / 8.0f, y / 2.0f, kSize / 8, 2, seed + 3);
      TRGBA p = Mix(Hex(dark), Hex(light), t);
      p = Scale(p, 0.85f + 0.3f * Hash01(plank, 1, seed));
      const int ly = y % plankH;
      if (ly < 2) p = Scale(p, 0.45f);
      if (ly == 2) p = Scale(p, 1.15f);
      c.At(x, y) = p;
    }
  return c;
}

// A crate side: a plank frame with a diagonal brace.
TCanvas Crate() {
  TCanvas c = Wood(31, 0xc09a5a, 0x6e4a24);
  TCanvas frame = Wood(37, 0xa8824a, 0x5a3a1a);
  const int border = 28;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const bool onBorder = x < border || y < border || x >= kSize - border || y >= kSize - border;
      const float d = std::fabs(static_cast<float>(x - y)) / std::sqrt(2.0f);
      if (onBorder || d < 16) {
        // The frame's grain runs along each beam.
        c.At(x, y) = (x < border || x >= kSize - border) && !(y < border || y >= kSize - border) ? frame.At(y, x)
                                                                                                 : frame.At(x, y);
      }
    }
  c.Bevel(0, 0, kSize, kSize, 6, 0.5f, false);
  c.Bevel(border, border, kSize - border, kSize - border, 5, 0.45f, true);
  // Nail heads at the frame corners.
  for (int cx : {14, kSize - 14})
    for (int cy : {14, kSize - 14}) {
      c.Disc(cx + 0.5f, cy + 0.5f, 4, Hex(0x3a3a3a));
      c.Disc(cx - 0.5f, cy - 0.5f, 2, Hex(0x8a8a8a));
    }
  return c;
}

// Steel floor plate with a raised diamond tread, scratches and rust.
TCanvas Metal() {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float brushed = Fbm(x / 64.0f, y / 1.5f, kSize / 64, 3, 41);
      float g = 0.45f + 0.18f * brushed + 0.05f * Hash01(x, y, 42);
      // Diamond tread: raised bars on a 32-pixel lattice, alternating direction.
      const int cellX = x / 32, cellY = y / 32;
      const float lx = (x % 32) - 15.5f, ly = (y % 32) - 15.5f;
      const bool alt = (cellX + cellY) % 2 == 0;
      const float u = alt ? (lx + ly) * 0.7071f : (lx - ly) * 0.7071f;
      const float v = alt ? (lx - ly) * 0.7071f : (lx + ly) * 0.7071f;
      const float bar = std::max(std::fabs(u) / 11.0f, std::fabs(v) / 2.5f);
      if (bar < 1) g += 0.16f * (1 - bar) + (v < 0 ? 0.08f : -0.06f);
      TRGBA p{g * 0.95f, g * 0.97f, g, 1};
      const float rust = Clamp01((Fbm(x / 40.0f, y / 40.0f, kSize / 40 + 1, 4, 43) - 0.62f) * 4);
      p = Mix(p, Hex(0x7a3e1c), rust * 0.7f);
      c.At(x, y) = p;
    }
  c.Bevel(0, 0, kSize, kSize, 3, 0.35f, false);
  return c;
}

// Square stone floor tiles with grout.
TCanvas FloorTiles() {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int tx = x / 64, ty = y / 64, lx = x % 64, ly = y % 64;
      const int edge = std::min(std::min(lx, 63 - lx), std::min(ly, 63 - ly));
      const float marble = Fbm(x / 24.0f, y / 24.0f, kSize / 24 + 1, 5, 51 + tx * 7 + ty * 13);
      const float vein = std::fabs(std::sin((x + y) / 18.0f + marble * 9));
      const TRGBA base = Mix(Hex(0x8c8578), Hex(0xb8b0a0), Hash01(tx, ty, 52));
      TRGBA p = Scale(base, 0.8f + 0.25f * marble);
      if (vein < 0.06f) p = Scale(p, 0.78f);
      if (edge < 2) p = Hex(0x3c3830);
      else if (edge < 4) p = Scale(p, edge == 2 ? 1.18f : 1.06f);
      c.At(x, y) = p;
    }
  return c;
}

// Trodden earth with gravel and tufts of grass for open ground.
TCanvas Ground() {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float soil = Fbm(x / 32.0f, y / 32.0f, kSize / 32, 5, 61);
      const float grass = Clamp01((Fbm(x / 48.0f, y / 48.0f, kSize / 48 + 1, 4, 62) - 0.45f) * 3);
      TRGBA p = Mix(Hex(0x5a4630), Hex(0x7e6a4a), soil);
      const float blade = Hash01(x, y / 3, 63);
      p = Mix(p, Mix(Hex(0x3c5222), Hex(0x6a8034), blade), grass * (0.6f + 0.4f * blade));
      if (Hash01(x / 3, y / 3, 64) > 0.93f) p = Mix(p, Hex(0x9a948a), 0.7f);  // pebbles
      c.At(x, y) = Scale(p, 0.9f + 0.2f * Hash01(x, y, 65));
    }
  return c;
}

// Road surface for the depot's yard: dark aggregate, light chips, cracks and
// oil stains.
TCanvas Asphalt() {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float tone = Fbm(x / 32.0f, y / 32.0f, kSize / 32, 5, 101);
      float g = 0.2f + 0.12f * tone + 0.05f * Hash01(x, y, 102);
      if (Hash01(x, y, 103) > 0.97f) g += 0.18f;  // chips of light stone
      // A crack follows the zero line of a smooth noise.
      const float crack = std::fabs(Fbm(x / 48.0f, y / 48.0f, kSize / 48 + 1, 4, 104) - 0.5f);
      if (crack < 0.008f) g *= 0.45f;
      TRGBA p{g, g * 0.99f, g * 0.97f, 1};
      const float oil = Clamp01((Fbm(x / 40.0f, y / 40.0f, kSize / 40 + 1, 3, 105) - 0.64f) * 4);
      c.At(x, y) = Mix(p, Hex(0x141210), oil * 0.6f);
    }
  return c;
}

// Painted corrugated sheeting with vertical ribs, a lap seam and rust
// running down from the fixings.
TCanvas Corrugated() {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float rib = std::sin(x * 6.2831853f / 16);
      const float light = 0.78f + 0.22f * rib;
      const float fade = Fbm(x / 32.0f, y / 32.0f, kSize / 32, 4, 111);
      TRGBA p = Scale(Mix(Hex(0x7d8f84), Hex(0x9aaa9c), fade), light);
      const float streak = Clamp01((Fbm(x / 3.0f, y / 48.0f, kSize / 3 + 1, 3, 112) - 0.58f) * 4);
      p = Mix(p, Hex(0x6e3a1c), streak * 0.55f);
      if (y % 128 < 3) p = Scale(p, y % 128 == 2 ? 1.15f : 0.55f);  // the lap of two sheets
      c.At(x, y) = p;
    }
  return c;
}

// A freight container's side in its paint: a top and a bottom rail and
// trapezoidal ribs, with scuffs. (A material's colour does not tint a
// textured face, so each paint is a texture of its own.)
TCanvas Container(uint32_t paint) {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int lx = x % 32;
      // Faces of the trapezoid: flat outer, lit slope, flat inner, dark slope.
      const float face = lx < 12 ? 1.0f : lx < 16 ? 1.18f : lx < 28 ? 0.86f : 0.66f;
      const float wear = Fbm(x / 24.0f, y / 24.0f, kSize / 24 + 1, 4, 121);
      float g = (0.85f + 0.2f * wear) * face;
      if (y < 14 || y >= kSize - 14) g = (0.75f + 0.1f * wear) * (y == 13 || y == kSize - 14 ? 0.5f : 1.0f);
      const TRGBA p = Scale(Hex(paint), g);
      const float scuff = Clamp01((Fbm(x / 10.0f, y / 10.0f, kSize / 10 + 1, 3, 122) - 0.66f) * 5);
      c.At(x, y) = Mix(p, Hex(0x5a4a3a), scuff * 0.6f);
    }
  return c;
}

// A track seen from above, three units across: ballast, four sleepers and
// the rails' tie plates (the rails themselves are solids).
TCanvas Track() {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float stone = Fbm(x / 4.0f, y / 4.0f, kSize / 4, 3, 131);
      const float g = 0.32f + 0.3f * stone;
      TRGBA p = Mix(Hex(0x5c5650), Hex(0x8e867a), g);
      p = Scale(p, 0.8f + 0.3f * Hash01(x / 2, y / 2, 132));
      const int lx = x % 64;
      if (lx >= 20 && lx < 44 && y >= 24 && y < kSize - 24) {  // a sleeper
        const float grain = Fbm(x / 24.0f, y / 3.0f, kSize / 24, 3, 133);
        p = Mix(Hex(0x2e241c), Hex(0x5a4632), grain);
        if (lx == 20 || lx == 43) p = Scale(p, 0.6f);
        for (int rail : {64, 192})
          if (std::abs(y - rail) < 9) p = Mix(Hex(0x3a3634), Hex(0x5c3a24), stone * 0.6f);  // tie plate
      }
      c.At(x, y) = p;
    }
  return c;
}

// A roller door, mapped once onto each door: slats, a rubber foot, grime
// rising from the bottom and a handle.
TCanvas RollerDoor() {
  TCanvas c(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int ly = y % 16;
      const float slat = ly < 2 ? 0.6f : ly < 4 ? 1.12f : 1.0f - 0.012f * (ly - 4);
      const float tone = Fbm(x / 32.0f, y / 32.0f, kSize / 32, 3, 141);
      TRGBA p = Scale(Mix(Hex(0x8c98a4), Hex(0xa8b2ba), tone), slat);
      const float grime = Clamp01((y - 150) / 106.0f) * (0.6f + 0.4f * Fbm(x / 8.0f, y / 16.0f, kSize / 8, 3, 142));
      p = Mix(p, Hex(0x3a342c), grime * 0.7f);
      if (y >= kSize - 8) p = Hex(0x1c1c1c);
      c.At(x, y) = p;
    }
  c.FillRect(112, 222, 144, 228, Hex(0x2a2a2a));
  return c;
}

// Dressed sandstone blocks in courses, each block its own shade, pale
// mortar and dark weathering.
TCanvas Sandstone() {
  TCanvas c(kSize, kSize);
  const int courseH = 32, blockW = 64;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int course = y / courseH;
      const int shift = static_cast<int>(Hash01(course, 0, 151) * 4) * 16;
      const int bx = ((x + shift) % kSize) / blockW;
      const int lx = (x + shift) % blockW, ly = y % courseH;
      const int edge = std::min(std::min(lx, blockW - 1 - lx), std::min(ly, courseH - 1 - ly));
      const float grain = Fbm(x / 12.0f, y / 6.0f, kSize / 12, 4, 152);
      if (edge < 2) {
        const float m = 0.72f + 0.1f * grain;
        c.At(x, y) = {m, m * 0.95f, m * 0.86f, 1};
        continue;
      }
      TRGBA p = Mix(Hex(0xb89464), Hex(0xd8bc8a), Hash01(bx, course, 153));
      p = Scale(p, 0.82f + 0.3f * grain);
      if (edge < 4) p = Scale(p, ly < courseH / 2 && edge == ly ? 1.1f : 0.9f);
      const float weather = Clamp01((Fbm(x / 48.0f, y / 64.0f, kSize / 48 + 1, 3, 154) - 0.55f) * 3);
      c.At(x, y) = Mix(p, Hex(0x5e5040), weather * 0.45f);
    }
  return c;
}

// Rounded setts: cells around jittered points on a wrapping 16 x 16 grid,
// dark joints where two cells meet, each stone its own shade.
TCanvas Cobbles() {
  TCanvas c(kSize, kSize);
  constexpr int kCells = 16, kCellPx = kSize / kCells;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int cx = x / kCellPx, cy = y / kCellPx;
      float d1 = 1e9f, d2 = 1e9f;
      int owner = 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
          const int gx = cx + i, gy = cy + j;
          const int wx = (gx + kCells) % kCells, wy = (gy + kCells) % kCells;
          const float px = (gx + 0.2f + 0.6f * Hash01(wx, wy, 161)) * kCellPx;
          const float py = (gy + 0.2f + 0.6f * Hash01(wx, wy, 162)) * kCellPx;
          const float d = std::hypot(px - x, py - y);
          if (d < d1) {
            d2 = d1;
            d1 = d;
            owner = wy * kCells + wx;
          } else if (d < d2) {
            d2 = d;
          }
        }
      const float joint = d2 - d1;
      TRGBA p = Mix(Hex(0x6e665c), Hex(0x9c9282), Hash01(owner, 0, 163));
      p = Scale(p, 0.85f + 0.25f * Fbm(x / 6.0f, y / 6.0f, kSize / 6 + 1, 2, 164));
      p = Scale(p, 1.1f - 0.35f * Clamp01(d1 / kCellPx));  // domed: lighter at the middle
      if (joint < 2.5f) p = Mix(Hex(0x2c2822), p, joint / 2.5f * 0.6f);
      c.At(x, y) = p;
    }
  return c;
}

}  // namespace

void BuildMapTextures(TDataTree& tree) {
  tree.Add("MapTextures/brick.bmp", Brick().BMP());
  tree.Add("MapTextures/concrete.jpg", Concrete().JPEG());
  tree.Add("MapTextures/wood.tga", Wood(71, 0xb08858, 0x5e3e20).TGA24());
  tree.Add("MapTextures/crate.tga", Crate().TGA24());
  tree.Add("MapTextures/metal.jpg", Metal().JPEG());
  tree.Add("MapTextures/floortiles.bmp", FloorTiles().BMP());
  tree.Add("MapTextures/ground.jpg", Ground().JPEG());
  tree.Add("MapTextures/asphalt.jpg", Asphalt().JPEG());
  tree.Add("MapTextures/corrugated.jpg", Corrugated().JPEG());
  for (const auto& [name, paint] : {std::pair{"red", 0xa8442a}, {"blue", 0x2e5a8c}, {"green", 0x4a7a4a}, {"brown", 0x6a3e2a}})
    tree.Add("MapTextures/container_" + std::string(name) + ".tga", Container(paint).TGA24());
  tree.Add("MapTextures/track.bmp", Track().BMP());
  tree.Add("MapTextures/rollerdoor.tga", RollerDoor().TGA24());
  tree.Add("MapTextures/sandstone.jpg", Sandstone().JPEG());
  tree.Add("MapTextures/cobbles.bmp", Cobbles().BMP());
}
