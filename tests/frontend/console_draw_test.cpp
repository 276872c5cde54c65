// The HUD's message lines on screen under Xvfb: the newest line on top,
// light on its band, where the HUD puts them.
#include "core/gl_api.h"
#include "frontend/console.h"
#include "frontend/hud_line.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using Rgba = std::array<uint8_t, 4>;

// A 256 x 256 32-bit TGA font image whose glyph "A" is opaque white and all
// else clear (cell column c mod 16, row c div 16 from the top).
std::string FontImage() {
  std::string s(18, '\0');
  s[2] = 2;
  s[13] = 1;
  s[15] = 1;
  s[16] = 32;
  for (int row = 255; row >= 0; --row)
    for (int x = 0; x < 256; ++x) {
      bool glyph = x / 16 == 'A' % 16 && row / 16 == 'A' / 16;
      s += glyph ? std::string(4, '\xFF') : std::string(4, '\0');
    }
  return s;
}

Rgba ReadPixel(int x, int y, int height) {
  Rgba c{};
  glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, c.data());
  return c;
}

}  // namespace

TEST(ConsoleDraw, MessageLinesShowTheNewestLineOnTopInTheirColour) {
  constexpr int W = 320, H = 480;
  REQUIRE_GL_WINDOW(W, H);
  TempDir dir;
  WriteFile(dir / "arial10.fnt", std::string(256, '\x10'));
  WriteFile(dir / "arial10.tga", FontImage());
  TGUIclass gui;
  gui.ScreenWidth = W;
  gui.ScreenHeight = H;
  ASSERT_EQ(gui.LoadFont(dir / "arial10.fnt", 1), 0);
  gui.TextureLoader = [](const std::string&, unsigned& texture) { texture = 0; };  // no window background
  {
    TConsole console(gui, TConsoleLayout{});
    console.Print("A");
    console.Print("");  // the older "A" moves one line down
    console.Relayout(H);

    glViewport(0, 0, W, H);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gui.SetOrtho(W, H, -40, 40);
    console.DrawMessageLines();
    glFinish();

    const int top = H - 300, line = HudLineStep(10);  // the font's lines are 10 pixels, each on its band
    const TGUIColor colour = TConsoleLayout{}.MessageColor;
    // The glyph's cell is 16 pixels high, so only rows below line 0's cell
    // tell line 1 from line 0.
    const Rgba a = ReadPixel(10 + 8, top + line + 12, H);  // "A" on line 1
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(a[static_cast<size_t>(c)], std::lround((&colour.R)[c] * 255), 1) << c;
    EXPECT_EQ(ReadPixel(10 + 8, top + 2, H), (Rgba{0, 0, 0, 255}));            // line 0 is the empty newest
    EXPECT_EQ(ReadPixel(10 + 24, top + line + 12, H), (Rgba{0, 0, 0, 255}));  // nothing after the one glyph
  }
  gui.SetPerspective(60, 1, 1, 100);
}
