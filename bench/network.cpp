// The server under load: 31 loopback peers each sending its position every
// 40 ms and its state every 500 ms, the server polling every 5 ms and sending
// its own positions and states on the game's intervals. Figures: the server's
// CPU time per frame (goal under 1 ms), the bytes per second each peer
// receives, and both again with one peer that has stopped reading (goal: the
// others unchanged).
#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>

#include "cpu_clock.h"
#include "../tests/net/wire_peer.h"
#include "bench_support.h"
#include "game/characters.h"
#include "game/net_rules.h"
#include "net/network.h"

namespace {

constexpr int kPeers = 31;

struct TJoinedPeer {
  std::unique_ptr<TWirePeer> Peer;
  uint8_t Index = 0;
  uint64_t Bytes = 0;
};

struct TFigures {
  double MeanFrameMs = 0, WorstFrameMs = 0, BytesPerSecondPerPeer = 0;
};

// Runs the load for `seconds`; the first peer stops reading when stallFirst.
TFigures Run(std::vector<TJoinedPeer>& peers, double seconds, bool stallFirst, uint16_t udpPort) {
  std::atomic<bool> stop{false};
  for (auto& p : peers) p.Bytes = 0;
  peers[0].Peer->Stalled = stallFirst;
  std::thread load([&] {
    auto lastState = std::chrono::steady_clock::now();
    while (!stop) {
      const bool states = std::chrono::steady_clock::now() - lastState >= std::chrono::milliseconds(500);
      if (states) lastState = std::chrono::steady_clock::now();
      for (auto& p : peers) {
        const float v[5] = {1, 2, 3, 4, 5};
        p.Peer->SendDatagram(udpPort, WireDatagram(v, 1, p.Index));
        if (states) {
          TWireMessage m = Wire(3, "Peer", "0");
          m.F[1] = -1;  // no model: a model change would kill the character
          m.F[3] = 1;
          m.F[4] = 0;
          m.F[5] = -1;
          p.Peer->Send(m);
        }
        const size_t before = p.Peer->Received.size();
        p.Peer->Drain();
        p.Bytes += (p.Peer->Received.size() - before) * 104;
        for (const auto& d : p.Peer->DrainDatagrams()) p.Bytes += d.size();
        p.Peer->Received.clear();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
  });
  TFigures f;
  int frames = 0;
  uint32_t lastPositions = 0, lastStates = 0;
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::duration<double>(seconds)) {
    const uint32_t now = static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    const double t = CpuMs(CLOCK_THREAD_CPUTIME_ID);
    Network->Poll();
    if (now - lastPositions >= 40) {
      Network->SendPositions();
      lastPositions = now;
    }
    if (now - lastStates >= 500) {
      for (int32_t i = 0; i < Characters->Count; ++i) Characters->At(i)->MarkDirty();
      Network->SendStates();
      lastStates = now;
    }
    const double ms = CpuMs(CLOCK_THREAD_CPUTIME_ID) - t;
    f.MeanFrameMs += ms;
    f.WorstFrameMs = std::max(f.WorstFrameMs, ms);
    ++frames;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  stop = true;
  load.join();
  f.MeanFrameMs /= frames;
  uint64_t bytes = 0;
  for (size_t i = stallFirst ? 1 : 0; i < peers.size(); ++i) bytes += peers[i].Bytes;
  f.BytesPerSecondPerPeer = static_cast<double>(bytes) / static_cast<double>(peers.size() - (stallFirst ? 1 : 0)) / seconds;
  return f;
}

}  // namespace

int main() {
  TBenchDir dir("network");
  std::filesystem::create_directories("data/maps/arena");
  Network = new TNetwork();
  InstallNetRules(*Network);
  TLevel level("arena", false);
  Characters = new TCharacters(&level, false);
  for (int32_t i = 0; i < Characters->Count; ++i) Characters->At(i)->SetHealth(100);
  Network->StartServer(kPeers + 1, 0, 0, 1000, false, "Bench");
  const uint16_t tcp = static_cast<uint16_t>(Network->Server->TCPPort);
  const uint16_t udp = static_cast<uint16_t>(Network->Server->UDPPort);

  std::vector<TJoinedPeer> peers(kPeers);
  for (int i = 0; i < kPeers; ++i) {
    peers[i].Peer = std::make_unique<TWirePeer>(tcp, i == 0 ? 4096 : 0);
    Until([] { Network->Poll(); }, [&] { peers[i].Peer->Drain(); return peers[i].Peer->Find(2) != nullptr; });
    TWireMessage ready = Wire(1);
    ready.F[0] = peers[i].Peer->UDPPort;
    peers[i].Peer->Send(ready);
    Until([] { Network->Poll(); }, [&] { peers[i].Peer->Drain(); return peers[i].Peer->Find(7) != nullptr; });
    peers[i].Index = static_cast<uint8_t>(peers[i].Peer->Find(7)->F[1]);
    peers[i].Peer->Received.clear();
  }
  for (int32_t i = 0; i < Characters->Count; ++i) Characters->At(i)->SetHealth(100);

  Run(peers, 1, false, udp);  // the joins' burst of states drains first
  const TFigures normal = Run(peers, 5, false, udp);
  const TFigures stalled = Run(peers, 5, true, udp);
  std::printf("31 peers, positions every 40 ms, states every 500 ms\n");
  std::printf("  server CPU per frame: mean %.3f ms, worst %.3f ms (goal: mean under 1 ms)\n", normal.MeanFrameMs,
              normal.WorstFrameMs);
  std::printf("  received per peer: %.0f bytes/s\n", normal.BytesPerSecondPerPeer);
  std::printf("one peer stalled\n");
  std::printf("  server CPU per frame: mean %.3f ms, worst %.3f ms\n", stalled.MeanFrameMs, stalled.WorstFrameMs);
  std::printf("  received per other peer: %.0f bytes/s (%.1f%% of the figure above)\n", stalled.BytesPerSecondPerPeer,
              100.0 * stalled.BytesPerSecondPerPeer / normal.BytesPerSecondPerPeer);
  std::printf("  peers still connected: %d of %d\n", Network->Server->ConnectedCount(), kPeers);
  Network->Close();
  delete Characters;
  Characters = nullptr;
  delete Network;
  Network = nullptr;
  return 0;
}
