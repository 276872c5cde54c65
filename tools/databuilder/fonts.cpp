// Bitmap fonts rasterised with FreeType: the two ".fnt" fonts (a 16 x 16 grid
// of 16-pixel cells and a width table) and the three ".fci" fonts (a grid of
// equal glyph rectangles, since the toolkit stretches every glyph to the cell
// of "X"). Glyphs are white with coverage in alpha, so the text takes the
// colour it is drawn with. Every Windows-1252 character has a glyph.
#include "canvas.h"
#include "generators.h"
#include "glyphs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Copies a glyph into the canvas with its pen at (penX, baseline); squeezes
// it horizontally when its ink would leave the box [boxLeft, boxLeft + boxW).
void PlaceGlyph(TCanvas& c, const TGlyphBitmap& g, float penX, int baseline, int boxLeft, int boxW) {
  const float inkLeft = penX + g.Left;
  float squeeze = 1, x0 = inkLeft;
  if (g.Width > boxW) {
    squeeze = static_cast<float>(boxW) / g.Width;
    x0 = static_cast<float>(boxLeft);
  } else {
    x0 = std::clamp(inkLeft, static_cast<float>(boxLeft), static_cast<float>(boxLeft + boxW - g.Width));
  }
  const int outW = static_cast<int>(std::ceil(g.Width * squeeze));
  for (int gy = 0; gy < g.Height; ++gy)
    for (int ox = 0; ox < outW; ++ox) {
      // Average the source columns this output column covers.
      const float s0 = ox / squeeze, s1 = (ox + 1) / squeeze;
      float sum = 0, weight = 0;
      for (int sx = static_cast<int>(s0); sx < std::min(static_cast<float>(g.Width), std::ceil(s1)); ++sx) {
        const float w = std::min(s1, sx + 1.0f) - std::max(s0, static_cast<float>(sx));
        sum += w * g.Coverage[static_cast<size_t>(gy) * g.Width + sx];
        weight += w;
      }
      if (weight <= 0) continue;
      const float cov = sum / weight / 255.0f;
      const int px = static_cast<int>(std::floor(x0)) + ox, py = baseline - g.Top + gy;
      if (px < 0 || py < 0 || px >= c.Width() || py >= c.Height()) continue;
      TRGBA& p = c.At(px, py);
      p.a = std::max(p.a, cov);
    }
}

// ".fnt": 256 x 256 image, glyph c centred in cell (c mod 16, c div 16), and
// the 256 widths.
void BuildFnt(TDataTree& tree, const std::string& name, const std::string& fontFile, int pixelSize) {
  TFontFace face(fontFile, pixelSize);
  TCanvas c(256, 256, {1, 1, 1, 0});
  std::string widths(256, '\0');
  const int baseline = std::min(15 - face.Descender(), 1 + face.Ascender());
  for (int code = 32; code < 256; ++code) {
    const uint32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(code));
    if (cp == 0 || code == 127 || !face.HasGlyph(cp)) continue;
    const TGlyphBitmap g = face.Render(cp);
    const int w = std::clamp(std::max(g.Advance, g.Left + g.Width), 1, 16);
    widths[code] = static_cast<char>(w);
    const int cellX = (code % 16) * 16, cellY = (code / 16) * 16;
    const float boxLeft = cellX + (16 - w) / 2.0f;
    PlaceGlyph(c, g, boxLeft, cellY + baseline, static_cast<int>(std::floor(boxLeft)), w);
  }
  tree.Add("fonts/" + name + ".fnt", widths);
  tree.Add("fonts/" + name + ".tga", c.TGA32());
}

struct TFciStyle {
  int ImageSide;          // the image is square
  int RectW, RectH;       // glyph rectangle in pixels, centred in its cell
  bool Broken = false;    // weathered letters with a dark rim, for the HUD
};

void PutSingle(std::string& s, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  for (int i = 0; i < 4; ++i) s += static_cast<char>((bits >> (8 * i)) & 255);
}

