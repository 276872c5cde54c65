// A program of the build run as a child of the test: its standard input and
// output connected to the test, its output collected as it comes.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

class TChildProcess {
 public:
  TChildProcess() = default;
  virtual ~TChildProcess();  // SIGKILL if still running
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // Runs exe with argv (argv[0] first); inChild runs in the child before the exec.
  void Start(const std::string& exe, const std::vector<std::string>& argv,
             const std::function<void()>& inChild = nullptr);
  // Everything written to standard output and error so far.
  const std::string& Output();
  // Waits until the output holds text (true), timeoutMs passes or the child ends.
  bool WaitForOutput(const std::string& text, int timeoutMs = 20000);
  void Input(const std::string& line);  // the line and a newline to standard input
  void Signal(int signal);
  // The exit code; -1 after timeoutMs (the child is then killed) or when a signal ended it.
  int WaitForExit(int timeoutMs = 15000);

 private:
  pid_t pid = -1;
  int input = -1, output = -1;
  std::string out;
};
