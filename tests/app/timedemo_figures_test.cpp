// The timedemo's figures: the average of the frames and the time that 99 of
// 100 frames do not exceed.
#include "app/demo_playback.h"

#include <gtest/gtest.h>

namespace {

TEST(TimedemoFigures, AverageAndNinetyNinthPercentile) {
  std::vector<double> frames(99, 10.0);
  frames.push_back(110.0);
  TTimedemoFigures f = TimedemoFigures(frames);
  EXPECT_EQ(f.Frames, 100);
  EXPECT_DOUBLE_EQ(f.Seconds, 1.1);
  EXPECT_DOUBLE_EQ(f.AverageMs, 11.0);
  EXPECT_EQ(f.P99Ms, 10.0);  // one slow frame in a hundred is the 1% above
  frames[0] = 50.0;          // two slow frames: the 99th percentile is the faster of them
  EXPECT_EQ(TimedemoFigures(frames).P99Ms, 50.0);
  EXPECT_EQ(TimedemoFigures({7.0}).P99Ms, 7.0);
  EXPECT_EQ(TimedemoFigures({}).Frames, 0);
  EXPECT_EQ(TimedemoLine(f), "timedemo: 100 frames, 1.10 seconds, 11.00 ms average (90.9 fps), 10.00 ms 99th percentile");
}

}  // namespace
