// Program entry: the executable's directory becomes the working directory so
// every relative data path resolves beside it; then the module objects, the
// game object and its run. Fatal signals are reported from the moment the
// log exists.
#include "app/game.h"
#include "app/modules.h"
#include "core/crash_report.h"
#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"

#include <csignal>
#include <unistd.h>

static void RequestQuit(int) { QuitRequested = 1; }

int main() {
  MarkMainThread();
  if (chdir(BaseDir().c_str()) != 0) return 1;
  std::signal(SIGTERM, RequestQuit);
  std::signal(SIGINT, RequestQuit);
  InitModules();
  InstallCrashReporter(Logger->LogPath());
  Game = new Tgame();
  int exitCode = Game->Run();
  ShutdownModules();
  return exitCode;
}
