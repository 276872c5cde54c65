// The main menu: its picture and the seven entries along the lower left.
#include "core/run_state.h"
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "fx/game_sounds.h"
#include "gui/gui_manager.h"

namespace {
// Entries by text index, with their distance from the bottom of the screen.
struct TMenuEntry {
  const char* Caption;
  int32_t FromBottom;
};
constexpr TMenuEntry kEntries[] = {{"New Game", 110}, {"Join Game", 90}, {"Setup", 70},          {"Credits", 50},
                                   {"Exit", 30},      {"Continue Level", 190}, {"Exit Level", 170}};
constexpr int32_t kEntryCount = 7;
constexpr int32_t kMenuX = 30;
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
}  // namespace

void HighlightMenuEntry(int32_t entry) {
  TWindow* w = Win(MainWindow);
  if (!w) return;
  for (int32_t i = 0; i < kEntryCount && i < static_cast<int32_t>(w->Texts.size()); ++i) {
    TText& text = *w->Texts[static_cast<size_t>(i)];
    bool hot = i == entry;
    text.Font = hot ? FontCourier50 : FontCourier45;
    text.Color = hot ? kGUIWhite : kMenuColor;
    text.SetText(text.Text);
  }
  if (entry >= 0 && entry != highlighted) PlayClickSound();
  highlighted = entry;
}

void BuildMainWindow() {
  TGUIclass& gui = *GUIManager;
  MainWindow = gui.CreateWindow(0, 0, ScreenWidth, ScreenHeight, 0, "Main-Window", "data\\GUI\\main.jpg");
  TWindow& w = *Win(MainWindow);
  w.SetZ(-9);
  w.SetVisible(true);
  w.Font = FontCourier45;
  w.SetOnMouseMove([](int32_t, int32_t, TGUIObject*) { HighlightMenuEntry(-1); });
  for (int32_t i = 0; i < kEntryCount; ++i) {
    int32_t index = w.AddText(kMenuX, ScreenHeight - kEntries[i].FromBottom, kEntries[i].Caption, kMenuColor);
    TText& text = *w.Texts[static_cast<size_t>(index)];
    text.Font = FontCourier45;
    text.SetText(text.Text);
    text.SetOnMouseMove([i](int32_t, int32_t, TGUIObject*) { HighlightMenuEntry(i); });
    text.SetOnClick([i](int32_t, int32_t, TGUIObject*, int32_t) { ClickEntry(i); });
  }
}

void RelayoutMainWindow() {
  TWindow* w = Win(MainWindow);
  if (!w) return;
  w->SetWidth(ScreenWidth);
  w->SetHeight(ScreenHeight);
  w->LayoutCaptionButtons();
  for (int32_t i = 0; i < kEntryCount && i < static_cast<int32_t>(w->Texts.size()); ++i) {
    TText& text = *w->Texts[static_cast<size_t>(i)];
    text.SetLeft(kMenuX);
    text.SetTop(ScreenHeight - kEntries[i].FromBottom);
  }
}
