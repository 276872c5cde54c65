// Loading a generated 3DS scene of 512 000 triangles (40 meshes of 80 x 80
// quads, four materials) with the game's loader, with lib3ds and with
// assimp, in the same run; prints triangles per second and the game's speed
// as a multiple of each. The game's load includes what it does after
// reading (pivots, scale, normals, boxes); lib3ds only reads; assimp reads
// and builds its scene without post-processing.
#include <benchmark/benchmark.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "render/model.h"
#include "render/model_3ds_writer.h"

namespace {

constexpr int Grid = 80;  // quads per side of a mesh
constexpr int MeshCount = 40;
constexpr int64_t Triangles = int64_t{MeshCount} * Grid * Grid * 2;

std::string ScenePath() {
  static const std::string path = (std::filesystem::temp_directory_path() / "grimvale_bench_scene.3ds").string();
  return path;
}

void WriteScene() {
  T3dsScene scene;
  for (const char* name : {"stone", "wood", "metal", "glass"}) {
    T3dsSceneMaterial material;
    material.Name = name;
    material.Diffuse = {0.5f, 0.5f, 0.5f};
    material.TextureMap = std::string(name) + ".jpg";
    scene.Materials.push_back(material);
  }
  for (int m = 0; m < MeshCount; ++m) {
    T3dsSceneMesh mesh;
    mesh.Name = "part" + std::to_string(m);
    for (int y = 0; y <= Grid; ++y)
      for (int x = 0; x <= Grid; ++x) {
        mesh.Vertices.push_back({static_cast<float>(x + m * Grid), static_cast<float>(y), static_cast<float>((x * y) % 7)});
        mesh.TexCoords.push_back({x / static_cast<float>(Grid), y / static_cast<float>(Grid)});
      }
    for (int y = 0; y < Grid; ++y)
      for (int x = 0; x < Grid; ++x) {
        uint16_t a = static_cast<uint16_t>(y * (Grid + 1) + x), b = static_cast<uint16_t>(a + 1);
        uint16_t c = static_cast<uint16_t>(a + Grid + 1), d = static_cast<uint16_t>(c + 1);
        mesh.Faces.push_back({a, b, d});
        mesh.Faces.push_back({a, d, c});
      }
    mesh.Groups.resize(scene.Materials.size());
    for (size_t g = 0; g < mesh.Groups.size(); ++g) mesh.Groups[g].Material = scene.Materials[g].Name;
    for (size_t f = 0; f < mesh.Faces.size(); ++f) mesh.Groups[f % mesh.Groups.size()].Faces.push_back(static_cast<uint16_t>(f));
    scene.Meshes.push_back(std::move(mesh));
  }
  Save3ds(scene, ScenePath());
}

void CountTriangles(benchmark::State& state, int64_t loaded) {
  if (loaded != Triangles) state.SkipWithError("wrong triangle count");
  state.counters["triangles_per_second"] =
      benchmark::Counter(static_cast<double>(Triangles) * state.iterations(), benchmark::Counter::kIsRate);
}

void LoadGrimvale(benchmark::State& state) {
  int64_t loaded = 0;
  for (auto _ : state) {
    TAll3dsMesh model;
    model.BuildTextures = false;
    model.Load3ds(ScenePath());
    loaded = 0;
    for (const auto& mesh : model.Meshes) loaded += static_cast<int64_t>(mesh->Faces.size());
    benchmark::DoNotOptimize(model.BoxMax);
  }
  CountTriangles(state, loaded);
}

void LoadLib3ds(benchmark::State& state) {
  int64_t loaded = 0;
  for (auto _ : state) {
    Lib3dsFile* file = lib3ds_file_load(ScenePath().c_str());
    loaded = 0;
    for (Lib3dsMesh* mesh = file ? file->meshes : nullptr; mesh; mesh = mesh->next) loaded += mesh->faces;
    lib3ds_file_free(file);
  }
  CountTriangles(state, loaded);
}

void LoadAssimp(benchmark::State& state) {
  int64_t loaded = 0;
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(ScenePath(), 0);
    loaded = 0;
    for (unsigned i = 0; scene && i < scene->mNumMeshes; ++i) loaded += scene->mMeshes[i]->mNumFaces;
  }
  CountTriangles(state, loaded);
}

// Keeps each benchmark's rate for the comparison after the run.
class TRateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto found = run.counters.find("triangles_per_second");
      if (found != run.counters.end() && !run.error_occurred) rates[run.benchmark_name()] = found->second.value;
    }
  }
  std::map<std::string, double> rates;
};

}  // namespace

BENCHMARK(LoadGrimvale)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(LoadLib3ds)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(LoadAssimp)->Unit(benchmark::kMillisecond)->MinTime(2);

int main(int argc, char** argv) {
  WriteScene();
  benchmark::Initialize(&argc, argv);
  TRateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::remove(ScenePath().c_str());
  auto rate = [&](const char* name) {
    for (const auto& [key, value] : reporter.rates)
      if (key.rfind(name, 0) == 0) return value;
    return 0.0;
  };
  double ours = rate("LoadGrimvale"), lib3ds = rate("LoadLib3ds"), assimp = rate("LoadAssimp");
  std::printf("\n%lld triangles; triangles per second: game %.0f, lib3ds %.0f, assimp %.0f\n",
              static_cast<long long>(Triangles), ours, lib3ds, assimp);
  if (lib3ds > 0) std::printf("game / lib3ds: %.2f (goal at least 1)\n", ours / lib3ds);
  if (assimp > 0) std::printf("game / assimp: %.2f (goal at least 3)\n", ours / assimp);
  benchmark::Shutdown();
  return 0;
}
