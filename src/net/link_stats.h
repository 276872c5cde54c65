// What one connection's latency looks like from this end: round trips from
// ping messages the peer echoes, the loss of the peer's datagrams (each ping
// says how many it has sent), and the bytes each way per second. Only peers
// of this revision get pings: older ones would count them as unknown codes.
#pragma once
#include <cstdint>

#include "net/network_message.h"

class TLinkStats {
 public:
  // A ping when one is due (one a second), with the datagrams sent so far.
  bool PingDue(uint64_t nowMs, TNetMessage& ping);
  // The peer's ping: the answer to send back, and the loss of its datagrams.
  TNetMessage Answer(const TNetMessage& ping);
  // The peer echoed one of this end's pings.
  void Answered(const TNetMessage& pong, uint64_t nowMs);
  void Sent(uint32_t bytes, bool datagram);
  void Received(uint32_t bytes, bool datagram);

  int32_t RttMs = 0;     // smoothed; 0 until the first answer
  int32_t JitterMs = 0;  // smoothed change of the round trip
  float LossIn = 0;      // share of the peer's datagrams that did not arrive
  int32_t BytesInPerSec = 0, BytesOutPerSec = 0;

 private:
  uint64_t lastPing = 0;
  uint32_t datagramsSent = 0, datagramsReceived = 0;
  uint32_t peerSentBefore = 0, receivedBefore = 0;
  uint64_t bytesIn = 0, bytesOut = 0, bytesInBefore = 0, bytesOutBefore = 0;
  bool measured = false;
};
