// What one connection's latency looks like from this end: round trips from
// ping messages the peer echoes, the loss of datagrams each way, and the
// bytes each way per second. Only peers of this revision get pings: older
// ones would count them as unknown codes.
//
// Loss: each ping says how many datagrams its sender has sent, and the
// receiver keeps those counts beside its own count of arrivals, one pair a
// ping. The share lost is taken between the newest pair and the newest one
// that lies at least kLossSample datagrams back (or the oldest kept): one
// second of a few dozen datagrams says little, and counts taken a ping apart
// are off by the datagrams still on their way, an error that cancels over
// the pings in between. This end cannot see its own datagrams arrive, so
// its pings carry its figure of the peer's datagrams, and the peer's pings
// give it the figure of its own.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "net/network_message.h"

// Datagrams a loss figure should span: at 5% lost, 2000 put one standard
// deviation at half a point.
inline constexpr uint32_t kLossSample = 2000;

class TLinkStats {
 public:
  // A ping when one is due (one a second), with the datagrams sent so far and
  // this end's figure of the peer's datagrams.
  bool PingDue(uint64_t nowMs, TNetMessage& ping);
  // The peer's ping: the answer to send back; updates both loss figures.
  TNetMessage Answer(const TNetMessage& ping);
  // The peer echoed one of this end's pings.
  void Answered(const TNetMessage& pong, uint64_t nowMs);
  void Sent(uint32_t bytes, bool datagram);
  void Received(uint32_t bytes, bool datagram);

  int32_t RttMs = 0;     // smoothed; 0 until the first answer
  int32_t JitterMs = 0;  // smoothed change of the round trip
  // Shares of datagrams lost on the way here (counted by this end) and on
  // the way to the peer (as the peer counted them), each with the datagrams
  // it spans; a span of 0 means not measured yet (LossOut stays so with a
  // peer that does not report it).
  float LossIn = 0, LossOut = 0;
  uint32_t LossInSpan = 0, LossOutSpan = 0;
  int32_t BytesInPerSec = 0, BytesOutPerSec = 0;

 private:
  void CountLoss(uint32_t peerSent);

  // The counts at each of the peer's recent pings, two minutes of them.
  struct TCounts {
    uint32_t PeerSent = 0, Received = 0;
  };
  static constexpr size_t kCountsKept = 120;
  std::array<TCounts, kCountsKept> counts{};
  size_t countsHeld = 0, newest = 0;

  uint64_t lastPing = 0;
  uint32_t datagramsSent = 0, datagramsReceived = 0;
  uint64_t bytesIn = 0, bytesOut = 0, bytesInBefore = 0, bytesOutBefore = 0;
  bool measured = false;
};
