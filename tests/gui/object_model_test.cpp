// Windows and widgets as objects: slots, stacking order, showing and hiding,
// caption buttons and tab pages.
#include "gui_fixture.h"

#include <map>

namespace {

using ObjectModelTest = GuiTest;

TEST(ObjectModel, SlotsFillTheFreeElementFirstThenGrow) {
  TGUIclass gui;
  gui.TextureLoader = [](const std::string&, unsigned&) {};
  EXPECT_EQ(gui.CreateWindow(0, 0, 10, 10, 0, "a", ""), 0);
  EXPECT_EQ(gui.CreateWindow(0, 0, 10, 10, 0, "b", ""), 1);
  TWindow& w = *gui.Windows[0];
  EXPECT_FALSE(w.Visible);
  EXPECT_EQ(w.Z, 0);
  EXPECT_EQ(w.AddButton(0, 0, 1, 1, "x"), 0);
  EXPECT_EQ(w.AddButton(0, 0, 1, 1, "y"), 1);
  EXPECT_EQ(w.AddEdit(0, 0, 1, 1, ""), 0);
  EXPECT_EQ(w.Buttons[1]->Z, 1.1f);
  EXPECT_EQ(w.Buttons[1]->TextColor, kGUIWhite);
  EXPECT_EQ(gui.LoadSkin("nowhere\\"), 0);  // the manager's free skin
  EXPECT_EQ(gui.LoadSkin("nowhere\\"), 1);
  // A free window in the middle of the list is reused before the list grows.
  gui.Windows[0]->InUse = false;
  EXPECT_EQ(gui.CreateWindow(0, 0, 10, 10, 0, "c", ""), 0);
  EXPECT_FALSE(gui.Windows[0]->Buttons[0]->InUse);
}

TEST_F(ObjectModelTest, PressingRanksWindowsFrontToBack) {
  TWindow& a = Shown(0, 0, 100, 100);
  TWindow& b = Shown(200, 0, 100, 100);
  EXPECT_EQ(a.Z, 0);  // shown but not yet ranked
  gui.MouseDown(10, 10, 1);
  gui.MouseUp(10, 10, 1);
  EXPECT_EQ(a.Z, 30);
  gui.MouseDown(210, 10, 1);
  gui.MouseUp(210, 10, 1);
  EXPECT_EQ(b.Z, 30);
  EXPECT_EQ(a.Z, 27);
  // Widgets follow their window's depth.
  a.AddButton(0, 0, 5, 5, "");
  EXPECT_FLOAT_EQ(a.Buttons[0]->Z, 28.1f);
  gui.MouseDown(10, 10, 1);
  EXPECT_EQ(a.Z, 30);
  EXPECT_EQ(b.Z, 27);
  EXPECT_FLOAT_EQ(a.Buttons[0]->Z, 31.1f);
  EXPECT_FLOAT_EQ(a.CloseButton.Z, 31.45f);
}

TEST_F(ObjectModelTest, WindowsOutsideTheRankingKeepTheirDepth) {
  for (float z : {31.0f, 40.0f, -1.0f, -9.0f}) {
    TWindow& w = Shown(0, 0, 100, 100);
    w.SetZ(z);
    gui.MouseDown(5, 5, 1);
    gui.MouseUp(5, 5, 1);
    EXPECT_EQ(w.Z, z);
    w.SetVisible(false);
  }
}

TEST_F(ObjectModelTest, HidingReachesPagesAndChildrenOnceEach) {
  TWindow& w = Shown(0, 0, 300, 300);
  std::vector<TWindow*> pages;
  for (int i = 0; i < 3; ++i) pages.push_back(gui.Windows[gui.CreateWindow(0, 0, 0, 0, 0, "p", "")].get());
  int32_t tabs = w.AddFrames(10, 10, 200, 100, pages[0]);
  w.FramesList[tabs]->AddPage(pages[1]);
  w.FramesList[tabs]->AddPage(pages[2]);
  TWindow& child = *gui.Windows[gui.CreateWindow(0, 0, 50, 50, 0, "c", "")];
  w.AddChildWindow(&child);
  child.SetVisible(true);
  std::map<TGUIObject*, int> hides;
  for (TGUIObject* o : {static_cast<TGUIObject*>(pages[0]), static_cast<TGUIObject*>(pages[1]),
                        static_cast<TGUIObject*>(pages[2]), static_cast<TGUIObject*>(&child)})
    o->SetOnHide([&](TGUIObject* sender) { ++hides[sender]; });
  EXPECT_TRUE(pages[0]->Visible);
  EXPECT_FALSE(pages[1]->Visible);

  w.FramesList[tabs]->SelectTab(2);
  hides.clear();
  w.SetVisible(false);
  for (auto [object, count] : hides) EXPECT_EQ(count, 1);
  EXPECT_EQ(hides.size(), 4u);
  EXPECT_FALSE(pages[2]->Visible || child.Visible);
  w.SetVisible(true);
  EXPECT_TRUE(pages[2]->Visible);
  EXPECT_FALSE(pages[0]->Visible || pages[1]->Visible);
}

TEST_F(ObjectModelTest, TabPagesFollowTheirWindow) {
  TWindow& w = Shown(100, 100, 300, 300);
  TWindow& page = *gui.Windows[gui.CreateWindow(0, 0, 0, 0, 0, "p", "")];
  int32_t tabs = w.AddFrames(10, 20, 200, 100, &page);
  EXPECT_EQ(page.X, 110);
  EXPECT_EQ(page.Y, 140);
  EXPECT_EQ(page.Height, 80);
  w.SetLeft(110);
  w.SetTop(90);
  EXPECT_EQ(page.X, 120);
  EXPECT_EQ(page.Y, 130);
  w.FramesList[tabs]->SetHeight(60);
  EXPECT_EQ(page.Height, 40);
}

TEST_F(ObjectModelTest, MaximiseFillsTheScreenAndRestores) {
  gui.ScreenWidth = 1024;
  gui.ScreenHeight = 768;
  TWindow& w = Shown(30, 40, 200, 100);
  w.HasCaptionBar = true;
  w.MaximizeButton.Visible = true;
  auto click = [&] {
    int32_t x = w.X + w.MaximizeButton.X + 2, y = w.Y + w.MaximizeButton.Y + 2;
    gui.MouseDown(x, y, 1);
    gui.MouseUp(x, y, 1);
  };
  click();
  EXPECT_TRUE(w.MaximizeButton.State);
  EXPECT_EQ(std::vector<int32_t>({w.X, w.Y, w.Width, w.Height}), std::vector<int32_t>({0, 0, 1024, 768}));
  EXPECT_EQ(w.CloseButton.X, 1024 - 26 - 3);
  click();
  EXPECT_EQ(std::vector<int32_t>({w.X, w.Y, w.Width, w.Height}), std::vector<int32_t>({30, 40, 200, 100}));
  // A right click shows the pressed image and flips the state, nothing more.
  int32_t x = w.X + w.MaximizeButton.X + 2, y = w.Y + w.MaximizeButton.Y + 2;
  gui.MouseDown(x, y, 3);
  EXPECT_TRUE(w.MaximizeButton.Pressed);
  gui.MouseUp(x, y, 3);
  EXPECT_TRUE(w.MaximizeButton.State);
  EXPECT_EQ(w.Width, 200);
}

TEST_F(ObjectModelTest, CloseAndMinimiseButtons) {
  TWindow& w = Shown(0, 0, 200, 100);
  w.HasCaptionBar = true;
  w.MinimizeButton.Visible = w.CloseButton.Visible = true;
  int32_t combo = w.AddCombobox(10, 40, 50, 20, "a");
  w.Comboboxes[combo]->Open = true;
  auto click = [&](const TCaptionButton& b) {
    gui.MouseDown(b.X + 2, b.Y + 2, 1);
    gui.MouseUp(b.X + 2, b.Y + 2, 1);
  };
  click(w.MinimizeButton);
  EXPECT_TRUE(w.MinimizeButton.State);
  EXPECT_FALSE(w.Comboboxes[combo]->Open);
  EXPECT_FALSE(w.IsMouseOver(5, 50));  // only the caption bar remains
  int hidden = 0;
  w.CloseButton.SetOnHide([&](TGUIObject*) { ++hidden; });
  click(w.CloseButton);
  EXPECT_EQ(hidden, 1);
  EXPECT_FALSE(w.Visible);
}

}  // namespace
