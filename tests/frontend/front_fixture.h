// The game's windows built once per test process from the real data tree,
// in a GL window of 800 x 600, with the driver's hooks recorded.
#pragma once
#include "core/config.h"
#include "core/gl_api.h"
#include "core/run_state.h"
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "gui/gui_manager.h"
#include "net/network.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

struct TRecorded {
  std::vector<std::string> Errors;  // the message of each ShowError
  std::vector<std::string> Requested, Started;
  int EndLevels = 0;
  bool InGame = false, LevelRunning = false, CursorVisible = true;
};

// A scratch game directory: the data tree linked in, the maps copied (levels
// are built into them), config.ini of its own.
class FrontWorld {
 public:
  static FrontWorld& Get() {
    static FrontWorld world;
    return world;
  }
  TempDir Dir;
  TRecorded Log;

 private:
  FrontWorld() {
    namespace fs = std::filesystem;
    const fs::path data = fs::path(GRIMVALE_BIN_DIR) / "data";
    fs::create_directories(Dir / "data");
    for (const auto& entry : fs::directory_iterator(data)) {
      fs::path target = fs::path(Dir / "data") / entry.path().filename();
      if (entry.path().filename() == "maps")
        fs::copy(entry.path(), target, fs::copy_options::recursive);
      else
        fs::create_directory_symlink(entry.path(), target);
    }
    fs::current_path(Dir.Path());
  }
};

class FrontTest : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_GL_WINDOW(800, 600);
    FrontWorld& world = FrontWorld::Get();
    log = &world.Log;
    *log = TRecorded{};
    SetScreen(800, 600);
    if (!GUIManager) Build(world);
    HideAll();
  }
  void TearDown() override {
    Characters = nullptr;
    characters.reset();
    if (Network) Network->Close();
  }

  // The GL state the platform layer sets at start, for tests that draw.
  static void UseStartGLState() {
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  }
  static void SetScreen(int32_t w, int32_t h) {
    ScreenWidth = w;
    ScreenHeight = h;
    ScreenCenterX = w / 2;
    ScreenCenterY = h / 2;
    if (GUIManager) {
      GUIManager->ScreenWidth = w;
      GUIManager->ScreenHeight = h;
    }
  }
  // Every dialog and HUD window hidden, the menu shown.
  static void HideAll() {
    for (int32_t w : {NewGameWindow, JoinWindow, SetupWindow, CreditsWindow, ExitWindow, SwitchLevelWindow,
                      ErrorWindow, BuyWindow, StatisticsWindow, ChatWindow, ChooseCharacterWindow})
      HideWindow(w);
  }
  static void Click(TGUIObject& o) {
    ASSERT_TRUE(o.OnClick);
    o.OnClick(0, 0, &o, 1);
  }
  // Characters without a level or graphics, the local player at index 0.
  TCharacters& MakeCharacters() {
    characters = std::make_unique<TCharacters>(nullptr, false);
    Characters = characters.get();
    return *characters;
  }

  TRecorded* log = nullptr;
  std::unique_ptr<TCharacters> characters;

 private:
  static void Build(FrontWorld& world) {
    TRecorded& r = world.Log;
    GUIManager = new TGUIclass();
    GameVars = new TgameVariabeln(world.Dir / "config.ini");
    Weapons = new TWeapons();
    Network = new TNetwork();
    Network->DiscoveryPort = 0;  // a server answers searches on a free port, never the default
    GUIAdd = new TGUIAdd();
    FrontendHooks.ShowError = [&r](const std::string& m, const std::string& source) {
      r.Errors.push_back(m);
      EXPECT_EQ(source, "GUIAdds");
    };
    FrontendHooks.RequestLevel = [&r](const std::string& name) { r.Requested.push_back(name); };
    FrontendHooks.StartLevel = [&r](const std::string& name) { r.Started.push_back(name); };
    FrontendHooks.EndLevel = [&r] { ++r.EndLevels; };
    FrontendHooks.SetInGame = [&r](bool v) { r.InGame = v; };
    FrontendHooks.SetCursorVisible = [&r](bool v) { r.CursorVisible = v; };
    FrontendHooks.InGame = [&r] { return r.InGame; };
    FrontendHooks.LevelRunning = [&r] { return r.LevelRunning; };
    FrontendHooks.PendingLevel = [] { return std::string("compound"); };
    GUIAdd->BuildWindows();
  }
};
