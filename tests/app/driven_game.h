// The game driver over the windows of front_fixture.h, as the pictures of a
// running level need it: the driver, frustum and camera the frame draws with,
// and the window hooks pointed at the driver. The destructor ends any level,
// frees them and puts the recorded hooks back.
#pragma once
#include "app/camera.h"
#include "app/game.h"
#include "frontend/frontend_hooks.h"
#include "render/render_pass.h"
#include "world/frustum.h"

class TDrivenGame {
 public:
  TDrivenGame() : saved(FrontendHooks) {
    Game = new Tgame();
    Frustum = new TFrustum();
    Cam = new TCam();
    FrontendHooks.SetInGame = [](bool v) { Game->SetInGame(v); };
    FrontendHooks.SetCursorVisible = [](bool v) { Game->SetCursorVisible(v); };
    FrontendHooks.InGame = [] { return Game->InGame; };
    FrontendHooks.LevelRunning = [] { return Game->LevelRunning; };
  }
  ~TDrivenGame() {
    Game->EndLevel();
    FreeRenderpasses();
    delete Cam;
    Cam = nullptr;
    delete Frustum;
    Frustum = nullptr;
    delete Game;
    Game = nullptr;
    FrontendHooks = saved;
  }
  TDrivenGame(const TDrivenGame&) = delete;
  TDrivenGame& operator=(const TDrivenGame&) = delete;

 private:
  TFrontendHooks saved;
};
