// One TMovement::Update on the shipped stress map (about 205 000 triangles of
// rolling terrain inside a ring of pillars): bodies of a character's size
// walk in small circles over the terrain, so every update walks, falls and
// lands with all its collision queries. Goal: under 0.1 ms per update.
#include "bench_support.h"
#include "core/paths.h"
#include "render/level_scene_reader.h"
#include "world/movement.h"

#include <cstdio>
#include <random>
#include <vector>

namespace {

TLevel& StressLevel() {
  static std::unique_ptr<TLevel> level = LoadedLevel("stress");
  return *level;
}

// Bodies standing on the terrain inside the pillar ring.
std::vector<TSphereBody> Bodies(TLevel& level) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> xz(-50, 50), yaw(0, 360);
  std::vector<TSphereBody> bodies;
  while (bodies.size() < 64) {
    const float x = xz(rng), z = xz(rng);
    TTriangle* ground = level.Pick({x, 20, z}, {0, -1, 0});
    if (!ground) continue;
    const float y = (ground->D - ground->Vertices[0].Normal.x * x - ground->Vertices[0].Normal.z * z) /
                    ground->Vertices[0].Normal.y;
    // A character's bounding sphere, its reference point at head height.
    bodies.emplace_back(TVec3{x, y + 1, z}, 0.9f, 0.765f, yaw(rng));
  }
  return bodies;
}

void BM_MovementUpdate(benchmark::State& state) {
  TLevel& level = StressLevel();
  std::vector<TSphereBody> bodies = Bodies(level);
  std::vector<TMovement> movements(bodies.size());
  TMoveInput input;
  input.Forward = true;
  size_t next = 0, touched = 0;
  Timed(state, "update", [&] {
    const size_t i = next++ % bodies.size();
    bodies[i].Yaw += 3;  // a circle of about 2.4 units across every 120 updates
    movements[i].Update(bodies[i], input, *level.Octree, 50);
    touched += movements[i].VerticalVelocity == 0;
  });
  state.counters["triangles"] = level.Octree->TotalTriangles();
  state.counters["landed_share"] = state.iterations() ? double(touched) / double(state.iterations()) : 0;
}
BENCHMARK(BM_MovementUpdate)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  InstallLevelLoaders();
  const std::string source = ExeDir() + "../bin/data/maps/stress";
  if (!DirectoryExists(source)) {
    std::fprintf(stderr, "%s is missing: build the data target first\n", source.c_str());
    return 1;
  }
  TBenchDir work("movement");
  std::filesystem::create_directories("data/maps");
  std::filesystem::copy(source, "data/maps/stress", std::filesystem::copy_options::recursive);
  BuildLevel("stress", 500);
  benchmark::RunSpecifiedBenchmarks();
  auto update = gSecondsPerIteration.find("update");
  if (update != gSecondsPerIteration.end())
    std::printf("\nTMovement::Update on the stress map: %.4f ms per call (goal < 0.1 ms)\n", update->second * 1e3);
  benchmark::Shutdown();
  return 0;
}
