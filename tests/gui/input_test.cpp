// Mouse and keyboard handling: hit testing, pressing, dragging, focus, combo
// boxes, popup menus, and the editing and character tables.
#include "gui_fixture.h"

#include "core/key_codes.h"

namespace {

class InputTest : public GuiTest {
 protected:
  void Click(int32_t x, int32_t y, int32_t button = 1) {
    gui.MouseDown(x, y, button);
    gui.MouseUp(x, y, button);
  }
  void Type(const std::vector<uint16_t>& keys) {
    for (uint16_t key : keys) {
      gui.KeyDown(key);
      gui.KeyUp(key);
    }
  }
};

TEST_F(InputTest, TheNearestObjectTakesThePress) {
  TWindow& back = Shown(0, 0, 200, 200);
  TWindow& front = Shown(100, 100, 200, 200);
  int32_t b = back.AddButton(10, 10, 50, 20, "");
  Click(150, 150);  // the overlap; both windows share depth 0, the first wins
  EXPECT_EQ(gui.PressedObject, &back);
  Click(250, 250);
  EXPECT_EQ(gui.PressedObject, &front);
  EXPECT_GT(front.Z, back.Z);
  Click(150, 150);
  EXPECT_EQ(gui.PressedObject, &front);
  Click(15, 15);
  EXPECT_EQ(gui.PressedObject, back.Buttons[b].get());  // widgets lie above their window
}

// Of two widgets at one depth the one drawn later is the one seen. Hovering,
// pressing and releasing must all find that one, or a click never gives it
// the focus.
TEST_F(InputTest, AtEqualDepthTheWidgetDrawnLaterTakesTheMouse) {
  using Add = TGUIObject& (*)(TWindow&);
  const struct {
    Add under, over;  // in drawing order
  } cases[] = {
      {[](TWindow& w) -> TGUIObject& { return *w.Edits[w.AddEdit(0, 0, 50, 20, "")]; },
       [](TWindow& w) -> TGUIObject& { return *w.Buttons[w.AddButton(0, 0, 50, 20, "")]; }},
      {[](TWindow& w) -> TGUIObject& { return *w.Checkboxes[w.AddCheckbox(0, 0, 50, 20, false)]; },
       [](TWindow& w) -> TGUIObject& { return *w.Texts[w.AddText(0, 0, "Exit", kGUIWhite)]; }},
      {[](TWindow& w) -> TGUIObject& { return *w.TextFields[w.AddTextField(0, 0, 50, 20, "", -1)]; },
       [](TWindow& w) -> TGUIObject& { return *w.EditFields[w.AddEditField(0, 0, 50, 20, "", -1)]; }},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    TWindow& w = Shown(0, 0, 100, 100);
    TGUIObject& under = cases[i].under(w);
    TGUIObject& over = cases[i].over(w);
    over.Z = under.Z;
    for (TGUIObject* o : {&under, &over}) o->SetOnMouseMove([](int32_t, int32_t, TGUIObject*) {});
    gui.MouseMove(5, 5);
    EXPECT_EQ(gui.HoveredObject, &over) << i;
    Click(5, 5);
    EXPECT_EQ(gui.PressedObject, &over) << i;
    EXPECT_EQ(gui.FocusedObject, &over) << i;
    w.SetVisible(false);
  }
}

// A press that a nearer window takes leaves the combo box beneath it alone.
TEST_F(InputTest, AComboBoxUnderAnotherWindowStaysClosed) {
  TWindow& back = Shown(0, 0, 200, 200);
  TCombobox& combo = *back.Comboboxes[back.AddCombobox(10, 10, 100, 20, "a")];
  TWindow& front = Shown(50, 0, 200, 200);
  TButton& button = *front.Buttons[front.AddButton(10, 10, 50, 20, "")];
  Click(240, 100);  // brings the front window forward
  ASSERT_GT(button.Z, combo.Z);
  gui.MouseDown(70, 15, 1);
  EXPECT_EQ(gui.PressedObject, &button);
  EXPECT_FALSE(combo.Open);
}

TEST_F(InputTest, ButtonsReleasedElsewhereDoNotClick) {
  TWindow& w = Shown(0, 0, 200, 200);
  TButton& b = *w.Buttons[w.AddButton(10, 10, 50, 20, "")];
  int clicks = 0;
  b.SetOnClick([&](int32_t, int32_t, TGUIObject*, int32_t) { ++clicks; });
  gui.MouseDown(20, 20, 1);
  EXPECT_TRUE(b.Pressed);
  gui.MouseUp(150, 150, 1);
  EXPECT_FALSE(b.Pressed);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(b.HasFocus);
  Click(20, 20);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(b.HasFocus);  // any clicked object takes the focus
  EXPECT_EQ(gui.FocusedObject, &b);
}

TEST_F(InputTest, CheckboxesAndRadioGroups) {
  TWindow& w = Shown(0, 0, 400, 200);
  TCheckbox& c = *w.Checkboxes[w.AddCheckbox(0, 0, 10, 10, false)];
  Click(5, 5);
  EXPECT_TRUE(c.Checked);
  Click(5, 5, 3);
  EXPECT_TRUE(c.Checked);
  Click(5, 5);
  EXPECT_FALSE(c.Checked);
  gui.MouseDown(5, 5, 1);
  gui.MouseUp(300, 100, 1);
  EXPECT_FALSE(c.Checked);

  int32_t g1 = w.AddRadioGroup();
  std::vector<TRadioButton*> r;
  for (int i = 0; i < 3; ++i) r.push_back(w.RadioButtons[w.AddRadioButton(20 * i, 50, 10, 10, g1, i == 0)].get());
  for (int i = 0; i < 2; ++i) r.push_back(w.RadioButtons[w.AddRadioButton(20 * i, 80, 10, 10, 0, i == 1)].get());
  EXPECT_EQ(r[2]->IndexInGroup, 3);
  Click(45, 55);
  EXPECT_EQ(std::vector<bool>({r[0]->Checked, r[1]->Checked, r[2]->Checked, r[3]->Checked, r[4]->Checked}),
            std::vector<bool>({false, false, true, false, true}));
  EXPECT_EQ(w.RadioGroups[g1]->Selected, 3);
}

TEST_F(InputTest, WindowsDragByTheCaptionBarOnly) {
  TWindow& w = Shown(100, 100, 200, 200);
  w.Movable = true;
  gui.MouseDown(150, 110, 1);
  gui.MouseMove(160, 130);
  gui.MouseUp(160, 130, 1);
  EXPECT_EQ(w.X, 100);  // no caption bar, no drag
  w.HasCaptionBar = true;
  int drags = 0, ends = 0;
  w.OnDrag = [&](int32_t, int32_t, TGUIObject*, int32_t) { ++drags; };
  w.OnDragEnd = [&](int32_t, int32_t, TGUIObject*, int32_t) { ++ends; };
  gui.MouseDown(150, 110, 1);
  gui.MouseMove(160, 130);
  gui.MouseUp(160, 130, 1);
  EXPECT_EQ(w.X, 110);
  EXPECT_EQ(w.Y, 120);
  EXPECT_EQ(w.CloseButton.X, 200 - 26 - 3);  // caption buttons are relative
  EXPECT_EQ(drags, 1);
  EXPECT_EQ(ends, 1);
  gui.MouseDown(150, 250, 1);  // below the caption bar
  gui.MouseMove(170, 270);
  gui.MouseUp(170, 270, 1);
  EXPECT_EQ(w.X, 110);

  TPanel& p = *w.Panels[w.AddPanel(10, 50, 50, 50)];
  p.Movable = true;
  gui.MouseDown(140, 200, 1);
  gui.MouseMove(145, 190);
  gui.MouseUp(145, 190, 1);
  EXPECT_EQ(p.X, 15);
  EXPECT_EQ(p.Y, 40);
}

TEST_F(InputTest, ComboBoxesOpenHoverSelectAndClose) {
  TWindow& w = Shown(0, 0, 300, 300);
  TCombobox& c = *w.Comboboxes[w.AddCombobox(10, 10, 100, 20, "zero")];
  c.AddItem("one");
  c.AddItem("two");
  Click(20, 15);
  EXPECT_TRUE(c.Open);
  gui.MouseMove(20, 30 + 45);  // 45 pixels below the box
  EXPECT_EQ(c.Hovered, 2);
  EXPECT_EQ(gui.HoveredObject, c.Items[2].get());
  Click(20, 75);
  EXPECT_FALSE(c.Open);
  EXPECT_EQ(c.Selected, 2);
  EXPECT_EQ(c.Text, "zero");  // the text stays; the selected caption is drawn

  Click(20, 15);
  EXPECT_TRUE(c.Open);
  gui.MouseMove(20, 35);
  Click(250, 250);  // elsewhere
  EXPECT_FALSE(c.Open);
  EXPECT_EQ(c.Selected, 2);
  gui.MouseDown(20, 15, 4);  // the wheel opens it too
  EXPECT_TRUE(c.Open);
}

// The open list is drawn over the widgets below the box, so it takes the
// mouse there too, although an edit or a button stands nearer than the box.
TEST_F(InputTest, AnOpenComboListTakesTheMouseOverTheWidgetsBelowTheBox) {
  TWindow& w = Shown(0, 0, 300, 300);
  TCombobox& c = *w.Comboboxes[w.AddCombobox(10, 10, 100, 20, "zero")];
  c.AddItem("one");
  c.AddItem("two");
  TEdit& edit = *w.Edits[w.AddEdit(10, 50, 100, 30, "")];
  Click(20, 15);
  ASSERT_TRUE(c.Open);
  gui.MouseMove(20, 75);
  EXPECT_EQ(gui.HoveredObject, c.Items[2].get());
  Click(20, 75);
  EXPECT_EQ(c.Selected, 2);
  EXPECT_FALSE(c.Open);
  EXPECT_NE(gui.FocusedObject, &edit);
  Click(20, 75);  // closed, the edit is what lies there
  EXPECT_EQ(gui.FocusedObject, &edit);
}

TEST_F(InputTest, TabStripSelectsByPositionWithAnyButton) {
  TWindow& w = Shown(0, 0, 400, 300);
  TWindow* pages[3];
  for (auto& page : pages) page = gui.Windows[gui.CreateWindow(0, 0, 0, 0, 0, "", "")].get();
  TFrames& f = *w.FramesList[w.AddFrames(10, 10, 300, 200, pages[0])];
  f.AddPage(pages[1]);
  f.AddPage(pages[2]);
  gui.MouseDown(10 + 130, 15, 5);
  EXPECT_EQ(f.Selected, 2);
  EXPECT_TRUE(pages[2]->Visible);
  EXPECT_FALSE(pages[0]->Visible);
  gui.MouseDown(10 + 250, 15, 1);  // beyond the last tab
  EXPECT_EQ(f.Selected, 2);
}

TEST_F(InputTest, PopupMenusOpenAtTheMouseAndClickTheirItems) {
  TWindow& w = Shown(0, 0, 300, 300);
  TPopupMenu& menu = *w.PopupMenus[w.AddPopupMenu(80, 20, "first")];
  menu.AddItem("second");
  TButton& b = *w.Buttons[w.AddButton(10, 10, 50, 20, "")];
  b.SetPopupMenu(&menu);
  std::vector<std::string> clicked;
  for (auto& item : menu.Items)
    item->SetOnClick([&](int32_t, int32_t, TGUIObject* s, int32_t) {
      clicked.push_back(static_cast<TPopupMenuItem*>(s)->Caption);
    });
  Click(20, 20, 3);
  EXPECT_TRUE(menu.Open);
  EXPECT_EQ(menu.X, 22);
  EXPECT_EQ(menu.Y, 22);
  gui.MouseMove(30, 22 + 25);
  EXPECT_EQ(menu.Hovered, 1);
  Click(30, 47);
  EXPECT_EQ(clicked, std::vector<std::string>{"second"});
  EXPECT_FALSE(menu.Open);
  EXPECT_FALSE(b.HasFocus);

  Click(20, 20, 3);
  Click(250, 250);
  EXPECT_FALSE(menu.Open);
  EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(InputTest, HoverCallbacksOnlyInWindowsThatAskForThem) {
  TWindow& w = Shown(0, 0, 100, 100);
  TText& t = *w.Texts[w.AddText(10, 10, "abc", kGUIWhite)];
  gui.MouseMove(12, 12);
  EXPECT_EQ(gui.HoveredObject, nullptr);
  int moves = 0;
  t.SetOnMouseMove([&](int32_t, int32_t, TGUIObject*) { ++moves; });
  gui.MouseMove(12, 12);
  EXPECT_EQ(gui.HoveredObject, &t);
  EXPECT_EQ(moves, 1);
}

TEST_F(InputTest, PressesPlaceCaretsAndMoveSliders) {
  TWindow& w = Shown(100, 50, 400, 300);
  TEdit& e = *w.Edits[w.AddEdit(10, 10, 200, 20, "hello")];  // text starts at x 100 + 10 + 8
  const int32_t edits[][2] = {{118, 0}, {121, 0}, {122, 1}, {139, 3}, {200, 5}};
  for (const auto& c : edits) {
    gui.MouseDown(c[0], 65, 1);
    EXPECT_EQ(e.Caret, c[1]) << c[0];
  }
  TEditField& f = *w.EditFields[w.AddEditField(10, 100, 200, 100, "", -1)];
  f.Lines = {"abcdef", "xy", ""};  // LineHeight 6; text at (115, 155)
  const int32_t fields[][4] = {{129, 156, 0, 2}, {160, 163, 1, 2}, {116, 245, 2, 0}, {150, 152, 0, 5}};
  for (const auto& c : fields) {
    gui.MouseDown(c[0], c[1], 1);
    EXPECT_EQ(f.CaretLine, c[2]) << c[0] << "," << c[1];
    EXPECT_EQ(f.CaretColumn, c[3]) << c[0] << "," << c[1];
  }
  TProgressBar& bar = *w.ProgressBars[w.AddProgressBar(10, 250, 200, 10)];
  bar.SetOnMouseDown(SliderMouseDown);
  gui.MouseDown(100 + 10 - 4 + 50, 305, 1);
  EXPECT_FLOAT_EQ(bar.Position, 0.25f);
  gui.MouseDown(110, 305, 1);  // the bar's left edge counts 4 pixels in
  EXPECT_FLOAT_EQ(bar.Position, 0.02f);
}

struct KeyCase {
  std::string text;
  int32_t caret;
  uint16_t key;
  std::string wantText;
  int32_t wantCaret;
};

TEST_F(InputTest, EditKeys) {
  TWindow& w = Shown(0, 0, 300, 100);
  TEdit& e = *w.Edits[w.AddEdit(0, 0, 200, 20, "")];
  const KeyCase cases[] = {
      {"abc", 3, kKeyDelete, "ab", 2},      // Delete at the end removes the last character
      {"abc", 1, kKeyDelete, "ac", 1},      // Delete removes the character after the caret
      {"abc", 0, kKeyBackspace, "abc", 0},  // Backspace at the start
      {"abc", 2, kKeyBackspace, "ac", 1},   // Backspace
      {"abc", 3, kKeyRight, "abc", 3},      // Right at the end
      {"abc", 1, kKeyRight, "abc", 2},
      {"abc", 0, kKeyLeft, "abc", 0},       // Left at the start
      {"abc", 2, kKeyLeft, "abc", 1},
      {"abc", 1, 'x', "axbc", 2},
      {"", 0, kKeyDelete, "", 0},
  };
  for (const KeyCase& c : cases) {
    e.Text = c.text;
    e.Caret = c.caret;
    gui.SetFocus(&e);
    gui.KeyDown(c.key);
    EXPECT_EQ(e.Text, c.wantText) << c.text << " key " << c.key;
    EXPECT_EQ(e.Caret, c.wantCaret) << c.text << " key " << c.key;
  }
  gui.KeyDown(kKeyEscape);
  EXPECT_EQ(gui.FocusedObject, &w);
  EXPECT_FALSE(e.HasFocus);
}

struct FieldCase {
  std::vector<std::string> lines;
  int32_t line, column;
  uint16_t key;
  std::vector<std::string> wantLines;
  int32_t wantLine, wantColumn;
};

TEST_F(InputTest, EditFieldKeys) {
  TWindow& w = Shown(0, 0, 300, 200);
  TEditField& f = *w.EditFields[w.AddEditField(0, 0, 200, 100, "", -1)];
  using L = std::vector<std::string>;
  const FieldCase cases[] = {
      {{"hello world", ""}, 0, 5, kKeyReturn, {"hello", " world", ""}, 1, 0},     // Enter splits
      {{"hello", " world", ""}, 1, 0, kKeyBackspace, {"hello world", ""}, 0, 5},  // Backspace joins
      {{"ab", ""}, 0, 2, kKeyReturn, {"ab", "", ""}, 1, 0},                       // Enter at the end
      {{"ab", "cd"}, 0, 2, kKeyDelete, {"abcd"}, 0, 2},                           // Delete joins the next line
      {{"ab", "cd"}, 1, 2, kKeyDelete, {"ab", "c"}, 1, 1},                        // Delete at the very end
      {{"ab", ""}, 1, 0, kKeyDelete, {"ab"}, 0, 2},                               // Delete an empty last line
      {{""}, 0, 0, kKeyDelete, {""}, 0, 0},
      {{"ab", "cd"}, 1, 0, kKeyLeft, {"ab", "cd"}, 0, 2},                         // Left wraps up
      {{"ab", "cd"}, 0, 2, kKeyRight, {"ab", "cd"}, 1, 0},                        // Right wraps down
      {{"abcdef", "x"}, 0, 5, kKeyDown, {"abcdef", "x"}, 1, 1},                   // Down clamps the column
      {{"x", "abcdef"}, 1, 4, kKeyUp, {"x", "abcdef"}, 0, 1},                     // Up clamps the column
      {{"ab"}, 0, 1, 'q', {"aqb"}, 0, 2},
  };
  for (const FieldCase& c : cases) {
    f.Lines = c.lines;
    f.CaretLine = c.line;
    f.CaretColumn = c.column;
    f.ReadOnly = false;
    gui.SetFocus(&f);
    gui.KeyDown(c.key);
    EXPECT_EQ(f.Lines, c.wantLines) << "key " << c.key << " at " << c.line << "," << c.column;
    EXPECT_EQ(f.CaretLine, c.wantLine) << "key " << c.key;
    EXPECT_EQ(f.CaretColumn, c.wantColumn) << "key " << c.key;
  }
  // Read-only: the caret moves, the text does not change.
  for (uint16_t key : {kKeyA, kKeyBackspace, kKeyReturn, kKeyDelete}) {
    f.Lines = L{"ab", "cd"};
    f.CaretLine = 1;
    f.CaretColumn = 1;
    f.ReadOnly = true;
    gui.KeyDown(key);
    EXPECT_EQ(f.Lines, (L{"ab", "cd"})) << key;
  }
  gui.KeyDown(kKeyLeft);
  EXPECT_EQ(f.CaretColumn, 0);
}

TEST_F(InputTest, ShiftCountsOnlyWhileAnEditHasTheFocus) {
  TWindow& w = Shown(0, 0, 300, 100);
  TEdit& e = *w.Edits[w.AddEdit(0, 0, 200, 20, "")];
  gui.KeyDown(kKeyLShift);  // Shift with nothing focused
  Click(5, 5);
  gui.KeyDown('a');
  EXPECT_EQ(e.Text, "a");
  gui.KeyDown(kKeyLShift);
  gui.KeyDown('a');
  gui.KeyUp(kKeyLShift);
  gui.KeyDown('a');
  EXPECT_EQ(e.Text, "aAa");
}

TEST_F(InputTest, KeyToCharFollowsTheGermanLayout) {
  struct Case {
    uint16_t key;
    const char *plain, *shifted, *altGr;
  } cases[] = {
      {' ', " ", " ", " "},        {'\'', "\xE4", "\xC4", "\xE4"}, {',', ",", ";", ","},
      {'-', "\xDF", "?", "\\"},    {'.', ".", ":", "."},           {'/', "-", "_", "-"},
      {'0', "0", "=", "}"},        {'1', "1", "!", "1"},           {'2', "2", "\"", "\xB2"},
      {'3', "3", "\xA7", "\xB3"},  {'4', "4", "$", "4"},           {'5', "5", "%", "5"},
      {'6', "6", "&", "6"},        {'7', "7", "/", "{"},           {'8', "8", "(", "["},
      {'9', "9", ")", "]"},        {';', "\xF6", "\xD6", "\xF6"},  {'<', "<", ">", "|"},
      {'=', "\xB4", "`", "\xB4"},  {'[', "\xFC", "\xDC", "\xFC"},  {'\\', "#", "'", "#"},
      {']', "+", "*", "~"},        {'`', "^", "\xB0", "^"},        {'a', "a", "A", "a"},
      {'e', "e", "E", "\x80"},     {'m', "m", "M", "\xB5"},        {'q', "q", "Q", "@"},
      {'x', "x", "X", "x"},        {'y', "z", "Z", "z"},           {'z', "y", "Y", "y"},
      {kKeyBackspace, "", "", ""}, {kKeyReturn, "", "", ""},       {kKeyDelete, "", "", ""},
      {kKeyRight, "", "", ""},     {'A', "", "", ""},
  };
  for (const Case& c : cases) {
    gui.Shift = gui.AltGr = false;
    EXPECT_EQ(gui.KeyToChar(c.key), c.plain) << c.key;
    gui.Shift = true;
    EXPECT_EQ(gui.KeyToChar(c.key), c.shifted) << c.key;
    gui.AltGr = true;  // Shift wins over AltGr
    EXPECT_EQ(gui.KeyToChar(c.key), c.shifted) << c.key;
    gui.Shift = false;
    EXPECT_EQ(gui.KeyToChar(c.key), c.altGr) << c.key;
  }
}

}  // namespace
