// The master's list of game servers, without sockets: packets in, answers
// out, on a clock the caller gives. A server is listed only after it proved
// its address: its heartbeat is answered with a random challenge, and only
// an infoResponse from the same address and port echoing it lists the
// server (or renews a listed one). Every table is capped, and nothing a
// stranger sends can push a server that keeps answering off the list: a
// listed server's challenge lives in its own entry, not among the pending
// ones a flood of forged heartbeats fills.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/master_codec.h"
#include "net/rate_limit.h"

struct TMasterOptions {
  uint64_t ExpiryMs = 15 * 60 * 1000;  // a listed server without a renewal is dropped after this
  uint64_t ChallengeMs = 5000;         // a challenge waits this long for its answer
  size_t MaxServers = 16384;           // listed in all
  size_t MaxPerAddress = 32;           // listed, and pending, per IPv4 address
  size_t MaxPending = 4096;            // challenged servers not yet listed
  // Heartbeats of servers not listed, each of which costs a challenge.
  TRateLimits Heartbeats{2, 8, 1000, 1000, 4096};
  // getservers requests per address and in all.
  TRateLimits ListRequests{1, 3, 100, 100, 4096};
  // getserversResponse packets in all (about 1400 bytes each).
  double ListPacketsPerSecond = 4000;
};

// A packet for the socket to send.
struct TMasterAnswer {
  TServerAddress To;
  std::string Bytes;
};

struct TMasterCounters {
  uint64_t Packets = 0;     // every packet that arrived
  uint64_t Malformed = 0;   // of them, neither heartbeat, infoResponse nor getservers
  uint64_t Refused = 0;     // requests over a limit or a cap
  uint64_t Lists = 0;       // getservers answered
};

class TMasterList {
 public:
  explicit TMasterList(const TMasterOptions& options = {});

  // One packet from `from` at nowMs (a clock that never goes back); the
  // answers are appended to out.
  void Receive(const uint8_t* data, size_t size, TServerAddress from, uint64_t nowMs, std::vector<TMasterAnswer>& out);
  // Drops listed servers past their expiry or whose fresh challenge went
  // unanswered, and pending challenges past their time. Call it every second
  // or so; between calls nothing expired is ever listed.
  void Expire(uint64_t nowMs);

  // The servers a getservers would be answered with, in no set order.
  std::vector<TServerAddress> Select(const TServerListQuery& query, uint64_t nowMs) const;
  size_t Listed() const { return servers.size(); }
  size_t Pending() const { return pending.size(); }
  const TMasterCounters& Counters() const { return counters; }

  // Lines for the operator (refusals: one a minute at most per kind).
  std::function<void(const std::string& line)> Log;

 private:
  struct TListed {
    std::string GameName;
    int32_t Protocol = 0;
    int32_t Clients = 0;
    int32_t Bots = 0;
    int32_t MaxClients = 1;
    uint64_t Expires = 0;
    std::string Challenge;       // a fresh one sent after a heartbeat; empty when none waits
    uint64_t ChallengeUntil = 0;
  };
  struct TPending {
    std::string Challenge;
    uint64_t Until = 0;
  };

  void Heartbeat(TServerAddress from, uint64_t now, std::vector<TMasterAnswer>& out);
  void Answered(const TInfoResponse& info, TServerAddress from, uint64_t now);
  void ListServers(const TServerListQuery& query, TServerAddress from, uint64_t now, std::vector<TMasterAnswer>& out);
  std::string NewChallenge();
  void Refuse(TRefusalLog& log, const std::string& what, uint64_t now);
  static uint64_t Key(TServerAddress a) { return static_cast<uint64_t>(a.Host) << 16 | a.Port; }
  static TServerAddress Address(uint64_t key) { return {static_cast<uint32_t>(key >> 16), static_cast<uint16_t>(key)}; }
  void Unlist(std::unordered_map<uint64_t, TListed>::iterator it);
  void Unpend(std::unordered_map<uint64_t, TPending>::iterator it);

  TMasterOptions options;
  std::unordered_map<uint64_t, TListed> servers;
  std::unordered_map<uint64_t, TPending> pending;
  std::unordered_map<uint32_t, uint32_t> listedPerHost, pendingPerHost;
  TRateLimiter heartbeatLimit, listLimit, packetLimit;
  TRefusalLog heartbeatRefusals, listRefusals, fullRefusals;
  TMasterCounters counters;
  std::random_device entropy;
};
