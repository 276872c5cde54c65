// The master with 100,000 listed servers: the memory its tables take, and
// the CPU time of 1,000 heartbeats (each with its challenge and the server's
// answer) and of one getservers request, for the whole list and for a list
// the filters keep small. No sockets: the packets go straight to the list.
#include <malloc.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "cpu_clock.h"
#include "net/master_list.h"

namespace {

constexpr uint32_t kServers = 100000;

size_t HeapBytes() { return mallinfo2().uordblks; }

// Server i: 10.x.y.z, 25 servers per address as a host of several would run.
TServerAddress ServerAt(uint32_t i) { return {0x0A000000u + i / 25, static_cast<uint16_t>(27960 + i % 25)}; }

struct TBench {
  TMasterList List;
  uint64_t Now = 1000;
  std::vector<TMasterAnswer> Out;

  explicit TBench(const TMasterOptions& options) : List(options) {}

  void Send(const std::string& packet, TServerAddress from) {
    Out.clear();
    List.Receive(reinterpret_cast<const uint8_t*>(packet.data()), packet.size(), from, Now, Out);
  }
  // A heartbeat and the answer to its challenge; every tenth server has no one on it.
  void Beat(uint32_t i) {
    const TServerAddress a = ServerAt(i);
    Send(EncodeHeartbeat(), a);
    if (Out.empty()) return;
    const std::string& q = Out[0].Bytes;
    const std::string challenge = ParseServerQuery(reinterpret_cast<const uint8_t*>(q.data()), q.size())->Challenge;
    TServerStatus s;
    s.Info = {"A server of the benchmark", "arena", i % 10 == 0 ? 0 : 3, 8, 0, 0};
    Send(EncodeInfoResponse(s, challenge), a);
  }
};

}  // namespace

int main() {
  TMasterOptions options;
  options.MaxServers = kServers;
  options.MaxPending = kServers;
  options.Heartbeats = {1e9, 1e9, 1e9, 1e9, 1 << 20};
  options.ListRequests = {1e9, 1e9, 1e9, 1e9, 1 << 20};
  options.ListPacketsPerSecond = 1e9;

  const size_t heapBefore = HeapBytes();
  auto* bench = new TBench(options);
  double start = CpuMs();
  for (uint32_t i = 0; i < kServers; ++i) bench->Beat(i);
  const double fillMs = CpuMs() - start;
  const size_t heap = HeapBytes() - heapBefore;
  std::printf("%zu servers listed: %.1f MiB of heap (%.0f bytes a server), filled in %.0f ms of CPU\n",
              bench->List.Listed(), heap / 1048576.0, static_cast<double>(heap) / bench->List.Listed(), fillMs);

  // Renewals: listed servers' heartbeats, spread over the list.
  constexpr int kRounds = 20;
  start = CpuMs();
  for (int round = 0; round < kRounds; ++round)
    for (uint32_t i = 0; i < 1000; ++i) bench->Beat((i * 97 + static_cast<uint32_t>(round) * 1000) % kServers);
  std::printf("1,000 heartbeats of listed servers, each challenged and answered: %.2f ms of CPU\n",
              (CpuMs() - start) / kRounds);

  size_t packets = 0, bytes = 0;
  auto ask = [&](const TServerListQuery& query, int times) {
    const double t0 = CpuMs();
    for (int k = 0; k < times; ++k) {
      bench->Send(EncodeGetServers(query), {0x7F000001, static_cast<uint16_t>(1000 + k)});
      packets = bench->Out.size();
      bytes = 0;
      for (const TMasterAnswer& a : bench->Out) bytes += a.Bytes.size();
    }
    return (CpuMs() - t0) / times;
  };
  double ms = ask({"Grimvale", QueryProtocol(), true, true}, 20);
  std::printf("getservers for all %u servers: %.2f ms of CPU, %zu packets, %zu bytes\n", kServers, ms, packets, bytes);
  ms = ask({"Grimvale", QueryProtocol(), false, false}, 20);
  std::printf("getservers without the empty ones (nine in ten): %.2f ms of CPU, %zu packets\n", ms, packets);
  ms = ask({"Othergame", 1, true, true}, 20);
  std::printf("getservers of a game with no servers: %.2f ms of CPU (the scan alone)\n", ms);

  start = CpuMs();
  bench->Now += options.ExpiryMs - 1;
  bench->List.Expire(bench->Now);
  std::printf("one expiry pass over the list: %.2f ms of CPU\n", CpuMs() - start);
  delete bench;
  return 0;
}
