// The .gui file: exact bytes of an empty window, round trips of every widget
// kind, what loading recomputes, and refusal of invalid files.
#include "core/logger.h"
#include "gui/gui_stream.h"
#include "gui_fixture.h"
#include "test_support.h"
#include "core/binary_file.h"

#include <functional>
#include <set>

namespace {

class GuiFileTest : public GuiTest {
 protected:
  std::string SaveWindow(const TWindow& w) {
    std::string path = dir / "w.bin";
    {
      TBinaryFile file(path, true);
      w.Save(file);
    }
    return ReadFile(path);
  }
  std::string SaveAll(TGUIclass& manager, const std::vector<int32_t>& windows) {
    std::string path = dir / "all.gui";
    EXPECT_TRUE(manager.SaveGUIFile(path, windows));
    return ReadFile(path);
  }
  TempDir dir;
};

// Offset of the first differing byte, or -1 when equal (keeps failures short).
long FirstDifference(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<long>(i);
  return a.size() == b.size() ? -1 : static_cast<long>(n);
}

std::string LastLogLine() {
  Logger->Flush();
  std::string log = ReadFile(Logger->LogPath());
  size_t end = log.find_last_not_of('\n');
  size_t start = log.rfind('\n', end);
  return log.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

TEST_F(GuiFileTest, EmptyWindowIsWrittenAsLaidOutByHand) {
  TWindow& w = *gui.Windows[gui.CreateWindow(10, 20, 300, 200, 0, "Cap", "bg.tga")];
  Bytes b;
  b.Cnt(0).FreeCommon().Col(0, 0, 0, 0).I32(0).I32(0).I32(0).Str("");  // the free popup menu
  b.Common(10, 20, 0, 300, 200, true, false);
  b.U8(0).Str("bg.tga").Col(1, 1, 1, 1).Col(1, 1, 1, 1).U8(1).U8(0).I32(26).Str("Cap").U8(0).U8(0).Cnt(0);
  b.Cnt(0).FreeCommon().I32(0).I32(0).Str("").U8(0).Col(0, 0, 0, 0);            // buttons
  b.Cnt(0).FreeCommon().Col(0, 0, 0, 0).Str("");                               // texts
  b.Cnt(0).FreeCommon();                                                       // panels
  b.Cnt(0).FreeCommon().F32(0);                                                // progress bars
  b.Cnt(0).FreeCommon().Str("").Col(0, 0, 0, 0).I32(0).I32(0);                 // edits
  b.Cnt(0).FreeCommon().U8(0).U8(0);                                           // check boxes
  b.Cnt(0).FreeCommon().U8(0).U8(0).I32(0).I32(0);                             // radio buttons
  b.Cnt(0).FreeCommon().U8(0).I32(0).I32(0).Col(0, 0, 0, 0).Str("");           // images
  b.Cnt(0).FreeCommon().Col(0, 0, 0, 0).I32(0).I32(0).I32(0).I32(0).Str("");   // combo boxes
  b.Cnt(0).FreeCommon().I32(0).Col(0, 0, 0, 0).Str("");                        // text fields
  b.Cnt(0).FreeCommon().I32(0).Col(0, 0, 0, 0).U8(0).I32(0).I32(0).Str("");    // edit fields
  for (int32_t x : {219, 245, 271}) b.I32(x).I32(6).F32(1.45f).I32(24).I32(16).I32(0).I32(0).U8(0).U8(1).U8(0).I32(-1);
  EXPECT_EQ(FirstDifference(SaveWindow(w), b.s), -1);

  std::string path = dir / "one.gui";
  ASSERT_TRUE(gui.SaveGUIFile(path, {w.Index}));
  TGUIclass other;
  other.TextureLoader = gui.TextureLoader;
  std::vector<int32_t> indices(1, -1);
  ASSERT_TRUE(other.LoadGUIFile(path, indices));
  EXPECT_EQ(indices[0], 0);
  EXPECT_EQ(FirstDifference(SaveWindow(*other.Windows[0]), b.s), -1);
  EXPECT_FALSE(other.Windows[0]->Buttons[0]->InUse);
}

TEST_F(GuiFileTest, EveryWidgetKindSurvivesARoundTrip) {
  int32_t index = BuildEveryKind(gui);
  std::string saved = SaveAll(gui, {index});

  TGUIclass other;
  other.TextureLoader = gui.TextureLoader;
  other.FontListBuilder = gui.FontListBuilder;
  other.Fonts = gui.Fonts;
  other.Skins = gui.Skins;
  std::vector<int32_t> indices(1, -1);
  ASSERT_TRUE(other.LoadGUIFile(dir / "all.gui", indices));
  std::string again = SaveAll(other, indices);
  EXPECT_EQ(FirstDifference(again, saved), -1);

  const TWindow& w = *other.Windows[indices[0]];
  EXPECT_EQ(w.Caption, "All");
  EXPECT_TRUE(w.HasCaptionBar && w.Movable);
  EXPECT_EQ(w.Buttons[0]->Popup, w.PopupMenus[0].get());
  EXPECT_EQ(w.PopupMenus[0]->Items[1]->Caption, "Paste");
  EXPECT_TRUE(w.Buttons[0]->OnMouseDown);  // the popup opener
  EXPECT_EQ(w.Edits[0]->Caret, 6);         // text length - 1
  EXPECT_EQ(w.Texts[0]->Width, 35);
  EXPECT_EQ(w.TextFields[0]->Lines, (std::vector<std::string>{"one", "two", ""}));
  EXPECT_EQ(w.EditFields[0]->Lines, (std::vector<std::string>{"first line", "second", ""}));
  EXPECT_TRUE(w.EditFields[0]->ReadOnly);
  const TRadioButtonGroup& g1 = *w.RadioGroups[1];
  ASSERT_EQ(g1.Buttons.size(), 3u);
  EXPECT_EQ(g1.Buttons[1], w.RadioButtons[0].get());
  EXPECT_EQ(g1.Buttons[2], w.RadioButtons[1].get());
  EXPECT_EQ(w.RadioButtons[2]->Group, w.RadioGroups[0].get());
  // Clicking in group 0 leaves the members of group 1 alone.
  w.RadioButtons[2]->Select();
  EXPECT_TRUE(w.RadioButtons[0]->Checked);

  const TFrames& tabs = *w.FramesList[0];
  ASSERT_EQ(tabs.Pages.size(), 3u);
  for (const TWindow* page : tabs.Pages) EXPECT_TRUE(page->IsChild && page->IsPage);
  EXPECT_EQ(tabs.Pages[2]->Buttons[0]->Caption, "Keys");
  EXPECT_EQ(tabs.Selected, 0);
  ASSERT_TRUE(w.HasChildWindows);
  EXPECT_EQ(w.ChildWindows[0].Window->Texts[0]->Text, "inside");
  // The window, three pages and the child.
  EXPECT_EQ(other.Windows.size(), 5u);
}

// A window stored as free takes that mark only when it is whole, so the pages
// and child windows created while it loads never land in its own slot.
TEST_F(GuiFileTest, AWindowStoredAsFreeKeepsItsPagesAndChildren) {
  TWindow& w = *gui.Windows[BuildEveryKind(gui)];
  w.InUse = false;
  SaveAll(gui, {w.Index});

  TGUIclass other;
  other.TextureLoader = gui.TextureLoader;
  other.FontListBuilder = gui.FontListBuilder;
  other.Fonts = gui.Fonts;
  std::vector<int32_t> indices(1, -1);
  ASSERT_TRUE(other.LoadGUIFile(dir / "all.gui", indices));
  const TWindow& loaded = *other.Windows[indices[0]];
  EXPECT_FALSE(loaded.InUse);
  const std::vector<TWindow*>& pages = loaded.FramesList[0]->Pages;
  ASSERT_EQ(pages.size(), 3u);
  std::set<const TWindow*> distinct(pages.begin(), pages.end());
  distinct.insert(&loaded);
  distinct.insert(loaded.ChildWindows[0].Window);
  EXPECT_EQ(distinct.size(), 5u);
  EXPECT_EQ(pages[2]->Buttons[0]->Caption, "Keys");
  EXPECT_EQ(loaded.ChildWindows[0].Window->Texts[0]->Text, "inside");
}

TEST_F(GuiFileTest, LoadingRecomputesWhatDependsOnTheFont) {
  TWindow& w = *gui.Windows[gui.CreateWindow(0, 0, 100, 100, 0, "", "")];
  w.AddText(0, 0, "Exit", kGUIWhite);
  w.Texts[0]->Width = 500;
  int32_t combo = w.AddCombobox(0, 0, 50, 20, "a");
  w.Comboboxes[combo]->AddItem("b");
  w.Comboboxes[combo]->Selected = 1;
  w.Comboboxes[combo]->Open = true;
  std::string saved = SaveWindow(w);
  EXPECT_NE(saved.find(Bytes().I32(1).Str("a").Str("b").s), std::string::npos);

  std::vector<int32_t> indices(1);
  ASSERT_TRUE(gui.SaveGUIFile(dir / "t.gui", {w.Index}));
  ASSERT_TRUE(gui.LoadGUIFile(dir / "t.gui", indices));
  const TWindow& loadedWindow = *gui.Windows[indices[0]];
  EXPECT_NE(indices[0], w.Index);  // a second, independent window
  EXPECT_EQ(loadedWindow.Texts[0]->Width, 28);
  EXPECT_EQ(loadedWindow.Texts[0]->Height, 10);
  const TCombobox& c = *loadedWindow.Comboboxes[0];
  EXPECT_FALSE(c.Open);
  EXPECT_EQ(c.Selected, 0);
  EXPECT_EQ(c.Text, "a");
  EXPECT_EQ(c.ItemCount(), 2);
}

TEST_F(GuiFileTest, TruncatedFilesAreRefusedWithTheirOffset) {
  int32_t index = BuildEveryKind(gui);
  std::string saved = SaveAll(gui, {index});
  // Every cut point inside the window data must be refused without a crash;
  // stepping keeps the run short while crossing every field kind.
  for (size_t cut = 0; cut < saved.size(); cut += 7) {
    WriteFile(dir / "cut.gui", saved.substr(0, cut));
    TGUIclass other;
    other.TextureLoader = [](const std::string&, unsigned&) {};
    other.Fonts = gui.Fonts;
    std::vector<int32_t> indices(1, -1);
    ASSERT_FALSE(other.LoadGUIFile(dir / "cut.gui", indices)) << cut;
    for (const auto& w : other.Windows) EXPECT_FALSE(w->Visible);
  }
  EXPECT_NE(LastLogLine().find("cut.gui"), std::string::npos);
  EXPECT_NE(LastLogLine().find("byte offset"), std::string::npos);
}

// Groups take no bytes, so their number is capped rather than checked against
// the rest of the file: whatever loads also loads again once saved.
TEST_F(GuiFileTest, RadioGroupsAreCappedPerWindow) {
  for (int32_t groups : {kMaxRadioGroups, kMaxRadioGroups + 1}) {
    TWindow& w = *gui.Windows[gui.CreateWindow(0, 0, 100, 100, 0, "", "")];
    while (static_cast<int32_t>(w.RadioGroups.size()) < groups) w.AddRadioGroup();
    w.AddRadioButton(0, 0, 10, 10, groups - 1, true);
    std::string path = dir / "groups.gui";
    ASSERT_TRUE(gui.SaveGUIFile(path, {w.Index}));
    std::vector<int32_t> indices(1, -1);
    const bool loaded = gui.LoadGUIFile(path, indices);
    EXPECT_EQ(loaded, groups <= kMaxRadioGroups) << groups;
    if (loaded) {
      const TWindow& again = *gui.Windows[indices[0]];
      ASSERT_EQ(static_cast<int32_t>(again.RadioGroups.size()), groups);
      EXPECT_EQ(again.RadioButtons[0]->Group, again.RadioGroups[groups - 1].get());
    } else {
      EXPECT_NE(LastLogLine().find("257 radio groups exceed the limit of 256"), std::string::npos) << LastLogLine();
    }
  }
}

TEST_F(GuiFileTest, IndicesOutsideTheirListsAreRefused) {
  TWindow& w = *gui.Windows[gui.CreateWindow(0, 0, 100, 100, 0, "", "")];
  w.AddButton(0, 0, 10, 10, "b");
  w.AddRadioButton(0, 0, 10, 10, 0, false);
  std::string path = dir / "bad.gui";
  ASSERT_TRUE(gui.SaveGUIFile(path, {w.Index}));
  std::string good = ReadFile(path);
  // The button's common record follows the window fields; find it by its
  // caption and patch the fields before it.
  size_t button = good.find(Bytes().Str("b").s) - 8 - 35;
  size_t radio = good.rfind(Bytes().I32(0).I32(1).s);
  struct Case {
    const char* what;
    size_t offset;
    int32_t value;
  } cases[] = {
      {"skin", button + 20, 1},
      {"font", button + 24, 5},
      {"font", button + 24, -3},
      {"popup menu", button + 31, 1},
      {"radio group", radio, 4},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    bytes.replace(c.offset, 4, Bytes().I32(c.value).s);
    WriteFile(path, bytes);
    std::vector<int32_t> indices;
    EXPECT_FALSE(gui.LoadGUIFile(path, indices)) << c.what;
    EXPECT_NE(LastLogLine().find(c.what), std::string::npos) << LastLogLine();
  }
  WriteFile(path, good);
  std::vector<int32_t> indices;
  EXPECT_TRUE(gui.LoadGUIFile(path, indices));
  EXPECT_FALSE(gui.LoadGUIFile(dir / "missing.gui", indices));
}

// Every count of a saved file, patched to a value the bytes after it cannot
// hold, is refused before anything is made of it: the loader's message, and no
// window left behind.
TEST_F(GuiFileTest, CountsBeyondTheRestOfTheFileAreRefused) {
  using Grow = std::function<void(TWindow&)>;
  auto page = [this] { return gui.Windows[gui.CreateWindow(0, 0, 0, 0, 0, "", "")].get(); };
  const struct {
    const char* list;
    int width;  // bytes of the count
    Grow grow;  // adds one element to that list
  } counts[] = {
      {"windows", 2, nullptr},
      {"popup menus", 2, [](TWindow& w) { w.AddPopupMenu(80, 18, "More"); }},
      {"popup menu items", 4, [](TWindow& w) { w.PopupMenus[0]->AddItem("More"); }},
      {"buttons", 2, [](TWindow& w) { w.AddButton(0, 0, 1, 1, ""); }},
      {"texts", 2, [](TWindow& w) { w.AddText(0, 0, "", kGUIWhite); }},
      {"panels", 2, [](TWindow& w) { w.AddPanel(0, 0, 1, 1); }},
      {"progress bars", 2, [](TWindow& w) { w.AddProgressBar(0, 0, 1, 1); }},
      {"edits", 2, [](TWindow& w) { w.AddEdit(0, 0, 1, 1, ""); }},
      {"check boxes", 2, [](TWindow& w) { w.AddCheckbox(0, 0, 1, 1, false); }},
      {"radio buttons", 2, [](TWindow& w) { w.AddRadioButton(0, 0, 1, 1, 0, false); }},
      {"images", 2, [](TWindow& w) { w.AddImage(0, 0, 1, 1, false, 0, 0, ""); }},
      {"combo boxes", 2, [](TWindow& w) { w.AddCombobox(0, 0, 1, 1, ""); }},
      {"combo box items", 4, [](TWindow& w) { w.Comboboxes[0]->AddItem("c"); }},
      {"text fields", 2, [](TWindow& w) { w.AddTextField(0, 0, 1, 1, "", -1); }},
      {"edit fields", 2, [](TWindow& w) { w.AddEditField(0, 0, 1, 1, "", -1); }},
      {"tab controls", 2, [&](TWindow& w) { w.AddFrames(0, 0, 1, 1, page()); }},
      {"tab pages", 2, [&](TWindow& w) { w.FramesList[0]->AddPage(page()); }},
      {"child windows", 2, [&](TWindow& w) { w.AddChildWindow(page()); }},
  };
  const int32_t base = BuildEveryKind(gui);
  const std::string saved = SaveAll(gui, {base});
  const std::string path = dir / "count.gui";
  for (const auto& c : counts) {
    // The count is the first byte where the file differs from one whose list
    // has one element more; the value there must have grown by exactly one.
    std::string grown;
    if (c.grow) {
      const int32_t other = BuildEveryKind(gui);
      c.grow(*gui.Windows[other]);
      grown = SaveAll(gui, {other});
    } else {
      grown = SaveAll(gui, {base, base});
    }
    const long at = FirstDifference(saved, grown);
    ASSERT_GE(at, 0) << c.list;
    auto value = [&](const std::string& bytes) {
      uint32_t v = 0;
      for (int i = c.width - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
      return v;
    };
    ASSERT_EQ(value(grown), value(saved) + 1) << c.list;

    // Each value is written in the count's own width: a 2-byte count keeps the
    // low half, as the writer would.
    for (int64_t patched : {int64_t{0xFFFF}, int64_t{0x7FFF}, int64_t{0x7FFFFFFF}, int64_t{-1}}) {
      std::string bytes = saved;
      bytes.replace(at, c.width, Bytes().I32(static_cast<int32_t>(patched)).s.substr(0, c.width));
      WriteFile(path, bytes);
      TWindow& spare = *gui.Windows[gui.CreateWindow(0, 0, 0, 0, 0, "", "")];
      spare.InUse = false;  // the load takes this slot first
      const size_t windows = gui.Windows.size();
      std::vector<int32_t> indices(1, -1);
      EXPECT_FALSE(gui.LoadGUIFile(path, indices)) << c.list << " " << patched;
      EXPECT_NE(LastLogLine().find("exceeds the rest of the file"), std::string::npos)
          << c.list << " " << patched << ": " << LastLogLine();
      EXPECT_EQ(gui.Windows.size(), windows) << c.list << " " << patched;
      EXPECT_FALSE(spare.InUse) << c.list << " " << patched;
      EXPECT_EQ(indices[0], -1) << c.list;
    }
  }
}

}  // namespace
