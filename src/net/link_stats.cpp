// Ping message layout (both directions): S1 the sender's clock in ms as
// decimal text, F[0] the datagrams the sender has sent on this connection.
// The answer echoes S1 unchanged.
#include "net/link_stats.h"

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
  return true;
}

TNetMessage TLinkStats::Answer(const TNetMessage& ping) {
  const float sent = ping.F[0];
  if (std::isfinite(sent) && sent >= 0 && sent < 4e9f) {
    const uint32_t peerSent = static_cast<uint32_t>(sent);
    const uint32_t expected = peerSent - peerSentBefore, got = datagramsReceived - receivedBefore;
    // Datagrams still on their way count as lost for a second; reordering
    // across the ping can make `got` exceed `expected`.
    if (peerSent > peerSentBefore && expected >= got) LossIn = 1.0f - static_cast<float>(got) / expected;
    if (peerSent >= peerSentBefore) {
      peerSentBefore = peerSent;
      receivedBefore = datagramsReceived;
    }
  }
  return MakeMessage(0, ping.S1);
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
