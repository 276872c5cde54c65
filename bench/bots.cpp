// Bots on the shipped stress map (about 205 000 triangles): the time of one
// frame of TKI::Think for 31 bots (perception, paths, aiming, firing and
// their movement; goal under 1 ms in total), and building the navigation
// graph at level start (goal under 1 s).
#include "bench_support.h"
#include "core/paths.h"
#include "core/platform.h"
#include "game/characters.h"
#include "game/ki.h"
#include "game/weapons.h"
#include "net/network.h"
#include "world/nav_graph.h"

#include <cstdio>

namespace {

TLevel& StressLevel() {
  static std::unique_ptr<TLevel> level = LoadedLevel("stress");
  return *level;
}

void BM_BuildNavGraph(benchmark::State& state) {
  TLevel& level = StressLevel();
  std::vector<TVec3> spawns = level.TerSpawns;
  spawns.insert(spawns.end(), level.CTSpawns.begin(), level.CTSpawns.end());
  TNavGraph nav;
  Timed(state, "nav", [&] { nav.Build(*level.Octree, spawns); });
  state.counters["nodes"] = nav.NodeCount();
  state.counters["edges"] = static_cast<double>(nav.Edges.size());
}
BENCHMARK(BM_BuildNavGraph)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// 31 bots thinking at 60 frames a second on the stress map. Range 0: the
// first 5 s after everybody revived (paths searched, shopping, first
// sightings); range 1: the 50 s of match after them (fights, deaths, restarts).
void BM_ThinkFrame(benchmark::State& state) {
  TLevel& level = StressLevel();
  TCharacters characters(&level, false);
  uint32_t now = 100000;
  characters.Tick(now, true);
  TKI ki(&characters);
  for (int i = 0; i < 31; ++i) ki.AddBot();
  for (int32_t i = 1; i < characters.Count; ++i) characters.At(i)->Money = 16000;
  auto frame = [&] {
    now += 16;
    characters.Tick(now, true);
    ki.Think(now, 16);
  };
  auto alive = [&] {
    int32_t n = 0;
    for (int32_t i = 1; i < characters.Count; ++i) n += characters.At(i)->Dead ? 0 : 1;
    return n;
  };
  for (int i = 0; i < 1000 && alive() < 31; ++i) frame();  // the empty first round ends and everybody revives
  if (state.range(0) == 1)
    for (int i = 0; i < 300; ++i) frame();
  int64_t aliveSum = 0;
  Timed(state, state.range(0) == 0 ? "think start" : "think match", [&] {
    frame();
    aliveSum += alive();
  });
  state.counters["bots"] = ki.BotCount();
  state.counters["alive_mean"] = state.iterations() ? double(aliveSum) / double(state.iterations()) : 0;
}
BENCHMARK(BM_ThinkFrame)->Unit(benchmark::kMicrosecond)->UseRealTime()->Arg(0)->Iterations(300);
BENCHMARK(BM_ThinkFrame)->Unit(benchmark::kMicrosecond)->UseRealTime()->Arg(1)->Iterations(3000);

}  // namespace

int main(int argc, char** argv) {
  const std::string data = StartShippedBenchmark(&argc, argv, "stress");
  if (data.empty()) return 1;
  TBenchDir work("bots");
  StageShippedData(data, {"stress"}, {"characters", "weapons"});
  Network = new TNetwork();
  Network->StartServer(32, 5001, 5000, 1000, false, "bench");
  Weapons = new TWeapons(false);

  benchmark::RunSpecifiedBenchmarks();
  std::printf("\n");
  for (const char* key : {"think start", "think match"})
    if (auto t = gSecondsPerIteration.find(key); t != gSecondsPerIteration.end())
      std::printf("TKI::Think, 31 bots, one frame (%s): %.3f ms (goal < 1 ms)\n", key, t->second * 1e3);
  if (auto n = gSecondsPerIteration.find("nav"); n != gSecondsPerIteration.end())
    std::printf("navigation graph of the stress map: %.3f s (goal < 1 s)\n", n->second);

  benchmark::Shutdown();
  delete Weapons;
  Weapons = nullptr;
  delete Network;
  Network = nullptr;
  return 0;
}
