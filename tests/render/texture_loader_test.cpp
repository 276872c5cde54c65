// The texture-file loader: choice by extension, its message boxes, the layout
// it uploads, and (under Xvfb) the texture read back.
#include <gtest/gtest.h>

#include "core/gl_api.h"
#include "image_fixtures.h"
#include "render/texture_images.h"
#include "render/textures.h"
#include "test_support.h"

namespace {

class TextureLoader : public testing::Test {
 protected:
  void SetUp() override { ClearMessageBoxes(); }
  TempDir dir;
  std::string source = WriteSourcePPM(dir.Path());
};

TEST_F(TextureLoader, ChoosesTheLoaderByTheLastFourCharactersInAnyCase) {
  const std::pair<const char*, TTextureFormat> cases[] = {
      {"wall.bmp", TTextureFormat::BMP},  {"WALL.BMP", TTextureFormat::BMP},   {"wall.Bmp", TTextureFormat::BMP},
      {"sky.JPG", TTextureFormat::JPG},   {"fire.tga", TTextureFormat::TGA},   {"photo.jpeg", TTextureFormat::None},
      {"logo.png", TTextureFormat::None}, {"noextension", TTextureFormat::None}, {"bmp", TTextureFormat::None},
      {"", TTextureFormat::None},
  };
  for (const auto& [name, format] : cases) EXPECT_EQ(TextureFormatOf(name), format) << name;

  // An unknown ending does nothing at all, even for an existing file.
  Convert(source, "-quality 90", dir / "photo.jpeg");
  unsigned id = 77;
  LoadTexture(dir / "photo.jpeg", id);
  EXPECT_EQ(id, 77u);
  EXPECT_TRUE(MessageBoxes().empty());
  // A capitalised ending reaches the BMP loader (whose message shows it).
  LoadTexture(dir / "missing.Bmp", id);
  ASSERT_EQ(MessageBoxes().size(), 1u);
  EXPECT_EQ(MessageBoxes()[0].first, "Error opening " + dir / "missing.Bmp");
}

TEST_F(TextureLoader, EveryFailureShowsItsMessageAndKeepsTheTextureName) {
  std::string bmp = Bytes(Convert(source, "-type TrueColor", "BMP3:" + dir / "good.bmp").substr(5));
  std::string palette = Bytes(Convert(source, "-type Palette -compress None", "BMP3:" + dir / "p.bmp").substr(5));
  Convert(source, "-type Palette -compress RLE", "BMP3:" + dir / "rle.bmp");
  WriteFile(dir / "short.bmp", bmp.substr(0, bmp.size() - 30));
  WriteFile(dir / "palette.bmp", palette.substr(0, 54 + 20));
  Convert(source, "-quality 90", dir / "good.jpg");
  WriteFile(dir / "broken.jpg", Bytes(dir / "good.jpg").substr(0, 300));
  Convert(source, "-colorspace Gray", "TGA:" + dir / "grey.tga");
  Convert(source, "-type Palette", "TGA:" + dir / "mapped.tga");
  Convert(source, "-depth 5 -define tga:bits-per-pixel=16", "TGA:" + dir / "16bit.tga");
  std::string tga = Bytes(Convert(source, "-type TrueColor", "TGA:" + dir / "good.tga").substr(4));
  WriteFile(dir / "short.tga", tga.substr(0, 60));
  ASSERT_EQ(Bytes(dir / "16bit.tga")[16], 16);

  auto q = [](const std::string& name) { return "\"" + name + "\""; };
  const std::string names[] = {dir / "none.bmp",  dir / "palette.bmp", dir / "rle.bmp",    dir / "short.bmp",
                               dir / "none.jpg",  dir / "broken.jpg",  dir / "none.tga",   dir / "grey.tga",
                               dir / "mapped.tga", dir / "16bit.tga",  dir / "short.tga"};
  const std::pair<std::string, std::string> expected[] = {
      {"Error opening " + names[0], "BMP Unit"},
      {"Error reading palette", "BMP Unit"},
      {"Error reading bitmap data", "BMP Unit"},
      {"Error reading bitmap data", "BMP Unit"},
      {"Couldn't load JPG - " + q(names[4]), "BMP Unit"},
      {"Couldn't load JPG - " + q(names[5]), "BMP Unit"},
      {"File not found  - " + names[6], "TGA Texture"},
      {"Couldn't load " + q(names[7]) + ". Only 24 and 32bit TGA supported.", "TGA File Error"},
      {"Couldn't load " + q(names[8]) + ". Colormapped TGA files not supported.", "TGA File Error"},
      {"Couldn't load " + q(names[9]) + ". Only 24 and 32 bit TGA files supported.", "TGA File Error"},
      {"Couldn't read file " + q(names[10]) + ".", "TGA File Error"},
  };
  for (size_t i = 0; i < std::size(names); ++i) {
    SCOPED_TRACE(names[i]);
    ClearMessageBoxes();
    unsigned id = 77;
    LoadTexture(names[i], id);
    EXPECT_EQ(id, 77u);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0], expected[i]);
  }
}

