// Definitions of the run state shared by the platform layer and the game.
#include "core/run_state.h"

int32_t QuitFlag = 0;
volatile int QuitRequested = 0;
int32_t ScreenWidth = 800, ScreenHeight = 600;
int32_t ScreenCenterX = 400, ScreenCenterY = 300;
std::atomic<int32_t> FrameCount{1};
std::atomic<int32_t> FramesPerSecond{0};
