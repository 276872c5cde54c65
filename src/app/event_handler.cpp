// Input dispatch and the per-frame clock.
#include "app/event_handler.h"

#include "app/camera.h"
#include "app/demo_playback.h"
#include "app/game.h"
#include "core/config.h"
#include "core/console_sink.h"
#include "core/key_codes.h"
#include "core/platform.h"
#include "core/sdl_unit.h"
#include "frontend/console.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "fx/screenshot.h"
#include "game/characters.h"
#include "game/demo_recorder.h"
#include "game/ki.h"
#include "gui/gui_manager.h"
#include "net/network.h"
#include "render/render_pass.h"
#include "world/level.h"
#include "world/movement.h"

#include <cmath>

TEventHandler* EventHandler = nullptr;

TEventHandler::TEventHandler() {
  Now = GetTicks();
  LastTick = Now;
  EventSink = this;
}

TEventHandler::~TEventHandler() {
  if (EventSink == this) EventSink = nullptr;
}

// The local player while a level runs, else null.
static TCharacter* LocalPlayer() { return Characters ? Characters->LocalCharacter : nullptr; }

static TMoveInput HeldMoveKeys() {
  const Tgame& game = *Game;
  TMoveInput input;
  input.Forward = game.KeyForward.Held;
  input.Backward = game.KeyBackward.Held;
  input.Left = game.KeyLeft.Held;
  input.Right = game.KeyRight.Held;
  input.CursorVisible = game.CursorVisible;
  input.Speed = game.Speed;
  input.Gravity = game.Gravity;
  return input;
}

// Walking and falling for the local player: only when the character moved is
// the one at the local index (a client's own player), as the rules require.
static void MoveLocalPlayer(uint32_t ms) {
  TCharacter* player = LocalPlayer();
  if (!Movement || !player || !Game->Level || !Game->Level->Octree) return;
  if (player->Id != Characters->LocalIndex) return;
  TMoveInput input = HeldMoveKeys();
  // The dead only fall: their keys fly the free camera.
  if (player->Dead) input.Forward = input.Backward = input.Left = input.Right = false;
  Movement->Update(*player, input, *Game->Level->Octree, static_cast<int32_t>(ms));
}

// Whom the dead player watches, after everybody has moved; the free camera
// flies by the movement keys.
static void MoveSpectator(uint32_t now, uint32_t ms) {
  TSpectator& spectator = Characters->Spectator;
  // A demo viewer's own free camera stays until the viewer leaves it.
  if (!DemoPlayback || !DemoPlayback->FreeCamera) spectator.Update(*Characters, now);
  const TOctree* octree = Game->Level ? Game->Level->Octree.get() : nullptr;
  spectator.Fly(HeldMoveKeys(), static_cast<int32_t>(ms), octree);
}

void TEventHandler::Tick() {
  Now = GetTicks();
  if (Now - LastTick > kMaxStepMs) LastTick = Now - kMaxStepMs;
  // The rules' clock, the server's health broadcast and the round restart.
  // A demo's playback runs the rules on the demo's clock and moves nobody.
  if (!DemoPlayback) {
    if (Characters) Characters->Tick(Now, Game && Game->InGame);
    if (Characters) MoveLocalPlayer(Now - LastTick);
    if (KI) KI->Think(Now, Now - LastTick);  // the server's bots, after the player
  }
  if (Characters) MoveSpectator(Characters->Now, Now - LastTick);
  if (!DemoPlayback && FireHeld && Characters && !Game->CursorVisible) Characters->AutoFire();
  if (DemoRecorder) DemoRecorder->Frame();
  if (GUIManager) {
    // A held key repeats in the GUI after 500 ms, then every 60 ms.
    if (Now - LastInput > 500 && KeyHeld && Now - LastKeyRepeat >= 60) {
      LastKeyRepeat = Now;
      GUIManager->KeyDown(GUIManager->LastKey, GUIManager->LastUnicode);
    }
    EnableTextInput(GUIManager->WantsText());
    if (Now - LastCaretBlink >= 500) {
      GUIManager->CaretVisible = !GUIManager->CaretVisible;
      LastCaretBlink = Now;
    }
  }
  if (Game && Game->InGame && GUIAdd && Now - LastStatisticsUpdate >= 3000) {
    GUIAdd->UpdateStatistics();
    LastStatisticsUpdate = Now;
  }
  if (Network) NetTimers.Tick(*Network, Now);
  LastTick = Now;
}

