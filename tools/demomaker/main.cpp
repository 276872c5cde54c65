// demomaker BASE OUTPUT: records the standard demo, the one timedemo
// figures are compared by. Sixteen bots play on the compound on a server
// without sockets in simulated time with a fixed seed, so every build
// writes the same bytes; the recording starts once the first round has
// revived everybody and lasts kSeconds. BASE is the directory holding data/.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/dedicated.h"
#include "core/game_settings.h"
#include "core/platform.h"
#include "game/characters.h"
#include "game/demo_recorder.h"
#include "game/net_rules.h"
#include "net/network.h"
#include "net/network_timers.h"
#include "render/level_scene_reader.h"

namespace {

constexpr uint32_t kSeed = 21;
constexpr int32_t kBots = 16;
constexpr uint32_t kFrameMs = 16;
constexpr uint32_t kSeconds = 12;
// Fights have begun a little after everybody revived.
constexpr uint32_t kLeadInMs = 3000;

int32_t Alive() {
  int32_t n = 0;
  for (int32_t i = 1; i < Characters->Count; ++i) n += Characters->At(i)->Dead ? 0 : 1;
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: demomaker BASE OUTPUT\n");
    return 2;
  }
  const std::string output = argv[2];
  if (chdir(argv[1]) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  uint32_t now = 100000;
  SetTickSource([&now] { return now; });
  RandomSeed(kSeed);
  InstallLevelLoaders();
  Network = new TNetwork();
  Network->IsServer = true;
  Network->Server = std::make_unique<TServer>(kBots + 1, 0, 0, 1500, false, "Grimvale standard demo");
  Network->Server->HostSeats = 0;
  InstallNetRules(*Network);
  TGameSettings settings;
  NetRuleHooks.Settings = &settings;
  TDedicatedOptions options;
  options.Map = "compound";
  options.Bots = kBots;
  options.MaxPlayers = kBots + 1;
  int status = 0;
  try {
    StartDedicatedLevel(options);
    TNetworkTimers timers;
    auto frame = [&] {
      now += kFrameMs;
      DedicatedFrame(now, kFrameMs, timers);
    };
    for (int i = 0; i < 5000 && Alive() < kBots; ++i) frame();
    for (uint32_t t = 0; t < kLeadInMs; t += kFrameMs) frame();
    TDemoRecorder recorder;
    std::string error;
    if (!recorder.Start(output, error)) throw std::runtime_error(error);
    while (recorder.Time() < kSeconds * 1000) frame();
    if (!recorder.Stop()) throw std::runtime_error(output + ": cannot be written");
    std::printf("demomaker: %s, %u s, %llu bytes\n", output.c_str(), kSeconds,
                static_cast<unsigned long long>(recorder.Bytes()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demomaker: %s\n", e.what());
    status = 1;
  }
  EndDedicatedLevel();
  delete Network;
  Network = nullptr;
  return status;
}
