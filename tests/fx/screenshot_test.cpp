// Screenshots: numbering, the file layouts, and (under Xvfb) files of the real
// window checked back with ImageMagick and djpeg.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "core/gl_api.h"
#include "core/paths.h"
#include "fx/screenshot.h"
#include "render/image_writers.h"
#include "test_support.h"

namespace {

// Runs the test in a fresh working directory, where the game's relative
// "Screenshots\..." names land.
class Screenshots : public testing::Test {
 protected:
  void SetUp() override {
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    previous = here;
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(chdir(previous.c_str()), 0); }
  TempDir dir;
  std::string previous;
};

// The output of a shell command, or "" when it fails.
std::string Output(const std::string& command) {
  std::string out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    if (pclose(pipe) != 0) out.clear();
  }
  return out;
}

TEST_F(Screenshots, TakeTheLowestFreeNumber) {
  EXPECT_EQ(NextScreenshotName(), "Screenshots\\Screen0.jpg");
  ASSERT_TRUE(MakeDirectories("Screenshots"));
  WriteFile("Screenshots/Screen0.jpg", "x");
  WriteFile("Screenshots/Screen1.jpg", "x");
  EXPECT_EQ(NextScreenshotName(), "Screenshots\\Screen2.jpg");
  std::remove("Screenshots/Screen0.jpg");
  EXPECT_EQ(NextScreenshotName(), "Screenshots\\Screen0.jpg");
}

TEST_F(Screenshots, FileLayoutsReadBackWithImageMagick) {
  EXPECT_EQ(BMPFileBytes(800, 600, std::vector<uint8_t>(800 * 600 * 4)).size(), 54u + 1920000);
  EXPECT_EQ(TGAFileBytes(800, 600, std::vector<uint8_t>(800 * 600 * 3)).size(), 18u + 1440000);

  // 3 x 2, bottom row first as OpenGL reads: blue, green, red / white, black, grey.
  const std::vector<uint8_t> bgra = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                                     255, 255, 255, 255, 0, 0, 0, 255, 128, 128, 128, 255};
  std::vector<uint8_t> bgr;
  for (size_t i = 0; i < bgra.size(); i += 4) bgr.insert(bgr.end(), bgra.begin() + i, bgra.begin() + i + 3);
  ASSERT_TRUE(WriteScreenshotFile("Screenshots\\a.bmp", BMPFileBytes(3, 2, bgra)));
  ASSERT_TRUE(WriteScreenshotFile("Screenshots\\a.tga", TGAFileBytes(3, 2, bgr)));
  // Top row first, R, G, B.
  const std::string expected = std::string("\xFF\xFF\xFF\x00\x00\x00\x80\x80\x80", 9) +
                               std::string("\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00", 9);
  for (const char* file : {"Screenshots/a.bmp", "Screenshots/a.tga"}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(Output(std::string("identify -format '%w x %h' ") + file), "3 x 2");
    EXPECT_EQ(Output(std::string("convert ") + file + " -auto-orient -depth 8 rgb:-"), expected);
  }

  ASSERT_TRUE(ConvertBMPToJPG("Screenshots\\a.bmp", 100));
  EXPECT_EQ(Output("identify -format '%m %w x %h %Q %[interlace] %[colorspace]' Screenshots/a.jpg"),
            "JPEG 3 x 2 100 None sRGB");
}

TEST_F(Screenshots, FailuresAreLoggedNotRaised) {
  WriteFile("Screenshots", "a file where the directory should be");
  EXPECT_FALSE(WriteScreenshotFile("Screenshots\\Screen0.bmp", "BM"));
  EXPECT_FALSE(ConvertBMPToJPG("Screenshots\\missing.bmp", 100));
  WriteFile("broken.bmp", "BM but nothing else");
  EXPECT_FALSE(ConvertBMPToJPG("broken.bmp", 100));
  EXPECT_FALSE(FileExists("broken.jpg"));
}

TEST_F(Screenshots, SaveTheWindowInEachFormat) {
  REQUIRE_GL_WINDOW(800, 600);
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  // Red in the lower left quarter, which the files store first.
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, 400, 300);
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glFinish();

  SaveScreenshot("Screenshots\\Shot.bmp");
  SaveScreenshot("Screenshots\\Shot.tga");
  SaveScreenshot("Screenshots\\Screen0.png");
  SaveScreenshot(NextScreenshotName());
  EXPECT_EQ(ReadFile("Screenshots/Shot.bmp").size(), 54u + 1920000);
  EXPECT_EQ(ReadFile("Screenshots/Shot.tga").size(), 18u + 1440000);
  EXPECT_FALSE(FileExists("Screenshots/Screen0.png"));
  EXPECT_FALSE(FileExists("Screenshots/Screen0.png.bmp"));
  ASSERT_TRUE(FileExists("Screenshots/Screen0.jpg"));
  EXPECT_EQ(NextScreenshotName(), "Screenshots\\Screen1.jpg");

  for (const char* file : {"Screenshots/Shot.bmp", "Screenshots/Shot.tga", "Screenshots/Screen0.jpg"}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(Output(std::string("identify -format '%w x %h' ") + file), "800 x 600");
    // Bottom-left pixel red, top-left blue.
    std::string pixels = Output(std::string("convert ") + file + " -auto-orient -depth 8 rgb:-");
    ASSERT_EQ(pixels.size(), 800u * 600 * 3);
    const size_t bottomLeft = 599 * 800 * 3;
    EXPECT_GT(static_cast<uint8_t>(pixels[bottomLeft]), 240);
    EXPECT_LT(static_cast<uint8_t>(pixels[bottomLeft + 2]), 16);
    EXPECT_LT(static_cast<uint8_t>(pixels[0]), 16);
    EXPECT_GT(static_cast<uint8_t>(pixels[2]), 240);
  }
  // The JPEG is one libjpeg reads, and no temporary BMP is left behind.
  EXPECT_EQ(Output("djpeg -outfile /dev/null Screenshots/Screen0.jpg && echo ok"), "ok\n");
  EXPECT_FALSE(FileExists("Screenshots/Screen0.bmp"));
}

}  // namespace
