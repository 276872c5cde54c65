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
