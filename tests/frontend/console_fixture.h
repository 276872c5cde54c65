// The console on a GUI manager without a display (font 0 is a 7 x 10 font,
// nothing reaches OpenGL), in the game-rule scene of the game tests: a
// session, the weapons without graphics, and the driver's side recorded
// through the console's hooks.
#pragma once
#include "../game/game_fixture.h"
#include "core/config.h"
#include "core/game_settings.h"
#include "core/run_state.h"
#include "frontend/console.h"
#include "frontend/console_hooks.h"

#include <string>
#include <vector>

class ConsoleTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    gui.TextureLoader = [](const std::string&, unsigned& texture) { texture = 1; };
    gui.FontListBuilder = [](TFont&, const TFontGlyphs&) {};
    gui.Fonts[0] = TFont{0, 0, 7, 10, true};
    gui.Skins[0].InUse = true;
    gui.CreateWindow(0, 0, 0, 0, 0, "Main-Window", "");
    GameVars = new TgameVariabeln(dir / "config.ini");
    ConsoleHooks = {};
    ConsoleHooks.Settings = &settings;
    ConsoleHooks.LevelRunning = &levelRunning;
    ConsoleHooks.IsAdmin = &isAdmin;
    ConsoleHooks.TextureScroll = &textureScroll;
    ConsoleHooks.SetInGame = [this](bool value) { inGameCalls.push_back(value); };
    ConsoleHooks.EndLevel = [this] { ++endLevels; };
    ConsoleHooks.ReinitShaders = [this] { ++shaderInits; };
    ConsoleHooks.WeaponsReloaded = [this] { ++weaponReloads; };
    ConsoleHooks.WeaponGraphics = false;
    con = CreateConsole(gui, TConsoleLayout{});
  }
  void TearDown() override {
    FreeConsole();
    ConsoleHooks = {};
    Characters = nullptr;
    delete GameVars;
    GameVars = nullptr;
    QuitFlag = 0;
    GameTest::TearDown();
  }
  // A running level's characters, the local player alive.
  TCharacter& LocalPlayer() {
    MakeCharacters();
    Characters = characters.get();
    characters->LocalCharacter->SetHealth(100);
    return *characters->LocalCharacter;
  }
  // The output's lines without the closing empty element of every field.
  std::vector<std::string> Output() const {
    std::vector<std::string> lines = con->Output->Lines;
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }
  std::string LastOutput() const {
    std::vector<std::string> lines = Output();
    return lines.empty() ? std::string() : lines.back();
  }

  TGUIclass gui;
  TConsole* con = nullptr;
  TGameSettings settings;
  bool levelRunning = false, isAdmin = false, textureScroll = false;
  std::vector<bool> inGameCalls;
  int endLevels = 0, shaderInits = 0, weaponReloads = 0;
};
