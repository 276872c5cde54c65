// The main menu: its picture and the seven entries along the lower left, on
// dark panels and in fonts that grow with the screen height, so that they
// read alike at every resolution.
#include "core/run_state.h"
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "fx/game_sounds.h"
#include "gui/gui_manager.h"

#include <algorithm>
#include <cmath>

namespace {
// Entries by text index, with the top of each above the bottom of the
// screen, in lines of a screen 600 lines high.
struct TMenuEntry {
  const char* Caption;
  int32_t FromBottom;
};
constexpr TMenuEntry kEntries[] = {{"New Game", 214}, {"Join Game", 178}, {"Setup", 142},          {"Credits", 106},
                                   {"Exit", 70},      {"Continue Level", 326}, {"Exit Level", 290}};
constexpr int32_t kEntryCount = 7, kFirstLevelEntry = 5;
// Also in lines of 600: the left edge of the entries and the panels' margin
// around them. The fonts' scales are for 600 lines too (a cell 30 high).
constexpr int32_t kMenuX = 30, kPanelMargin = 12;
constexpr float kFontScale = 1, kHotFontScale = 1.15f;
// Light on the panels' dark grey and amber for the entry under the mouse:
// both contrast with the panel by more than 7:1.
constexpr TGUIColor kEntryColor{0.93f, 0.9f, 0.86f, 1}, kHotColor{1, 0.76f, 0.24f, 1};
// The panels behind the five entries and behind the two a running level adds,
// in the dark skin ("black blood", loaded second).
int32_t mainPanel = -1, levelPanel = -1;
constexpr int32_t kPanelSkin = 1;
// The entry last highlighted, so that the click plays once per entry the
// mouse reaches rather than for every motion over it.
int32_t highlighted = -1;

void ClickEntry(int32_t entry) {
  switch (entry) {
    case 0: ShowCentred(NewGameWindow); break;
    case 1: ShowCentred(JoinWindow); break;
    case 2: OpenSetup(); break;
    case 3: ShowCentred(CreditsWindow); break;
    case 4: ShowCentred(ExitWindow); break;
    case 5: FrontSetInGame(true); break;
    case 6: FrontEndLevel(); break;
    default: break;
  }
}

// Screen lines per line of the 600-line layout.
float Lines() { return std::max(ScreenHeight, 1) / 600.0f; }
int32_t Scaled(int32_t lines600) { return static_cast<int32_t>(std::lround(lines600 * Lines())); }

// Places a panel around the entries first..last (text indices), wide enough
// for each in the larger font.
void FitPanel(TWindow& w, int32_t panel, int32_t first, int32_t last) {
  const TFont* hot = GUIManager->FontAt(FontMenuHot);
  int32_t right = 0, top = ScreenHeight, bottom = 0;
  for (int32_t i = first; i <= last; ++i) {
    const TText& text = *w.Texts[static_cast<size_t>(i)];
    right = std::max(right, text.X + (hot ? hot->CharWidth : 0) * static_cast<int32_t>(text.Text.size()));
    top = std::min(top, text.Y);
    bottom = std::max(bottom, text.Y + (hot ? hot->CharHeight : text.Height));
  }
  const int32_t margin = Scaled(kPanelMargin);
  TPanel& p = *w.Panels[static_cast<size_t>(panel)];
  p.SetLeft(Scaled(kMenuX) - margin);
  p.SetTop(top - margin);
  p.SetWidth(right - Scaled(kMenuX) + 2 * margin);
  p.SetHeight(bottom - top + 2 * margin);
}
}  // namespace

void HighlightMenuEntry(int32_t entry) {
  TWindow* w = Win(MainWindow);
  if (!w) return;
  for (int32_t i = 0; i < kEntryCount && i < static_cast<int32_t>(w->Texts.size()); ++i) {
    TText& text = *w->Texts[static_cast<size_t>(i)];
    bool hot = i == entry;
    text.Font = hot ? FontMenuHot : FontMenu;
    text.Color = hot ? kHotColor : kEntryColor;
    text.SetText(text.Text);
  }
  if (entry >= 0 && entry != highlighted) PlayClickSound();
  highlighted = entry;
}

void ShowLevelEntries(bool show) {
  TWindow* w = Win(MainWindow);
  if (!w || w->Texts.size() < kEntryCount) return;
  for (int32_t i = kFirstLevelEntry; i < kEntryCount; ++i) w->Texts[static_cast<size_t>(i)]->Visible = show;
  w->Panels[static_cast<size_t>(levelPanel)]->Visible = show;
}

void BuildMainWindow() {
  TGUIclass& gui = *GUIManager;
  MainWindow = gui.CreateWindow(0, 0, ScreenWidth, ScreenHeight, 0, "Main-Window", "data\\GUI\\main.jpg");
  TWindow& w = *Win(MainWindow);
  w.SetZ(-9);
  w.SetVisible(true);
  w.Font = FontMenu;
  w.SetOnMouseMove([](int32_t, int32_t, TGUIObject*) { HighlightMenuEntry(-1); });
  // Added before the entries, the panels are drawn under them.
  mainPanel = w.AddPanel(0, 0, 0, 0);
  levelPanel = w.AddPanel(0, 0, 0, 0);
  for (int32_t panel : {mainPanel, levelPanel}) w.Panels[static_cast<size_t>(panel)]->Skin = kPanelSkin;
  for (int32_t i = 0; i < kEntryCount; ++i) {
    int32_t index = w.AddText(0, 0, kEntries[i].Caption, kEntryColor);
    TText& text = *w.Texts[static_cast<size_t>(index)];
    text.SetOnMouseMove([i](int32_t, int32_t, TGUIObject*) { HighlightMenuEntry(i); });
    text.SetOnClick([i](int32_t, int32_t, TGUIObject*, int32_t) { ClickEntry(i); });
  }
  RelayoutMainWindow();
}

void RelayoutMainWindow() {
  TWindow* w = Win(MainWindow);
  if (!w) return;
  w->SetWidth(ScreenWidth);
  w->SetHeight(ScreenHeight);
  w->LayoutCaptionButtons();
  GUIManager->ScaleFont(FontMenu, kFontScale * Lines());
  GUIManager->ScaleFont(FontMenuHot, kHotFontScale * Lines());
  for (int32_t i = 0; i < kEntryCount && i < static_cast<int32_t>(w->Texts.size()); ++i) {
    TText& text = *w->Texts[static_cast<size_t>(i)];
    text.SetLeft(Scaled(kMenuX));
    text.SetTop(ScreenHeight - Scaled(kEntries[i].FromBottom));
  }
  HighlightMenuEntry(highlighted);
  FitPanel(*w, mainPanel, 0, kFirstLevelEntry - 1);
  FitPanel(*w, levelPanel, kFirstLevelEntry, kEntryCount - 1);
}