static void NoteHint(THintKey key) {
  if (GUIAdd) GUIAdd->Hints.Used(key);
}

// Input is stamped with the clock as it is read, not the last tick's time:
// after a slow frame the tick's time is long past, and a press stamped with
// it would repeat at the very next tick.
void TEventHandler::KeyDown(const TKeySym& key) {
  LastInput = GetTicks();
  // The console key belongs to the console alone: no edit receives its
  // character, and it does not repeat.
  if (Console && Console->IsConsoleKey(key)) {
    KeyHeld = false;
    NoteHint(THintKey::Console);
    Console->ConsoleKeyPressed(key);
    Console->Toggle();
    return;
  }
  KeyHeld = true;
  if (GUIManager) GUIManager->KeyDown(key.Symbol, key.Unicode);  // the GUI sees every key first
  Tgame& game = *Game;
  uint16_t symbol = key.Symbol;
  if (symbol == game.KeyMenu.Key) {
    game.KeyMenu.Held = true;
    if (game.InGame && game.CursorVisible) {
      game.SetCursorVisible(false);
      HideHudWindows();
    } else if (game.LevelRunning)
      game.SetInGame(!game.InGame);
    return;
  }
  if (symbol == kKeyPrint) {
    SaveScreenshot(NextScreenshotName());
    return;
  }
  if (!game.InGame) return;
  // What is typed into the chat is text, not commands.
  if (EditHasFocus()) return;
  if (DemoPlayback && DemoPlayback->Key(symbol, game)) return;
  for (TKeyBinding* binding : {&game.KeyBackward, &game.KeyForward, &game.KeyLeft, &game.KeyRight}) {
    if (symbol == binding->Key) {
      binding->Held = true;
      return;
    }
  }
  // With "cams" 0 the camera key would divide by zero; it does nothing.
  if (symbol == game.KeyCamera.Key) {
    NoteHint(THintKey::Camera);
    if (game.CamCount > 0) game.CamMode = (game.CamMode + 1) % game.CamCount;
    return;
  }
  TCharacter* player = LocalPlayer();
  if (symbol >= kKey1 && symbol <= kKey4) {
    if (player) player->SetWeaponSlot(symbol - kKey1);
    return;
  }
  if (symbol == kKeyTab) {
    NoteHint(THintKey::Scores);
    if (GUIAdd) GUIAdd->UpdateStatistics();
    // Centred: the layout file places it at the corner.
    ShowCentred(StatisticsWindow);
    return;
  }
  if (symbol == kKeyR) {
    if (player) player->Reload();
    return;
  }
  if (symbol == game.KeyJump.Key) {
    if (Movement) Movement->Jump();
    return;
  }
  if (symbol == kKeyM) {
    if (GUIAdd) GUIAdd->ShowCharacterChoice();
    return;
  }
  if (symbol == kKeyB) {
    NoteHint(THintKey::Buy);
    bool show = !WindowVisible(BuyWindow);
    if (TWindow* w = Win(BuyWindow)) w->SetVisible(show);
    game.SetCursorVisible(show);
    return;
  }
  if (symbol == kKeyC) {
    NoteHint(THintKey::Chat);
    OpenChatWindow();
    return;
  }
  if (symbol == kKeyF11) Pick();
}

// The level triangle under the cross-hair, printed and marked with material 0
// (a debugging aid for map makers).
void TEventHandler::Pick() {
  TCharacter* player = LocalPlayer();
  if (!player || !Game->Level) return;
  TRay ray = player->GetShotRay();
  TTriangle* triangle = Game->Level->Pick(ray.Origin, ray.Direction);
  if (!triangle) return;
  ConsolePrint("Pick :: " + TriangleToString(*triangle));
  triangle->Material = 0;
}

