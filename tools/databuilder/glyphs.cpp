#include "glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

struct TFontFace::TImpl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

TFontFace::TFontFace(const std::string& fileName, int pixelHeight) : impl(std::make_unique<TImpl>()) {
  const std::string path = "/usr/share/fonts/truetype/" + fileName;
  if (FT_Init_FreeType(&impl->library)) throw std::runtime_error("FreeType cannot start");
  if (FT_New_Face(impl->library, path.c_str(), 0, &impl->face)) {
    FT_Done_FreeType(impl->library);
    throw std::runtime_error("font missing (install fonts-dejavu-core): " + path);
  }
  FT_Set_Pixel_Sizes(impl->face, 0, pixelHeight);
}

TFontFace::~TFontFace() {
  FT_Done_Face(impl->face);
  FT_Done_FreeType(impl->library);
}

bool TFontFace::HasGlyph(uint32_t codePoint) const { return FT_Get_Char_Index(impl->face, codePoint) != 0; }

TGlyphBitmap TFontFace::Render(uint32_t codePoint) const {
  TGlyphBitmap g;
  if (FT_Load_Char(impl->face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL)) return g;
  const FT_GlyphSlot slot = impl->face->glyph;
  g.Width = static_cast<int>(slot->bitmap.width);
  g.Height = static_cast<int>(slot->bitmap.rows);
  g.Left = slot->bitmap_left;
  g.Top = slot->bitmap_top;
  g.Advance = static_cast<int>(slot->advance.x >> 6);
  g.Coverage.resize(static_cast<size_t>(g.Width) * g.Height);
  for (int y = 0; y < g.Height; ++y)
    for (int x = 0; x < g.Width; ++x)
      g.Coverage[static_cast<size_t>(y) * g.Width + x] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
  return g;
}

int TFontFace::Ascender() const { return static_cast<int>(impl->face->size->metrics.ascender >> 6); }
int TFontFace::Descender() const { return static_cast<int>(-(impl->face->size->metrics.descender >> 6)); }

void TFontFace::DrawText(TCanvas& canvas, int x, int baseline, const std::string& text, const TRGBA& colour) const {
  for (unsigned char c : text) {
    const TGlyphBitmap g = Render(Cp1252ToUnicode(c));
    for (int gy = 0; gy < g.Height; ++gy)
      for (int gx = 0; gx < g.Width; ++gx)
        canvas.Blend(x + g.Left + gx, baseline - g.Top + gy, colour, g.Coverage[static_cast<size_t>(gy) * g.Width + gx] / 255.0f);
    x += g.Advance;
  }
}

int TFontFace::TextWidth(const std::string& text) const {
  int w = 0;
  for (unsigned char c : text) w += Render(Cp1252ToUnicode(c)).Advance;
  return w;
}

uint32_t Cp1252ToUnicode(uint8_t c) {
  static const uint16_t k80[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (c >= 0x80 && c < 0xA0) return k80[c - 0x80];
  return c;
}
