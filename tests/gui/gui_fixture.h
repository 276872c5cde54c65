// A GUI manager that runs without a display: texture loads are recorded,
// glyph lists are not built, and font 0 is a 7 x 10 font.
#pragma once
#include "gui/gui_manager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

class GuiTest : public testing::Test {
 protected:
  GuiTest() {
    gui.TextureLoader = [this](const std::string& name, unsigned& texture) {
      loaded.push_back(name);
      texture = static_cast<unsigned>(loaded.size());
    };
    gui.FontListBuilder = [](TFont&, const TFontGlyphs&) {};
    gui.Fonts[0] = TFont{0, 0, 7, 10, true};
    gui.Skins[0].InUse = true;
    // Index 0 is taken first, as the game's main window takes it: the press
    // handling compares against the initial free window, which is slot 0.
    gui.CreateWindow(0, 0, 0, 0, 0, "reserved", "");
  }
  // A visible window at (x, y), already ranked like a window the user clicked.
  TWindow& Shown(int32_t x, int32_t y, int32_t w, int32_t h) {
    TWindow& win = *gui.Windows[gui.CreateWindow(x, y, w, h, 0, "", "")];
    win.SetVisible(true);
    return win;
  }

  TGUIclass gui;
  std::vector<std::string> loaded;
};

// Little-endian byte strings for hand-written .gui files.
struct Bytes {
  std::string s;
  Bytes& I32(int32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return *this;
  }
  Bytes& F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return I32(static_cast<int32_t>(bits));
  }
  Bytes& U8(uint8_t v) {
    s += static_cast<char>(v);
    return *this;
  }
  Bytes& Cnt(int16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
    return *this;
  }
  Bytes& Str(const std::string& v) {
    Cnt(static_cast<int16_t>(v.size()));
    s += v;
    return *this;
  }
  Bytes& Col(float r, float g, float b, float a) { return F32(r).F32(g).F32(b).F32(a); }
  Bytes& Common(int32_t x, int32_t y, float z, int32_t w, int32_t h, bool inUse, bool visible) {
    return I32(x).I32(y).F32(z).I32(w).I32(h).I32(0).I32(0).U8(0).U8(inUse).U8(visible).I32(-1);
  }
  Bytes& FreeCommon() { return Common(0, 0, 0, 0, 0, false, false); }
};

// One window holding every widget kind with non-default fields.
inline int32_t BuildEveryKind(TGUIclass& gui) {
  int32_t index = gui.CreateWindow(40, 50, 400, 300, 0, "All", "bg.tga");
  TWindow& w = *gui.Windows[index];
  w.HasCaptionBar = true;
  w.Movable = true;
  w.Color = {0.5f, 0.25f, 1, 0.75f};
  int32_t menu = w.AddPopupMenu(80, 18, "Copy");
  w.PopupMenus[menu]->AddItem("Paste");
  int32_t b = w.AddButton(5, 6, 70, 22, "OK");
  w.Buttons[b]->SetPopupMenu(w.PopupMenus[menu].get());
  w.AddText(8, 9, "Label", {1, 0, 0, 1});
  w.AddPanel(1, 2, 3, 4);
  w.ProgressBars[w.AddProgressBar(10, 10, 100, 12)]->Position = 0.5f;
  w.AddEdit(3, 4, 90, 20, "edit me");
  w.AddCheckbox(1, 1, 12, 12, true);
  int32_t group = w.AddRadioGroup();
  w.AddRadioButton(2, 2, 12, 12, group, true);
  w.AddRadioButton(2, 20, 12, 12, group, false);
  w.AddRadioButton(2, 40, 12, 12, 0, true);
  w.AddImage(0, 0, 32, 32, true, 0x302, 0x303, "pic.tga");
  int32_t combo = w.AddCombobox(5, 60, 100, 20, "a");
  w.Comboboxes[combo]->AddItem("b");
  w.AddTextField(0, 100, 200, 50, "one\rtwo\r", -1);
  int32_t field = w.AddEditField(0, 160, 200, 50, "first line", -1);
  w.EditFields[field]->Lines = {"first line", "second", ""};
  w.EditFields[field]->ReadOnly = true;
  TWindow& page0 = *gui.Windows[gui.CreateWindow(0, 0, 0, 0, 0, "Video", "")];
  int32_t tabs = w.AddFrames(10, 200, 300, 90, &page0);
  for (const char* caption : {"Sound", "Keys"}) {
    TWindow& page = *gui.Windows[gui.CreateWindow(0, 0, 0, 0, 0, caption, "")];
    w.FramesList[tabs]->AddPage(&page);
    page.AddButton(1, 2, 30, 20, caption);
  }
  TWindow& child = *gui.Windows[gui.CreateWindow(60, 70, 80, 90, 0, "Child", "")];
  child.AddText(0, 0, "inside", kGUIWhite);
  w.AddChildWindow(&child);
  return index;
}
