// Drawing under Xvfb: a window with a skin, a button and a text label, read
// back pixel by pixel where the skin's images and the glyphs must land.
#include "core/gl_api.h"
#include "gui/gui_manager.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

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

// The manager's windows over a black screen, with the depth test the game draws them with.
void DrawOnBlack(TGUIclass& gui, int width, int height) {
  glViewport(0, 0, width, height);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  gui.SetOrtho(width, height, -40, 40);
  gui.Draw();
  glFinish();
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

  DrawOnBlack(gui, W, H);

  EXPECT_EQ(ReadPixel(150, 90, H), (Rgba{0, 0, 255, 255}));   // background
  EXPECT_EQ(ReadPixel(40, 25, H), (Rgba{255, 0, 0, 255}));    // "button"
  EXPECT_EQ(ReadPixel(40, 65, H), (Rgba{255, 255, 0, 255}));  // focused: "button_c"
  EXPECT_EQ(ReadPixel(108, 48, H), (Rgba{0, 255, 0, 255}));   // inside the "A" glyph, in the label's colour
  EXPECT_EQ(ReadPixel(125, 48, H), (Rgba{0, 0, 255, 255}));   // "B" is clear: the background shows
  EXPECT_EQ(ReadPixel(230, 20, H), (Rgba{0, 0, 0, 255}));     // outside the window
  gui.SetPerspective(60, 2, 1, 100);
}

// Widget text is drawn in batches, later than its widget; a widget drawn
// after it that covers it must still be drawn after it. Here a half
// transparent image lies over a button's caption: the caption must show
// through, as it does when each string is drawn at its widget's turn.
TEST(GuiDraw, QueuedTextStaysUnderAWidgetDrawnLaterOverIt) {
  constexpr int W = 256, H = 128;
  REQUIRE_GL_WINDOW(W, H);
  TempDir dir;
  WriteFile(dir / "bg.tga", Solid({0, 0, 255, 255}));
  WriteFile(dir / "button.tga", Solid({255, 0, 0, 255}));
  WriteFile(dir / "glass.tga", Solid({0, 255, 0, 128}));
  WriteFile(dir / "arial10.fnt", std::string(256, '\x10'));
  WriteFile(dir / "arial10.tga", Tga(256, 256, [](int x, int y) {
              return x / 16 == 'A' % 16 && y / 16 == 'A' / 16 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 0};
            }));
  TGUIclass gui;
  ASSERT_EQ(gui.LoadFont(dir / "arial10.fnt", 1), 0);
  ASSERT_EQ(gui.LoadSkin(dir.Path()), 0);
  TWindow& w = *gui.Windows[gui.CreateWindow(0, 0, 200, 100, 0, "", dir / "bg.tga")];
  TButton& covered = *w.Buttons[w.AddButton(10, 10, 60, 30, "A")];
  covered.TextColor = {1, 1, 0, 1};
  w.Buttons[w.AddButton(100, 10, 60, 30, "A")]->TextColor = {0, 1, 1, 1};  // nothing over it: its caption may wait
  TImage& glass = *w.Images[w.AddImage(10, 10, 60, 30, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, dir / "glass.tga")];
  glass.Z = 2;  // nearer than the caption
  w.SetVisible(true);

  DrawOnBlack(gui, W, H);

  const Rgba throughGlass = ReadPixel(23, 23, H), buttonUnderGlass = ReadPixel(60, 35, H);
  EXPECT_GT(throughGlass[1], 250) << "yellow caption under green glass";
  EXPECT_GT(throughGlass[0], 100);
  EXPECT_LT(buttonUnderGlass[1], 140) << "red button under green glass";
  EXPECT_EQ(ReadPixel(113, 23, H), (Rgba{0, 255, 255, 255}));
  glDisable(GL_DEPTH_TEST);
}

// A combo box stands farther back than edits, buttons and labels; its open
// list must still lie over a button below the box, or its items are hidden.
TEST(GuiDraw, AnOpenComboListLiesOverTheWidgetsBelowTheBox) {
  constexpr int W = 256, H = 128;
  REQUIRE_GL_WINDOW(W, H);
  TempDir dir;
  WriteFile(dir / "bg.tga", Solid({0, 0, 255, 255}));
  WriteFile(dir / "button.tga", Solid({255, 0, 0, 255}));
  WriteFile(dir / "ground.tga", Solid({0, 255, 0, 255}));
  TGUIclass gui;
  ASSERT_EQ(gui.LoadSkin(dir.Path()), 0);
  TWindow& w = *gui.Windows[gui.CreateWindow(0, 0, 200, 100, 0, "", dir / "bg.tga")];
  TCombobox& combo = *w.Comboboxes[w.AddCombobox(10, 10, 100, 20, "one")];
  combo.AddItem("two");
  combo.ItemHeight = 20;
  w.AddButton(10, 35, 100, 30, "");
  w.SetVisible(true);

  for (bool open : {false, true}) {
    combo.Open = open;
    DrawOnBlack(gui, W, H);
    // The second item's row, over the button.
    EXPECT_EQ(ReadPixel(60, 58, H), open ? (Rgba{0, 255, 0, 255}) : (Rgba{255, 0, 0, 255})) << "open " << open;
  }
  glDisable(GL_DEPTH_TEST);
  gui.SetPerspective(60, 2, 1, 100);
}

