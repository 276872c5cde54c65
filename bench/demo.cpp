// Demos: what recording costs a dedicated server with 31 bots on the
// compound (the server frame with and without a recording, in game time at
// 60 frames a second, and the demo's bytes per minute of play), and, with a
// display, the real binary's --timedemo of the standard demo (frames per
// second and the 99th-percentile frame time).
#include "app/dedicated.h"
#include "bench_server.h"
#include "bench_support.h"
#include "core/paths.h"
#include "core/platform.h"
#include "game/characters.h"
#include "game/demo_recorder.h"
#include "game/net_rules.h"
#include "net/network.h"
#include "net/network_timers.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

double gBytesPerMinute = 0;

// Range 0: not recording; range 1: recording the 50 s of match measured.
void BM_ServerFrame(benchmark::State& state) {
  RandomSeed(1);  // both runs play the same match
  TDedicatedOptions options;
  options.Map = "compound";
  options.Bots = 31;
  options.MaxPlayers = 32;
  TBenchServer server(options);
  server.UntilAlive(31);
  for (int i = 0; i < 300; ++i) server.Frame();
  std::unique_ptr<TDemoRecorder> recorder;
  if (state.range(0) == 1) {
    recorder = std::make_unique<TDemoRecorder>();
    std::string error;
    if (!recorder->Start("bench.dem", error)) state.SkipWithError(error.c_str());
  }
  Timed(state, state.range(0) == 0 ? "not recording" : "recording", [&] { server.Frame(); });
  if (recorder) {
    const double minutes = recorder->Time() / 60000.0;
    recorder->Stop();
    gBytesPerMinute = minutes > 0 ? static_cast<double>(recorder->Bytes()) / minutes : 0;
    state.counters["bytes_per_minute"] = gBytesPerMinute;
  }
}
BENCHMARK(BM_ServerFrame)->Unit(benchmark::kMicrosecond)->UseRealTime()->Arg(0)->Iterations(3000);
BENCHMARK(BM_ServerFrame)->Unit(benchmark::kMicrosecond)->UseRealTime()->Arg(1)->Iterations(3000);

// The line the real binary prints at the end of a timedemo, or "".
std::string Timedemo(const std::string& game, const std::string& demo) {
  const std::string command = game + " --timedemo " + demo + " 2>/dev/null";
  std::FILE* out = popen(command.c_str(), "r");
  if (!out) return "";
  std::string line, found;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, out)) {
    line = buffer;
    if (line.rfind("timedemo:", 0) == 0) found = line;
  }
  const int status = pclose(out);
  return status == 0 ? found : "";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string data = StartShippedBenchmark(&argc, argv, "compound");
  if (data.empty()) return 1;
  const std::string bin = ExeDir() + "../bin/";
  {
    TBenchDir work("demo");
    StageShippedData(data, {"compound"}, {"characters", "weapons"});
    Network = new TNetwork();
    Network->DiscoveryPort = -1;
    InstallNetRules(*Network);  // the positions go out, and into the demo
    benchmark::RunSpecifiedBenchmarks();
    delete Network;
    Network = nullptr;
  }
  std::printf("\n");
  const double off = gSecondsPerIteration["not recording"], on = gSecondsPerIteration["recording"];
  if (off > 0 && on > 0)
    std::printf("dedicated server frame, 31 bots on the compound: %.3f ms, recording %.3f ms (x%.2f); %.0f KB of demo "
                "a minute\n",
                off * 1e3, on * 1e3, on / off, gBytesPerMinute / 1024);
  if (std::getenv("DISPLAY")) {
    // A copy of the game of its own, so its settings and log stay out of the build.
    TBenchDir work("timedemo");
    std::filesystem::copy_file(bin + "grimvale", "grimvale");
    std::filesystem::create_directory_symlink(std::filesystem::canonical(bin + "data"), "data");
    const std::string line = Timedemo("./grimvale", "data/demos/standard.dem");
    std::printf("standard demo: %s", line.empty() ? "the timedemo failed\n" : line.c_str());
  } else {
    std::printf("standard demo: no display, no timedemo\n");
  }
  benchmark::Shutdown();
  return 0;
}
