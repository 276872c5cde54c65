// Program entry: the executable's directory becomes the working directory so
// every relative data path resolves beside it; then either the dedicated
// server (--dedicated) or the module objects, the game object and its run.
// Fatal signals are reported from the moment the log exists.
#include "app/dedicated.h"
#include "app/game.h"
#include "app/game_manual.h"
#include "app/modules.h"
#include "core/convert.h"
#include "core/crash_report.h"
#include "core/ini_file.h"
#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"
#include "net/join_address.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

static void RequestQuit(int) { QuitRequested = 1; }

// "--connect ADDRESS", "--connect=ADDRESS", or a bare grimvale:// link (the
// menu entry's URL handler): the address; empty for other arguments.
static std::string ConnectArgument(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "--connect") return args[1];
  if (args.size() != 1) return "";
  if (args[0].rfind("--connect=", 0) == 0) return args[0].substr(10);
  const std::string scheme(kJoinUrlScheme);
  if (args[0].size() >= scheme.size() && LowerCase(args[0].substr(0, scheme.size())) == scheme) return args[0];
  return "";
}

int main(int argc, char** argv) {
  MarkMainThread();
  if (chdir(BaseDir().c_str()) != 0) return 1;
  std::signal(SIGTERM, RequestQuit);
  std::signal(SIGINT, RequestQuit);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool demo = args.size() == 2 && (args[0] == "--demo" || args[0] == "--timedemo");
  const std::string connect = ConnectArgument(args);
  if (connect.empty() && !args.empty() && args[0].rfind("--connect", 0) == 0) {
    std::fputs("grimvale: --connect takes one server address: HOST[:PORT] or grimvale://HOST[:PORT]\n", stderr);
    return 2;
  }
  if (!connect.empty() && !ParseJoinAddress(connect)) {
    std::fprintf(stderr, "grimvale: not a server address: %s (HOST[:PORT] or grimvale://HOST[:PORT])\n",
                 connect.c_str());
    return 2;
  }
  if (!args.empty() && !demo && connect.empty()) {
    const TDedicatedArgs parsed = ParseDedicatedArgs(args, TIniFile(WritableDir() + "config.ini"));
    if (parsed.Help) {
      std::fputs(HelpText(GameManual()).c_str(), stdout);
      return 0;
    }
    if (!parsed.Error.empty() || !parsed.Dedicated) {
      std::fprintf(stderr, "grimvale: %s\n%s", parsed.Error.empty() ? "options need --dedicated" : parsed.Error.c_str(),
                   HelpText(GameManual()).c_str());
      return 2;
    }
    return RunDedicated(parsed.Options);
  }
  InitModules();
  InstallCrashReporter(Logger->LogPath());
  Game = new Tgame();
  if (demo) {
    Game->StartupDemo = args[1];
    Game->StartupTimedemo = args[0] == "--timedemo";
  }
  Game->StartupConnect = connect;
  int exitCode = Game->Run();
  ShutdownModules();
  return exitCode;
}
