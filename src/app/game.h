// The game object: owns the run (start-up, main loop, teardown), the level's
// lifetime, the switch between game view and menu, and the error report.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/game_settings.h"
#include "core/run_state.h"

class TLevel;

class Tgame : public TGameSettings {
 public:
  // The whole program run; returns the process exit code (0 after a normal
  // quit, non-zero when the window could not be opened).
  int Run();
  void Frame();
  // Clears, draws the scene and the GUI, swaps the buffers.
  void DrawFrame();
  // The 3D scene in game (into the first render pass), then always the GUI pass.
  void RenderScene();
  void DrawScene();
  // One frame of the level's name and "Loading..." while it loads (once the
  // start-up is complete).
  void DrawLoadingFrame(const std::string& name);

  // Loads level name ("data\maps\<name>\"), building map.lvl from map.3ds
  // first when it is missing, and shows the game view. A level that cannot be
  // loaded throws (the frame's error path reports it and ends the level).
  void StartLevel(const std::string& name);
  // Frees the per-level objects and returns to the main menu; harmless when
  // no level runs.
  void EndLevel();
  // Starts the level, or, while one runs, keeps the name in PendingLevel for
  // the level-switch confirmation.
  void RequestLevel(const std::string& name);

  // Reports a failure to the user and ends the running level. From another
  // thread the report is queued and carried out by the next Frame.
  void ShowError(const std::string& message, const std::string& source);

  void SetInGame(bool value);
  void SetCursorVisible(bool value);

  // Creates the render passes (start-up, once the window is open) and wires
  // their error report and the shader switch of the settings;
  // StopRenderpasses frees them before the window closes.
  void StartRenderpasses();
  void StopRenderpasses();

  bool InGame = false;
  bool CursorVisible = true;
  TLevel* Level = nullptr;  // owned; null when no level runs
  int32_t ThemeMusic = 0;
  bool IsAdmin = false;
  bool Initialised = false;
  bool LevelRunning = false;
  // The command line's demo, played once the start-up is done; a timedemo
  // ends the game after it (exit 1 when the demo is refused).
  std::string StartupDemo;
  bool StartupTimedemo = false;
  // The command line's server address (--connect or a grimvale:// link),
  // joined once the start-up is done.
  std::string StartupConnect;

 private:
  // Frees the per-level objects (AI, characters, movement, level) in the
  // order they depend on each other; harmless when none exist.
  void FreeLevelObjects();
  // Runs queued reports from other threads; called at the top of each frame.
  void RunQueuedErrors();
  // Runs work, reporting an exception that escapes it through ShowError.
  template <typename Work>
  void Guarded(Work&& work);

  struct QueuedError {
    std::string message, source;
  };
  std::mutex queuedErrorsLock;
  std::vector<QueuedError> queuedErrors;
};

// Whole run, main thread: the texture-drift effect, off at start; the
// console's commands turn it on and off.
extern bool TextureScroll;
// Whole run, main thread: frames drawn with TextureScroll on; never reset, so
// the drift resumes where it stopped.
extern int32_t TextureScrollCounter;
extern std::string PendingLevel;               // level waiting for the level-switch confirmation

// Created by main() and never freed (the process ends).
extern Tgame* Game;
