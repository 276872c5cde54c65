// The game driver's input side on a server without sockets: the game, its
// settings, the event handler, the camera and movement, the characters with
// the local player alive and in game with the pointer captured.
#pragma once
#include "app/camera.h"
#include "app/event_handler.h"
#include "app/game.h"
#include "core/config.h"
#include "core/key_codes.h"
#include "../game/game_fixture.h"
#include "world/movement.h"

class EventHandlerTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    Game = new Tgame();
    GameVars = new TgameVariabeln(dir / "config.ini");
    GameVars->SetDefaults(*Game);
    EventHandler = new TEventHandler();
    Cam = new TCam();
    Movement = new TMovement();
    StartServer();
    MakeCharacters();
    player = characters->LocalCharacter;
    player->SetHealth(100);
    Characters = characters.get();
    Game->LevelRunning = Game->InGame = true;
    Game->CursorVisible = false;
  }
  void TearDown() override {
    Characters = nullptr;
    delete Movement;
    Movement = nullptr;
    delete Cam;
    Cam = nullptr;
    delete EventHandler;
    EventHandler = nullptr;
    delete GameVars;
    GameVars = nullptr;
    delete Game;
    Game = nullptr;
    GameTest::TearDown();
  }
  static void Press(uint16_t symbol) { EventHandler->KeyDown(TKeySym{0, symbol, 0, 0}); }
  static void Motion(int dx, int dy) {
    EventHandler->MouseMotion(static_cast<uint16_t>(ScreenCenterX + dx), static_cast<uint16_t>(ScreenCenterY + dy));
  }

  TCharacter* player = nullptr;
};
