// What the windows ask of the game driver, which sits above the front end:
// level start and end, the mode switches, the error report, quitting, and the
// state the menus read. The driver fills these at start; tests fill them with
// recorders. An empty hook does nothing (a state hook reads false).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

struct TFrontendHooks {
  std::function<void(const std::string& name)> RequestLevel;
  std::function<void(const std::string& name)> StartLevel;
  std::function<void()> EndLevel;
  std::function<void(bool value)> SetInGame;
  std::function<void(bool value)> SetCursorVisible;
  std::function<void(const std::string& message, const std::string& source)> ShowError;
  std::function<void()> Quit;
  std::function<bool()> InGame;
  std::function<bool()> LevelRunning;
  // The level waiting for the level-switch confirmation.
  std::function<std::string()> PendingLevel;
  // Sends a chat line (team only or to all); empty while the network has no chat.
  std::function<void(const std::string& text, bool teamOnly)> SendChat;
  // The key the player switches the camera with (the HUD's hints name it).
  std::function<uint16_t()> CameraKey;
};

// Whole run: empty until the game driver (or a test) fills it.
extern TFrontendHooks FrontendHooks;

// Callers of the hooks: each does nothing when its hook is empty.
void FrontRequestLevel(const std::string& name);
void FrontEndLevel();
void FrontSetInGame(bool value);
void FrontSetCursorVisible(bool value);
void FrontShowError(const std::string& message, const std::string& source);
bool FrontInGame();
bool FrontLevelRunning();
