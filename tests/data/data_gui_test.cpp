// Fonts, skins and window files of the generated tree, loaded the way the
// game's start-up loads them: no message box, the metrics the layouts were
// made for, and every widget the front end addresses at its list position.
#include "data_tree.h"
#include "test_support.h"

#include "core/paths.h"
#include "gui/gui_manager.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class DataGui : public testing::Test {
 protected:
  void SetUp() override {
    ClearMessageBoxes();
    // Images are decoded with the game's readers instead of being uploaded.
    gui.TextureLoader = [this](const std::string& name, unsigned& texture) {
      // Tab pages carry no background file; the loader ignores the empty name.
      if (!name.empty() && !DecodesAsTexture(HostPath(name))) failedImages.push_back(name);
      texture = 1;
    };
    gui.FontListBuilder = [](TFont&, const TFontGlyphs&) {};
    LoadStartupFontsAndSkins(gui);
    EXPECT_EQ(gui.Skins.size(), 2u);
  }

  TInBinDir inBin;
  TGUIclass gui;
  std::vector<std::string> failedImages;
};

TEST_F(DataGui, FontsAndSkinsLoadWithoutAMessageAndWithTheirMetrics) {
  EXPECT_TRUE(MessageBoxes().empty()) << MessageBoxes().front().first;
  EXPECT_TRUE(failedImages.empty()) << failedImages.front();
  // (font index, cell width, line height)
  const int metrics[][3] = {{0, 7, 10}, {1, 7, 10}, {2, 8, 14}, {3, 9, 15}, {9, 21, 32}};
  for (const auto& m : metrics) {
    EXPECT_EQ(gui.Fonts[m[0]].CharWidth, m[1]) << "font " << m[0];
    EXPECT_EQ(gui.Fonts[m[0]].CharHeight, m[2]) << "font " << m[0];
  }
  for (int skin = 0; skin < 2; ++skin)
    for (int e = 0; e < kSkinElementCount; ++e) EXPECT_NE(gui.Skins[skin].Textures[e], 0u) << skin << " " << e;
}

// A widget of a window by kind name and list index, when it is in use.
const TGUIObject* Widget(const TWindow& w, const std::string& kind, size_t i) {
  auto get = [i](const auto& list) -> const TGUIObject* {
    return i < list.size() && list[i]->InUse ? list[i].get() : nullptr;
  };
  if (kind == "button") return get(w.Buttons);
  if (kind == "text") return get(w.Texts);
  if (kind == "panel") return get(w.Panels);
  if (kind == "progressbar") return get(w.ProgressBars);
  if (kind == "edit") return get(w.Edits);
  if (kind == "checkbox") return get(w.Checkboxes);
  if (kind == "image") return get(w.Images);
  if (kind == "combobox") return get(w.Comboboxes);
  if (kind == "textfield") return get(w.TextFields);
  if (kind == "frames") return get(w.FramesList);
  return nullptr;
}

struct TExpected {
  const char* File;
  int Window;  // position in the file
  int Page;    // -1: the window itself, else a page of its tab control 0
  const char* Kind;
  int Count;   // indices 0 .. Count - 1 must exist
};

// What the front end addresses in each file.
const TExpected kExpected[] = {
    {"MainWindows", 0, -1, "edit", 6},     {"MainWindows", 0, -1, "checkbox", 2}, {"MainWindows", 0, -1, "combobox", 1},
    {"MainWindows", 0, -1, "button", 1},   {"MainWindows", 1, -1, "edit", 4},     {"MainWindows", 1, -1, "checkbox", 1},
    {"MainWindows", 1, -1, "button", 1},   {"MainWindows", 2, -1, "frames", 1},   {"MainWindows", 2, -1, "button", 2},
    {"MainWindows", 2, 0, "combobox", 3},  {"MainWindows", 2, 0, "edit", 1},      {"MainWindows", 2, 0, "checkbox", 3},
    {"MainWindows", 2, 1, "progressbar", 2}, {"MainWindows", 2, 1, "checkbox", 2}, {"MainWindows", 2, 3, "progressbar", 2},
    {"MainWindows", 2, 3, "checkbox", 1},  {"MainWindows", 2, 4, "checkbox", 1},  {"MainWindows", 2, 4, "edit", 3},
    {"MainWindows", 4, -1, "button", 2},   {"MainWindows", 5, -1, "button", 2},   {"buy", 0, -1, "image", 3},
    {"buy", 0, -1, "panel", 1},            {"Statistik", 0, -1, "textfield", 8},  {"Chat", 0, -1, "edit", 1},
    {"Chat", 0, -1, "checkbox", 1},        {"Chat", 0, -1, "button", 2},          {"choosecharacter", 0, -1, "panel", 2},
};

