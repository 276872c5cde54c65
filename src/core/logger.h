// The program's log sink. One line per call in "grimvale.log":
//   2026-12-09T23:51:10.123Z ERROR Source: message
// The previous run's log is kept as "grimvale.log.1". Every line reaches the
// file when it is written (error lines are also flushed to the disk at once),
// so a crash report appended later follows the last line logged.
#pragma once
#include <cstdio>
#include <mutex>
#include <string>

class TLogger {
 public:
  // Opens "grimvale.log" in logDir (UserDir(TUserDir::State) by default).
  explicit TLogger(const std::string& logDir = "");
  ~TLogger();
  TLogger(const TLogger&) = delete;
  TLogger& operator=(const TLogger&) = delete;

  void LogError(const std::string& message, const std::string& source);
  void LogInfo(const std::string& message, const std::string& source);
  void LogDebug(const std::string& message, const std::string& source);

  const std::string& Directory() const { return directory; }  // of the executable
  const std::string& FileName() const { return fileName; }    // of the executable
  const std::string& LogPath() const { return logPath; }
  void Flush();
  // Every line also goes to `stream` (null: the file only), as it is
  // written: a server without a window logs to its standard output too.
  void SetEcho(std::FILE* stream);

 private:
  void Write(const char* level, const std::string& message, const std::string& source, bool flush);

  std::string directory;
  std::string fileName;
  std::string logPath;
  std::FILE* logFile = nullptr;
  std::FILE* echo = nullptr;
  std::mutex lock;
};

// Created by InitModules after the frustum and the GUI manager, and freed by
// ShutdownModules before them (app/modules.cpp); null before and after, and
// in tests of pieces, so code that may run then checks it.
extern TLogger* Logger;
