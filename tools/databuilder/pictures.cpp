// Pictures of the front end: the HUD icons, the crosshair, the menu
// background, the placeholder image of the shop and the render pass image.
#include "canvas.h"
#include "generators.h"
#include "glyphs.h"

#include <algorithm>
#include <cmath>

namespace {

const TRGBA kClear{0, 0, 0, 0};

// Icons are white-edged shapes in one colour on a transparent ground, so they
// read on any scene; a soft dark halo keeps them visible on bright skies.
void Halo(TCanvas& c) {
  TCanvas shadow(c.Width(), c.Height(), kClear);
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      float a = 0;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
          const int sx = x + dx, sy = y + dy;
          if (sx >= 0 && sy >= 0 && sx < c.Width() && sy < c.Height()) a = std::max(a, c.At(sx, sy).a);
        }
      shadow.At(x, y) = {0, 0, 0, a * 0.55f};
    }
  shadow.Draw(c, 0, 0);
  c = shadow;
}

TCanvas Armor() {
  TCanvas c(64, 64, kClear);
  // A shield: a rounded top edge tapering to a point.
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const float fx = (x + 0.5f - 32) / 24, fy = (y + 0.5f - 8) / 50;
      if (fy < 0 || fy > 1) continue;
      const float half = fy < 0.45f ? 1.0f : std::sqrt(std::max(0.0f, 1 - (fy - 0.45f) / 0.55f));
      const float d = half - std::fabs(fx);
      if (d <= 0) continue;
      const bool rim = d < 0.12f || fy < 0.05f;
      const TRGBA body = Mix(Hex(0x4a7ab8), Hex(0x1e3c6a), fy);
      c.Blend(x, y, rim ? Hex(0xe8eef6) : (fx < 0 ? Scale(body, 1.2f) : body), std::min(1.0f, d * 40));
    }
  c.Line(32, 14, 32, 52, 3, Hex(0xe8eef6, 0.8f));
  c.Line(16, 26, 48, 26, 3, Hex(0xe8eef6, 0.8f));
  Halo(c);
  return c;
}

TCanvas Life() {
  TCanvas c(64, 64, kClear);
  // A medical cross.
  c.FillRect(22, 6, 42, 58, Hex(0xf2f2f2));
  c.FillRect(6, 22, 58, 42, Hex(0xf2f2f2));
  c.FillRect(25, 9, 39, 55, Hex(0xd02020));
  c.FillRect(9, 25, 55, 39, Hex(0xd02020));
  c.FillRect(25, 9, 31, 55, Hex(0xe84848));
  Halo(c);
  return c;
}

TCanvas Dollar() {
  TCanvas c(64, 64, kClear);
  c.Disc(32, 32, 28, Hex(0xe8c040));
  c.Ring(32, 32, 24, 2, Hex(0x9a7414));
  TFontFace face("dejavu/DejaVuSans-Bold.ttf", 40);
  const int w = face.TextWidth("$");
  face.DrawText(c, 32 - w / 2, 46, "$", Hex(0x5a4008));
  Halo(c);
  return c;
}

TCanvas Magazine() {
  TCanvas c(64, 64, kClear);
  // A curved rifle magazine, drawn as a slanted stack of slices.
  for (int y = 4; y < 60; ++y) {
    const float bend = (y - 4) * (y - 4) / 300.0f;
    const int x0 = static_cast<int>(22 + bend), x1 = static_cast<int>(40 + bend);
    for (int x = x0; x < x1; ++x) {
      const float shade = 0.55f + 0.45f * std::sin((x - x0) * 3.14159f / (x1 - x0));
      c.Blend(x, y, Scale(Hex(0x6a6a70), shade), 1);
    }
    if (y % 9 == 0) c.Line(x0 + 2, y + 0.5f, x1 - 2, y + 0.5f, 1, Hex(0x2a2a2e));
  }
  c.FillRect(24, 2, 38, 7, Hex(0xc8a048));  // the top round
  Halo(c);
  return c;
}

TCanvas Ammo() {
  TCanvas c(64, 64, kClear);
  for (int i = 0; i < 3; ++i) {
    const int x = 12 + i * 15;
    c.FillRect(x, 24, x + 11, 58, Hex(0xc89a38));         // case
    c.FillRect(x, 24, x + 4, 58, Hex(0xe8c060));          // highlight
    c.FillRect(x - 1, 54, x + 12, 58, Hex(0x9a7420));     // rim
    for (int y = 6; y < 24; ++y) {                        // bullet tip
      const float half = 5.5f * std::sqrt((y - 6) / 18.0f);
      for (int px = 0; px < 11; ++px)
        if (std::fabs(px + 0.5f - 5.5f) < half) c.Blend(x + px, y, px < 4 ? Hex(0xd08a5a) : Hex(0xa8603a), 1);
    }
  }
  Halo(c);
  return c;
}

