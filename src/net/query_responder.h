// A game server's answers to getinfo and getstatus on its UDP port. Each
// answer is larger than its query, so answers are rationed: a few a second to
// one address and a bounded number in all; over that the server keeps quiet
// and says so in the log once a minute at most. The masters the server
// announces itself to draw on a ration of their own, apart from everybody's:
// a flood from elsewhere cannot use up the answers their challenges need.
// Nothing here touches the game: a flood of queries costs it only the reading.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "net/master_codec.h"
#include "net/rate_limit.h"
#include "net/server_query.h"

class TQueryResponder {
 public:
  // One out-of-band packet that reached the game port; fromMaster when its
  // address is a master's. describe is asked only when an answer goes out
  // (its argument: whether the players are wanted); send puts the answer on
  // the wire to `from`.
  void Receive(const uint8_t* data, size_t size, TServerAddress from, bool fromMaster, uint64_t nowMs,
               const std::function<TServerStatus(bool players)>& describe,
               const std::function<void(const std::string& bytes)>& send);

  TRateLimiter Limits{TRateLimits{3, 3, 60, 60, 1024}};
  TRateLimiter MasterLimits{TRateLimits{10, 10, 40, 40, 16}};

 private:
  TRefusalLog refused, malformed;
};
