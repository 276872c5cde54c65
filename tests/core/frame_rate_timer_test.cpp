// The one-second frame-rate timer, which runs on SDL's timer thread while the
// main thread counts frames.
#include "core/run_state.h"
#include "core/sdl_unit.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(FrameRateTimerThread, PublishesTheSecondsFramesAndCountsAfresh) {
  using Clock = std::chrono::steady_clock;
  FrameCount = 0;
  FramesPerSecond = 0;
  const Clock::time_point start = Clock::now();
  StartFrameRateTimer();
  // Frames of about 2 ms, counted as the frame loop counts them, until the
  // first tick has published.
  int32_t counted = 0;
  while (FramesPerSecond == 0 && Clock::now() - start < std::chrono::seconds(5)) {
    FrameCount++;
    ++counted;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const int32_t published = FramesPerSecond, since = FrameCount;
  const auto elapsed = Clock::now() - start;
  SDL_QuitSubSystem(SDL_INIT_TIMER);

  ASSERT_GT(published, 0) << "no tick within 5 s";
  EXPECT_GE(elapsed, std::chrono::milliseconds(900));
  // Every frame is in the published second or in the new count; a frame
  // counted between the timer's read and its reset may be lost.
  EXPECT_LE(published + since, counted);
  EXPECT_GE(published + since, counted - 1);
}
