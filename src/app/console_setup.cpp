// Wiring the console to the game driver.
#include "app/console_setup.h"

#include "app/demo_playback.h"
#include "app/game.h"
#include "frontend/console.h"
#include "frontend/console_hooks.h"
#include "gui/gui_manager.h"

void InstallConsoleHooks(Tgame& game) {
  ConsoleHooks = {};
  ConsoleHooks.Settings = &game;
  ConsoleHooks.LevelRunning = &game.LevelRunning;
  ConsoleHooks.IsAdmin = &game.IsAdmin;
  ConsoleHooks.TextureScroll = &TextureScroll;
  ConsoleHooks.SetInGame = [&game](bool value) { game.SetInGame(value); };
  ConsoleHooks.EndLevel = [&game] { game.EndLevel(); };
  ConsoleHooks.DemoCommand = [&game](const std::string& command, const std::string& arg) {
    DemoCommand(game, command, arg);
  };
  // "reinit_shader" reloads the shader files into the passes the setting asks for.
  ConsoleHooks.ReinitShaders = [&game] {
    game.StopRenderpasses();
    game.StartRenderpasses();
  };
}
