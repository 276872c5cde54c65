// Helpers the benchmarks share: timing a loop so that figures of one run can
// be set side by side, a scratch game directory that the level build writes
// into, and loading a built level from it.
#pragma once
#include "core/paths.h"
#include "core/platform.h"
#include "render/level_scene_reader.h"
#include "world/level.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

// Seconds per iteration of each timed loop of the run, by name.
inline std::map<std::string, double> gSecondsPerIteration;

// Times the loop itself, so the summary can set figures of one run side by side.
template <typename Body>
void Timed(benchmark::State& state, const std::string& key, Body body) {
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) body();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (state.iterations() > 0) gSecondsPerIteration[key] = seconds / static_cast<double>(state.iterations());
}

// A fresh temporary directory that is the working directory while it lives,
// so the game's relative "data\..." paths resolve inside it.
class TBenchDir {
 public:
  explicit TBenchDir(const std::string& name)
      : previous(std::filesystem::current_path()),
        work(std::filesystem::temp_directory_path() / ("grimvale-bench-" + name + "-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(work);
    std::filesystem::current_path(work);
  }
  ~TBenchDir() {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(work);
  }
  TBenchDir(const TBenchDir&) = delete;
  TBenchDir& operator=(const TBenchDir&) = delete;

 private:
  std::filesystem::path previous, work;
};

// The level "data\maps\<name>\", its map.lvl built already; no GL needed.
inline std::unique_ptr<TLevel> LoadedLevel(const std::string& name) {
  auto level = std::make_unique<TLevel>(name, false);
  level->LoadData();
  return level;
}

// The shipped data tree beside the build ("<build>/bin/data/"), or "" with a
// message when the map the benchmark needs has not been generated.
inline std::string ShippedData(const std::string& requiredMap) {
  const std::string data = ExeDir() + "../bin/data/";
  if (DirectoryExists(data + "maps/" + requiredMap)) return data;
  std::fprintf(stderr, "%smaps/%s is missing: build the data target first\n", data.c_str(), requiredMap.c_str());
  return "";
}

// The start of a benchmark on the shipped maps: its command line, the level
// loaders and a fixed seed; then ShippedData(requiredMap).
inline std::string StartShippedBenchmark(int* argc, char** argv, const std::string& requiredMap) {
  benchmark::Initialize(argc, argv);
  InstallLevelLoaders();
  RandomSeed(1);
  return ShippedData(requiredMap);
}

// Fills the scratch directory (the working directory of a TBenchDir): copies
// of the maps, whose map.lvl is then built, and links to the shared folders.
inline void StageShippedData(const std::string& data, std::initializer_list<const char*> maps,
                             std::initializer_list<const char*> shared) {
  std::filesystem::create_directories("data/maps");
  for (const char* map : maps)
    std::filesystem::copy(data + "maps/" + map, std::string("data/maps/") + map,
                          std::filesystem::copy_options::recursive);
  for (const char* folder : shared)
    std::filesystem::create_directory_symlink(std::filesystem::canonical(data + folder), std::string("data/") + folder);
  for (const char* map : maps) BuildLevel(map, 500);
}
