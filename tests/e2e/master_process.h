// The real grimvale-master on a free UDP port of loopback.
#pragma once
#include <regex>
#include <string>
#include <vector>

#include "child_process.h"

class TMasterProcess : public TChildProcess {
 public:
  explicit TMasterProcess(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"grimvale-master", "--port", "0"};
    argv.insert(argv.end(), args.begin(), args.end());
    Start(GRIMVALE_BIN_DIR "/grimvale-master", argv);
  }
  // The port of "listening on UDP port N"; 0 until it is written.
  uint16_t Port() {
    std::smatch m;
    static const std::regex listening("listening on UDP port (\\d+)");
    return std::regex_search(Output(), m, listening) ? static_cast<uint16_t>(std::stoi(m[1])) : 0;
  }
};
