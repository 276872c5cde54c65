// The game's windows: TGUIAdd builds every window with the GUI toolkit, keeps
// them laid out for the window size and draws the head-up display. The window
// and font indices it creates are globals read by the event handler and the
// console.
#pragma once
#include <cstdint>
#include <string>

#include "frontend/hud_hints.h"
#include "gui/gui_object.h"

class TWindow;

class TGUIAdd {
 public:
  // Once, after the window is open: fonts, skins, sounds and every window.
  void BuildWindows();
  // Every frame, last: the HUD in game, the main menu's level entries
  // otherwise, the GUI, and the perspective restored (gui_add_draw.cpp).
  void Draw();
  // The score table from the characters (every 3 s in game and on Tab).
  void UpdateStatistics();
  // Sizes and places the windows for the current screen size.
  void Relayout();
  // Fills, sizes, centres and shows the error window.
  void ShowErrorWindow(const std::string& message, const std::string& source);
  // Shows the character choice centred, for a level start and key "m".
  void ShowCharacterChoice();
  // The level-switch confirmation, centred.
  void ShowSwitchLevel();
  // One frame of the level's name and "Loading..." while a level loads; the
  // caller swaps the buffers (gui_add_draw.cpp).
  void DrawLoading(const std::string& levelName);
  // The new player's hints; the event handler reports the keys used.
  THints Hints;
};

// Whole run: created by InitModules and freed by ShutdownModules.
extern TGUIAdd* GUIAdd;

// Window indices in GUIManager's list; -1 until BuildWindows, then whole run.
extern int32_t MainWindow, IngameForm, NewGameWindow, JoinWindow, SetupWindow, CreditsWindow, ExitWindow,
    SwitchLevelWindow, BuyWindow, StatisticsWindow, ChatWindow, ChooseCharacterWindow, ErrorWindow;
// Font indices, 0 to 9 in this order once BuildWindows has loaded them, then
// the main menu's two, which it scales with the screen height.
extern int32_t FontArial10, FontBodini10, FontVerdana12, FontCourier50, FontCourier35, FontCourier100,
    FontCourier45, FontCourier200, FontCourier250, FontBrokenGhost, FontMenu, FontMenuHot;

// The window at a global index, or null before BuildWindows (or when the
// index lies outside the manager's list).
TWindow* Win(int32_t index);
// X := ScreenCenterX - Width / 2, Y := ScreenCenterY - Height / 2, rounded.
void CentreWindow(TWindow& window);
// Centres and shows the window at index.
void ShowCentred(int32_t index);
void HideWindow(int32_t index);
bool WindowVisible(int32_t index);

// The red of the death tint: green and blue at t / 5000 for t ms since the
// death (0 counts as 1), 1 from 5 s on.
float DeathTint(uint32_t now, uint32_t deathTime);
// A visible edit has the keyboard focus: keys go to the text, not to the game.
bool EditHasFocus();
// Hides the HUD's child windows (buy, statistics, chat, character choice).
void HideHudWindows();
