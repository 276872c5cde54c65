// The token buckets of TRateLimiter.
#include "net/rate_limit.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr uint64_t kSweepIntervalMs = 250;

}  // namespace

uint64_t SteadyMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

void TRateLimiter::Refill(TBucket& bucket, uint64_t now, double rate, double burst) const {
  if (now > bucket.Time) bucket.Tokens = std::min(burst, bucket.Tokens + static_cast<double>(now - bucket.Time) * rate / 1000.0);
  bucket.Time = std::max(bucket.Time, now);
}

void TRateLimiter::Forget(uint64_t now) {
  if (swept && now - lastSweep < kSweepIntervalMs) return;
  swept = true;
  lastSweep = now;
  for (auto it = sources.begin(); it != sources.end();) {
    Refill(it->second, now, Limits.PerSourceRate, Limits.PerSourceBurst);
    it = it->second.Tokens >= Limits.PerSourceBurst ? sources.erase(it) : std::next(it);
  }
}

bool TRateLimiter::Allow(uint32_t source, uint64_t now, double cost) {
  if (total.Tokens < 0) total = {Limits.TotalBurst, now};
  Refill(total, now, Limits.TotalRate, Limits.TotalBurst);
  if (total.Tokens < cost) return false;
  auto it = sources.find(source);
  if (it == sources.end()) {
    if (sources.size() >= Limits.MaxSources) Forget(now);
    if (sources.size() >= Limits.MaxSources) return false;
    it = sources.emplace(source, TBucket{Limits.PerSourceBurst, now}).first;
  }
  Refill(it->second, now, Limits.PerSourceRate, Limits.PerSourceBurst);
  if (it->second.Tokens < cost) return false;
  it->second.Tokens -= cost;
  total.Tokens -= cost;
  return true;
}

bool TRefusalLog::Note(uint64_t now, uint64_t& count) {
  ++refused;
  if (logged && now - last < 60000) return false;
  logged = true;
  last = now;
  count = refused;
  refused = 0;
  return true;
}
