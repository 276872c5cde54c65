// Text layout of labels and multi-line fields, and the font file readers.
#include "gui_fixture.h"
#include "test_support.h"
#include "core/binary_file.h"

#include <algorithm>

namespace {

class TextTest : public GuiTest {
 protected:
  TTextField& Field(int32_t width) {
    TWindow& w = *gui.Windows[gui.CreateWindow(0, 0, 400, 400, 0, "", "")];
    return *w.TextFields[w.AddTextField(0, 0, width, 100, "", -1)];
  }
};

using Lines = std::vector<std::string>;

TEST_F(TextTest, SetTextSplitsAtCarriageReturnsAndKeepsEveryCharacter) {
  TTextField& f = Field(400);
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {""}},
      {"a", {"a", ""}},                  // the last character is kept
      {"hello", {"hello", ""}},
      {"ab\r", {"ab", ""}},
      {"a\rb\r", {"a", "b", ""}},
      {"a\rb", {"a", "b", ""}},
      {"\r", {"", ""}},
      {"a\r\rb\r", {"a", "", "b", ""}},
  };
  for (const auto& c : cases) {
    f.SetText(c.text);
    EXPECT_EQ(f.Lines, c.lines) << c.text;
    // Taking the text out and putting it back changes nothing.
    std::string text = f.GetText();
    f.SetText(text);
    EXPECT_EQ(f.Lines, c.lines) << c.text;
  }
  f.Lines = {"a", "b", ""};
  EXPECT_EQ(f.GetText(), "a\rb\r");
}

TEST_F(TextTest, SetTextWrapsAtTheRightmostSpaceOfEachWindow) {
  TTextField& f = Field(100);  // 100 div 7 - 3 = 11 characters
  // Spaces at 4, 8, 11, 14, 18, 22, 26, 30, 33, 36 (counted from 1); the
  // windows end at 10, 21 and 32.
  f.SetText("abc def gh ij klm nop qrs tuv wx yz end.");
  EXPECT_EQ(f.Lines, (Lines{"abc def", "gh ij klm", "nop qrs tuv", "wx yz end.", ""}));
  // A window without a space leaves the line long; the break before it is
  // not found again.
  f.SetText("abcdefghi jklmnopqrstuvwxyz");
  EXPECT_EQ(f.Lines, (Lines{"abcdefghi", "jklmnopqrstuvwxyz", ""}));
  TTextField& narrow = Field(27);  // three characters: no wrapping
  narrow.SetText("a b c d e f");
  EXPECT_EQ(narrow.Lines, (Lines{"a b c d e f", ""}));
}

TEST_F(TextTest, ZeroWidthFontShowsTheBoxAndSplitsAtReturnsOnly) {
  gui.Fonts.push_back(TFont{0, 0, 0, 10, true});
  TTextField& f = Field(100);
  f.Font = 1;
  ClearMessageBoxes();
  f.SetText("a b c d e f g h i j k l m n o p\rx");
  EXPECT_EQ(f.Lines, (Lines{"a b c d e f g h i j k l m n o p", "x", ""}));
  ASSERT_EQ(MessageBoxes().size(), 1u);
  EXPECT_EQ(MessageBoxes()[0].first, "Clown! Don't use Width := 0!");
}

TEST_F(TextTest, LabelsAndEditFieldsTakeTheirSizeAndLineFromTheFont) {
  TWindow& w = *gui.Windows[gui.CreateWindow(0, 0, 400, 400, 0, "", "")];
  TText& t = *w.Texts[w.AddText(0, 0, "Exit", kGUIWhite)];
  EXPECT_EQ(t.Width, 28);
  EXPECT_EQ(t.Height, 10);
  TEditField& e = *w.EditFields[w.AddEditField(0, 0, 200, 50, "first\rsecond", -1)];
  EXPECT_EQ(e.Lines, Lines{"first"});
  EXPECT_EQ(e.LineHeight, 6);
}

