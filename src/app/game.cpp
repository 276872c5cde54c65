// The program run, the frame loop's order, mode switches and error reports.
#include "app/game.h"

#include "app/camera.h"
#include "app/character_effects.h"
#include "app/console_setup.h"
#include "app/demo_playback.h"
#include "app/event_handler.h"
#include "app/front_end.h"
#include "core/config.h"
#include "core/console_sink.h"
#include "core/crash_report.h"
#include "core/console_sink.h"
#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/sdl_unit.h"
#include "frontend/gui_add.h"
#include "frontend/join_by_address.h"
#include "fx/game_sounds.h"
#include "fx/openal.h"
#include "fx/partikel.h"
#include "game/characters.h"
#include "game/demo_recorder.h"
#include "game/ki.h"
#include "game/net_rules.h"
#include "game/weapons.h"
#include "gui/gui_manager.h"
#include "net/network.h"
#include "render/render_pass.h"
#include "render/shader.h"
#include "world/level.h"
#include "world/movement.h"

#include <clocale>
#include <algorithm>
#include <cmath>
#include <exception>

Tgame* Game = nullptr;
bool TextureScroll = false;
int32_t TextureScrollCounter = 0;
std::string PendingLevel;

template <typename Work>
void Tgame::Guarded(Work&& work) {
  try {
    work();
  } catch (const std::exception& e) {
    ShowError(e.what(), "Main");
  }
}

// Saving the game variables must not stop the shutdown: a failed write is
// reported and the rest of the teardown still runs.
static void SaveGameVarsLogged(Tgame& game) {
  try {
    GameVars->SaveGameVars(game);
  } catch (const EIniWriteError& e) {
    Logger->LogError(e.what(), "Main");
  }
}

int Tgame::Run() {
  std::setlocale(LC_NUMERIC, "C");
  LevelRunning = false;
  Initialised = false;
  InGame = false;
  CursorVisible = true;
  SDLUnit = new TSDL_UNIT();
  EventHandler = new TEventHandler();
  OpenAL = new TOpenALclass();
  GameVars = new TgameVariabeln(WritableDir() + "config.ini");
  GameVars->SetDefaults(*this);
  GameVars->LoadGameVars(*this);

  int exitCode = 0;
  if (SDLUnit->Init()) {
    SetCrashGLFromContext();
    ThemeMusic = StartThemeMusic();
    ScreenCenterX = ScreenWidth / 2;
    ScreenCenterY = ScreenHeight / 2;
    Weapons = new TWeapons();
    InstallConsoleHooks(*this);
    StartFrontEnd(*this);
    // Deaths and revivals stop the fall of the body movement moves: the local player.
    GameHooks.StopVerticalMotion = [](TMovingBody& body) {
      if (Movement && Characters && &body == Characters->LocalCharacter) Movement->VerticalVelocity = 0;
    };
    // What arrives over the network reaches the characters, the level start and the error report.
    InstallNetRules(*Network);
    Network->LoadDiscoverySettings(WritableDir() + "config.ini");
    Network->LoadMasterSettings(WritableDir() + "config.ini");
    NetRuleHooks.Settings = this;
    NetRuleHooks.RequestLevel = [this](const std::string& name) { RequestLevel(name); };
    Network->OnError = [this](const std::string& message, const std::string& source) { ShowError(message, source); };
    GameHooks.MakeEffects = MakeParticleEffects;
    GameHooks.ShotHeard = [](const TVec3& where) { PlayShotSoundAt(where.x, where.y, where.z); };
    if (Partikel) Partikel->Load();
    Logger->LogInfo("The Initialization has been done", "Main");
    // The whole start-up is on disk once the game runs, for anyone watching the log.
    Logger->Flush();
    SDLUnit->PumpEvents();
    Initialised = true;
    StartRenderpasses();
    if (!StartupDemo.empty()) {
      bool started = false;
      Guarded([&] { started = StartDemo(*this, StartupDemo, StartupTimedemo, StartupTimedemo); });
      if (!started && StartupTimedemo) {
        exitCode = 1;
        QuitFlag = -1;
      }
    }
    if (!StartupConnect.empty()) Guarded([this] { JoinByAddress(StartupConnect); });
    while (QuitFlag != -1) {
      Frame();
      if (QuitRequested) QuitFlag = -1;
    }
  } else {
    // No window: nothing can be played, but the settings are still written so
    // the user finds a complete config.ini to correct.
    exitCode = 1;
  }

  Logger->LogInfo("Deinitialization has been started", "Main");
  SaveGameVarsLogged(*this);
  EndLevel();
  delete Weapons;  // its models and pictures need the GL context, which SDLUnit->Quit ends
  Weapons = nullptr;
  StopRenderpasses();
  delete EventHandler;
  EventHandler = nullptr;
  delete GameVars;
  GameVars = nullptr;
  delete OpenAL;
  OpenAL = nullptr;
  SDLUnit->Quit();
  delete SDLUnit;
  SDLUnit = nullptr;
  return exitCode;
}

