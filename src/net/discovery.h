// LAN discovery on a UDP port of its own, apart from the game protocol: the
// responder a running server polls to answer queries, and the browser the Join
// dialog uses to ask the network which games run. Both are polled on the main
// thread and never block.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/discovery_codec.h"

// Set (to anything) in the environment, queries go only to 127.0.0.0/8 and
// every other target is skipped: the test binaries set it so that no test can
// send a packet beyond this machine.
inline constexpr const char* kDiscoveryLoopbackOnlyVariable = "GRIMVALE_DISCOVERY_LOOPBACK_ONLY";

class TDiscoveryResponder {
 public:
  TDiscoveryResponder() = default;
  ~TDiscoveryResponder() { Close(); }
  TDiscoveryResponder(const TDiscoveryResponder&) = delete;
  TDiscoveryResponder& operator=(const TDiscoveryResponder&) = delete;

  // Binds `port` on every interface (0: any free port); false with the error
  // text. Several servers on one machine may share the port: each gets the
  // broadcast queries.
  bool Open(uint16_t port, std::string& error);
  void Close();
  bool IsOpen() const { return fd >= 0; }
  uint16_t Port() const { return port; }
  // Answers the well-formed queries that arrived, at most AnswersPerSecond in
  // any second; `describe` is asked only when an answer goes out.
  void Poll(const std::function<TServerInfo()>& describe);

  int32_t AnswersPerSecond = 20;

 private:
  bool MayAnswer(uint32_t now);
  int fd = -1;
  uint16_t port = 0;
  std::vector<uint32_t> answerTimes;  // ring of the latest answers' times
  size_t nextAnswer = 0;
  uint32_t lastComplaint = 0;
  int32_t malformed = 0;
};

struct TFoundServer {
  std::string Host;  // dotted address the answer came from
  uint32_t Address = 0;
  TServerInfo Info;
};

// "host" or "host:port" items separated by commas; blanks around items are
// dropped and so are empty items.
std::vector<std::string> SplitDiscoveryTargets(const std::string& list);

class TDiscoveryBrowser {
 public:
  TDiscoveryBrowser() = default;
  ~TDiscoveryBrowser() { Stop(); }
  TDiscoveryBrowser(const TDiscoveryBrowser&) = delete;
  TDiscoveryBrowser& operator=(const TDiscoveryBrowser&) = delete;

  // Forgets earlier results and sends one query to each target (a target
  // without a port gets `port`); no targets means the limited broadcast
  // address and each interface's broadcast address. Answers are collected for
  // `durationMs`. False with the error text when no query could be sent.
  bool Start(const std::vector<std::string>& targets, uint16_t port, std::string& error, uint32_t durationMs = 1000);
  // Takes the answers that arrived; ends the search once its time is up.
  // OnChange runs when a server was added or updated and when the search ends.
  void Poll();
  void Stop();
  bool Searching() const { return fd >= 0; }

  std::vector<TFoundServer> Servers;  // one per address and TCP port, in order of first answer
  std::function<void()> OnChange;

 private:
  int fd = -1;
  uint32_t nonce = 0;
  uint32_t deadline = 0;  // tick count
};
