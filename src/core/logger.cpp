// Log file writer.
#include "core/logger.h"

#include "core/paths.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <unistd.h>

TLogger* Logger = nullptr;

TLogger::TLogger(const std::string& logDir) {
  std::string exe = ExeDir();
  directory = exe;
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) {
    std::string path(buf, static_cast<size_t>(n));
    fileName = path.substr(path.rfind('/') + 1);
  }
  std::string dir = logDir.empty() ? UserDir(TUserDir::State) : logDir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  logPath = dir + "grimvale.log";
  if (FileExists(logPath)) std::rename(logPath.c_str(), (logPath + ".1").c_str());
  logFile = std::fopen(logPath.c_str(), "w");
  // Line buffered: a crash report is appended to the file by a signal
  // handler, which must not touch stdio, so lines waiting in a buffer would be
  // lost just where they tell most.
  if (logFile) std::setvbuf(logFile, nullptr, _IOLBF, BUFSIZ);
  if (!logFile) std::fprintf(stderr, "Cannot write the log file %s\n", logPath.c_str());
}

TLogger::~TLogger() {
  if (logFile) std::fclose(logFile);
}

void TLogger::Flush() {
  std::lock_guard<std::mutex> guard(lock);
  if (logFile) std::fflush(logFile);
}

void TLogger::Write(const char* level, const std::string& message, const std::string& source, bool flush) {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t secs = system_clock::to_time_t(now);
  int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm utc;
  gmtime_r(&secs, &utc);
  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, ms);
  std::lock_guard<std::mutex> guard(lock);
  if (echo) {
    std::fprintf(echo, "%s %s %s: %s\n", stamp, level, source.c_str(), message.c_str());
    std::fflush(echo);
  }
  if (!logFile) return;
  std::fprintf(logFile, "%s %s %s: %s\n", stamp, level, source.c_str(), message.c_str());
  if (flush) std::fflush(logFile);
}

void TLogger::SetEcho(std::FILE* stream) {
  std::lock_guard<std::mutex> guard(lock);
  echo = stream;
}

void TLogger::LogError(const std::string& message, const std::string& source) { Write("ERROR", message, source, true); }
void TLogger::LogInfo(const std::string& message, const std::string& source) { Write("INFO", message, source, false); }
void TLogger::LogDebug(const std::string& message, const std::string& source) { Write("DEBUG", message, source, false); }
