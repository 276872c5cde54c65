// How another machine's character is drawn: from a short history of the
// positions and views its datagrams brought, each stamped with the sender's
// clock, interpolated a little behind the newest so that a late or lost
// datagram still finds a sample on each side of the drawn moment. Rules,
// collision and hit tests keep using the character's latest real position;
// only drawing (and so the player's aim) sees this one.
#pragma once
#include <array>
#include <cstdint>

#include "world/geometry.h"

struct TViewPose {
  TVec3 Position{};
  float Yaw = 0, Pitch = 0;
};

// Maps this machine's clock onto one sender's: the moment of the sender's
// clock to draw now. It follows the quickest datagram of the recent ones and
// draws DelayMs behind it: two send intervals plus twice the recent spread
// of arrival. The drawn moment eases towards that, so a change of the
// network's jitter never jerks the picture.
class TSenderClock {
 public:
  static constexpr int32_t kIntervalMs = 40;
  static constexpr double kMinDelayMs = 2.0 * kIntervalMs;
  static constexpr double kMaxDelayMs = 250;

  // A datagram stamped `stamp` (sender's ms) arrived at `local`.
  void Arrived(uint32_t stamp, uint32_t local);
  // The sender's moment to draw at local time `local`.
  double DrawTime(uint32_t local) const;
  double DelayMs() const { return lag - static_cast<double>(quickest); }
  bool Known() const { return count > 0; }
  // The sender's full time of a 14-bit stamp, near the last one seen.
  uint32_t Unwrap(uint32_t stamp14);

 private:
  static constexpr size_t kWindow = 32;
  std::array<int64_t, kWindow> offsets{};  // local - stamp of the recent datagrams
  size_t count = 0, next = 0;
  int64_t quickest = 0;
  double lag = 0;  // local time - the sender's moment drawn
  uint32_t recent = 0;
  bool unwrapped = false;
};

// The unwrapped sender time of a 14-bit stamp, given a recent unwrapped time
// of the same sender (stamps wrap every 16.384 s).
uint32_t UnwrapStamp(uint32_t stamp14, uint32_t recent);
inline constexpr uint32_t kStampMask = 0x3FFF;

class TRemoteView {
 public:
  // Beyond the newest sample the motion goes on for at most this long, then holds.
  static constexpr double kMaxExtrapolateMs = 100;
  // A step longer than this between two samples is a teleport (a respawn, a
  // correction): the picture jumps instead of sliding across the map.
  static constexpr float kSnapDistance = 3.0f;

  // A sample at sender time `stamp`. Older than the newest: slotted in (a
  // datagram overtaken by a later one); the same time again: ignored.
  void Add(uint32_t stamp, const TViewPose& pose);
  // Forget the history: the next sample is drawn as it is.
  void Clear() { count = 0; }
  // The pose at sender time `t`.
  TViewPose At(double t) const;
  bool Empty() const { return count == 0; }
  uint32_t Newest() const { return count ? samples[(first + count - 1) % kSize].Stamp : 0; }

 private:
  struct TSample {
    uint32_t Stamp;
    TViewPose Pose;
  };
  static constexpr size_t kSize = 32;
  const TSample& Get(size_t i) const { return samples[(first + i) % kSize]; }
  std::array<TSample, kSize> samples{};
  size_t first = 0, count = 0;
};

// The angle from a to b the short way round, in degrees.
float AngleBetween(float a, float b);
