// Decoding of .fnt and .fci font files.
#include "gui/font.h"

#include "gui/gui_object.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

bool DecodeFnt(const std::string& bytes, TFontGlyphs& glyphs, std::string& error) {
  if (bytes.size() != 256) {
    error = "expected 256 bytes, found " + std::to_string(bytes.size());
    return false;
  }
  glyphs.IsFci = false;
  // A wider glyph would reach into its neighbour's cell.
  for (size_t c = 0; c < 256; ++c) glyphs.Widths[c] = std::min<uint8_t>(static_cast<uint8_t>(bytes[c]), 16);
  return true;
}

static float SingleAt(const std::string& bytes, size_t offset) {
  uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<uint8_t>(bytes[offset + i]);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

bool DecodeFci(const std::string& bytes, TFontGlyphs& glyphs, std::string& error) {
  if (bytes.size() != 4096) {
    error = "expected 4096 bytes, found " + std::to_string(bytes.size());
    return false;
  }
  glyphs.IsFci = true;
  for (size_t c = 0; c < 256; ++c) {
    TFontGlyphs::TRect& r = glyphs.Rects[c];
    r.Left = SingleAt(bytes, c * 16);
    r.Top = SingleAt(bytes, c * 16 + 4);
    r.Right = SingleAt(bytes, c * 16 + 8);
    r.Bottom = SingleAt(bytes, c * 16 + 12);
  }
  return true;
}

int32_t FntCharHeightFromName(const std::string& fileName) {
  if (fileName.size() < 6) return -1;
  char tens = fileName[fileName.size() - 6], ones = fileName[fileName.size() - 5];
  if (!std::isdigit(static_cast<unsigned char>(tens)) || !std::isdigit(static_cast<unsigned char>(ones))) return -1;
  return (tens - '0') * 10 + (ones - '0');
}

void FciCellSize(const TFontGlyphs& glyphs, float scale, int32_t& charWidth, int32_t& charHeight) {
  const TFontGlyphs::TRect& x = glyphs.Rects['X'];
  charWidth = GUIRound((double(x.Right) - x.Left) * 512 * scale);
  charHeight = GUIRound((double(x.Bottom) - x.Top) * 512 * scale);
}

void BuildGlyphLayout(const TFontGlyphs& glyphs, int32_t charWidth, int32_t charHeight, TGlyphLayout& layout) {
  for (int c = 0; c < 256; ++c) {
    TGlyphQuad& q = layout[c];
    if (glyphs.IsFci) {
      const TFontGlyphs::TRect& r = glyphs.Rects[c];
      const float w = static_cast<float>(charWidth), h = static_cast<float>(charHeight);
      q = {{0, 0, w, w}, {0, h, h, 0}, {r.Left, r.Left, r.Right, r.Right},
           {1 - r.Top, 1 - r.Bottom, 1 - r.Bottom, 1 - r.Top}, w};
    } else {
      // Glyph c sits centred in cell (c mod 16, c div 16) of a 16 x 16 grid,
      // rows counted from the top of the image.
      const float w = glyphs.Widths[c];
      const float uc = (c % 16) / 16.0f, vr = (c / 16) / 16.0f, m = (16 - w) / 2 / 256;
      const float u1 = uc + m, u2 = uc + m + w / 256 + 1.0f / 512;
      const float vTop = 1 - vr, vBottom = 1 - vr - 1.0f / 16;
      q = {{0, w, w, 0}, {16, 16, 0, 0}, {u1, u2, u2, u1}, {vBottom, vBottom, vTop, vTop}, w + 1};
    }
  }
}

void AppendTextVertices(const TGlyphLayout& layout, const std::string& text, std::vector<float>& vertices) {
  vertices.reserve(vertices.size() + text.size() * 16);
  float pen = 0;
  for (unsigned char c : text) {
    const TGlyphQuad& q = layout[c];
    for (int i = 0; i < 4; ++i) vertices.insert(vertices.end(), {q.U[i], q.V[i], pen + q.X[i], q.Y[i]});
    pen += q.Advance;
  }
}
