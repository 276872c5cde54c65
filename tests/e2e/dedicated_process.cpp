// Starting and talking to the dedicated server process.
#include "dedicated_process.h"

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "e2e_support.h"

TDedicatedProcess::TDedicatedProcess(const std::vector<std::string>& args, const std::string& installed)
    : logFile(installed.empty() ? dir / "grimvale.log" : InstalledLogFile(dir.Path())) {
  std::string exe = installed;
  if (exe.empty()) {
    exe = dir / "grimvale";
    std::filesystem::copy_file(GRIMVALE_BIN_DIR "/grimvale", exe);
    std::filesystem::create_directory_symlink(GRIMVALE_BIN_DIR "/data", dir / "data");
  }
  std::vector<std::string> argv{"grimvale", "--dedicated"};
  argv.insert(argv.end(), args.begin(), args.end());
  Start(exe, argv, [&] {
    unsetenv("DISPLAY");  // a server box has no screen
    if (!installed.empty()) UseScratchHome(dir.Path());
  });
}

static uint16_t PortFrom(const std::string& out, int group) {
  std::smatch m;
  static const std::regex started("Server started at TCPport (\\d+); UDPport: (\\d+)");
  return std::regex_search(out, m, started) ? static_cast<uint16_t>(std::stoi(m[group])) : 0;
}

uint16_t TDedicatedProcess::TCPPort() { return PortFrom(Output(), 1); }
uint16_t TDedicatedProcess::UDPPort() { return PortFrom(Output(), 2); }

