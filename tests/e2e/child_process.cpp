// Starting and talking to a child process.
#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "e2e_support.h"

void TChildProcess::Start(const std::string& exe, const std::vector<std::string>& args,
                          const std::function<void()>& inChild) {
  int toChild[2], fromChild[2];
  if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return;
  pid = fork();
  if (pid == 0) {
    ::dup2(toChild[0], STDIN_FILENO);
    ::dup2(fromChild[1], STDOUT_FILENO);
    ::dup2(fromChild[1], STDERR_FILENO);
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) ::close(fd);
    if (inChild) inChild();
    std::vector<char*> argv;
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

TChildProcess::~TChildProcess() {
  if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  if (input >= 0) ::close(input);
  if (output >= 0) ::close(output);
}

const std::string& TChildProcess::Output() {
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

bool TChildProcess::WaitForOutput(const std::string& text, int timeoutMs) {
  auto found = [&] { return Output().find(text) != std::string::npos; };
  WaitUntil([&] { return found() || Ended(pid); }, timeoutMs);
  return found();
}

void TChildProcess::Input(const std::string& line) {
  const std::string bytes = line + "\n";
  if (input >= 0) (void)!::write(input, bytes.data(), bytes.size());
}

void TChildProcess::Signal(int signal) {
  if (pid > 0) kill(pid, signal);
}

int TChildProcess::WaitForExit(int timeoutMs) {
  const int code = WaitForChild(pid, timeoutMs);
  Output();  // what it wrote before it ended
  return code;
}