TEST_F(TextureLoader, ImagesAreLaidOutBottomRowFirstAndJpegsAreOpaque) {
  Convert(source, "-type TrueColor", "BMP3:" + dir / "a.bmp");
  TPixelImage bmp;
  ASSERT_TRUE(ReadBMPTextureImage(dir / "a.bmp", bmp));
  std::vector<uint8_t> bottomFirst = SourcePixels();
  FlipRows(bottomFirst, 7 * 3);
  EXPECT_EQ(bmp.Pixels, bottomFirst);

  Convert(source, "-quality 90", dir / "a.jpg");
  ASSERT_TRUE(RunTool("djpeg -outfile '" + dir / "a.ppm" + "' '" + dir / "a.jpg" + "'"));
  TPixelImage decoded, jpg;
  ASSERT_TRUE(ReadPPM(dir / "a.ppm", decoded));
  ASSERT_TRUE(ReadJPGTextureImage(dir / "a.jpg", jpg));
  ASSERT_EQ(jpg.Channels, 4);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      const uint8_t* got = &jpg.Pixels[((4 - y) * 7 + x) * 4];
      const uint8_t* want = decoded.Pixel(x, y);
      EXPECT_EQ(std::vector<uint8_t>(got, got + 4), (std::vector<uint8_t>{want[0], want[1], want[2], 255}));
    }
  EXPECT_TRUE(MessageBoxes().empty());
}

// Reads level `level` of texture `id` as tightly packed bytes.
std::vector<uint8_t> ReadTexture(unsigned id, int level, GLenum format, int channels, int& width, int& height) {
  glBindTexture(GL_TEXTURE_2D, id);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

TEST_F(TextureLoader, UploadsWithAFullMipmapChain) {
  REQUIRE_GL_WINDOW(64, 64);
  // 2 x 2 RGB: rows of 6 bytes are not 4-byte aligned.
  const char top[] = {'\xFF', 0, 0, 0, '\xFF', 0}, bottom[] = {0, 0, '\xFF', 0x10, 0x20, 0x30};
  WriteFile(dir / "p.ppm", "P6 2 2 255\n" + std::string(top, 6) + std::string(bottom, 6));
  Convert(dir / "p.ppm", "-type TrueColor", "BMP3:" + dir / "wall.Bmp");
  unsigned id = 0;
  LoadTexture(dir / "wall.Bmp", id);
  ASSERT_NE(id, 0u);
  int width = 0, height = 0;
  std::vector<uint8_t> level0 = ReadTexture(id, 0, GL_RGB, 3, width, height);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 2);
  const std::vector<uint8_t> bottomFirst = {0x00, 0x00, 0xFF, 0x10, 0x20, 0x30, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00};
  EXPECT_EQ(level0, bottomFirst);
  ReadTexture(id, 1, GL_RGB, 3, width, height);
  EXPECT_EQ(width, 1);
  EXPECT_EQ(height, 1);
  GLint minFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);

  Convert(dir / "p.ppm", "-quality 100", dir / "p.jpg");
  unsigned jpg = 0;
  LoadTexture(dir / "p.jpg", jpg);
  ASSERT_NE(jpg, 0u);
  std::vector<uint8_t> rgba = ReadTexture(jpg, 0, GL_RGBA, 4, width, height);
  for (size_t i = 3; i < rgba.size(); i += 4) EXPECT_EQ(rgba[i], 255);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  GLuint names[] = {id, jpg};
  glDeleteTextures(2, names);
}

}  // namespace
