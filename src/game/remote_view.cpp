// The sender's clock as seen here, and interpolation between stamped samples.
#include "game/remote_view.h"

#include <algorithm>
#include <cmath>

void TSenderClock::Arrived(uint32_t stamp, uint32_t local) {
  // Signed 32-bit differences: both clocks may wrap.
  const int64_t offset = static_cast<int32_t>(local - stamp);
  offsets[next] = offset;
  next = (next + 1) % kWindow;
  count = std::min(count + 1, kWindow);
  quickest = offsets[0];
  for (size_t i = 0; i < count; ++i) quickest = std::min(quickest, offsets[i]);
  double spread = 0;
  for (size_t i = 0; i < count; ++i) spread += static_cast<double>(offsets[i] - quickest);
  spread /= static_cast<double>(count);
  const double wanted = static_cast<double>(quickest) + std::clamp(kMinDelayMs + 2 * spread, kMinDelayMs, kMaxDelayMs);
  // Eased in: the quickest datagram leaving the window must not jerk the
  // picture. A sender whose clock jumped (a restart) is followed at once.
  lag = count == 1 || std::fabs(wanted - lag) > 1000 ? wanted : lag + 0.05 * (wanted - lag);
}

double TSenderClock::DrawTime(uint32_t local) const { return static_cast<double>(local) - lag; }

uint32_t UnwrapStamp(uint32_t stamp14, uint32_t recent) {
  int32_t step = static_cast<int32_t>((stamp14 - recent) & kStampMask);
  if (step > static_cast<int32_t>(kStampMask / 2)) step -= static_cast<int32_t>(kStampMask + 1);
  return recent + static_cast<uint32_t>(step);
}

uint32_t TSenderClock::Unwrap(uint32_t stamp14) {
  recent = unwrapped ? UnwrapStamp(stamp14 & kStampMask, recent) : (stamp14 & kStampMask);
  unwrapped = true;
  return recent;
}

float AngleBetween(float a, float b) {
  float d = std::fmod(b - a, 360.0f);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

void TRemoteView::Add(uint32_t stamp, const TViewPose& pose) {
  if (count > 0) {
    const TSample& newest = Get(count - 1);
    const int32_t ahead = static_cast<int32_t>(stamp - newest.Stamp);
    if (ahead == 0) return;
    if (ahead > 0 && VecLength(VecSub(pose.Position, newest.Pose.Position)) > kSnapDistance) count = 0;
  }
  if (count == kSize) {
    first = (first + 1) % kSize;
    --count;
  }
  // Slot in by time: a reordered datagram lands where it belongs.
  size_t at = count;
  while (at > 0 && static_cast<int32_t>(stamp - Get(at - 1).Stamp) < 0) --at;
  if (at > 0 && Get(at - 1).Stamp == stamp) return;
  for (size_t i = count; i > at; --i) samples[(first + i) % kSize] = samples[(first + i - 1) % kSize];
  samples[(first + at) % kSize] = {stamp, pose};
  ++count;
}

namespace {

TViewPose Blend(const TViewPose& a, const TViewPose& b, double f) {
  const float g = static_cast<float>(f);
  TViewPose p;
  p.Position = VecAdd(a.Position, VecScale(VecSub(b.Position, a.Position), g));
  p.Yaw = a.Yaw + AngleBetween(a.Yaw, b.Yaw) * g;
  p.Pitch = a.Pitch + (b.Pitch - a.Pitch) * g;
  return p;
}

}  // namespace

TViewPose TRemoteView::At(double t) const {
  if (count == 0) return {};
  const uint32_t base = Get(0).Stamp;
  // Times relative to the oldest sample, so wrapping clocks stay ordered.
  auto rel = [base](uint32_t s) { return static_cast<double>(static_cast<int32_t>(s - base)); };
  const double when = t - static_cast<double>(base);
  if (count == 1 || when <= 0) return Get(when <= 0 ? 0 : count - 1).Pose;
  for (size_t i = 1; i < count; ++i) {
    const double t1 = rel(Get(i).Stamp);
    if (when <= t1) {
      const double t0 = rel(Get(i - 1).Stamp);
      return Blend(Get(i - 1).Pose, Get(i).Pose, (when - t0) / (t1 - t0));
    }
  }
  // Past the newest: on along the last step for a short while, then hold.
  const TSample& a = Get(count - 2);
  const TSample& b = Get(count - 1);
  const double t0 = rel(a.Stamp), t1 = rel(b.Stamp);
  const double beyond = std::min(when - t1, kMaxExtrapolateMs);
  return Blend(a.Pose, b.Pose, 1 + beyond / (t1 - t0));
}
