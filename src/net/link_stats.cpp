// Ping message layout (both directions): S1 the sender's clock in ms as
// decimal text, F[0] the datagrams the sender has sent on this connection,
// F[1] the share of the receiver's datagrams the sender found lost and F[2]
// the datagrams that share spans (0: not measured; a peer of the first
// pinging revision leaves both 0). The answer echoes S1 unchanged.
#include "net/link_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {
constexpr uint64_t kPingIntervalMs = 1000;
}

bool TLinkStats::PingDue(uint64_t nowMs, TNetMessage& ping) {
  if (lastPing != 0 && nowMs - lastPing < kPingIntervalMs) return false;
  const uint64_t elapsed = lastPing == 0 ? 0 : nowMs - lastPing;
  if (elapsed > 0) {
    BytesInPerSec = static_cast<int32_t>((bytesIn - bytesInBefore) * 1000 / elapsed);
    BytesOutPerSec = static_cast<int32_t>((bytesOut - bytesOutBefore) * 1000 / elapsed);
  }
  bytesInBefore = bytesIn;
  bytesOutBefore = bytesOut;
  lastPing = nowMs;
  ping = MakeMessage(0, std::to_string(nowMs));
  ping.F[0] = static_cast<float>(datagramsSent);
  ping.F[1] = LossIn;
  ping.F[2] = static_cast<float>(LossInSpan);
  return true;
}

TNetMessage TLinkStats::Answer(const TNetMessage& ping) {
  const float sent = ping.F[0];
  if (std::isfinite(sent) && sent >= 0 && sent < 4e9f) CountLoss(static_cast<uint32_t>(sent));
  const float share = ping.F[1], span = ping.F[2];
  if (std::isfinite(share) && share >= 0 && share <= 1 && std::isfinite(span) && span >= 1 && span < 4e9f) {
    LossOut = share;
    LossOutSpan = static_cast<uint32_t>(span);
  }
  return MakeMessage(0, ping.S1);
}

void TLinkStats::CountLoss(uint32_t peerSent) {
  // A count that went back is a peer that started counting afresh.
  if (countsHeld > 0 && peerSent < counts[newest].PeerSent) countsHeld = 0;
  newest = countsHeld == 0 ? 0 : (newest + 1) % kCountsKept;
  counts[newest] = {peerSent, datagramsReceived};
  if (countsHeld < kCountsKept) ++countsHeld;
  size_t back = 1;
  while (back + 1 < countsHeld && peerSent - counts[(newest + kCountsKept - back) % kCountsKept].PeerSent < kLossSample)
    ++back;
  if (back >= countsHeld) return;
  const TCounts& from = counts[(newest + kCountsKept - back) % kCountsKept];
  const uint32_t expected = peerSent - from.PeerSent;
  if (expected == 0) return;
  // Datagrams overtaking a ping can make more arrive than were sent.
  const double got = static_cast<double>(datagramsReceived - from.Received);
  LossIn = static_cast<float>(std::clamp(1.0 - got / expected, 0.0, 1.0));
  LossInSpan = expected;
}

void TLinkStats::Answered(const TNetMessage& pong, uint64_t nowMs) {
  char* end = nullptr;
  const unsigned long long stamp = std::strtoull(pong.S1.c_str(), &end, 10);
  // Only a stamp this end sent: not empty, not from the future, not older than a minute.
  if (pong.S1.empty() || *end != '\0' || stamp > nowMs || nowMs - stamp > 60000) return;
  const int32_t rtt = static_cast<int32_t>(nowMs - stamp);
  if (!measured) {
    RttMs = rtt;
    measured = true;
    return;
  }
  JitterMs += (std::abs(rtt - RttMs) - JitterMs) / 4;
  RttMs += (rtt - RttMs) / 4;
}

void TLinkStats::Sent(uint32_t bytes, bool datagram) {
  bytesOut += bytes;
  datagramsSent += datagram ? 1 : 0;
}

void TLinkStats::Received(uint32_t bytes, bool datagram) {
  bytesIn += bytes;
  datagramsReceived += datagram ? 1 : 0;
}
