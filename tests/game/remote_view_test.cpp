// Drawing another machine's character: a sender walks a path and sends its
// stamped position every 40 ms over a path with delay, jitter and loss; the
// picture drawn at 60 frames a second stays on the path, runs past the last
// known sample only as far as the extrapolation allows, moves evenly, and
// jumps (never slides) when the character is placed elsewhere.
#include "game/remote_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace {

struct TLinkCase {
  const char* Name;
  uint32_t DelayMs, JitterMs;
  double Loss;
};
void PrintTo(const TLinkCase& c, std::ostream* os) { *os << c.Name; }

constexpr double kUnitsPerMs = 0.5 / 400;  // the game's walking speed

// Walks along x for walkMs, then stands.
double PathX(double t, double walkMs) { return std::clamp(t, 0.0, walkMs) * kUnitsPerMs; }

class RemoteViewLink : public testing::TestWithParam<TLinkCase> {};

TEST_P(RemoteViewLink, TheDrawnCharacterFollowsThePathEvenlyAndNeverRunsFarPastIt) {
  const TLinkCase link = GetParam();
  std::mt19937 random(5);
  std::uniform_real_distribution<double> unit(0, 1);
  constexpr double kWalkMs = 6000;
  constexpr uint32_t kSenderStart = 16000;  // the sender's clock wraps its 14-bit stamp on the way
  // Arrival time -> (sender time, x).
  std::multimap<uint32_t, std::pair<uint32_t, float>> arrivals;
  for (uint32_t t = 0; t <= 9000; t += 40) {
    if (unit(random) < link.Loss) continue;
    const double late = link.DelayMs + (unit(random) - 0.5) * link.JitterMs;
    arrivals.insert({1000 + t + static_cast<uint32_t>(late), {kSenderStart + t, static_cast<float>(PathX(t, kWalkMs))}});
  }
  TSenderClock clock;
  TRemoteView view;
  auto next = arrivals.begin();
  float newestKnown = 0;
  std::vector<double> steps;
  double previous = 0;
  for (double local = 1000; local < 11000; local += 1000.0 / 60) {
    const uint32_t now = static_cast<uint32_t>(local);
    for (; next != arrivals.end() && next->first <= now; ++next) {
      const uint32_t stamp = clock.Unwrap((next->second.first) & kStampMask);
      EXPECT_EQ(stamp & kStampMask, next->second.first & kStampMask);
      clock.Arrived(stamp, now);
      view.Add(stamp, {{next->second.second, 0, 0}, 30, 0});
      newestKnown = std::max(newestKnown, next->second.second);
    }
    if (view.Empty()) continue;
    const TViewPose p = view.At(clock.DrawTime(now));
    ASSERT_EQ(p.Position.y, 0);
    ASSERT_EQ(p.Position.z, 0);
    ASSERT_GE(p.Position.x, 0);
    // Past the newest sample by at most the extrapolation's reach.
    ASSERT_LE(p.Position.x, newestKnown + kUnitsPerMs * TRemoteView::kMaxExtrapolateMs + 1e-4) << "at " << local;
    ASSERT_LE(p.Position.x, PathX(kWalkMs, kWalkMs) + kUnitsPerMs * TRemoteView::kMaxExtrapolateMs + 1e-4);
    // Evenly while it walks, after the first second's settling.
    const double sender = clock.DrawTime(now) - kSenderStart;
    if (local > 2500 && sender > 0 && sender < kWalkMs - 200) steps.push_back(p.Position.x - previous);
    previous = p.Position.x;
  }
  ASSERT_GT(steps.size(), 100u);
  double mean = 0, square = 0;
  for (double s : steps) mean += s;
  mean /= static_cast<double>(steps.size());
  for (double s : steps) square += (s - mean) * (s - mean);
  EXPECT_LT(std::sqrt(square / static_cast<double>(steps.size())) / mean, 0.15);
  EXPECT_NEAR(mean, kUnitsPerMs * 1000.0 / 60, kUnitsPerMs * 2);
  // Drawn a little behind: two send intervals at least, more with jitter
  // (datagrams are read once a frame, which adds up to a frame's spread).
  EXPECT_GE(clock.DelayMs(), 80);
  EXPECT_LE(clock.DelayMs(), 80 + 2.0 * (link.JitterMs + 1000.0 / 60));
}

INSTANTIATE_TEST_SUITE_P(
    Links, RemoteViewLink,
    testing::Values(TLinkCase{"clean", 0, 0, 0}, TLinkCase{"delay100", 50, 0, 0}, TLinkCase{"jitter20", 50, 20, 0},
                    TLinkCase{"jitter20_loss2", 50, 20, 0.02}, TLinkCase{"jitter30_loss10", 125, 30, 0.10}));

TEST(RemoteView, ARespawnJumpsInsteadOfSliding) {
  TSenderClock clock;
  TRemoteView view;
  std::vector<float> drawn;
  for (uint32_t t = 0; t < 2000; t += 40) {
    const float x = t < 1000 ? 0.0f : 50.0f;  // placed 50 units away at 1 s
    clock.Arrived(t, t + 30);
    view.Add(t, {{x, 0, 0}, 0, 0});
    for (uint32_t f = 0; f < 40; f += 8) drawn.push_back(view.At(clock.DrawTime(t + 30 + f)).Position.x);
  }
  for (float x : drawn) EXPECT_TRUE(x == 0 || x == 50) << x;
  EXPECT_EQ(drawn.back(), 50);
}

TEST(RemoteView, AnglesTurnTheShortWayAndLateSamplesFallIntoPlace) {
  TRemoteView view;
  view.Add(100, {{0, 0, 0}, 350, 0});
  view.Add(180, {{2, 0, 0}, 10, 20});
  view.Add(140, {{1, 0, 0}, 0, 10});  // overtaken on the way
  const TViewPose half = view.At(120);
  EXPECT_NEAR(half.Position.x, 0.5f, 1e-5);
  EXPECT_NEAR(std::fmod(half.Yaw + 360, 360), 355, 1e-3);
  EXPECT_NEAR(half.Pitch, 5, 1e-4);
  EXPECT_NEAR(view.At(160).Position.x, 1.5f, 1e-5);
  // Held after the extrapolation's reach.
  EXPECT_NEAR(view.At(180 + 1000).Position.x, view.At(180 + TRemoteView::kMaxExtrapolateMs).Position.x, 1e-5);
}

}  // namespace
