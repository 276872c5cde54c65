// Network play as a player feels it, through the impairment relay on one
// machine. The server runs in this process with the game's rules; the
// watching and shooting client is a wire-level peer that draws the remote
// character as the game's client does (with the game's interpolation) and
// tells the server the moment of the picture it shot at.
//   Smoothness: a remote character walking at constant speed, drawn at 60
//   frames a second, 100 ms round trip, 20 ms jitter, 2% loss: the
//   coefficient of variation of its per-frame movement (goal at most 0.15).
//   Hit registration: a target strafing at full speed, a shooter aiming at
//   its drawn chest (and, more demanding, its drawn head) at 50, 150 and
//   250 ms round trip: the share of shots that count (goal 95% or more).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "../tests/net/shooting_range.h"
#include "bench_support.h"
#include "core/game_settings.h"
#include "game/characters.h"
#include "game/net_rules.h"
#include "game/weapons.h"
#include "net/network.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kFrameMs = 1000.0 / 60;

// One clock for the whole run: the server's rules (a weapon's cadence) see
// time go on from one scene to the next.
const Clock::time_point kRunStart = Clock::now();
uint32_t Ms() {
  return 100000 + static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - kRunStart).count());
}

double Smoothness() {
  TShootingRange scene({50, 20, 0.02, 0, 50, 7});
  const auto start = Clock::now();
  std::vector<double> moves;
  TVec3 last{};
  bool first = true;
  double nextFrame = 0;
  // A long leg: the spread of walking, not of turning.
  while (Clock::now() - start < std::chrono::seconds(12)) {
    const uint32_t now = Ms();
    Strafe(*scene.target, now, 0.5, 60000);
    scene.Step(now);
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (elapsed >= nextFrame) {
      nextFrame += kFrameMs;
      const TVec3 p = scene.drawn.At(now);
      if (elapsed > 2000) {  // after the first datagrams
        if (!first) moves.push_back(VecLength(VecSub(p, last)));
        first = false;
      }
      last = p;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  double mean = 0, square = 0;
  for (double m : moves) mean += m;
  mean /= static_cast<double>(moves.size());
  for (double m : moves) square += (m - mean) * (m - mean);
  return std::sqrt(square / static_cast<double>(moves.size())) / mean;
}

struct THits {
  int Chest = 0, ChestShots = 0, Head = 0, HeadShots = 0;
};

THits HitRegistration(uint32_t roundTripMs) {
  TShootingRange scene({roundTripMs / 2, 0, 0, 0, 50, 11});
  const TVec3 chestOffset = VecSub(scene.target->ChestSphere.Centre, scene.target->Position());
  const TVec3 headOffset = VecSub(scene.target->HeadSphere.Centre, scene.target->Position());
  const auto start = Clock::now();
  THits hits;
  const uint32_t begin = Ms();
  uint32_t lastShot = begin;
  bool aimHead = false;
  int shots = 0;
  // Shooting starts once the first datagrams have come; the last shots get
  // time to arrive.
  while (Clock::now() - start < std::chrono::milliseconds(1500 + 40 * 300 + 1000)) {
    const uint32_t now = Ms();
    Strafe(*scene.target, now, 0.5, 1500);
    scene.Step(now);
    if (scene.target->Health < 100) {
      (aimHead ? hits.Head : hits.Chest) += 1;
      scene.target->SetHealth(100);
    }
    if (now - begin > 1500 && now - lastShot >= 300 && shots < 40) {
      lastShot = now;
      aimHead = !aimHead;
      (aimHead ? hits.HeadShots : hits.ChestShots) += 1;
      ++shots;
      FireAtDrawn(scene, aimHead ? headOffset : chestOffset, now);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  return hits;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string data = StartShippedBenchmark(&argc, argv, "compound");
  if (data.empty()) return 1;
  TBenchDir dir("netplay");
  StageShippedData(data, {}, {"characters", "weapons"});
  std::filesystem::create_directories("data/maps/arena");
  Network = new TNetwork();
  InstallNetRules(*Network);
  TGameSettings settings;
  NetRuleHooks.Settings = &settings;
  Weapons = new TWeapons(false);
  TLevel level("arena", false);
  Characters = new TCharacters(&level, false);

  std::printf("smoothness (100 ms round trip, 20 ms jitter, 2%% loss, 60 frames/s): "
              "coefficient of variation %.3f (goal at most 0.15)\n",
              Smoothness());
  for (uint32_t rtt : {50u, 150u, 250u}) {
    const THits h = HitRegistration(rtt);
    std::printf("hit registration at %3u ms round trip: chest %d of %d (%.0f%%), head %d of %d (%.0f%%)\n", rtt,
                h.Chest, h.ChestShots, 100.0 * h.Chest / h.ChestShots, h.Head, h.HeadShots,
                100.0 * h.Head / h.HeadShots);
  }
  delete Characters;
  Characters = nullptr;
  delete Weapons;
  Weapons = nullptr;
  delete Network;
  Network = nullptr;
  return 0;
}
