// Input dispatch and the per-frame clock.
#include "core/event_handler.h"

#include "core/config.h"
#include "core/game.h"
#include "core/platform.h"

TEventHandler* EventHandler = nullptr;

// Movement never advances by more than this per frame; time beyond is dropped.
static constexpr uint32_t kMaxStepMs = 50;

TEventHandler::TEventHandler() {
  Now = GetTicks();
  LastTick = Now;
}

void TEventHandler::Tick() {
  Now = GetTicks();
  if (Now - LastTick > kMaxStepMs) LastTick = Now - kMaxStepMs;
  LastTick = Now;
}

void TEventHandler::KeyDown(const TKeySym& key) {
  LastInput = Now;
  KeyHeld = true;
  Tgame& game = *Game;
  uint16_t symbol = key.Symbol;
  if (symbol == game.KeyMenu.Key) {
    game.KeyMenu.Held = true;
    if (game.InGame && game.CursorVisible)
      game.SetCursorVisible(false);
    else if (game.LevelRunning)
      game.SetInGame(!game.InGame);
    return;
  }
  if (!game.InGame) return;
  for (TKeyBinding* binding : {&game.KeyBackward, &game.KeyForward, &game.KeyLeft, &game.KeyRight}) {
    if (symbol == binding->Key) {
      binding->Held = true;
      return;
    }
  }
  if (symbol == game.KeyCamera.Key && game.CamCount > 0) game.CamMode = (game.CamMode + 1) % game.CamCount;
}

void TEventHandler::KeyUp(const TKeySym& key) {
  KeyHeld = false;
  Tgame& game = *Game;
  for (TKeyBinding* binding :
       {&game.KeyBackward, &game.KeyForward, &game.KeyLeft, &game.KeyRight, &game.KeyJump, &game.KeyMenu}) {
    if (key.Symbol == binding->Key) {
      binding->Held = false;
      return;
    }
  }
}

void TEventHandler::MouseMotion(uint16_t, uint16_t) {}

// With "InvertMouse" the left and right buttons trade places, for the GUI too.
static uint8_t MappedButton(uint8_t button) {
  if (!GameVars || !GameVars->Mouse->InvertMouse) return button;
  return button == 1 ? 3 : button == 3 ? 1 : button;
}

void TEventHandler::MouseDown(uint8_t button, uint16_t, uint16_t) {
  button = MappedButton(button);
  LastInput = Now;
}

void TEventHandler::MouseUp(uint8_t button, uint16_t, uint16_t) {
  button = MappedButton(button);
  if (button == 1) FireHeld = false;
}

void TEventHandler::Resize(int32_t width, int32_t height) {
  ScreenWidth = width;
  ScreenHeight = height;
  ScreenCenterX = width / 2;
  ScreenCenterY = height / 2;
}
