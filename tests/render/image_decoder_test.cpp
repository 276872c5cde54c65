// The BMP, TGA and JPEG decoders against files written by ImageMagick and
// decoded by ImageMagick or djpeg, and against damaged headers.
#include <gtest/gtest.h>

#include "core/byte_reader.h"
#include "image_fixtures.h"
#include "render/bmp_decoder.h"
#include "render/jpeg_codec.h"
#include "render/tga_decoder.h"
#include "test_support.h"

namespace {

enum class Kind { BMP, TGA, JPG };

bool Decode(Kind kind, const std::string& bytes, TPixelImage& image, std::string& why) {
  switch (kind) {
    case Kind::BMP:
      return DecodeBMP(Data(bytes), bytes.size(), image, why) == TBmpError::None;
    case Kind::TGA:
      return DecodeTGA(Data(bytes), bytes.size(), image, why) == TTgaError::None;
    case Kind::JPG:
      return DecodeJPEG(Data(bytes), bytes.size(), image, why);
  }
  return false;
}

// A BMP of 14 + 40 header bytes, `tableBytes` of colour table, then `pixelBytes`.
std::string MakeBMP(int32_t width, int32_t height, uint16_t bits, uint32_t compression, size_t tableBytes,
                    size_t pixelBytes) {
  std::string out = "BM";
  PutLE32(out, static_cast<uint32_t>(54 + tableBytes + pixelBytes));
  PutLE32(out, 0);
  PutLE32(out, static_cast<uint32_t>(54 + tableBytes));
  PutLE32(out, 40);
  PutLE32(out, static_cast<uint32_t>(width));
  PutLE32(out, static_cast<uint32_t>(height));
  PutLE16(out, 1);
  PutLE16(out, bits);
  PutLE32(out, compression);
  for (int i = 0; i < 5; ++i) PutLE32(out, 0);
  return out + std::string(tableBytes + pixelBytes, '\x40');
}

std::string MakeTGA(uint8_t type, uint8_t mapType, int width, int height, uint8_t bits, const std::string& body,
                    uint8_t descriptor = 0) {
  std::string out(18, '\0');
  out[1] = static_cast<char>(mapType);
  out[2] = static_cast<char>(type);
  out[12] = static_cast<char>(width & 0xFF);
  out[13] = static_cast<char>(width >> 8);
  out[14] = static_cast<char>(height & 0xFF);
  out[15] = static_cast<char>(height >> 8);
  out[16] = static_cast<char>(bits);
  out[17] = static_cast<char>(descriptor);
  return out + body;
}

class ImageDecoders : public testing::Test {
 protected:
  TempDir dir;
  std::string source = WriteSourcePPM(dir.Path());
};

TEST_F(ImageDecoders, DecodeWhatImageMagickWritesToTheSamePixels) {
  struct Case {
    const char* name;
    const char* arguments;
    const char* format;
    Kind kind;
    int channels;
  };
  const Case cases[] = {
      {"odd-width 24-bit BMP", "-type TrueColor", "BMP3", Kind::BMP, 3},
      {"8-bit palette BMP", "-type Palette -compress None", "BMP3", Kind::BMP, 3},
      {"4-bit palette BMP", "-colors 16 -compress None", "BMP3", Kind::BMP, 3},
      {"1-bit BMP", "-type Bilevel", "BMP3", Kind::BMP, 3},
      {"32-bit BMP", "-alpha set -define bmp3:alpha=true", "BMP3", Kind::BMP, 3},
      {"32-bit BMP with bit fields", "-alpha set", "BMP", Kind::BMP, 3},
      {"24-bit TGA", "-type TrueColor", "TGA", Kind::TGA, 3},
      {"run-length TGA", "-compress RLE", "TGA", Kind::TGA, 3},
      {"top-left TGA", "-orient TopLeft", "TGA", Kind::TGA, 3},
      {"32-bit TGA", "-alpha set -channel A -fx 'i/8' +channel", "TGA", Kind::TGA, 4},
      {"32-bit run-length TGA", "-alpha set -channel A -fx 'j/4' +channel -compress RLE", "TGA", Kind::TGA, 4},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = dir / ("f" + std::to_string(n++) + (c.kind == Kind::BMP ? ".bmp" : ".tga"));
    ASSERT_FALSE(Convert(source, c.arguments, std::string(c.format) + ":" + file).empty());
    std::vector<uint8_t> expected = ReferencePixels(file, c.channels);
    TPixelImage image;
    std::string why;
    std::string bytes = Bytes(file);
    ASSERT_TRUE(Decode(c.kind, bytes, image, why)) << why;
    EXPECT_EQ(image.Width, 7);
    EXPECT_EQ(image.Height, 5);
    EXPECT_EQ(image.Channels, c.channels);
    EXPECT_EQ(image.Pixels, expected);
  }
}

TEST_F(ImageDecoders, TrueColourFilesKeepTheSourcePixelsAndStandUpright) {
  // Anchors the ImageMagick comparison: lossless files give back the source.
  std::string bmp = Convert(source, "-type TrueColor", "BMP3:" + dir / "a.bmp").substr(5);
  std::string bytes = Bytes(bmp);
  TPixelImage image;
  std::string why;
  ASSERT_TRUE(Decode(Kind::BMP, bytes, image, why)) << why;
  EXPECT_EQ(image.Pixels, SourcePixels());

  // The same rows stored top first, with a negative height.
  const size_t stride = 24, offset = 54;
  std::string topDown = bytes.substr(0, offset);
  for (int row = 4; row >= 0; --row) topDown += bytes.substr(offset + row * stride, stride);
  int32_t height = -5;
  for (int i = 0; i < 4; ++i) topDown[22 + i] = static_cast<char>((static_cast<uint32_t>(height) >> (8 * i)) & 0xFF);
  TPixelImage upright;
  ASSERT_TRUE(Decode(Kind::BMP, topDown, upright, why)) << why;
  EXPECT_EQ(upright.Height, 5);
  EXPECT_EQ(upright.Pixels, SourcePixels());

  // TGA rows stored bottom first (the default origin) and top first (origin
  // bit set) both stand upright. (ImageMagick stores its rows top first
  // unless told otherwise, hence the flip.)
  std::string topLeft = Bytes(Convert(source, "-orient TopLeft", "TGA:" + dir / "t.tga").substr(4));
  TPixelImage fromTop;
  ASSERT_TRUE(Decode(Kind::TGA, topLeft, fromTop, why)) << why;
  EXPECT_EQ(fromTop.Pixels, SourcePixels());
  std::string tga = Bytes(Convert(source, "-flip -type TrueColor", "TGA:" + dir / "a.tga").substr(4));
  ASSERT_EQ(tga[17], 0);

  // A TGA with a 10-byte image ID gives the same picture as one without.
  std::string withId = tga.substr(0, 18) + "0123456789" + tga.substr(18);
  withId[0] = 10;
  TPixelImage plain, identified;
  ASSERT_TRUE(Decode(Kind::TGA, tga, plain, why)) << why;
  ASSERT_TRUE(Decode(Kind::TGA, withId, identified, why)) << why;
  EXPECT_EQ(plain.Pixels, SourcePixels());
  EXPECT_EQ(identified.Pixels, plain.Pixels);
}

TEST_F(ImageDecoders, JpegMatchesDjpeg) {
  struct Case {
    const char* name;
    const char* arguments;
  };
  const Case cases[] = {
      {"baseline", "-quality 90"},
      {"greyscale", "-colorspace Gray"},
      {"progressive", "-interlace Plane -quality 80"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = Convert(source, c.arguments, dir / ("j" + std::to_string(n++) + ".jpg"));
    ASSERT_FALSE(file.empty());
    ASSERT_TRUE(RunTool("djpeg -rgb -outfile '" + file + ".ppm' '" + file + "'"));
    TPixelImage expected, image;
    ASSERT_TRUE(ReadPPM(file + ".ppm", expected));
    std::string why;
    ASSERT_TRUE(Decode(Kind::JPG, Bytes(file), image, why)) << why;
    EXPECT_EQ(image.Width, 7);
    EXPECT_EQ(image.Height, 5);
    EXPECT_EQ(image.Pixels, expected.Pixels);
  }
}

TEST_F(ImageDecoders, DamagedJpegsAreRefused) {
  std::string good = Bytes(Convert(source, "-quality 90", dir / "g.jpg"));
  ASSERT_GT(good.size(), 200u);
  // SOF0 holds height and width big-endian at offsets 5..8 of its segment.
  size_t sof = good.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  auto withSize = [&](int width, int height) {
    std::string s = good;
    s[sof + 5] = static_cast<char>(height >> 8);
    s[sof + 6] = static_cast<char>(height & 0xFF);
    s[sof + 7] = static_cast<char>(width >> 8);
    s[sof + 8] = static_cast<char>(width & 0xFF);
    return s;
  };
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"not a JPEG", "GIF89a and more bytes"},
      {"cut in the middle", good.substr(0, good.size() / 2)},
      {"cut after the header", good.substr(0, sof + 40)},
      {"side above 16384", withSize(20000, 5)},
      {"more pixels than the file can describe", withSize(4000, 4000)},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    TPixelImage image;
    std::string why;
    EXPECT_FALSE(Decode(Kind::JPG, bytes, image, why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(image.Pixels.empty());
  }
}

TEST(ImageDecoderLimits, BadBmpHeadersGiveTheirErrorBeforeAllocating) {
  std::string bitFields = MakeBMP(1, 1, 32, 3, 12, 4);  // masks follow the 40-byte header
  const struct {
    const char* name;
    std::string bytes;
    TBmpError error;
  } cases[] = {
      {"header cut short", MakeBMP(4, 4, 24, 0, 0, 48).substr(0, 30), TBmpError::BitmapData},
      {"zero width", MakeBMP(0, 4, 24, 0, 0, 48), TBmpError::BitmapData},
      {"zero height", MakeBMP(4, 0, 24, 0, 0, 48), TBmpError::BitmapData},
      {"negative width", MakeBMP(-4, 4, 24, 0, 0, 48), TBmpError::BitmapData},
      {"side above 16384", MakeBMP(16385, 1, 24, 0, 0, 49156), TBmpError::BitmapData},
      {"top-down height above 16384", MakeBMP(1, -16385, 24, 0, 0, 16), TBmpError::BitmapData},
      {"pixel data past the end", MakeBMP(16384, 16384, 24, 0, 0, 100), TBmpError::BitmapData},
      {"one row short", MakeBMP(4, 4, 24, 0, 0, 36), TBmpError::BitmapData},
      {"run-length compressed", MakeBMP(4, 4, 8, 1, 1024, 16), TBmpError::BitmapData},
      {"16 bits per pixel", MakeBMP(4, 4, 16, 0, 0, 32), TBmpError::BitmapData},
      {"colour table cut short", MakeBMP(4, 4, 8, 0, 100, 0), TBmpError::Palette},
      {"bit fields other than B, G, R", bitFields, TBmpError::BitmapData},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TPixelImage image;
    std::string why;
    EXPECT_EQ(DecodeBMP(Data(c.bytes), c.bytes.size(), image, why), c.error);
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(image.Pixels.empty());
  }
  // The last row may leave out its padding.
  std::string unpadded = MakeBMP(1, 2, 24, 0, 0, 7);
  TPixelImage image;
  std::string why;
  EXPECT_EQ(DecodeBMP(Data(unpadded), unpadded.size(), image, why), TBmpError::None) << why;
}

TEST(ImageDecoderLimits, BadTgaHeadersGiveTheirErrorBeforeAllocating) {
  const std::string pixel = "\x01\x02\x03";
  const struct {
    const char* name;
    std::string bytes;
    TTgaError error;
  } cases[] = {
      {"header cut short", MakeTGA(2, 0, 1, 1, 24, pixel).substr(0, 17), TTgaError::Read},
      {"greyscale", MakeTGA(3, 0, 1, 1, 8, "\x01"), TTgaError::ImageType},
      {"colour-mapped", MakeTGA(1, 1, 1, 1, 8, "\x01"), TTgaError::ColorMap},
      {"true colour with a colour map", MakeTGA(2, 1, 1, 1, 24, pixel), TTgaError::ColorMap},
      {"16 bits per pixel", MakeTGA(2, 0, 1, 1, 16, "\x01\x02"), TTgaError::BitsPerPixel},
      {"zero width", MakeTGA(2, 0, 0, 1, 24, pixel), TTgaError::Read},
      {"side above 16384", MakeTGA(2, 0, 65535, 1, 24, pixel), TTgaError::Read},
      {"pixel data past the end", MakeTGA(2, 0, 16384, 16384, 32, pixel + "\x04"), TTgaError::Read},
      {"run-length data too short to fill", MakeTGA(10, 0, 16384, 16384, 24, "\xFF" + pixel), TTgaError::Read},
      {"run-length data ends early", MakeTGA(10, 0, 4, 1, 24, "\x81" + pixel + "\x01" + pixel + "\x05"),
       TTgaError::Read},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TPixelImage image;
    std::string why;
    EXPECT_EQ(DecodeTGA(Data(c.bytes), c.bytes.size(), image, why), c.error);
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(image.Pixels.empty());
  }
  std::string withLongId = MakeTGA(2, 0, 1, 1, 24, pixel);
  withLongId[0] = static_cast<char>(200);
  TPixelImage image;
  std::string why;
  EXPECT_EQ(DecodeTGA(Data(withLongId), withLongId.size(), image, why), TTgaError::Read);
}

TEST(ImageDecoderLimits, RunLengthPacketsAreCutAtTheImageEnd) {
  // 2 x 2, stored bottom row first: a literal packet of 2 pixels, then a run
  // that claims 128 pixels of which only 2 fit.
  std::string body = std::string("\x01") + "\x10\x20\x30" + "\x40\x50\x60" + "\xFF" + "\x0A\x0B\x0C";
  std::string tga = MakeTGA(10, 0, 2, 2, 24, body);
  TPixelImage image;
  std::string why;
  ASSERT_EQ(DecodeTGA(Data(tga), tga.size(), image, why), TTgaError::None) << why;
  const std::vector<uint8_t> expected = {0x0C, 0x0B, 0x0A, 0x0C, 0x0B, 0x0A,   // top row: the run
                                         0x30, 0x20, 0x10, 0x60, 0x50, 0x40};  // bottom row: literals
  EXPECT_EQ(image.Pixels, expected);

  // A literal packet that claims more than remain is cut as well.
  std::string literal = MakeTGA(10, 0, 1, 1, 32, std::string("\x03") + "\x01\x02\x03\x04", 0x20);
  ASSERT_EQ(DecodeTGA(Data(literal), literal.size(), image, why), TTgaError::None) << why;
  EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{3, 2, 1, 4}));
}

}  // namespace