void Weather(TCanvas& c, uint32_t seed) {
  // Cracks and worn patches take ink away; then a dark rim is laid under the
  // letters so they read on bright and dark scenes alike.
  TCanvas rim(c.Width(), c.Height(), {0, 0, 0, 0});
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      TRGBA& p = c.At(x, y);
      const float wear = Fbm(x / 9.0f, y / 9.0f, 0, 3, seed);
      const float crack = std::fabs(ValueNoise(x / 5.0f + y / 17.0f, y / 5.0f, 0, seed + 3) - 0.5f);
      if (crack < 0.03f) p.a *= 0.15f;
      p.a *= std::clamp(0.35f + (wear - 0.3f) * 2.2f, 0.35f, 1.0f);
    }
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      float a = 0;
      for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
          const int sx = x + dx, sy = y + dy;
          if (sx >= 0 && sy >= 0 && sx < c.Width() && sy < c.Height() && dx * dx + dy * dy <= 10)
            a = std::max(a, c.At(sx, sy).a);
        }
      rim.At(x, y) = {0.05f, 0.02f, 0.02f, a * 0.8f};
    }
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      const TRGBA& p = c.At(x, y);
      const float a = p.a + rim.At(x, y).a * (1 - p.a);
      // Premultiplied mix of white ink over the dark rim.
      const float v = a > 0 ? p.a / a : 1;
      c.At(x, y) = {v, v * 0.97f, v * 0.92f, a};
    }
}

void BuildFci(TDataTree& tree, const std::string& name, const std::string& fontFile, int pixelSize,
              const TFciStyle& style) {
  TFontFace face(fontFile, pixelSize);
  const int S = style.ImageSide, cell = S / 16;
  TCanvas c(S, S, {1, 1, 1, 0});
  std::string records;
  const int lineH = face.Ascender() + face.Descender();
  for (int code = 0; code < 256; ++code) {
    const int rectL = (code % 16) * cell + (cell - style.RectW) / 2;
    const int rectT = (code / 16) * cell + (cell - style.RectH) / 2;
    PutSingle(records, static_cast<float>(rectL) / S);
    PutSingle(records, static_cast<float>(rectT) / S);
    PutSingle(records, static_cast<float>(rectL + style.RectW) / S);
    PutSingle(records, static_cast<float>(rectT + style.RectH) / S);
    const uint32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(code));
    if (code < 33 || code == 127 || cp == 0 || !face.HasGlyph(cp)) continue;
    const TGlyphBitmap g = face.Render(cp);
    const int baseline = rectT + (style.RectH - lineH) / 2 + face.Ascender();
    PlaceGlyph(c, g, rectL + (style.RectW - g.Advance) / 2.0f, baseline, rectL, style.RectW);
  }
  if (style.Broken) Weather(c, 977);
  tree.Add("fonts/" + name + ".fci", records);
  tree.Add("fonts/" + name + ".tga", c.TGA32());
}

}  // namespace

void BuildFonts(TDataTree& tree) {
  BuildFnt(tree, "arial10", "dejavu/DejaVuSans.ttf", 12);
  BuildFnt(tree, "bodini10", "dejavu/DejaVuSerif.ttf", 12);
  // Cell heights in the file are in units of 1/512 of the image: 24 gives
  // 14-pixel lines at the scale 0.6 the game loads this font with.
  BuildFci(tree, "verdana12", "dejavu/DejaVuSans.ttf", 19, {512, 14, 24});
  // 30 units: 14 pixels at 0.45 (menu entries 20 pixels apart), 75 at 2.5.
  BuildFci(tree, "couriernew48", "dejavu/DejaVuSansMono.ttf", 50, {1024, 36, 60});
  BuildFci(tree, "brokenghost36", "dejavu/DejaVuSans-Bold.ttf", 54, {1024, 42, 64, true});
}
