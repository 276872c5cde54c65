// Message box, clock, random generator, sleep and main-thread identity.
#include "core/platform.h"

#include "core/logger.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

static MessageBoxSink gMessageBoxSink;

std::string FindProgram(const char* program) {
  const char* path = std::getenv("PATH");
  if (!path) return "";
  std::string dirs(path);
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

bool DialogsWanted() {
  const char* display = std::getenv("DISPLAY");
  return display && *display && !std::getenv("CI") && !std::getenv("GRIMVALE_NO_DIALOG");
}

// Runs a dialog program and waits for the user to close it.
static void RunDialog(const std::string& text, const std::string& caption) {
  if (!DialogsWanted()) return;
  std::string title = "--title=" + caption;
  std::string body = "--text=" + text;
  pid_t pid = -1;
  if (!FindProgram("zenity").empty()) {
    pid = fork();
    if (pid == 0) {
      execlp("zenity", "zenity", "--error", "--no-markup", title.c_str(), body.c_str(), (char*)nullptr);
      _exit(127);
    }
  } else if (!FindProgram("xmessage").empty()) {
    std::string message = caption + "\n\n" + text;
    pid = fork();
    if (pid == 0) {
      execlp("xmessage", "xmessage", "-center", message.c_str(), (char*)nullptr);
      _exit(127);
    }
  }
  if (pid > 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
}

void ShowMessageBox(const std::string& text, const std::string& caption) {
  if (Logger) Logger->LogInfo("Message box \"" + caption + "\": " + text, "MessageBox");
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  if (gMessageBoxSink)
    gMessageBoxSink(text, caption);
  else
    RunDialog(text, caption);
}

void SetMessageBoxSink(MessageBoxSink sink) { gMessageBoxSink = std::move(sink); }

static std::function<uint32_t()> gTickSource;
static const auto gStart = std::chrono::steady_clock::now();

uint32_t GetTicks() {
  if (gTickSource) return gTickSource();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - gStart);
  return static_cast<uint32_t>(ms.count());
}

void SetTickSource(std::function<uint32_t()> source) { gTickSource = std::move(source); }

static std::mt19937& Generator() {
  static std::mt19937 generator(std::random_device{}());
  return generator;
}

// The particle timer draws numbers on SDL's timer thread while the game draws
// them on the main thread.
static std::mutex gRandomLock;

int32_t Random(int32_t n) {
  if (n <= 0) return 0;
  std::lock_guard<std::mutex> guard(gRandomLock);
  return std::uniform_int_distribution<int32_t>(0, n - 1)(Generator());
}

double RandomFloat() {
  std::lock_guard<std::mutex> guard(gRandomLock);
  return std::uniform_real_distribution<double>(0.0, 1.0)(Generator());
}

void RandomSeed(uint32_t seed) {
  std::lock_guard<std::mutex> guard(gRandomLock);
  Generator().seed(seed);
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

static std::thread::id gMainThread = std::this_thread::get_id();

void MarkMainThread() { gMainThread = std::this_thread::get_id(); }
bool IsMainThread() { return std::this_thread::get_id() == gMainThread; }