// Drawn additively over the scene, so the black ground disappears.
TCanvas Crosshair() {
  TCanvas c(32, 32, {0, 0, 0, 1});
  const TRGBA g = Hex(0x60ff60);
  c.Line(16, 2, 16, 12, 2, g);
  c.Line(16, 20, 16, 30, 2, g);
  c.Line(2, 16, 12, 16, 2, g);
  c.Line(20, 16, 30, 16, 2, g);
  c.Disc(16, 16, 1.2f, g);
  return c;
}

// The main menu background: a ruined town at night under a red sky, with the
// game's name. The menu entries sit at the lower left, so that corner is kept
// dark and calm.
TCanvas MenuBackground() {
  constexpr int W = 1024, H = 768;
  TCanvas c(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const float t = static_cast<float>(y) / H;
      TRGBA sky = Mix(Hex(0x08060a), Hex(0x5a1410), std::pow(t, 1.6f));
      const float cloud = Fbm(x / 180.0f, y / 70.0f, 0, 6, 501);
      sky = Mix(sky, Hex(0x1a0c0c), std::clamp((cloud - 0.45f) * 2.0f, 0.0f, 0.8f));
      c.At(x, y) = sky;
    }
  c.Disc(850, 330, 46, Hex(0xd8c8a0, 0.85f));  // moon behind haze
  c.Disc(836, 320, 42, Hex(0x3a1a14, 0.35f));
  // Skyline: buildings of random height, some broken, with lit windows.
  TRng rng(503);
  for (int layer = 0; layer < 2; ++layer) {
    int x = -20;
    const TRGBA body = layer == 0 ? Hex(0x1a0e0e) : Hex(0x050304);
    while (x < W) {
      const int bw = 40 + rng.Below(90);
      const int top = (layer == 0 ? 380 : 460) + rng.Below(140);
      c.FillRect(x, top, x + bw, H, body);
      if (rng.Below(3) == 0)  // a broken top edge
        for (int i = 0; i < bw; ++i) c.FillRect(x + i, top - static_cast<int>(12 * Hash01(i / 4, x, 505)), x + i + 1, top, body);
      if (layer == 1)
        for (int wy = top + 12; wy < H - 20; wy += 22)
          for (int wx = x + 8; wx + 8 < x + bw; wx += 16)
            if (rng.Below(7) == 0) c.FillRect(wx, wy, wx + 7, wy + 10, Hex(0xc88a30, 0.9f));
      x += bw + rng.Below(12);
    }
  }
  // Haze over the ground and grain over everything.
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      TRGBA& p = c.At(x, y);
      p = Mix(p, Hex(0x2a0a08), std::clamp((y - 560) / 400.0f, 0.0f, 0.4f));
      p = Scale(p, 0.92f + 0.12f * Hash01(x, y, 507));
      const float vignette = std::hypot((x - W / 2.0f) / W, (y - H / 2.0f) / H);
      p = Scale(p, std::clamp(1.25f - vignette * 1.2f, 0.3f, 1.0f));
    }
  TFontFace title("dejavu/DejaVuSerif-Bold.ttf", 110);
  const std::string name = "GRIMVALE";
  const int tw = title.TextWidth(name);
  title.DrawText(c, (W - tw) / 2 + 5, 205, name, Hex(0x000000, 0.8f));
  title.DrawText(c, (W - tw) / 2, 200, name, Hex(0xa21010));
  TFontFace sub("dejavu/DejaVuSans.ttf", 22);
  const std::string tag = "two teams - one town - no mercy";
  sub.DrawText(c, (W - sub.TextWidth(tag)) / 2, 240, tag, Hex(0xc8b8a8, 0.9f));
  return c;
}

// Aged paper, loaded by the render passes for later effects.
TCanvas Storybook() {
  TCanvas c(256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const float fibre = Fbm(x / 4.0f, y / 32.0f, 64, 3, 601);
      const float blot = Fbm(x / 48.0f, y / 48.0f, 0, 4, 602);
      TRGBA p = Mix(Hex(0xe8dcb8), Hex(0xc8b088), blot);
      p = Scale(p, 0.92f + 0.1f * fibre);
      const float edge = std::min(std::min(x, 255 - x), std::min(y, 255 - y)) / 40.0f;
      c.At(x, y) = Mix(Hex(0x8a6a3a), p, std::clamp(edge, 0.0f, 1.0f));
    }
  return c;
}

}  // namespace

void BuildPictures(TDataTree& tree) {
  tree.Add("textures/cross3.bmp", Crosshair().BMP());
  tree.Add("textures/Armor.tga", Armor().TGA32());
  tree.Add("textures/Life.tga", Life().TGA32());
  tree.Add("textures/Dollar.tga", Dollar().TGA32());
  tree.Add("textures/magazine.tga", Magazine().TGA32());
  tree.Add("textures/Ammo.tga", Ammo().TGA32());
  tree.Add("nil.bmp", TCanvas(8, 8, {0, 0, 0, 1}).BMP());
  tree.Add("GUI/main.jpg", MenuBackground().JPEG(90));
  tree.Add("shaders/storybook.tga", Storybook().TGA24());
}
