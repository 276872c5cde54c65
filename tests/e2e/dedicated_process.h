// The real game binary run as a dedicated server: in a scratch directory of
// its own (the shipped data linked in), without DISPLAY, its standard input
// and output connected to the test.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "child_process.h"
#include "test_support.h"

// Message codes as a peer built from the message tables knows them: from the
// server, then from a client.
constexpr uint8_t kStartLevel = 2, kState = 4, kChat = 5, kPosition = 6, kStartInfo = 7, kPlayerLeft = 9, kScore = 19,
                  kRoundOver = 20;
constexpr uint8_t kReady = 1, kClientState = 3;

class TDedicatedProcess : public TChildProcess {
 public:
  // Starts "grimvale --dedicated" followed by args; with installed, that
  // executable where it lies, the scratch directory as its home.
  explicit TDedicatedProcess(const std::vector<std::string>& args, const std::string& installed = "");

  // The ports of "Server started at TCPport N; UDPport: M"; 0 until it is logged.
  uint16_t TCPPort();
  uint16_t UDPPort();
  std::string Log() const { return ReadFile(logFile); }
  const TempDir& Dir() const { return dir; }

 private:
  TempDir dir;
  std::string logFile;
};
