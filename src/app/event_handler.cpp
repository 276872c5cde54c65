// Input dispatch and the per-frame clock.
#include "app/event_handler.h"

#include "core/config.h"
#include "core/key_codes.h"
#include "app/game.h"
#include "core/platform.h"
#include "fx/screenshot.h"
#include "game/characters.h"
#include "gui/gui_manager.h"
#include "render/render_pass.h"

TEventHandler* EventHandler = nullptr;

// Movement never advances by more than this per frame; time beyond is dropped.
static constexpr uint32_t kMaxStepMs = 50;

TEventHandler::TEventHandler() {
  Now = GetTicks();
  LastTick = Now;
  EventSink = this;
}

TEventHandler::~TEventHandler() {
  if (EventSink == this) EventSink = nullptr;
}

void TEventHandler::Tick() {
  Now = GetTicks();
  if (Now - LastTick > kMaxStepMs) LastTick = Now - kMaxStepMs;
  // The rules' clock, the server's health broadcast and the round restart.
  if (Characters) Characters->Tick(Now, Game && Game->InGame);
  if (GUIManager) {
    // A held key repeats in the GUI after 500 ms, then every 60 ms.
    if (Now - LastInput > 500 && KeyHeld && Now - LastKeyRepeat >= 60) {
      LastKeyRepeat = Now;
      GUIManager->KeyDown(GUIManager->LastKey);
    }
    if (Now - LastCaretBlink >= 500) {
      GUIManager->CaretVisible = !GUIManager->CaretVisible;
      LastCaretBlink = Now;
    }
  }
  LastTick = Now;
}

void TEventHandler::KeyDown(const TKeySym& key) {
  LastInput = Now;
  KeyHeld = true;
  if (GUIManager) GUIManager->KeyDown(key.Symbol);  // the GUI sees every key first
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
  if (symbol == kKeyPrint) {
    SaveScreenshot(NextScreenshotName());
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
      break;
    }
  }
  if (GUIManager) GUIManager->KeyUp(key.Symbol);
}

void TEventHandler::MouseMotion(uint16_t x, uint16_t y) {
  if (GUIManager) GUIManager->MouseMove(x, y);
}

// With "InvertMouse" the left and right buttons trade places, for the GUI too.
static uint8_t MappedButton(uint8_t button) {
  if (!GameVars || !GameVars->Mouse->InvertMouse) return button;
  return button == 1 ? 3 : button == 3 ? 1 : button;
}

void TEventHandler::MouseDown(uint8_t button, uint16_t x, uint16_t y) {
  button = MappedButton(button);
  LastInput = Now;
  if (GUIManager) GUIManager->MouseDown(x, y, button);
}

void TEventHandler::MouseUp(uint8_t button, uint16_t x, uint16_t y) {
  button = MappedButton(button);
  if (button == 1) FireHeld = false;
  if (GUIManager) GUIManager->MouseUp(x, y, button);
}

void TEventHandler::Resize(int32_t width, int32_t height) {
  if (GUIManager) {
    GUIManager->ScreenWidth = width;
    GUIManager->ScreenHeight = height;
  }
  ScreenWidth = width;
  ScreenHeight = height;
  ScreenCenterX = width / 2;
  ScreenCenterY = height / 2;
  if (Game && Game->Initialised) ResizeRenderpasses(width, height);
}

void TEventHandler::Quit() { QuitFlag = -1; }