// A font image where every texel differs from its neighbours, so a glyph
// drawn a pixel off or from the wrong cell changes the picture.
std::string PatternTga() {
  return Tga(256, 256, [](int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 7 + y), static_cast<uint8_t>(y * 5 + x / 3), static_cast<uint8_t>(x ^ y),
                static_cast<uint8_t>(x % 16 < 2 ? 0 : 255)};
  });
}

// An ".fci" font: glyph c takes the left part of its 16 x 16 cell, and "X"
// is 1/16 of the image square, so the cell is 32 x scale pixels.
std::string FciFile() {
  std::string bytes;
  auto single = [&](float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(bits >> (8 * i));
  };
  for (int c = 0; c < 256; ++c) {
    const float left = (c % 16) / 16.0f, top = (c / 16) / 16.0f;
    single(left);
    single(top);
    single(left + (c == 'X' ? 1 : 0.5f + (c % 5) / 10.0f) / 16);
    single(top + 1 / 16.0f);
  }
  return bytes;
}

constexpr int kTextW = 320, kTextH = 48;

std::vector<uint8_t> ReadFrame() {
  std::vector<uint8_t> pixels(kTextW * kTextH * 4);
  glReadPixels(0, 0, kTextW, kTextH, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// The string drawn by the GUI at once, and the same string drawn glyph by
// glyph through the font's display lists, each on a cleared screen.
std::vector<uint8_t> DrawnByGui(const TGUIclass& gui, int32_t font, const std::string& text) {
  glClear(GL_COLOR_BUFFER_BIT);
  glColor4f(1, 0.5f, 1, 1);
  gui.DrawText(5, 9, 0, font, text);
  return ReadFrame();
}

// The same through the widgets' queue, its colour given per vertex.
std::vector<uint8_t> DrawnQueued(const TGUIclass& gui, int32_t font, const std::string& text) {
  glClear(GL_COLOR_BUFFER_BIT);
  gui.QueueText(5, 9, 0, font, text, {1, 0.5f, 1, 1});
  gui.FlushText();
  return ReadFrame();
}

std::vector<uint8_t> DrawnGlyphByGlyph(const TGUIclass& gui, int32_t font, const std::string& text) {
  glClear(GL_COLOR_BUFFER_BIT);
  glColor4f(1, 0.5f, 1, 1);
  glBindTexture(GL_TEXTURE_2D, gui.Fonts[font].Texture);
  glPushMatrix();
  glTranslatef(5, 9, 0);
  glListBase(gui.Fonts[font].ListBase);
  glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
  glPopMatrix();
  return ReadFrame();
}

// Strings are drawn as one batch each; every glyph must still land where
// the font's own glyph lists put it, also after the text changes and after
// the font is loaded again at another scale into the same slot (where a
// batch kept from before would draw the old glyphs).
TEST(GuiDraw, StringBatchesMatchGlyphByGlyphDrawingAfterTextAndFontChanges) {
  REQUIRE_GL_WINDOW(kTextW, kTextH);
  TempDir dir;
  std::string widths;
  for (int c = 0; c < 256; ++c) widths += static_cast<char>(3 + c % 14);
  WriteFile(dir / "arial10.fnt", widths);
  WriteFile(dir / "arial10.tga", PatternTga());
  WriteFile(dir / "mono.fci", FciFile());
  WriteFile(dir / "mono.tga", PatternTga());

  TGUIclass gui;
  ClearMessageBoxes();
  const int32_t fnt = gui.LoadFont(dir / "arial10.fnt", 1), fci = gui.LoadFont(dir / "mono.fci", 0.25f);
  ASSERT_EQ(gui.Fonts[fci].CharWidth, 8);
  glViewport(0, 0, kTextW, kTextH);
  glClearColor(0, 0, 0, 1);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  gui.SetOrtho(kTextW, kTextH, -40, 40);

  const std::vector<uint8_t> blank = (glClear(GL_COLOR_BUFFER_BIT), ReadFrame());
  for (int32_t font : {fnt, fci}) {
    SCOPED_TRACE(font);
    const std::vector<uint8_t> first = DrawnByGui(gui, font, "Hello, World!");
    EXPECT_NE(first, blank);
    EXPECT_TRUE(first == DrawnGlyphByGlyph(gui, font, "Hello, World!"));
    EXPECT_TRUE(first == DrawnQueued(gui, font, "Hello, World!"));
    const std::string changed = "Hello, Wor1d! \xE4\xFC";
    const std::vector<uint8_t> second = DrawnByGui(gui, font, changed);
    EXPECT_NE(second, first);
    EXPECT_TRUE(second == DrawnGlyphByGlyph(gui, font, changed));
  }

  const std::vector<uint8_t> small = DrawnByGui(gui, fci, "Scale me");
  gui.Fonts[fci].InUse = false;
  ASSERT_EQ(gui.LoadFont(dir / "mono.fci", 0.375f), fci);
  ASSERT_EQ(gui.Fonts[fci].CharWidth, 12);
  const std::vector<uint8_t> large = DrawnByGui(gui, fci, "Scale me");
  EXPECT_NE(large, small);
  EXPECT_TRUE(large == DrawnGlyphByGlyph(gui, fci, "Scale me"));
  EXPECT_TRUE(large == DrawnQueued(gui, fci, "Scale me"));
  TGUIclass fresh;
  EXPECT_TRUE(large == DrawnByGui(fresh, fresh.LoadFont(dir / "mono.fci", 0.375f), "Scale me"));
  EXPECT_TRUE(MessageBoxes().empty());
}

}  // namespace