TEST_F(DataGui, WindowFilesHoldTheWidgetsTheFrontEndAddresses) {
  const std::pair<const char*, int> files[] = {{"MainWindows", 6}, {"buy", 1}, {"Statistik", 1}, {"Chat", 1}, {"choosecharacter", 1}};
  std::map<std::string, std::vector<int32_t>> windows;
  for (const auto& [file, count] : files) {
    std::vector<int32_t> indices(count, -1);
    ASSERT_TRUE(gui.LoadGUIFile(std::string("data\\GUI\\") + file + ".gui", indices)) << file;
    windows[file] = indices;
  }
  EXPECT_TRUE(MessageBoxes().empty());
  EXPECT_TRUE(failedImages.empty()) << failedImages.front();
  for (const TExpected& e : kExpected) {
    const TWindow* w = gui.Windows[windows[e.File][e.Window]].get();
    if (e.Page >= 0) {
      ASSERT_GT(w->FramesList[0]->Pages.size(), static_cast<size_t>(e.Page));
      w = w->FramesList[0]->Pages[e.Page];
    }
    for (int i = 0; i < e.Count; ++i)
      EXPECT_NE(Widget(*w, e.Kind, i), nullptr) << e.File << " window " << e.Window << " page " << e.Page << " " << e.Kind << " " << i;
  }
  EXPECT_EQ(gui.Windows[windows["MainWindows"][2]]->FramesList[0]->Pages.size(), 5u);
  // The game appends the shop's texts and text fields and the choice
  // window's pictures: the files must hold none, or the indices shift.
  const TWindow& buy = *gui.Windows[windows["buy"][0]];
  EXPECT_EQ(Widget(buy, "text", 0), nullptr);
  EXPECT_EQ(Widget(buy, "textfield", 0), nullptr);
  EXPECT_EQ(Widget(buy, "image", 3), nullptr);
  EXPECT_EQ(Widget(*gui.Windows[windows["choosecharacter"][0]], "image", 0), nullptr);
}

TEST_F(DataGui, EveryWidgetAndLabelFitsInsideItsWindow) {
  for (const char* file : {"MainWindows", "buy", "Statistik", "Chat", "choosecharacter"}) {
    std::vector<int32_t> indices(6, -1);
    ASSERT_TRUE(gui.LoadGUIFile(std::string("data\\GUI\\") + file + ".gui", indices));
  }
  for (const auto& w : gui.Windows) {
    if (!w->InUse || w->Width == 0) continue;
    auto inside = [&](const TGUIObject& o, const std::string& what) {
      EXPECT_GE(o.X, 0) << w->Caption << " " << what;
      EXPECT_GE(o.Y, 0) << w->Caption << " " << what;
      EXPECT_LE(o.X + o.Width, w->Width) << w->Caption << " " << what;
      EXPECT_LE(o.Y + o.Height, w->Height) << w->Caption << " " << what;
    };
    for (const auto& t : w->Texts)
      if (t->InUse) inside(*t, "text \"" + t->Text + "\"");
    for (const auto& b : w->Buttons)
      if (b->InUse) {
        inside(*b, "button " + b->Caption);
        EXPECT_LE(b->TextX + static_cast<int>(b->Caption.size()) * gui.Fonts[b->Font].CharWidth, b->Width) << b->Caption;
      }
    for (const auto& e : w->Edits)
      if (e->InUse) inside(*e, "edit");
    for (const auto& c : w->Checkboxes)
      if (c->InUse) inside(*c, "check box");
  }
}

}  // namespace
