// Watching a demo in the game window: the level of the demo, the recorded
// stream through the client rules (game/demo_player.h), the rules' clock
// following the demo's, and the viewer's controls: pause (P or "demopause"),
// speed 0.25x to 4x ('+' and '-' halve and double it, "demospeed <x>" sets
// it), the camera key's modes around the recorder's character, and the
// spectator's free camera (F: the movement keys fly it, the mouse turns it). A timedemo
// ignores the demo's clock: each drawn frame moves the demo on by one
// sixtieth of a second, and at the end the figures are printed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/demo_player.h"

class Tgame;

// What a finished timedemo measured.
struct TTimedemoFigures {
  int32_t Frames = 0;
  double Seconds = 0, AverageMs = 0, P99Ms = 0;
};
// The figures of the frame times (ms) of a run; the 99th percentile is the
// time 99 of 100 frames do not exceed.
TTimedemoFigures TimedemoFigures(std::vector<double> frameMs);
std::string TimedemoLine(const TTimedemoFigures& figures);

class TDemoPlayback {
 public:
  TDemoPlayback(TDemo demo, bool timed, bool exitAfter);
  // Once per frame after the input: the demo's clock and the rules' clock
  // move on. True when the demo has ended.
  bool Frame(const Tgame& game);
  // A key in the game view; true when the demo took it (player controls
  // other than movement keys are taken and ignored).
  bool Key(uint16_t symbol, const Tgame& game);
  // Pause and speed, each telling the console what it did.
  void TogglePause();
  void SetSpeed(double speed);
  TTimedemoFigures Figures() const { return TimedemoFigures(frameMs); }
  // The viewer's own free camera (F), which the spectator's choice of whom
  // to watch leaves alone; off, the view is the recorder's, as it saw.
  bool FreeCamera = false;

  TDemoPlayer Player;
  const bool Timed;
  const bool ExitAfter;  // --timedemo and --demo: the game ends with the demo

 private:
  uint32_t ruleBase = 0;
  uint32_t lastTicks = 0;
  std::vector<double> frameMs;
  uint64_t lastFrameUs = 0;
};

// Per playback: made by StartDemo and freed by StopDemo (the level's end
// calls it); null while no demo plays.
extern TDemoPlayback* DemoPlayback;

// Finds, checks and starts a demo: the running level ends, the demo's
// starts. False with a console line when the demo cannot be played.
bool StartDemo(Tgame& game, const std::string& name, bool timed, bool exitAfter);
void StopDemo();
// Tgame::Frame's part, after the input: the playback's frame, and at the
// demo's end the figures, the level's end and, for the command line's demos,
// the game's.
void RunDemoFrame(Tgame& game);
// The console's demo commands (demo, timedemo, demopause, demospeed,
// stopdemo) with their argument.
void DemoCommand(Tgame& game, const std::string& command, const std::string& arg);
