// Demo playback in the game window and the timedemo's figures.
#include "app/demo_playback.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/game.h"
#include "core/console_sink.h"
#include "core/convert.h"
#include "core/key_codes.h"
#include "core/platform.h"
#include "core/run_state.h"
#include "frontend/gui_add.h"
#include "game/characters.h"
#include "game/demo_recorder.h"
#include "game/net_rules.h"
#include "net/network.h"

TDemoPlayback* DemoPlayback = nullptr;

namespace {

uint64_t NowUs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

std::string SpeedText(double speed) { return FloatToStr(speed) + "x"; }

// Both to the console and, for scripts, to standard output.
void Tell(const std::string& line) {
  ConsolePrint(line);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

}  // namespace

TTimedemoFigures TimedemoFigures(std::vector<double> frameMs) {
  TTimedemoFigures f;
  f.Frames = static_cast<int32_t>(frameMs.size());
  if (frameMs.empty()) return f;
  for (double ms : frameMs) f.Seconds += ms / 1000;
  f.AverageMs = f.Seconds * 1000 / f.Frames;
  std::sort(frameMs.begin(), frameMs.end());
  const size_t rank = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(frameMs.size())));
  f.P99Ms = frameMs[std::clamp<size_t>(rank, 1, frameMs.size()) - 1];
  return f;
}

std::string TimedemoLine(const TTimedemoFigures& f) {
  char line[200];
  std::snprintf(line, sizeof line,
                "timedemo: %d frames, %.2f seconds, %.2f ms average (%.1f fps), %.2f ms 99th percentile", f.Frames,
                f.Seconds, f.AverageMs, f.AverageMs > 0 ? 1000 / f.AverageMs : 0.0, f.P99Ms);
  return line;
}

TDemoPlayback::TDemoPlayback(TDemo demo, bool timed, bool exitAfter)
    : Player(*Network, std::move(demo)), Timed(timed), ExitAfter(exitAfter) {
  ruleBase = Characters ? Characters->Now : GetTicks();
  lastTicks = GetTicks();
}

bool TDemoPlayback::Frame(const Tgame& game) {
  const uint32_t ticks = GetTicks();
  const uint32_t ms = std::min<uint32_t>(ticks - lastTicks, 250);
  lastTicks = ticks;
  double target = Player.Time();
  if (Timed) {
    const uint64_t us = NowUs();
    if (lastFrameUs) frameMs.push_back(static_cast<double>(us - lastFrameUs) / 1000);
    lastFrameUs = us;
    target += TDemoPlayer::kTimedemoStepMs;
  } else if (!Player.Paused) {
    target += ms * Player.Speed;
  }
  // The rules run on the demo's clock: paused, everything stands; faster,
  // rounds and pictures keep pace with the recording.
  if (Characters) Characters->Tick(ruleBase + static_cast<uint32_t>(target), game.InGame);
  Player.PlayUntil(target);
  return Player.Finished();
}

bool TDemoPlayback::Key(uint16_t symbol, const Tgame& game) {
  for (const TKeyBinding* movement : {&game.KeyForward, &game.KeyBackward, &game.KeyLeft, &game.KeyRight})
    if (symbol == movement->Key) return false;
  if (symbol == game.KeyCamera.Key || symbol == kKeyTab) return false;
  if (symbol == kKeyP) {
    TogglePause();
  } else if (symbol == kKeyEquals || symbol == kKeyKpPlus || symbol == kKeyMinus || symbol == kKeyKpMinus) {
    const bool faster = symbol == kKeyEquals || symbol == kKeyKpPlus;
    SetSpeed(faster ? Player.Speed * 2 : Player.Speed / 2);
  } else if (symbol == kKeyF && Characters) {
    FreeCamera = !FreeCamera;
    Characters->Spectator.SetFree(*Characters, FreeCamera);
    ConsolePrint(FreeCamera ? "Free camera" : "Through the recorder's eyes");
  }
  return true;
}

void TDemoPlayback::TogglePause() {
  Player.Paused = !Player.Paused;
  ConsolePrint(Player.Paused ? "Demo paused" : "Demo runs at " + SpeedText(Player.Speed));
}

void TDemoPlayback::SetSpeed(double speed) {
  Player.SetSpeed(speed);
  ConsolePrint("Demo speed " + SpeedText(Player.Speed));
}

bool StartDemo(Tgame& game, const std::string& name, bool timed, bool exitAfter) {
  const std::string path = FindDemo(name);
  TDemo demo;
  std::string error;
  if (name.empty())
    error = std::string(timed ? "timedemo" : "demo") + " <name>";
  else if (path.empty())
    error = "no demo \"" + name + "\"";
  else if (!ReadDemo(path, demo, error))
    ;
  else if (!PlayableLevel(demo.Level))
    error = path + ": the level \"" + demo.Level + "\" does not exist";
  if (!error.empty()) {
    ConsolePrint("Demo refused: " + error);
    if (exitAfter) std::fprintf(stderr, "grimvale: demo refused: %s\n", error.c_str());
    return false;
  }
  game.EndLevel();
  game.StartLevel(demo.Level);
  HideWindow(ChooseCharacterWindow);
  game.SetCursorVisible(false);
  const uint32_t seconds = demo.Duration / 1000;
  DemoPlayback = new TDemoPlayback(std::move(demo), timed, exitAfter);
  DemoPlayback->Player.Begin();
  ConsolePrint((timed ? "Timedemo " : "Playing ") + path + " (" + DemoPlayback->Player.Demo().Level + ", " +
               std::to_string(seconds) + " s)");
  return true;
}

void StopDemo() {
  delete DemoPlayback;
  DemoPlayback = nullptr;
}

void RunDemoFrame(Tgame& game) {
  if (!DemoPlayback) return;
  // The game that replaced the demo's session goes on; only the demo ends.
  if (DemoPlayback->Player.Detached()) return StopDemo();
  if (!DemoPlayback->Frame(game)) return;
  if (DemoPlayback->Timed) Tell(TimedemoLine(DemoPlayback->Figures()));
  else ConsolePrint("The demo has ended.");
  const bool exit = DemoPlayback->ExitAfter;
  game.EndLevel();
  if (exit) QuitFlag = -1;
}

void DemoCommand(Tgame& game, const std::string& command, const std::string& arg) {
  if (command == "demo" || command == "timedemo") {
    StartDemo(game, arg, command == "timedemo", false);
    return;
  }
  if (!DemoPlayback) return ConsolePrint("No demo is playing.");
  if (command == "demopause") {
    DemoPlayback->TogglePause();
  } else if (command == "demospeed") {
    const std::optional<double> speed = TryStrToFloat(arg);
    DemoPlayback->SetSpeed(speed ? *speed : DemoPlayback->Player.Speed);
  } else if (command == "stopdemo") {
    game.EndLevel();
  }
}
