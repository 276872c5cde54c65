// The dedicated server's run: start-up checks, the level without graphics,
// the frame loop with standard input, and the teardown.
#include "app/dedicated.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>

#include "app/fleet_match.h"
#include "app/modules.h"
#include "core/console_sink.h"
#include "core/convert.h"
#include "core/crash_report.h"
#include "core/game_settings.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/run_state.h"
#include "game/characters.h"
#include "game/demo_recorder.h"
#include "game/ki.h"
#include "game/net_rules.h"
#include "game/server_commands.h"
#include "game/weapons.h"
#include "net/network.h"
#include "net/network_timers.h"
#include "world/level.h"
#include "world/movement.h"

namespace {

constexpr int kFrameMs = 16;         // about 60 frames a second, as the game's window runs
constexpr size_t kMaxLineBytes = 1024;

void Info(const std::string& line) { Logger->LogInfo(line, LogSource::Dedicated); }

// Lines from standard input, read without blocking the frame. At its end
// (a service's input is often /dev/null) the server goes on without it.
class TStdinLines {
 public:
  // Waits at most timeoutMs for input (or a signal); true when there is some.
  bool Wait(int timeoutMs) {
    if (closed) {
      SleepMs(static_cast<uint32_t>(std::max(0, timeoutMs)));
      return false;
    }
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return ::poll(&p, 1, std::max(0, timeoutMs)) > 0;
  }
  // Reads what has arrived and hands each whole line to `take`.
  template <typename Take>
  void Read(Take take) {
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
      closed = true;
      return;
    }
    for (ssize_t i = 0; i < n; ++i) {
      const char ch = buffer[i];
      if (ch == '\n') {
        if (!overlong) take(pending);
        pending.clear();
        overlong = false;
      } else if (ch != '\r') {
        // A line too long for any command is dropped whole, not cut into commands.
        if (pending.size() < kMaxLineBytes) pending += ch;
        else overlong = true;
      }
    }
  }

 private:
  bool closed = false;
  bool overlong = false;
  std::string pending;
};

// One command line from standard input.
void Command(const std::string& line, TGameSettings& settings, bool& quit) {
  if (line.empty()) return;
  Info("> " + line);
  const std::string lower = LowerCase(line);
  if (lower == "quit" || lower == "exit") {
    quit = true;
    return;
  }
  if (lower == "help") {
    std::string list;
    for (const TManualItem& command : ServerCommandHelp()) list += command.Term + ", ";
    Info("Commands: " + list + "quit");
    return;
  }
  if (!RunServerCommand(line, &settings, ConsolePrint)) Info("Unknown command: " + line + " (help lists them)");
}

}  // namespace

void StartDedicatedLevel(const TDedicatedOptions& options) {
  if (!FileExists(HostPath(LevelFilePath(options.Map)))) BuildLevel(options.Map, 500);
  Weapons = new TWeapons(false);
  auto* level = new TLevel(options.Map, false);
  try {
    level->LoadData();
  } catch (...) {
    delete level;
    throw;
  }
  Characters = new TCharacters(level, false);
  // Character 0 is the server machine's player on a listen server; here no
  // one plays it: out of use it is dead, never revived, drawn, hit or counted,
  // and every joining client is told it is gone.
  TCharacter& host = *Characters->At(0);
  host.SetName("Server");
  host.SetInUse(false);
  Characters->Recount();
  KI = new TKI(Characters);
  TBotSkill skill = TBotSkill::Normal;
  ParseBotSkill(options.BotSkill, skill);
  KI->SetSkill(skill);
  int32_t added = 0;
  while (added < options.Bots && KI->AddBot(-1) >= 0) ++added;
  if (added < options.Bots && Logger) Logger->LogError("Only " + std::to_string(added) + " bots found a slot", LogSource::Dedicated);
}

namespace {

// The level's objects, leaving the session open.
void FreeDedicatedLevel() {
  TLevel* level = Characters ? Characters->Level() : nullptr;
  delete KI;
  KI = nullptr;
  delete Characters;
  Characters = nullptr;
  delete level;
  delete Weapons;
  Weapons = nullptr;
}

// Another level for a server nobody is connected to (the fleet's allocation
// names one); false, with the previous level back, when it cannot be loaded.
bool SwitchDedicatedLevel(const TDedicatedOptions& options, const std::string& map, bool& levelLost) {
  TDedicatedOptions next = options;
  next.Map = map;
  if (DemoRecorder) Info(StopRecording());
  FreeDedicatedLevel();
  try {
    StartDedicatedLevel(next);
    return true;
  } catch (const std::exception& e) {
    Logger->LogError("The level " + map + " could not be loaded: " + e.what(), LogSource::Dedicated);
  }
  FreeDedicatedLevel();
  try {
    StartDedicatedLevel(options);
  } catch (const std::exception& e) {
    Logger->LogError(std::string("The level could not be loaded again: ") + e.what(), LogSource::Dedicated);
    levelLost = true;
  }
  return false;
}

}  // namespace

