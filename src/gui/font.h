// The two bitmap font files, decoded without touching OpenGL.
//
// ".fnt": exactly 256 bytes; byte c is the pixel width (0..16) of glyph c in a
// 16 x 16 grid of 16 x 16-pixel cells of the font's 256 x 256 ".tga" image
// (row c div 16 from the top, column c mod 16), centred in its cell.
//
// ".fci": exactly 4096 bytes, 256 records of 16 bytes, record c for code c:
//   0  single  left edge, fraction of the image width
//   4  single  top edge, fraction of the image height from the top
//   8  single  right edge
//   12 single  bottom edge, from the top
// all little-endian.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TFontGlyphs {
  bool IsFci = false;
  std::array<uint8_t, 256> Widths{};  // .fnt: glyph widths, clamped to the 16-pixel cell
  struct TRect {
    float Left = 0, Top = 0, Right = 0, Bottom = 0;
  };
  std::array<TRect, 256> Rects{};  // .fci: glyph rectangles
};

// Decode the file's bytes; false with a reason when they do not form the file.
bool DecodeFnt(const std::string& bytes, TFontGlyphs& glyphs, std::string& error);
bool DecodeFci(const std::string& bytes, TFontGlyphs& glyphs, std::string& error);

// The line height written in a ".fnt" name: the two characters before the
// four-character extension ("arial10.fnt" gives 10); -1 when they are not
// two digits.
int32_t FntCharHeightFromName(const std::string& fileName);
// The cell of an ".fci" font: the "X" glyph's size x 512 x scale, rounded.
void FciCellSize(const TFontGlyphs& glyphs, float scale, int32_t& charWidth, int32_t& charHeight);

// A glyph as drawn: its quad's four corners (in the order the quad is sent)
// relative to the pen, and how far the pen then moves.
struct TGlyphQuad {
  float X[4] = {}, Y[4] = {}, U[4] = {}, V[4] = {};
  float Advance = 0;
};
using TGlyphLayout = std::array<TGlyphQuad, 256>;

// Where every glyph of a decoded font lands: a ".fnt" glyph is its width wide
// and 16 high and moves the pen by width + 1; an ".fci" glyph fills the
// charWidth x charHeight cell and moves the pen by charWidth.
void BuildGlyphLayout(const TFontGlyphs& glyphs, int32_t charWidth, int32_t charHeight, TGlyphLayout& layout);
// A string's quads with the pen starting at (0, 0): four (u, v, x, y)
// records per byte, appended to vertices.
void AppendTextVertices(const TGlyphLayout& layout, const std::string& text, std::vector<float>& vertices);
