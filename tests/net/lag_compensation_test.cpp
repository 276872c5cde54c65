// Shots land where the shooter saw the target: a target walking sideways at
// full speed, a client through the impairment relay aiming at the chest it
// draws. The hit counts at 50, 150 and 250 ms round trip; at 700 ms the
// rewind's cap leaves the target where the shooter no longer sees it; a wall
// between them stops every shot whatever the rewind.
#include "net_fixture.h"
#include "shooting_range.h"

#include "world/octree.h"

namespace {

struct TRangeCase {
  const char* Name;
  uint32_t RoundTripMs;
  bool Wall;
  bool Hits;
};
void PrintTo(const TRangeCase& c, std::ostream* os) { *os << c.Name; }

class NetLagCompensationTest : public NetServerTest, public testing::WithParamInterface<TRangeCase> {};

TEST_P(NetLagCompensationTest, AShotAtTheDrawnChestCountsWithinTheRewindsCap) {
  const TRangeCase& range = GetParam();
  if (range.Wall)
    level->Octree = std::make_unique<TOctree>(Quad({{-20, -20, -4}, {20, -20, -4}, {20, 20, -4}, {-20, 20, -4}}), 500);
  TShootingRange scene({range.RoundTripMs / 2, 0, 0, 0, 50, 3});
  const TVec3 chest = VecSub(scene.target->ChestSphere.Centre, scene.target->Position());
  const auto start = std::chrono::steady_clock::now();
  auto now = [&] {
    return 100000 + static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - start)
                                              .count());
  };
  constexpr int kShots = 4;
  int shots = 0, hits = 0;
  uint32_t firstShot = 0, lastShot = 0;
  for (uint32_t t = now(); shots < kShots || t - lastShot < range.RoundTripMs + 300; t = now()) {
    // Straight on at twice the default speed (the server's "speed" raised), so
    // a shot resolved where the target is now misses at every round trip.
    Strafe(*scene.target, t - 100000 + 60000, 1.0, 120000);
    scene.Step(t);
    if (scene.target->Health < 100) {
      ++hits;
      scene.target->SetHealth(100);
    }
    if (!scene.drawn.Empty() && firstShot == 0) firstShot = t + 500;
    if (firstShot != 0 && t >= firstShot && t - lastShot >= 300 && shots < kShots) {
      lastShot = t;
      ++shots;
      FireAtDrawn(scene, chest, t);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  EXPECT_EQ(hits, range.Hits ? kShots : 0);
}

INSTANTIATE_TEST_SUITE_P(Ranges, NetLagCompensationTest,
                         testing::Values(TRangeCase{"rtt50", 50, false, true}, TRangeCase{"rtt150", 150, false, true},
                                         TRangeCase{"rtt250", 250, false, true},
                                         TRangeCase{"rtt700_beyond_the_cap", 700, false, false},
                                         TRangeCase{"rtt150_behind_a_wall", 150, true, false}));

}  // namespace
