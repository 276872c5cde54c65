// Every character the keyboard can type (ASCII and the German layout's
// Windows-1252 letters and signs) has a glyph with ink in each font image,
// where the font file says the glyph is.
#include "data_tree.h"

#include "core/paths.h"
#include "gui/font.h"
#include "render/texture_images.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> TypeableCodes() {
  std::vector<uint8_t> codes;
  for (int c = 33; c < 127; ++c) codes.push_back(static_cast<uint8_t>(c));
  for (uint8_t c : {0xE4, 0xC4, 0xF6, 0xD6, 0xFC, 0xDC, 0xDF, 0xA7, 0xB0, 0xB2, 0xB3, 0xB4, 0x80}) codes.push_back(c);
  return codes;
}

// Summed alpha over a rectangle of the image given top-down.
double Ink(const TPixelImage& image, int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int y = std::max(0, y0); y < std::min(image.Height, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(image.Width, x1); ++x) sum += image.Pixel(x, y)[3] / 255.0;
  return sum;
}

TEST(DataFonts, EveryTypeableCharacterHasInkWhereTheFontFileSaysItIs) {
  for (const char* name : {"arial10", "bodini10", "verdana12", "couriernew48", "brokenghost36"}) {
    SCOPED_TRACE(name);
    const std::string base = BinDir() + "/data/fonts/" + name;
    TPixelImage image;
    ASSERT_TRUE(ReadTGATextureImage(base + ".tga", image));
    ASSERT_EQ(image.Channels, 4) << "glyph coverage lives in alpha";
    const bool fci = FileExists(base + ".fci");
    std::string bytes, error;
    ASSERT_TRUE(ReadWholeFile(base + (fci ? ".fci" : ".fnt"), bytes));
    TFontGlyphs glyphs;
    ASSERT_TRUE(fci ? DecodeFci(bytes, glyphs, error) : DecodeFnt(bytes, glyphs, error)) << error;
    // The texture loader takes the file's first row as the bottom: row r of
    // the font's grid, counted from the top, is image row Height - 1 - r.
    auto inkAt = [&](double left, double top, double right, double bottom) {
      return Ink(image, static_cast<int>(left), image.Height - static_cast<int>(bottom), static_cast<int>(right),
                 image.Height - static_cast<int>(top));
    };
    for (uint8_t c : TypeableCodes()) {
      double ink;
      if (fci) {
        const auto& r = glyphs.Rects[c];
        ink = inkAt(r.Left * image.Width, r.Top * image.Height, r.Right * image.Width, r.Bottom * image.Height);
      } else {
        EXPECT_GT(glyphs.Widths[c], 0) << "code " << int(c);
        ink = inkAt((c % 16) * 16, (c / 16) * 16, (c % 16) * 16 + 16, (c / 16) * 16 + 16);
      }
      EXPECT_GT(ink, 1.0) << "code " << int(c);
    }
  }
}

}  // namespace
