// Drawing under Xvfb: a window with a skin, a button and a text label, read
// back pixel by pixel where the skin's images and the glyphs must land.
#include "core/gl_api.h"
#include "gui/gui_manager.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Rgba = std::array<uint8_t, 4>;

// An uncompressed 32-bit TGA; pixel(x, y) with y from the top of the image.
template <class Pixel>
std::string Tga(int width, int height, Pixel pixel) {
  std::string s(18, '\0');
  s[2] = 2;
  s[12] = static_cast<char>(width & 0xFF);
  s[13] = static_cast<char>(width >> 8);
  s[14] = static_cast<char>(height & 0xFF);
  s[15] = static_cast<char>(height >> 8);
  s[16] = 32;
  for (int row = height - 1; row >= 0; --row)  // rows are stored bottom first
    for (int x = 0; x < width; ++x) {
      Rgba c = pixel(x, row);
      s += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0]), static_cast<char>(c[3])};
    }
  return s;
}

std::string Solid(Rgba c) {
  return Tga(8, 8, [c](int, int) { return c; });
}

Rgba ReadPixel(int x, int y, int height) {
  Rgba c{};
  glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, c.data());
  return c;
}

TEST(GuiDraw, WindowSkinButtonAndGlyphsReachTheScreen) {
  constexpr int W = 256, H = 128;
  REQUIRE_GL_WINDOW(W, H);
  TempDir dir;
  WriteFile(dir / "bg.tga", Solid({0, 0, 255, 255}));
  WriteFile(dir / "button.tga", Solid({255, 0, 0, 255}));
  WriteFile(dir / "button_c.tga", Solid({255, 255, 0, 255}));
  // A font whose glyph "A" (cell 1, 4) is opaque white and all else clear.
  WriteFile(dir / "arial10.fnt", std::string(256, '\x10'));
  WriteFile(dir / "arial10.tga", Tga(256, 256, [](int x, int y) {
              return x / 16 == 'A' % 16 && y / 16 == 'A' / 16 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 0};
            }));

  TGUIclass gui;
  ClearMessageBoxes();
  ASSERT_EQ(gui.LoadFont(dir / "arial10.fnt", 1), 0);
  ASSERT_EQ(gui.LoadSkin(dir.Path()), 0);
  EXPECT_NE(gui.Fonts[0].ListBase, 0u);
  TWindow& w = *gui.Windows[gui.CreateWindow(0, 0, 200, 100, 0, "", dir / "bg.tga")];
  w.AddButton(10, 10, 60, 30, "");
  w.AddButton(10, 50, 60, 30, "");
  w.Buttons[1]->HasFocus = true;
  w.AddText(100, 40, "AB", {0, 1, 0, 1});
  w.SetVisible(true);

  glViewport(0, 0, W, H);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  gui.SetOrtho(W, H, -40, 40);
  gui.Draw();
  glFinish();

  EXPECT_EQ(ReadPixel(150, 90, H), (Rgba{0, 0, 255, 255}));   // background
  EXPECT_EQ(ReadPixel(40, 25, H), (Rgba{255, 0, 0, 255}));    // "button"
  EXPECT_EQ(ReadPixel(40, 65, H), (Rgba{255, 255, 0, 255}));  // focused: "button_c"
  EXPECT_EQ(ReadPixel(108, 48, H), (Rgba{0, 255, 0, 255}));   // inside the "A" glyph, in the label's colour
  EXPECT_EQ(ReadPixel(125, 48, H), (Rgba{0, 0, 255, 255}));   // "B" is clear: the background shows
  EXPECT_EQ(ReadPixel(230, 20, H), (Rgba{0, 0, 0, 255}));     // outside the window
  gui.SetPerspective(60, 2, 1, 100);
}

}  // namespace