void EndDedicatedLevel() {
  if (DemoRecorder) Info(StopRecording());
  // The clients hear of the end first, as from a closing host.
  if (Network) Network->Close();
  FreeDedicatedLevel();
}

void DedicatedFrame(uint32_t now, uint32_t ms, TNetworkTimers& timers) {
  Characters->Tick(now, true);
  KI->Think(now, ms);
  Network->Poll();
  timers.Tick(*Network, now);
}

int RunDedicated(const TDedicatedOptions& options) {
  // A closed terminal or pipe on standard output must not end the server:
  // the write fails, the log file still has the line.
  std::signal(SIGPIPE, SIG_IGN);
  // Started in the background of a shell, reading the terminal would stop
  // the server; ignored, the read fails and the server goes on without input.
  std::signal(SIGTTIN, SIG_IGN);
  InitServerModules();
  InstallCrashReporter(Logger->LogPath());
  int exitCode = 0;
  std::string sessionError;
  Network->OnError = [&sessionError](const std::string& message, const std::string&) {
    if (sessionError.empty()) sessionError = message;
  };
  TGameSettings settings;
  InstallNetRules(*Network);
  NetRuleHooks = {};
  NetRuleHooks.Settings = &settings;
  Network->DiscoveryPort = options.DiscoveryPort;
  Network->Masters = options.Masters;
  std::string sdkError;
  const std::optional<uint16_t> sdkPort = AgonesSdkPort(options.Agones, std::getenv("AGONES_SDK_HTTP_PORT"), sdkError);
  if (!sdkError.empty()) {
    Logger->LogError(sdkError, LogSource::Dedicated);
    exitCode = 1;
  } else if (!PlayableLevel(options.Map)) {
    Logger->LogError("Map not found: \"" + options.Map + "\" (no data/maps/" + options.Map + "/map.lvl or map.3ds)",
                     LogSource::Dedicated);
    exitCode = 1;
  } else if (!Network->StartServer(options.MaxPlayers, options.UDPPort, options.TCPPort, options.Gold,
                                   options.FriendlyFire, options.ServerName)) {
    Logger->LogError("Cannot open the server's ports (TCP " + std::to_string(options.TCPPort) + ", UDP " +
                         std::to_string(options.UDPPort) + "): " + sessionError,
                     LogSource::Dedicated);
    exitCode = 1;
  }
  if (exitCode == 0) {
    Network->Server->HostSeats = 0;
    Network->Server->RoundTime = options.RoundTime;
    Network->Server->JoinTime = options.JoinTime;
    try {
      StartDedicatedLevel(options);
    } catch (const std::exception& e) {
      Logger->LogError(std::string("The level could not be loaded: ") + e.what(), LogSource::Dedicated);
      exitCode = 1;
    }
  }
  if (exitCode == 0) {
    Info("Dedicated server \"" + options.ServerName + "\" runs " + options.Map + " on TCP port " +
         std::to_string(Network->Server->TCPPort) + ", UDP port " + std::to_string(Network->Server->UDPPort) +
         ", for " + std::to_string(options.MaxPlayers) + " players with " + std::to_string(KI->BotCount()) +
         " bots; type help for the commands");
    Logger->Flush();
    TStdinLines input;
    TNetworkTimers timers;
    bool quit = false, levelLost = false;
    TFleetHooks hooks;
    hooks.SwitchMap = [&](const std::string& map) { return SwitchDedicatedLevel(options, map, levelLost); };
    hooks.Tell = [](const std::string& text) { BroadcastChat(0, text, true); };
    hooks.Log = [](const std::string& line, bool fault) {
      fault ? Logger->LogError(line, LogSource::Dedicated) : Info(line);
    };
    TFleetMatch match(options, sdkPort, hooks);
    uint32_t last = GetTicks();
    match.Started(last);
    auto next = std::chrono::steady_clock::now();
    while (!quit && !QuitRequested) {
      const uint32_t now = GetTicks();
      try {
        DedicatedFrame(now, std::min(now - last, kMaxStepMs), timers);
        if (!match.Frame(now)) quit = true;
      } catch (const std::exception& e) {
        Logger->LogError(e.what(), LogSource::Dedicated);
      }
      last = now;
      if (levelLost) {
        exitCode = 1;
        break;
      }
      if (!sessionError.empty()) {
        // A server session fails only when its sockets do; nothing is left to serve.
        Logger->LogError("The session failed: " + sessionError, LogSource::Dedicated);
        exitCode = 1;
        break;
      }
      next += std::chrono::milliseconds(kFrameMs);
      const auto start = std::chrono::steady_clock::now();
      if (next < start) next = start;  // after a long frame the rate resumes, it does not catch up
      const int waitMs =
          static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(next - start).count());
      // Commands wake the loop at once; the frame still comes at its time.
      if (input.Wait(waitMs))
        input.Read([&](const std::string& line) { Command(line, settings, quit); });
      std::this_thread::sleep_until(next);
    }
    Info(QuitRequested ? "Signal received, shutting down" : "Shutting down");
  }
  EndDedicatedLevel();
  NetRuleHooks = {};
  ShutdownServerModules();
  return exitCode;
}
