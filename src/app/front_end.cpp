// The front end's hooks, filled with the game driver's operations.
#include "app/front_end.h"

#include "app/game.h"
#include "core/run_state.h"
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "game/game_hooks.h"
#include "net/network.h"

void StartFrontEnd(Tgame& game) {
  FrontendHooks.RequestLevel = [&game](const std::string& name) { game.RequestLevel(name); };
  FrontendHooks.StartLevel = [&game](const std::string& name) { game.StartLevel(name); };
  FrontendHooks.EndLevel = [&game] { game.EndLevel(); };
  FrontendHooks.SetInGame = [&game](bool value) { game.SetInGame(value); };
  FrontendHooks.SetCursorVisible = [&game](bool value) { game.SetCursorVisible(value); };
  FrontendHooks.ShowError = [&game](const std::string& message, const std::string& source) {
    game.ShowError(message, source);
  };
  FrontendHooks.Quit = [] { QuitFlag = -1; };
  FrontendHooks.InGame = [&game] { return game.InGame; };
  FrontendHooks.LevelRunning = [&game] { return game.LevelRunning; };
  FrontendHooks.PendingLevel = [] { return PendingLevel; };
  FrontendHooks.SendChat = [](const std::string& text, bool teamOnly) {
    if (Network) Network->SendChat(text, teamOnly);
  };
  FrontendHooks.CameraKey = [&game] { return game.KeyCamera.Key; };
  GameHooks.HideBuyWindow = [] { HideWindow(BuyWindow); };
  if (GUIAdd) GUIAdd->BuildWindows();
}
