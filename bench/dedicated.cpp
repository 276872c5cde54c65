// A dedicated server with 31 bots on the shipped stress map (about 205 000
// triangles): the time of one server frame (rules, bots, network poll and
// timed sends) in this process; then the real binary as it runs on a server
// box: its CPU and resident memory at steady state with the 31 bots, and its
// CPU when idle (no players, no bots; goal under 2% of a core). The frame
// is measured again with the fleet's SDK client beside it, against stand-in
// sidecars that answer, fail, never answer, or are missing.
#include <optional>

#include "../tests/net/sdk_sidecar.h"
#include "app/dedicated.h"
#include "app/fleet_match.h"
#include "bench_server.h"
#include "bench_support.h"
#include "core/paths.h"
#include "core/platform.h"
#include "game/characters.h"
#include "game/ki.h"
#include "net/network.h"
#include "net/network_timers.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

TDedicatedOptions StressOptions(int32_t bots) {
  TDedicatedOptions o;
  o.Map = "stress";
  o.Bots = bots;
  o.MaxPlayers = 32;
  return o;
}

// 60 frames a second of game time, as the server runs them. Range 0: the
// first 5 s after everybody revived; range 1: the 50 s of match after them.
void BM_ServerFrame(benchmark::State& state) {
  TBenchServer server(StressOptions(31));
  server.UntilAlive(31);
  if (state.range(0) == 1)
    for (int i = 0; i < 300; ++i) server.Frame();
  Timed(state, state.range(0) == 0 ? "frame start" : "frame match", [&] { server.Frame(); });
  state.counters["bots"] = KI->BotCount();
}
BENCHMARK(BM_ServerFrame)->Unit(benchmark::kMicrosecond)->UseRealTime()->Arg(0)->Iterations(300);
BENCHMARK(BM_ServerFrame)->Unit(benchmark::kMicrosecond)->UseRealTime()->Arg(1)->Iterations(3000);

// The match frame with 31 bots: range 0 without a sidecar client, 1 a
// sidecar that answers, 2 one that answers 500, 3 one that never answers,
// 4 none listening.
const char* const kSdkCases[] = {"sdk off", "sdk answers", "sdk fails", "sdk silent", "sdk missing"};
void BM_ServerFrameSdk(benchmark::State& state) {
  const int64_t which = state.range(0);
  std::optional<TSdkSidecar> sidecar;
  std::optional<uint16_t> port;
  if (which == 1) port = sidecar.emplace(TSdkSidecar::TMode::Gateway).Port;
  if (which == 2) port = sidecar.emplace(TSdkSidecar::TMode::Fails).Port;
  if (which == 3) port = sidecar.emplace(TSdkSidecar::TMode::Silent).Port;
  if (which == 4) port = TSdkSidecar().Port;
  TBenchServer server(StressOptions(31));
  server.UntilAlive(31);
  TFleetMatch match(StressOptions(31), port, {[](const std::string&) { return false; }, [](const std::string&) {},
                                              [](const std::string&, bool) {}});
  match.Started(server.Now());
  for (int i = 0; i < 300; ++i) server.Frame();
  Timed(state, kSdkCases[which], [&] {
    server.Frame();
    match.Frame(server.Now());
  });
}
BENCHMARK(BM_ServerFrameSdk)->Unit(benchmark::kMicrosecond)->UseRealTime()->DenseRange(0, 4)->Iterations(3000);

// utime + stime of a process, in clock ticks.
long long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream rest(line.substr(line.rfind(')') + 2));
  std::string field;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  return utime + stime;
}

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

struct TProcessFigures {
  double CpuPercent = -1;  // of one core, over the measured span
  long ResidentKb = -1;
};

// The copy of the game in the working directory, as a dedicated server with
// args, measured for `seconds` once it runs and has settled for `settle`.
TProcessFigures MeasureServer(const std::vector<std::string>& args, int settle, int seconds) {
  std::remove("server.out");
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = ::open("server.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    unsetenv("DISPLAY");
    std::vector<char*> argv{const_cast<char*>("grimvale"), const_cast<char*>("--dedicated")};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv("./grimvale", argv.data());
    _exit(127);
  }
  TProcessFigures f;
  bool running = false;
  for (int i = 0; i < 600 && !running; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::ifstream out("server.out");
    std::stringstream text;
    text << out.rdbuf();
    running = text.str().find("type help for the commands") != std::string::npos;
  }
  if (running) {
    std::this_thread::sleep_for(std::chrono::seconds(settle));
    const long long before = CpuTicks(pid);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long long after = CpuTicks(pid);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.CpuPercent = 100.0 * double(after - before) / double(sysconf(_SC_CLK_TCK)) / elapsed;
    f.ResidentKb = ResidentKb(pid);
  } else {
    std::fprintf(stderr, "the server did not start; server.out says why\n");
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string data = StartShippedBenchmark(&argc, argv, "stress");
  if (data.empty()) return 1;
  const std::string game = ExeDir() + "../bin/grimvale";
  TBenchDir work("dedicated");
  StageShippedData(data, {"stress"}, {"characters", "weapons"});
  Network = new TNetwork();
  benchmark::RunSpecifiedBenchmarks();
  delete Network;
  Network = nullptr;

  std::filesystem::copy_file(game, "grimvale");
  const TProcessFigures busy =
      MeasureServer({"--map", "stress", "--bots", "31", "--maxplayers", "32", "--tcpport", "0", "--udpport", "0"}, 10, 10);
  const TProcessFigures idle = MeasureServer({"--map", "stress", "--tcpport", "0", "--udpport", "0"}, 2, 10);

  std::printf("\n");
  for (const char* key : {"frame start", "frame match"})
    if (auto t = gSecondsPerIteration.find(key); t != gSecondsPerIteration.end())
      std::printf("dedicated server frame, 31 bots on the stress map (%s): %.3f ms\n", key, t->second * 1e3);
  for (const char* key : kSdkCases)
    if (auto t = gSecondsPerIteration.find(key); t != gSecondsPerIteration.end())
      std::printf("match frame, 31 bots on the stress map, %s: %.3f ms\n", key, t->second * 1e3);
  std::printf("real binary, 31 bots on the stress map: %.1f%% of a core (about %.3f ms a frame at 60 Hz), RSS %.1f MB\n",
              busy.CpuPercent, busy.CpuPercent / 100.0 * 1000.0 / 60.0, busy.ResidentKb / 1024.0);
  std::printf("real binary, idle (no players, no bots) on the stress map: %.2f%% of a core (goal < 2%%), RSS %.1f MB\n",
              idle.CpuPercent, idle.ResidentKb / 1024.0);
  benchmark::Shutdown();
  return 0;
}
