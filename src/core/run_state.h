// The state of the run that the platform layer keeps current and everything
// above reads: the quit request, the window size and the frame counters.
// Whole run; defined here so the platform layer needs nothing above it.
#pragma once
#include <atomic>
#include <cstdint>

// The main loop ends when QuitFlag is -1.
extern int32_t QuitFlag;
// Set by SIGTERM/SIGINT; the loop turns it into QuitFlag -1 after the frame.
extern volatile int QuitRequested;

extern int32_t ScreenWidth, ScreenHeight;      // window size, from the configuration and every resize
extern int32_t ScreenCenterX, ScreenCenterY;   // half the window size
extern std::atomic<int32_t> FrameCount;        // frames since the last one-second tick (starts at 1)
extern std::atomic<int32_t> FramesPerSecond;   // frames counted in the last full second (the SDL timer thread writes it)
