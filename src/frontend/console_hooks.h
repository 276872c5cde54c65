// What the console changes in the game driver, which sits above the front
// end: the mode switch, the level's end, the render passes, and the driver's
// flags. The game driver fills these at start; tests fill what they need. An
// empty hook does nothing and a null pointer leaves its command without
// effect.
#pragma once
#include <functional>
#include <string>

struct TGameSettings;

struct TConsoleHooks {
  TGameSettings* Settings = nullptr;  // gravity and speed ("grav", "speed")
  const bool* LevelRunning = nullptr;
  bool* IsAdmin = nullptr;
  bool* TextureScroll = nullptr;  // "startstupid" / "stopstupid"
  std::function<void(bool inGame)> SetInGame;
  std::function<void()> EndLevel;
  // The demo commands (demo, timedemo, demopause, demospeed, stopdemo) and
  // their argument.
  std::function<void(const std::string& command, const std::string& arg)> DemoCommand;
  std::function<void()> ReinitShaders;
  // After "reinit_weapons" replaced Weapons (the buy window shows their
  // pictures, which went with the old ones).
  std::function<void()> WeaponsReloaded;
  // Weapons reloaded by "reinit_weapons" load their models and pictures
  // (false where no OpenGL context exists).
  bool WeaponGraphics = true;
};

// Whole run: empty until the game driver (or a test) fills it.
extern TConsoleHooks ConsoleHooks;
