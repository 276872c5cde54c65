// The frame loop's seams: resize order, error reports from other threads and
// exceptions escaping a frame, key handling of the mode switches.
#include "core/config.h"
#include "app/event_handler.h"
#include "app/game.h"
#include "core/gl_api.h"
#include "core/key_codes.h"
#include "core/logger.h"
#include "core/platform.h"
#include "core/sdl_unit.h"
#include "test_support.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace {
// The globals a frame needs, on the test process's GL window.
class GameRig : public testing::Test {
 protected:
  void SetUp() override {
    Game = new Tgame();
    GameVars = new TgameVariabeln(dir / "config.ini");
    GameVars->SetDefaults(*Game);
    GameVars->Misc->Sleep = 0;
    EventHandler = new TEventHandler();
    SDLUnit = new TSDL_UNIT();
  }
  void TearDown() override {
    SetTickSource(nullptr);
    delete SDLUnit;
    delete EventHandler;
    delete GameVars;
    delete Game;
    SDLUnit = nullptr;
    EventHandler = nullptr;
    GameVars = nullptr;
    Game = nullptr;
  }
  bool OpenWindow() {
    if (!OpenGLWindow(320, 240)) return false;
    ScreenSurface = SDL_GetVideoSurface();
    return true;
  }
  static std::string LogText() {
    Logger->Flush();
    return ReadFile(Logger->LogPath());
  }
  TempDir dir;
};
}  // namespace

TEST_F(GameRig, ResizeUpdatesScreenThenViewportAndProjection) {
  REQUIRE_GL_WINDOW(320, 240);
  ASSERT_TRUE(OpenWindow());
  struct Case {
    int w, h;
    double aspect;
  } cases[] = {{300, 200, 1.5}, {240, 0, 240.0}};  // height 0 is taken as 1 for the aspect
  for (const Case& c : cases) {
    SDL_Event event{};
    event.type = SDL_VIDEORESIZE;
    event.resize.w = c.w;
    event.resize.h = c.h;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    SDLUnit->PumpEvents();
    EXPECT_EQ(ScreenWidth, c.w);
    EXPECT_EQ(ScreenHeight, c.h);
    EXPECT_EQ(ScreenCenterX, c.w / 2);
    EXPECT_EQ(ScreenCenterY, c.h / 2);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], c.w);
    EXPECT_EQ(viewport[3], std::max(c.h, 1));
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(projection[5], f, 1e-4);
    EXPECT_NEAR(projection[0], f / c.aspect, 1e-4);
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
  }
}

TEST_F(GameRig, ErrorFromAnotherThreadWaitsForTheNextFrame) {
  REQUIRE_GL_WINDOW(320, 240);
  ASSERT_TRUE(OpenWindow());
  Game->LevelRunning = true;
  std::thread([] { Game->ShowError("connection lost", "UNetwork"); }).join();
  EXPECT_TRUE(Game->LevelRunning);
  EXPECT_EQ(LogText().find("connection lost"), std::string::npos);
  Game->Frame();
  EXPECT_FALSE(Game->LevelRunning);
  EXPECT_NE(LogText().find("ERROR UNetwork: connection lost"), std::string::npos);
}

TEST_F(GameRig, ExceptionEscapingAFrameIsReportedAndTheGameGoesOn) {
  REQUIRE_GL_WINDOW(320, 240);
  ASSERT_TRUE(OpenWindow());
  Game->LevelRunning = true;
  SetTickSource([]() -> uint32_t { throw std::runtime_error("clock exploded"); });
  int32_t frames = FrameCount;
  Game->Frame();
  EXPECT_EQ(FrameCount, frames + 1);
  EXPECT_FALSE(Game->LevelRunning);
  EXPECT_NE(LogText().find("ERROR Main: clock exploded"), std::string::npos);
  EXPECT_NE(LogText().find("Console: clock exploded - Main"), std::string::npos);  // the console's line, logged without one
}

TEST_F(GameRig, MenuAndCameraKeys) {
  TKeySym escape{0, kKeyEscape, 0, 0}, f1{0, kKeyF1, 0, 0}, w{0, kKeyW, 0, 0};
  Game->LevelRunning = true;
  Game->InGame = true;
  Game->CursorVisible = true;
  EventHandler->KeyDown(escape);  // in game with the cursor shown: hide the cursor, stay in game
  EXPECT_TRUE(Game->InGame);
  EXPECT_FALSE(Game->CursorVisible);
  EventHandler->KeyDown(escape);  // again: to the menu
  EXPECT_FALSE(Game->InGame);
  EXPECT_TRUE(Game->CursorVisible);
  EventHandler->KeyDown(w);  // movement keys only act in game
  EXPECT_FALSE(Game->KeyForward.Held);

  Game->SetInGame(true);
  EventHandler->KeyDown(w);
  EXPECT_TRUE(Game->KeyForward.Held);
  EventHandler->KeyUp(w);
  EXPECT_FALSE(Game->KeyForward.Held);
  int seen[4];
  for (int& mode : seen) {
    mode = Game->CamMode;
    EventHandler->KeyDown(f1);
  }
  EXPECT_EQ(std::vector<int>(seen, seen + 4), (std::vector<int>{0, 1, 2, 0}));
  Game->CamCount = 0;  // a configuration without camera modes must not divide by zero
  EventHandler->KeyDown(f1);
  EXPECT_EQ(Game->CamMode, 1);
}

TEST_F(GameRig, PrintKeySavesTheNextFreeScreenshot) {
  REQUIRE_GL_WINDOW(320, 240);
  ASSERT_TRUE(OpenWindow());
  TempDir work;
  std::string oldDir = std::filesystem::current_path();
  std::filesystem::current_path(work.Path());
  std::filesystem::create_directory("Screenshots");
  WriteFile("Screenshots/Screen0.jpg", "taken");
  TKeySym print{0, kKeyPrint, 0, 0};
  EventHandler->KeyDown(print);
  EventHandler->KeyDown(print);
  EXPECT_TRUE(std::filesystem::exists("Screenshots/Screen1.jpg"));
  EXPECT_TRUE(std::filesystem::exists("Screenshots/Screen2.jpg"));
  EXPECT_EQ(ReadFile("Screenshots/Screen0.jpg"), "taken");
  std::filesystem::current_path(oldDir);
}

TEST_F(GameRig, PointerStaysInTheWindowOnlyDuringMouseLook) {
  REQUIRE_GL_WINDOW(320, 240);
  ASSERT_TRUE(OpenWindow());
  auto grabbed = [] { return SDL_WM_GrabInput(SDL_GRAB_QUERY) == SDL_GRAB_ON; };
  auto focus = [](bool gain) {
    SDL_Event event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = gain ? 1 : 0;
    event.active.state = SDL_APPINPUTFOCUS;
    SDL_PushEvent(&event);
    SDLUnit->PumpEvents();
  };
  Game->SetCursorVisible(false);  // mouse look
  EXPECT_TRUE(grabbed());
  focus(false);  // another window takes the focus
  EXPECT_FALSE(grabbed());
  focus(true);
  EXPECT_TRUE(grabbed());
  Game->SetCursorVisible(true);  // a menu or dialog
  EXPECT_FALSE(grabbed());
  focus(true);
  EXPECT_FALSE(grabbed());
}