void Tgame::StartRenderpasses() {
  RenderReports.Error = [this](const std::string& message, const std::string& source) { ShowError(message, source); };
  GameVars->Video->OnEnableShaderChanged = [](bool enableShader) { InitShaders(enableShader); };
  InitShaders(GameVars->Video->EnableShader());
}

void Tgame::StopRenderpasses() {
  // The passes' textures and programs belong to the GL context, which goes next.
  if (GameVars) GameVars->Video->OnEnableShaderChanged = nullptr;
  FreeRenderpasses();
  RenderReports = TRenderReports{};
}

void Tgame::Frame() {
  RunQueuedErrors();
  Guarded([] { SDLUnit->PumpEvents(); });
  Guarded([] { EventHandler->Tick(); });
  Guarded([this] { RunDemoFrame(*this); });
  Guarded([] {
    if (Network) Network->Poll();
  });
  if (!CursorVisible) WarpMouse(ScreenCenterX, ScreenCenterY);
  Guarded([this] { DrawFrame(); });
  FrameCount++;
  // A timedemo measures how fast frames can be drawn.
  if (!DemoPlayback || !DemoPlayback->Timed) SleepMs(static_cast<uint32_t>(std::max(0, GameVars->Misc->Sleep)));
}

// A level's end, or a switch to another, ends its recording and its playback.
static void EndDemos() {
  if (DemoRecorder) ConsolePrint(StopRecording());
  StopDemo();
}

void Tgame::StartLevel(const std::string& name) {
  EndDemos();
  LevelRunning = true;
  SetCrashLevel(name);
  if (Logger) Logger->LogInfo("Loading new Level: " + name, "Main");
  DrawLoadingFrame(name);
  std::string base = "data\\maps\\" + name + "\\map";
  if (!FileExists(HostPath(LevelFilePath(name))) && FileExists(HostPath(base + ".3ds"))) BuildLevel(name, 500);
  FreeLevelObjects();  // what a previous level left (they point into it)
  Level = new TLevel(name, true);
  Movement = new TMovement();
  Characters = new TCharacters(Level);
  // The rules' clock from the start: a round the server ends before the
  // first tick must still pause its 5 s, not restart in the next frame.
  Characters->Now = GetTicks();
  KI = new TKI(Characters);
  if (Cam) {
    TCharacter& player = *Characters->LocalCharacter;
    float yaw = player.Yaw, pitch = player.Pitch;
    Cam->Reset(yaw, pitch);
    player.SetView(yaw, pitch);
  }
  SetInGame(true);
  if (GUIAdd) {
    GUIAdd->Hints.LevelStarted();
    GUIAdd->ShowCharacterChoice();
  }
  WarpMouse(static_cast<int32_t>(std::lround(ScreenWidth / 2.0)), static_cast<int32_t>(std::lround(ScreenHeight / 2.0)));
  if (Logger) Logger->LogInfo("3..2..1..Go! Level: \"" + name + "\" has been loaded", "UMain");
}

void Tgame::EndLevel() {
  EndDemos();
  LevelRunning = false;
  SetCrashLevel("");
  SetInGame(false);
  if (Network) Network->Close();
  FreeLevelObjects();
}

void Tgame::FreeLevelObjects() {
  delete KI;
  KI = nullptr;
  delete Characters;
  Characters = nullptr;
  delete Movement;
  Movement = nullptr;
  delete Level;
  if (Partikel) Partikel->SwitchAllOff();
  Level = nullptr;
}

void Tgame::RequestLevel(const std::string& name) {
  if (LevelRunning) {
    PendingLevel = name;
    if (GUIAdd) GUIAdd->ShowSwitchLevel();
    return;
  }
  StartLevel(name);
}

void Tgame::ShowError(const std::string& message, const std::string& source) {
  if (!IsMainThread()) {
    std::lock_guard<std::mutex> guard(queuedErrorsLock);
    queuedErrors.push_back({message, source});
    return;
  }
  if (Logger) Logger->LogError(message, source);
  if (GUIAdd) GUIAdd->ShowErrorWindow(message, source);
  ConsolePrint(message + " - " + source);
  EndLevel();
}

void Tgame::RunQueuedErrors() {
  std::vector<QueuedError> pending;
  {
    std::lock_guard<std::mutex> guard(queuedErrorsLock);
    pending.swap(queuedErrors);
  }
  for (const QueuedError& e : pending) ShowError(e.message, e.source);
}

void Tgame::SetInGame(bool value) {
  InGame = value;
  if (TWindow* hud = Win(IngameForm)) hud->SetVisible(value);
  if (TWindow* menu = Win(MainWindow)) menu->SetVisible(!value);
  // Back in the menu a theme that still plays goes on rather than starting over.
  if (value)
    StopMusic(ThemeMusic);
  else
    ResumeMusic(ThemeMusic);
  SetCursorVisible(!value);
}

void Tgame::SetCursorVisible(bool value) {
  ShowSystemCursor(value);
  CursorVisible = value;
}
