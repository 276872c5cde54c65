// The order of the build, the window helpers, the relayout and the error window.
#include "frontend/gui_add.h"

#include "core/run_state.h"
#include "frontend/console.h"
#include "frontend/frontend_hooks.h"
#include "frontend/internet_games.h"
#include "frontend/windows.h"
#include "fx/game_sounds.h"
#include "gui/gui_manager.h"

#include <cmath>

TGUIAdd* GUIAdd = nullptr;

int32_t MainWindow = -1, IngameForm = -1, NewGameWindow = -1, JoinWindow = -1, SetupWindow = -1,
        CreditsWindow = -1, ExitWindow = -1, SwitchLevelWindow = -1, BuyWindow = -1, StatisticsWindow = -1,
        ChatWindow = -1, ChooseCharacterWindow = -1, ErrorWindow = -1;
int32_t FontArial10 = -1, FontBodini10 = -1, FontVerdana12 = -1, FontCourier50 = -1, FontCourier35 = -1,
        FontCourier100 = -1, FontCourier45 = -1, FontCourier200 = -1, FontCourier250 = -1, FontBrokenGhost = -1,
        FontMenu = -1, FontMenuHot = -1;

TWindow* Win(int32_t index) {
  if (!GUIManager || index < 0 || index >= static_cast<int32_t>(GUIManager->Windows.size())) return nullptr;
  return GUIManager->Windows[static_cast<size_t>(index)].get();
}

void CentreWindow(TWindow& window) {
  window.SetLeft(static_cast<int32_t>(std::lround(ScreenCenterX - window.Width / 2.0)));
  window.SetTop(static_cast<int32_t>(std::lround(ScreenCenterY - window.Height / 2.0)));
}

void ShowCentred(int32_t index) {
  if (TWindow* w = Win(index)) {
    CentreWindow(*w);
    w->SetVisible(true);
  }
}

void HideWindow(int32_t index) {
  if (TWindow* w = Win(index)) w->SetVisible(false);
}

bool WindowVisible(int32_t index) {
  TWindow* w = Win(index);
  return w && w->Visible;
}

void ReleaseFocus(TGUIObject*) {
  if (GUIManager && !GUIManager->Windows.empty()) GUIManager->SetFocus(GUIManager->Windows[0].get());
}

void LoadChildWindow(const std::string& fileName, int32_t& index, int32_t parent) {
  std::vector<int32_t> indices{index};
  GUIManager->LoadGUIFile(fileName, indices);
  index = indices[0];
  TWindow* w = Win(index);
  if (!w) return;
  w->SetVisible(false);
  if (TWindow* p = Win(parent)) p->AddChildWindow(w);
}

void TGUIAdd::BuildWindows() {
  TGUIclass& gui = *GUIManager;
  FontArial10 = gui.LoadFont("data\\fonts\\arial10.fnt", 1);
  FontBodini10 = gui.LoadFont("data\\fonts\\bodini10.fnt", 1);
  FontVerdana12 = gui.LoadFont("data\\fonts\\verdana12.fci", 0.6f);
  FontCourier50 = gui.LoadFont("data\\fonts\\couriernew48.fci", 0.5f);
  FontCourier35 = gui.LoadFont("data\\fonts\\couriernew48.fci", 0.35f);
  FontCourier100 = gui.LoadFont("data\\fonts\\couriernew48.fci", 1);
  FontCourier45 = gui.LoadFont("data\\fonts\\couriernew48.fci", 0.45f);
  FontCourier200 = gui.LoadFont("data\\fonts\\couriernew48.fci", 2);
  FontCourier250 = gui.LoadFont("data\\fonts\\couriernew48.fci", 2.5f);
  FontBrokenGhost = gui.LoadFont("data\\fonts\\brokenghost36.fci", 1);
  FontMenu = gui.LoadFont("data\\fonts\\couriernew48.fci", 1);
  FontMenuHot = gui.LoadFont("data\\fonts\\couriernew48.fci", 1);
  gui.LoadSkin("data\\skins\\windows\\");
  gui.LoadSkin("data\\skins\\black blood\\");
  BuildMainWindow();
  LoadGameSounds();
  BuildIngameForm();
  LoadMainDialogs();
  AttachDialogCallbacks();
  AttachSetupCallbacks();
  BuildInternetWindow();
  BuildErrorWindow();
  TConsoleLayout console;
  console.Skin = 1;  // "black blood"
  console.Font = FontCourier45;
  console.CaptionFont = FontCourier50;
  console.ParentWindow = MainWindow;
  CreateConsole(gui, console);
  BuildBuyWindow();
  BuildStatisticsWindow();
  BuildChatWindow();
  BuildCharacterChoice();
  ShowBuyPage(0);
}

void TGUIAdd::Relayout() {
  RelayoutMainWindow();
  RelayoutIngameForm();
  if (TWindow* choice = Win(ChooseCharacterWindow)) CentreWindow(*choice);
  if (Console) Console->Relayout(ScreenHeight);
}

void TGUIAdd::ShowErrorWindow(const std::string& message, const std::string& source) {
  TWindow* w = Win(ErrorWindow);
  if (!w || w->Texts.empty()) return;
  TText& text = *w->Texts[0];
  text.SetText(message + " - Look at .log file!");
  w->SetWidth(text.Width + 40);
  w->SetHeight(100);
  w->LayoutCaptionButtons();
  w->SetLeft(ScreenCenterX - w->Width / 2);
  w->SetTop(ScreenCenterY - 50);
  w->SetVisible(true);
  w->Caption = "Error in " + source;
}

void TGUIAdd::ShowCharacterChoice() {
  ShowCentred(ChooseCharacterWindow);
  FrontSetCursorVisible(true);
}

void TGUIAdd::ShowSwitchLevel() { ShowCentred(SwitchLevelWindow); }

bool EditHasFocus() {
  if (!GUIManager) return false;
  const TGUIObject* o = GUIManager->FocusedObject;
  if (!o || !o->Visible || !o->Window || !o->Window->Visible) return false;
  return dynamic_cast<const TEdit*>(o) || dynamic_cast<const TEditField*>(o);
}

void HideHudWindows() {
  for (int32_t index : {BuyWindow, StatisticsWindow, ChatWindow, ChooseCharacterWindow}) HideWindow(index);
}