void TEventHandler::KeyUp(const TKeySym& key) {
  KeyHeld = false;
  Tgame& game = *Game;
  bool matched = false;
  for (TKeyBinding* binding :
       {&game.KeyBackward, &game.KeyForward, &game.KeyLeft, &game.KeyRight, &game.KeyJump, &game.KeyMenu}) {
    if (key.Symbol == binding->Key) {
      binding->Held = false;
      matched = true;
      break;
    }
  }
  if (!matched && key.Symbol == kKeyTab) HideWindow(StatisticsWindow);
  if (GUIManager) GUIManager->KeyUp(key.Symbol);
}

// How far one motion turns the view: b to the power e, with b = |delta| x
// MouseSpeed. A motion of 0 turns nothing, whatever the acceleration: the
// re-centring warp produces one every frame, and turning by Power(0, 0) = 1
// degree there would spin the view by itself.
double MouseTurn(int32_t delta, double speed, double acceleration) {
  if (delta == 0) return 0;
  double turn = std::pow(std::abs(delta) * speed, acceleration);
  return delta < 0 ? -turn : turn;
}

void TEventHandler::MouseMotion(uint16_t x, uint16_t y) {
  TCharacter* player = LocalPlayer();
  // A watched team mate looks where they look; the own view and the free
  // camera turn with the mouse.
  const TWatch watch = player ? Characters->Spectator.Mode() : TWatch::Self;
  if (Game->InGame && !Game->CursorVisible && Cam && player && GameVars && watch != TWatch::Mate) {
    const TMouseConfig& mouse = *GameVars->Mouse;
    // The rules turn the player too (a spawn faces the level): the camera
    // turns on from the current view.
    const TCamPose from = Characters->Spectator.View(*Characters).Pose;
    Cam->Yaw = from.Yaw;
    Cam->Pitch = from.Pitch;
    Cam->Yaw += static_cast<float>(MouseTurn(x - ScreenCenterX, mouse.MouseSpeed, mouse.MouseAcc));
    Cam->Pitch += static_cast<float>(MouseTurn(y - ScreenCenterY, mouse.MouseSpeed, mouse.MouseAcc));
    float yaw = from.Yaw, pitch = from.Pitch;
    Cam->Clamp(yaw, pitch);
    if (watch == TWatch::Free)
      Characters->Spectator.SetFreeView(yaw, pitch);
    else if (!DemoPlayback)  // a demo's recorder looks where it looked
      player->SetView(yaw, pitch);
  }
  if (GUIManager) GUIManager->MouseMove(x, y);
}

// With "InvertMouse" the left and right buttons trade places, for the GUI too.
static uint8_t MappedButton(uint8_t button) {
  if (!GameVars || !GameVars->Mouse->InvertMouse) return button;
  return button == 1 ? 3 : button == 3 ? 1 : button;
}

void TEventHandler::MouseDown(uint8_t button, uint16_t x, uint16_t y) {
  button = MappedButton(button);
  LastInput = GetTicks();
  TCharacter* player = LocalPlayer();
  if (player && !DemoPlayback) {
    if (button == 1 && !Game->CursorVisible && !player->Dead) {
      player->Shoot();
      FireHeld = true;
    } else if ((button == 1 || button == 3) && Game->InGame && !Game->CursorVisible) {
      // The dead step through the living team mates they watch.
      Characters->Spectator.Cycle(*Characters, button == 1 ? 1 : -1);
    } else if (button == 4 && Game->InGame) {
      player->SetWeaponSlot((player->WeaponSlot + 1) % 4);
    } else if (button == 5 && Game->InGame) {
      player->SetWeaponSlot((player->WeaponSlot + 3) % 4);
    }
  }
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
  if (Game && Game->Initialised) {
    if (GUIAdd) GUIAdd->Relayout();
    ResizeRenderpasses(width, height);
  }
}

void TEventHandler::Quit() { QuitFlag = -1; }
