// A dedicated server's level with bots, run in this process on a simulated
// clock at 60 frames a second, as the server benchmarks measure it.
#pragma once
#include "app/dedicated.h"
#include "core/platform.h"
#include "game/characters.h"
#include "net/network.h"
#include "net/network_timers.h"

#include <cstdint>

class TBenchServer {
 public:
  explicit TBenchServer(const TDedicatedOptions& options) {
    Network->StartServer(32, 0, 0, 1500, false, "bench");
    Network->Server->HostSeats = 0;
    SetTickSource([this] { return now; });
    StartDedicatedLevel(options);
  }
  ~TBenchServer() {
    EndDedicatedLevel();
    SetTickSource(nullptr);
  }
  TBenchServer(const TBenchServer&) = delete;
  TBenchServer& operator=(const TBenchServer&) = delete;

  void Frame() {
    now += 16;
    DedicatedFrame(now, 16, timers);
  }
  uint32_t Now() const { return now; }
  // The empty first round ends and everybody revives: frames until `bots`
  // characters live (at most 1000).
  void UntilAlive(int32_t bots) {
    for (int i = 0; i < 1000 && Alive() < bots; ++i) Frame();
  }

 private:
  static int32_t Alive() {
    int32_t n = 0;
    for (int32_t i = 1; i < Characters->Count; ++i) n += Characters->At(i)->Dead ? 0 : 1;
    return n;
  }

  uint32_t now = 100000;
  TNetworkTimers timers;
};
