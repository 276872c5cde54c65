// Resolving shots on the shipped stress map (about 205 000 triangles) with 32
// characters: the time of one TCharacter::FireRay, and the blocking test a
// hit needs (is a level triangle between the muzzle and the target?) through
// the octree against a walk over every node and triangle. The ratio is
// printed after the runs; the goal is at least 20.
#include "bench_support.h"
#include "core/paths.h"
#include "core/platform.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "net/network.h"

#include <cstdio>
#include <random>

namespace {

struct TBlockingQuery {
  TRay Ray;
  float Distance;
};

// The level, the characters standing on its terrain, shots aimed at them,
// and the blocking queries those shots make.
struct TScene {
  std::unique_ptr<TLevel> Level;
  std::unique_ptr<TCharacters> Characters;
  std::unique_ptr<TWeapon> Weapon;
  std::vector<TRay> Shots;
  std::vector<TBlockingQuery> Queries;
};

// The height of the terrain under (x, z).
float GroundY(TLevel& level, float x, float z) {
  const TTriangle* ground = level.Pick({x, 20, z}, {0, -1, 0});
  if (!ground) return 0;
  const TVec3& n = ground->Vertices[0].Normal;
  return (ground->D - n.x * x - n.z * z) / n.y;
}

TScene& Scene() {
  static TScene scene;
  if (scene.Level) return scene;
  scene.Level = LoadedLevel("stress");
  scene.Characters = std::make_unique<TCharacters>(scene.Level.get(), false);
  TCharacters& list = *scene.Characters;
  std::mt19937 rng(5);
  // Across the terrain and the ring of pillars at radius 60, so that about a
  // third of the hits are blocked.
  std::uniform_real_distribution<float> xz(-80, 80), jitter(-0.5f, 0.5f);
  const int32_t models[4] = {0, 1, 10, 11};
  for (int i = 0; i < 32; ++i) {
    TCharacter& c = i == 0 ? *list.LocalCharacter : *list.At(list.Add(-1, 0, 0, 0));
    c.SetModel(models[i % 4]);
    float x = xz(rng), z = xz(rng);
    c.MoveCentreTo({x, GroundY(*scene.Level, x, z) + 1, z});
    c.SetHealth(100);
  }
  // Damage 0: hits move health by -5..4 and never kill, so every run sees
  // the same 31 living targets.
  scene.Weapon = std::make_unique<TWeapon>("none", false);
  scene.Weapon->Damage = 0;
  const TCharacter& shooter = *list.LocalCharacter;
  TVec3 eye = shooter.HeadSphere.Centre;
  for (int s = 0; s < 512; ++s) {
    const TCharacter& target = *list.At(1 + s % 31);
    TVec3 aim = VecAdd(target.ChestSphere.Centre, {jitter(rng) * 0.3f, jitter(rng), jitter(rng) * 0.3f});
    scene.Shots.push_back({eye, VecNormalize(VecSub(aim, eye))});
  }
  for (const TRay& ray : scene.Shots)
    for (int32_t i = 1; i < list.Count; ++i) {
      const TCharacter& t = *list.At(i);
      if (HitZone(ray, t, nullptr) != kZoneMiss)
        scene.Queries.push_back({ray, VecLength(VecSub(t.BoundSphere.Centre, ray.Origin))});
    }
  return scene;
}

void BM_FireRay(benchmark::State& state) {
  TScene& scene = Scene();
  TCharacter& shooter = *scene.Characters->LocalCharacter;
  size_t next = 0;
  Timed(state, "fire ray", [&] { shooter.FireRay(scene.Shots[next++ % scene.Shots.size()], *scene.Weapon); });
  state.counters["targets"] = scene.Characters->Count - 1;
  state.counters["triangles"] = scene.Level->Octree->TotalTriangles();
}
BENCHMARK(BM_FireRay)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_BlockingOctree(benchmark::State& state) {
  TScene& scene = Scene();
  const TOctree& octree = *scene.Level->Octree;
  size_t next = 0, blocked = 0;
  Timed(state, "blocking octree", [&] {
    const TBlockingQuery& q = scene.Queries[next++ % scene.Queries.size()];
    blocked += octree.SegmentBlocked(q.Ray, q.Distance);
  });
  state.counters["queries"] = static_cast<double>(scene.Queries.size());
  state.counters["blocked_share"] = static_cast<double>(blocked) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BlockingOctree)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_BlockingEveryTriangle(benchmark::State& state) {
  TScene& scene = Scene();
  const TOctree& octree = *scene.Level->Octree;
  size_t next = 0, blocked = 0;
  Timed(state, "blocking every triangle", [&] {
    const TBlockingQuery& q = scene.Queries[next++ % scene.Queries.size()];
    bool hit = false;
    for (const auto& node : octree.Nodes)
      for (const TTriangle& t : node->Triangles)
        if (!hit && RayTriangleWithin(t, q.Ray, q.Distance)) hit = true;
    blocked += hit;
  });
  state.counters["blocked_share"] = static_cast<double>(blocked) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BlockingEveryTriangle)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const std::string data = StartShippedBenchmark(&argc, argv, "stress");
  if (data.empty()) return 1;
  TBenchDir work("fire-ray");
  StageShippedData(data, {"stress"}, {"characters"});
  Network = new TNetwork();
  Network->StartServer(32, 5001, 5000, 1000, true, "bench");  // friendly fire: every other player is a target

  benchmark::RunSpecifiedBenchmarks();
  auto a = gSecondsPerIteration.find("blocking every triangle"), b = gSecondsPerIteration.find("blocking octree");
  auto f = gSecondsPerIteration.find("fire ray");
  std::printf("\n");
  if (f != gSecondsPerIteration.end()) std::printf("FireRay, 31 targets: %.1f us per shot\n", f->second * 1e6);
  if (a != gSecondsPerIteration.end() && b != gSecondsPerIteration.end() && b->second > 0)
    std::printf("blocking test: walk over every triangle slower than the octree %8.1f x  (%.3f ms / %.4f ms; goal >= 20)\n",
                a->second / b->second, a->second * 1e3, b->second * 1e3);

  benchmark::Shutdown();
  delete Network;
  Network = nullptr;
  return 0;
}
