// Token buckets for answers to unauthenticated requests: one per source
// address and one for everybody. An answer to a UDP request may be larger
// than the request, so without them a forged source address would aim our
// answers at a victim; within them, whatever one source or all together can
// draw out of us stays small. The table of sources is bounded.
#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>

// Milliseconds on the system's steady clock: what the limits, the master and
// the heartbeats count on (never going back, no wrap in a server's life).
uint64_t SteadyMs();

struct TRateLimits {
  double PerSourceRate = 3;  // tokens a second for one address
  double PerSourceBurst = 3;
  double TotalRate = 60;  // tokens a second for all addresses together
  double TotalBurst = 60;
  size_t MaxSources = 1024;  // addresses remembered at once
};

class TRateLimiter {
 public:
  explicit TRateLimiter(const TRateLimits& limits = {}) : Limits(limits) {}
  // True when cost tokens are left both for source (IPv4, host order) and in
  // all; they are then taken. nowMs is any clock that never goes back.
  bool Allow(uint32_t source, uint64_t nowMs, double cost = 1);
  // Addresses remembered now (never more than Limits.MaxSources).
  size_t Sources() const { return sources.size(); }

  TRateLimits Limits;

 private:
  struct TBucket {
    double Tokens = 0;
    uint64_t Time = 0;
  };
  void Refill(TBucket& bucket, uint64_t now, double rate, double burst) const;
  // Forgets the addresses whose buckets have filled up again; at most one
  // sweep per interval, so a flood from many addresses costs no sweep per packet.
  void Forget(uint64_t now);

  TBucket total{-1, 0};
  std::unordered_map<uint32_t, TBucket> sources;
  uint64_t lastSweep = 0;
  bool swept = false;
};

// One log line for a run of refusals: the first at once, then at most one a
// minute, each saying how many there were since the last. A flood costs the
// log a line a minute, and whoever reads it still learns of it.
class TRefusalLog {
 public:
  // Counts a refusal; true when a line is due, count then holds the refusals
  // it reports.
  bool Note(uint64_t nowMs, uint64_t& count);

 private:
  uint64_t refused = 0;
  uint64_t last = 0;
  bool logged = false;
};
