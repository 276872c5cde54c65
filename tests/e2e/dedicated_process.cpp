// Starting and talking to the dedicated server process.
#include "dedicated_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
  int toChild[2], fromChild[2];
  if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return;
  pid = fork();
  if (pid == 0) {
    ::dup2(toChild[0], STDIN_FILENO);
    ::dup2(fromChild[1], STDOUT_FILENO);
    ::dup2(fromChild[1], STDERR_FILENO);
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) ::close(fd);
    unsetenv("DISPLAY");  // a server box has no screen
    if (!installed.empty()) UseScratchHome(dir.Path());
    std::vector<char*> argv{const_cast<char*>("grimvale"), const_cast<char*>("--dedicated")};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  ::close(toChild[0]);
  ::close(fromChild[1]);
  input = toChild[1];
  output = fromChild[0];
  ::fcntl(output, F_SETFL, O_NONBLOCK);
}

TDedicatedProcess::~TDedicatedProcess() {
  if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  if (input >= 0) ::close(input);
  if (output >= 0) ::close(output);
}

const std::string& TDedicatedProcess::Output() {
  char buffer[4096];
  ssize_t n;
  while (output >= 0 && (n = ::read(output, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  return out;
}

// Whether the process has ended, leaving it to WaitForExit to collect.
static bool Ended(pid_t pid) {
  if (pid <= 0) return true;
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0;
}

bool TDedicatedProcess::WaitForOutput(const std::string& text, int timeoutMs) {
  auto found = [&] { return Output().find(text) != std::string::npos; };
  WaitUntil([&] { return found() || Ended(pid); }, timeoutMs);
  return found();
}

static uint16_t PortFrom(const std::string& out, int group) {
  std::smatch m;
  static const std::regex started("Server started at TCPport (\\d+); UDPport: (\\d+)");
  return std::regex_search(out, m, started) ? static_cast<uint16_t>(std::stoi(m[group])) : 0;
}

uint16_t TDedicatedProcess::TCPPort() { return PortFrom(Output(), 1); }
uint16_t TDedicatedProcess::UDPPort() { return PortFrom(Output(), 2); }

void TDedicatedProcess::Input(const std::string& line) {
  const std::string bytes = line + "\n";
  if (input >= 0) (void)!::write(input, bytes.data(), bytes.size());
}

void TDedicatedProcess::Signal(int signal) {
  if (pid > 0) kill(pid, signal);
}

int TDedicatedProcess::WaitForExit(int timeoutMs) {
  const int code = WaitForChild(pid, timeoutMs);
  Output();  // what it wrote before it ended
  return code;
}
