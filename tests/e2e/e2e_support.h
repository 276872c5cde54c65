// Driving the real game as a player does: a private X server, the game
// started from build/bin in a scratch directory, real X input through
// xdotool, and pictures of the screen read back. Each step's picture is kept
// (GRIMVALE_E2E_SHOTS, default build/e2e-shots/) so a failed run shows where
// it went wrong.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

void SleepForMs(int ms);

// The installed game (GRIMVALE_INSTALLED_GAME, which scripts/check_install.sh
// sets to games/grimvale of a staged install); empty when not set.
std::string InstalledGame();
// In a child about to run an installed game: home becomes dir, and the XDG
// directories its defaults, so whatever the game writes lands there.
void UseScratchHome(const std::string& dir);
// Where an installed game run with UseScratchHome(home) keeps its log.
std::string InstalledLogFile(const std::string& home);

// Waits for the child process to end and forgets its pid: its exit code, or
// -1 after timeoutMs (it is then killed) or when a signal ended it.
int WaitForChild(pid_t& pid, int timeoutMs);

// Ends the test when its X servers did not start: a failure where a display
// is required (GRIMVALE_REQUIRE_DISPLAY, as in CI), a skip elsewhere.
#define E2E_REQUIRE_X(running)                                                \
  if (!(running)) {                                                           \
    if (std::getenv("GRIMVALE_REQUIRE_DISPLAY")) FAIL() << "no X server";   \
    GTEST_SKIP() << "Xvfb could not start";                                   \
  }

// An Xvfb of its own, so no other test's window can take the focus or cover
// the game.
class TXServer {
 public:
  // The screen has the game's default window size: the game starts full
  // screen without a config.ini, and its window then covers the screen.
  explicit TXServer(int width = 800, int height = 600);
  ~TXServer();
  TXServer(const TXServer&) = delete;
  TXServer& operator=(const TXServer&) = delete;
  bool Running() const { return pid > 0; }
  const std::string& Display() const { return display; }

 private:
  pid_t pid = -1;
  std::string display;
};

// A screen picture: 8-bit RGB, top row first.
struct TScreen {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgb;
  // The pixel at (x, y) as 0xRRGGBB; 0 outside.
  uint32_t At(int x, int y) const;
  // How many pixels of the rectangle are neither black nor near-black.
  int LitPixels(int x0, int y0, int x1, int y1) const;
  // How many are near white in every channel: text, whatever the scene behind a dark band.
  int WhitePixels(int x0, int y0, int x1, int y1) const;
  // The part inside a rectangle, e.g. for comparing one field or HUD number.
  TScreen Crop(int x0, int y0, int x1, int y1) const;
  // Fraction of pixels that differ by more than `tolerance` in any channel.
  double DifferenceTo(const TScreen& other, int tolerance = 16) const;
  // Pixels of the menu's dark red (its title).
  int MenuRed() const;
};

// A port free for TCP and UDP alike at this moment, from the system: a test
// never hosts on the game's default port, which may be another game's.
uint16_t FreePort();

// The settings a game starts with. Paced: a config.ini whose only key is a
// pause of kPacedSleepMs after each frame, as a player may set it, so the
// games of several tests share the cores instead of each drawing as fast as
// it can. Fresh: no config.ini, a first start.
enum class TSettings { Paced, Fresh };
constexpr int kPacedSleepMs = 25;

class TGameProcess {
 public:
  // Copies the game into a fresh directory and starts it on the X server
  // (extra arguments after the executable's name). With installed, runs that
  // executable where it lies, the fresh directory as its home, with fresh
  // settings.
  // extraConfig: lines added to a paced config.ini.
  TGameProcess(const TXServer& x, const std::string& name, const std::vector<std::string>& args = {},
               const std::string& installed = "", TSettings settings = TSettings::Paced,
               const std::string& extraConfig = "");
  ~TGameProcess();  // SIGKILL if still running
  TGameProcess(const TGameProcess&) = delete;
  TGameProcess& operator=(const TGameProcess&) = delete;

  // Waits until the log holds text (true) or timeoutMs passes or the game
  // ends (false).
  bool WaitForLog(const std::string& text, int timeoutMs = 30000);
  std::string Log() const;
  // Waits for the process to end; its exit code, or -1 after timeoutMs (the
  // game is then killed) or when a signal ended it.
  int WaitForExit(int timeoutMs = 15000);
  bool Alive();
  const TempDir& Dir() const { return dir; }

  // Input; mouse positions are the screen's (the game covers it).
  void Click(int x, int y, int button = 1);
  // Two clicks of the left button in one go, as a double click.
  void DoubleClick(int x, int y);
  void MoveMouse(int x, int y);
  void Key(const std::string& keysym);   // press and release, e.g. "Escape", "b", "grave"
  void KeyDown(const std::string& keysym);
  void KeyUp(const std::string& keysym);
  void Type(const std::string& text);
  // Clicks into an edit field at (x, y) and replaces its text (up to 8 characters).
  void ReplaceField(int x, int y, const std::string& text);
  // Opens the console, enters each line, and closes it again.
  void Console(const std::vector<std::string>& lines);
  // The screen as it is now; also written as <shots>/<name>/<step>.png.
  TScreen Shot(const std::string& step);
  // Takes pictures until one satisfies until (true; shot is that picture) or
  // timeoutMs passes (false; shot is the last picture): what the game shows
  // is the event, never a time it may take under load.
  template <typename Until>
  bool WaitForScreen(const std::string& step, Until until, TScreen& shot, int timeoutMs = 15000);
  // How many times the log holds text.
  int LogCount(const std::string& text) const;
  // The caption of the game's window, as a window manager would show it.
  std::string Title() const;

 private:
  bool Xdotool(const std::string& arguments);

  const TXServer& x;
  std::string name;
  TempDir dir;
  std::string logFile;
  pid_t pid = -1;
  int shots = 0;
};

// The main menu once it shows (its title's red), after the start; an empty
// picture when it never did.
TScreen WaitForMainMenu(TGameProcess& game);
// Clicks (x, y) and waits until the screen differs from before by more than
// minDifference (a window opened or closed); the new picture, or the last
// one taken when it never changed that much.
TScreen ClickAndWaitForChange(TGameProcess& game, int x, int y, const TScreen& before, double minDifference,
                              const std::string& step);
// Waits until two pictures in a row are alike (the view has come to rest,
// a pause has reached the screen); false when it never did. still is the last picture.
bool WaitForStillScreen(TGameProcess& game, const std::string& step, TScreen& still);
// From the main menu: New Game without bots on a free port, started. The
// port, which the server announces once the level has loaded.
std::string HostAlone(TGameProcess& game);
// The same from a New Game dialog already open.
std::string StartAlone(TGameProcess& game);

// Waits until predicate holds, polling every 100 ms; false after timeoutMs.
template <typename Predicate>
bool WaitUntil(Predicate predicate, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 100) {
    if (predicate()) return true;
    SleepForMs(100);
  }
  return predicate();
}

template <typename Until>
bool TGameProcess::WaitForScreen(const std::string& step, Until until, TScreen& shot, int timeoutMs) {
  return WaitUntil([&] { return until(shot = Shot(step)); }, timeoutMs);
}
