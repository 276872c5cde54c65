// The Join dialog's Internet list: each master is asked for its list of
// servers (getservers), then each listed server for its info (getinfo).
// Queries go out paced, at most QueriesPerSecond, and answers are taken as
// they come, so a thousand servers fill the list over a few seconds without
// a frame waiting on any of them. Polled on the main thread; master names
// are looked up on the resolver's thread.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/master_codec.h"
#include "net/name_resolver.h"
#include "net/udp.h"

struct TBrowsedServer {
  TServerAddress Address;  // where it answered: its UDP port
  std::string Name, Map;
  int32_t Players = 0, MaxPlayers = 0, Bots = 0;
  int32_t TCPPort = 0;  // where players join
  int32_t PingMs = 0;   // from its getinfo leaving to the answer arriving
};

// Which servers a search shows besides those with players and room: empty
// ones, full ones (bots do not count as players).
struct TBrowseFilter {
  bool Empty = true, Full = true;
};

class TServerBrowser {
 public:
  TServerBrowser() = default;
  ~TServerBrowser() { Stop(); }
  TServerBrowser(const TServerBrowser&) = delete;
  TServerBrowser& operator=(const TServerBrowser&) = delete;

  // Forgets earlier results and asks masters ("host[:port]", kDefaultMasterPort
  // when none) once their names are found. False with the error text when
  // there is none to ask or no socket.
  bool Start(const std::vector<std::string>& masters, uint64_t nowMs, std::string& error, TBrowseFilter filter = {});
  // Each frame: sends what is due, takes what arrived; the search ends once
  // every master has answered (or ListTimeoutMs passed) and every server was
  // asked and answered (or AnswerTimeoutMs passed since).
  void Poll(uint64_t nowMs);
  void Stop();
  bool Searching() const { return fd >= 0; }

  // Servers that answered as the filter wants, in the order their answers came.
  const std::vector<TBrowsedServer>& Servers() const { return servers; }
  // Servers the masters listed, and of them the ones that answered.
  size_t Listed() const { return known.size(); }
  size_t Answered() const { return answered; }
  // Changes whenever Servers, Listed or Searching does.
  uint32_t Revision() const { return revision; }

  // Runs at the end of a Poll that changed Revision.
  std::function<void()> OnChange;

  int32_t QueriesPerSecond = 400;
  uint64_t ListTimeoutMs = 3000;
  uint64_t AnswerTimeoutMs = 2000;
  // Servers taken from the masters' lists at most: a master cannot make the
  // list, or the queries, grow without bound.
  static constexpr size_t kMaxServers = 4096;

 private:
  struct TMaster {
    std::string Name;
    TServerAddress Address;  // Host 0 until resolved
    bool Done = false;       // its list ended, or its name was not found
  };
  struct TKnown {
    uint64_t SentMs = 0;   // 0 until asked
    int64_t SentUs = 0;    // by the wall clock, which the kernel stamps arrivals with
    bool Answered = false;
    int64_t Row = -1;      // in servers once it answered as the filter wants
  };
  void TakeNames();
  void Receive();
  void TakeList(const uint8_t* data, size_t size, TServerAddress from);
  void TakeInfo(const uint8_t* data, size_t size, TServerAddress from, int64_t arrivedUs);
  void Ask(uint64_t now);
  bool Finished(uint64_t now) const;
  bool Send(TServerAddress to, const std::string& bytes) { return UdpSend(fd, to, bytes.data(), bytes.size()); }

  int fd = -1;
  std::vector<TMaster> masters;
  std::unique_ptr<TNameResolver> resolver;
  std::string challenge;
  TBrowseFilter filter;
  uint64_t started = 0;
  uint64_t lastAsk = 0;    // when Ask last granted queries
  double allowance = 0;    // queries that may go out now
  uint64_t lastSent = 0;   // when the last getinfo went out
  std::unordered_map<uint64_t, TKnown> known;  // by address and port
  std::deque<TServerAddress> toAsk;
  std::vector<TBrowsedServer> servers;
  size_t answered = 0;  // of known, the filter's or not
  uint32_t revision = 0;
};
