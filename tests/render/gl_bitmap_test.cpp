// TglBitmap2D: loading by content, the combinations the model loader makes,
// and the upload under Xvfb.
#include <gtest/gtest.h>

#include "core/gl_api.h"
#include "image_fixtures.h"
#include "render/gl_bitmap.h"
#include "test_support.h"

namespace {

class GlBitmap : public testing::Test {
 protected:
  TempDir dir;
  std::string source = WriteSourcePPM(dir.Path());

  // The source picture as TglBitmap keeps it: B, G, R, top row first.
  static std::vector<uint8_t> SourceBGR() {
    std::vector<uint8_t> pixels = SourcePixels();
    SwapRedBlue(pixels, 3);
    return pixels;
  }
};

TEST_F(GlBitmap, RecognisesTheImageByItsFirstBytes) {
  // File names say nothing: the content decides.
  Convert(source, "-type TrueColor -orient TopLeft", "TGA:" + dir / "tga.dat");
  Convert(source, "-flip -alpha set -channel A -fx 'i/8' +channel", dir / "tga32.tga");
  WriteFile(dir / "tga32.dat", Bytes(dir / "tga32.tga"));
  Convert(source, "-type Palette -compress None", "BMP3:" + dir / "bmp.dat");
  Convert(source, "-quality 95", "JPG:" + dir / "jpg.dat");
  ASSERT_TRUE(RunTool("djpeg -outfile '" + dir / "jpg.ppm" + "' '" + dir / "jpg.dat" + "'"));
  TPixelImage jpeg;
  ASSERT_TRUE(ReadPPM(dir / "jpg.ppm", jpeg));
  SwapRedBlue(jpeg.Pixels, 3);
  std::vector<uint8_t> withAlpha;
  std::vector<uint8_t> alpha = ReferencePixels(dir / "tga32.tga", 4);
  ASSERT_EQ(alpha.size(), 35u * 4);
  for (size_t i = 0; i < 35; ++i) {
    for (int c = 0; c < 3; ++c) withAlpha.push_back(SourceBGR()[i * 3 + c]);
    withAlpha.push_back(alpha[i * 4 + 3]);
  }

  const struct {
    const char* file;
    bool hasAlpha;
    std::vector<uint8_t> data;
  } cases[] = {
      {"tga.dat", false, SourceBGR()},
      {"tga32.dat", true, withAlpha},
      {"bmp.dat", false, SourceBGR()},
      {"jpg.dat", false, jpeg.Pixels},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TglBitmap2D bitmap;
    bitmap.LoadFromFile(dir / c.file);
    EXPECT_EQ(bitmap.Width, 7);
    EXPECT_EQ(bitmap.Height, 5);
    EXPECT_EQ(bitmap.HasAlpha, c.hasAlpha);
    EXPECT_EQ(bitmap.Data, c.data);
  }

  // Run-length TGA files and other content are not recognised: nothing loads.
  Convert(source, "-compress RLE", "TGA:" + dir / "rle.tga");
  WriteFile(dir / "text.txt", "just some text");
  for (const char* file : {"rle.tga", "text.txt"}) {
    TglBitmap2D bitmap;
    bitmap.LoadFromFile(dir / file);
    EXPECT_TRUE(bitmap.Data.empty()) << file;
    EXPECT_EQ(bitmap.Width, 0) << file;
  }
}

TEST_F(GlBitmap, UnreadableOrDamagedFilesRaiseAndChangeNothing) {
  WriteFile(dir / "damaged.bmp", "BM and then nothing useful");
  TglBitmap2D bitmap;
  bitmap.FillWhite(2, 2);
  EXPECT_THROW(bitmap.LoadFromFile(dir / "missing.bmp"), EglBitmapError);
  EXPECT_THROW(bitmap.LoadFromFile(dir / "damaged.bmp"), EglBitmapError);
  EXPECT_THROW(bitmap.AddAlphaFromFile(dir / "damaged.bmp"), EglBitmapError);
  EXPECT_EQ(bitmap.Data, std::vector<uint8_t>(12, 255));
}

TEST_F(GlBitmap, AlphaComesFromASecondImageOfTheSameSize) {
  TglBitmap2D empty;
  try {
    empty.AddAlphaFromFile(source);
    ADD_FAILURE() << "no exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "TglBitmap.AddAlphaFromStream - AddAlpha can only called if data where loaded.");
  }

  Convert(source, "-type TrueColor", "BMP3:" + dir / "mask.bmp");
  Convert(source, "-resize 6x5!", "BMP3:" + dir / "small.bmp");
  TglBitmap2D bitmap;
  bitmap.FillWhite(7, 5);
  bitmap.AddAlphaFromFile(dir / "small.bmp");
  EXPECT_FALSE(bitmap.HasAlpha);
  EXPECT_EQ(bitmap.Data, std::vector<uint8_t>(7 * 5 * 3, 255));

  bitmap.AddAlphaFromFile(dir / "mask.bmp");
  ASSERT_TRUE(bitmap.HasAlpha);
  ASSERT_EQ(bitmap.Data.size(), 7u * 5 * 4);
  std::vector<uint8_t> mask = SourcePixels();
  for (size_t i = 0; i < 35; ++i) {
    EXPECT_EQ(bitmap.Data[i * 4], 255);
    EXPECT_EQ(bitmap.Data[i * 4 + 3], (mask[i * 3] + mask[i * 3 + 1] + mask[i * 3 + 2]) / 3) << i;
  }
  bitmap.InvertAlpha();
  for (size_t i = 0; i < 35; ++i) {
    EXPECT_EQ(bitmap.Data[i * 4 + 2], 255);
    EXPECT_EQ(bitmap.Data[i * 4 + 3], 255 - (mask[i * 3] + mask[i * 3 + 1] + mask[i * 3 + 2]) / 3) << i;
  }
  // White fill drops the alpha channel; inverting then changes nothing.
  bitmap.FillWhite(3, 2);
  bitmap.InvertAlpha();
  EXPECT_FALSE(bitmap.HasAlpha);
  EXPECT_EQ(bitmap.Data, std::vector<uint8_t>(18, 255));
}

TEST_F(GlBitmap, FlipVerticalReversesTheRows) {
  Convert(source, "-type TrueColor", "BMP3:" + dir / "a.bmp");
  TglBitmap2D bitmap;
  bitmap.LoadFromFile(dir / "a.bmp");
  bitmap.FlipVertical();
  std::vector<uint8_t> expected = SourceBGR();
  FlipRows(expected, 21);
  EXPECT_EQ(bitmap.Data, expected);
}

TEST_F(GlBitmap, GenTextureUploadsAndFreesTheData) {
  REQUIRE_GL_WINDOW(64, 64);
  // 2 x 2 with alpha: B, G, R, A after loading.
  const char bgra[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  std::string tga(18, '\0');
  tga[2] = 2;
  tga[12] = tga[14] = 2;
  tga[16] = 32;
  tga[17] = 0x28;  // top row first, eight alpha bits
  WriteFile(dir / "a.tga", tga + std::string(bgra, 16));
  {
    TglBitmap2D bitmap;
    bitmap.LoadFromFile(dir / "a.tga");
    ASSERT_TRUE(bitmap.HasAlpha);
    bitmap.FlipVertical();
    bitmap.MipMaps = false;
    bitmap.GenTexture();
    ASSERT_NE(bitmap.TextureId, 0u);
    EXPECT_TRUE(bitmap.Data.empty());
    bitmap.Bind(true);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    std::vector<uint8_t> pixels(16);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    const std::vector<uint8_t> bottomFirst = {9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(pixels, bottomFirst);
    GLint minFilter = 0, wrapS = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE);
    glDisable(GL_TEXTURE_2D);

    // Odd-width RGB with the mipmap chain.
    TglBitmap2D rgb;
    rgb.FillWhite(3, 3);
    rgb.FreeDataAfterGenTexture = false;
    rgb.GenTexture();
    EXPECT_FALSE(rgb.Data.empty());
    GLint levelOne = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOne);
    EXPECT_GT(levelOne, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
