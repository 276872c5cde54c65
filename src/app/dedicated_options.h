// What a dedicated server is started with: the command line, over the
// [Dedicated] section of config.ini, over the defaults (those of the New
// Game dialog).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/manual.h"

class TIniFile;

struct TDedicatedOptions {
  std::string Map = "arena";
  int32_t TCPPort = 5020;  // 0: any free port (the log names the one taken)
  int32_t UDPPort = 5020;
  int32_t MaxPlayers = 8;
  int32_t Bots = 0;
  std::string BotSkill = "normal";
  std::string ServerName = "Grimvale server";
  int32_t Gold = 1500;  // per round
  bool FriendlyFire = false;
  int32_t RoundTime = 180;  // seconds before a round ends as a draw; 0: no limit
  int32_t JoinTime = 15;    // seconds from a round's start in which a newcomer spawns at once
  int32_t DiscoveryPort = 5029;  // where LAN searches are answered; -1: not at all
  bool Agones = false;           // --agones: a fleet orchestrator's SDK sidecar runs beside the server
  int32_t MatchRounds = 0;       // rounds with players until the match ends; 0: no limit
  int32_t MatchMinutes = 0;      // minutes from the allocation until the match ends; 0: no limit
  // Masters the server announces itself to ("host[:port]"): --master, else
  // [Network] masters of config.ini; none by default, so nothing leaves the
  // machine unless a master is named.
  std::vector<std::string> Masters;
};

struct TDedicatedArgs {
  bool Dedicated = false;  // --dedicated was given
  bool Help = false;       // --help was given
  std::string Error;       // the first option that could not be used; empty when all could
  TDedicatedOptions Options;
};

// args without the program name. Options take "--key value" or
// "--key=value"; the keys are those of the [Dedicated] section.
TDedicatedArgs ParseDedicatedArgs(const std::vector<std::string>& args, const TIniFile& config);
// Each option with its value and what it does (its default in brackets).
std::vector<TManualItem> DedicatedOptionHelp();
