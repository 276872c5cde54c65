// The platform layer over SDL 1.2: the window with its OpenGL context, the
// fixed GL state, the one-second frame-rate timer, the viewport and the event
// pump. Its messages to the user are German.
#pragma once
#include <cstdint>

struct SDL_Surface;

class TSDL_UNIT {
 public:
  // Opens the window, loads the GL entry points, sets the fixed GL state,
  // starts the frame-rate timer and sets the first viewport. False when the
  // window could not be opened (already reported and SDL shut down).
  bool Init();
  bool OpenWindow();
  bool SetViewport(int32_t width, int32_t height);
  // Delivers the pending events to EventSink; keeps the caption's frame rate current.
  void PumpEvents();
  void Quit();

 private:
  void ShowFrameRateInCaption(int32_t fps);
  int32_t captionFrameRate = -1;  // the rate the caption shows
};

extern uint32_t VideoFlags;          // SDL video-mode flags built by OpenWindow
extern SDL_Surface* ScreenSurface;   // the window surface; null when SDL refused the mode

// Created by Tgame::Run before anything else it owns, freed at its end.
extern TSDL_UNIT* SDLUnit;

// Starts SDL's timer thread on the one-second frame-rate timer: every second
// it moves FrameCount into FramesPerSecond and starts the count afresh, until
// SDL's timer subsystem is shut down. Init calls it.
void StartFrameRateTimer();

// Mouse helpers that do nothing while no window exists (tests, failed start).
void ShowSystemCursor(bool visible);
void WarpMouse(int32_t x, int32_t y);
// Key events carry the character of the player's layout only while this is
// on. It stays off unless text is typed: the input method that composes
// those characters swallows dead keys, and the console key is one on some
// layouts (the German "^").
void EnableTextInput(bool on);
