// The window groups' building and layout steps, called by TGUIAdd in the
// order of its build. Each group lives in its own file.
#pragma once
#include <cstdint>
#include <string>

class TGUIObject;
class TWindow;

// menu.cpp: the main window with its seven entries.
void BuildMainWindow();
void RelayoutMainWindow();
// The entry under the mouse in amber and the larger font, the others reset;
// -1 resets all.
void HighlightMenuEntry(int32_t text);
// "Continue Level" and "Exit Level" with their panel, shown while a level runs.
void ShowLevelEntries(bool show);

// hud.cpp: the in-game form with its six pictures.
void BuildIngameForm();
void RelayoutIngameForm();
// The magazine and ammunition pictures of the upper right corner: only while
// the player's own weapon is what the view shows.
void ShowWeaponPictures(bool show);

// dialogs.cpp: the six dialogs of "data\GUI\MainWindows.gui" and the error window.
void LoadMainDialogs();
void AttachDialogCallbacks();
void BuildErrorWindow();
// Reads a whole-number field: an error naming the field when the text is no
// integer or lies outside [low, high] (which the message then names).
bool ReadNumberField(const std::string& text, const std::string& field, int64_t low, int64_t high, int32_t& value);

// setup.cpp
void AttachSetupCallbacks();
void OpenSetup();
void ApplySetup();

// buy.cpp
void BuildBuyWindow();
// Shows page 0 (pistols), 1 (rifles) or 2 (equipment) and hides the others.
void ShowBuyPage(int32_t page);

// statistics.cpp, chat.cpp, character_choice.cpp
void BuildStatisticsWindow();
void BuildChatWindow();
void OpenChatWindow();
void BuildCharacterChoice();

// Loads a one-window .gui file into index, hidden, as a child of parent.
void LoadChildWindow(const std::string& fileName, int32_t& index, int32_t parent);

// A window's OnHide: the keyboard focus goes to the manager's first window,
// so that a hidden edit does not go on collecting keys.
void ReleaseFocus(TGUIObject* sender);