TEST_F(TextTest, FontNamesAndFiles) {
  TempDir dir;
  std::string widths(256, '\x05');
  widths['W'] = 40;  // wider than a cell
  WriteFile(dir / "arial10.fnt", widths);
  WriteFile(dir / "plain.fnt", widths);
  TFontGlyphs seen;
  gui.FontListBuilder = [&](TFont&, const TFontGlyphs& g) { seen = g; };

  int32_t arial = gui.LoadFont(dir / "arial10.fnt", 1);
  EXPECT_EQ(arial, 1);
  EXPECT_EQ(gui.Fonts[arial].CharHeight, 10);
  EXPECT_EQ(gui.Fonts[arial].CharWidth, 7);
  EXPECT_EQ(seen.Widths['W'], 16);
  EXPECT_EQ(loaded.back(), dir / "arial10.tga");
  int32_t plain = gui.LoadFont(dir / "plain.fnt", 1);  // no size in the name
  EXPECT_EQ(gui.Fonts[plain].CharHeight, 10);
  ClearMessageBoxes();
  int32_t missing = gui.LoadFont(dir / "gone12.fnt", 1);
  EXPECT_TRUE(gui.Fonts[missing].InUse);
  EXPECT_EQ(gui.Fonts[missing].CharWidth, 8);
  ASSERT_EQ(MessageBoxes().size(), 1u);
  EXPECT_EQ(MessageBoxes()[0].first, "Konnte die Schrift: \"" + dir / "gone12.fnt" + "\" nicht laden");
  EXPECT_EQ(FntCharHeightFromName("bodini10.fnt"), 10);
  EXPECT_EQ(FntCharHeightFromName("x.fnt"), -1);

  // .fci: the cell comes from "X" and the scale, not from the name.
  Bytes fci;
  for (int c = 0; c < 256; ++c) {
    if (c == 'X')
      fci.F32(0.25f).F32(0.5f).F32(0.25f + 20.0f / 512).F32(0.5f + 30.0f / 512);
    else
      fci.F32(0).F32(0).F32(0.01f).F32(0.01f);
  }
  WriteFile(dir / "verdana12.fci", fci.s);
  int32_t verdana = gui.LoadFont(dir / "verdana12.fci", 0.6f);
  EXPECT_EQ(gui.Fonts[verdana].CharWidth, 12);
  EXPECT_EQ(gui.Fonts[verdana].CharHeight, 18);
  EXPECT_TRUE(seen.IsFci);
  EXPECT_THROW(gui.LoadFont(dir / "none.fci", 1), EFileOpenError);
  WriteFile(dir / "short.fci", fci.s.substr(0, 100));
  int32_t shortFont = gui.LoadFont(dir / "short.fci", 1);
  EXPECT_EQ(gui.Fonts[shortFont].ListBase, 0u);
  EXPECT_TRUE(gui.Fonts[shortFont].InUse);
}

TEST_F(TextTest, SkinImagesAreFoundByExtensionOrder) {
  TempDir dir;
  for (const char* name : {"panel.bmp", "panel.tga", "edit.jpeg", "button.tga"}) WriteFile(dir / name, "x");
  ClearMessageBoxes();
  int32_t skin = gui.LoadSkin(dir.Path());
  EXPECT_EQ(skin, 1);
  EXPECT_NE(std::find(loaded.begin(), loaded.end(), dir / "panel.bmp"), loaded.end());
  EXPECT_EQ(std::find(loaded.begin(), loaded.end(), dir / "panel.tga"), loaded.end());
  EXPECT_NE(std::find(loaded.begin(), loaded.end(), dir / "edit.jpeg"), loaded.end());
  EXPECT_EQ(MessageBoxes().size(), size_t(kSkinElementCount - 3));
  EXPECT_EQ(MessageBoxes()[0].first, "Format is unknown or it does not exist!");
  EXPECT_NE(gui.Skins[skin].Textures[seButton], 0u);
  EXPECT_EQ(gui.Skins[skin].Textures[seButtonC], 0u);
}

}  // namespace
