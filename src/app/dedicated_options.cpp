// Parsing the dedicated server's options.
#include "app/dedicated_options.h"

#include <optional>

#include "core/convert.h"
#include "core/ini_file.h"
#include "game/ki.h"
#include "net/infostring.h"
#include "net/network.h"

namespace {

constexpr const char* kSection = "Dedicated";

enum class TKind { Text, Port, Discovery, Players, Bots, Gold, RoundTime, JoinTime, Flag, Skill, Name, Master, MatchRounds, MatchTime };

struct TOption {
  const char* Key;  // "--<key>" and the config.ini key
  TKind Kind;
  const char* Value;  // what the value is called in the help
  const char* Help;
};

constexpr TOption kOptions[] = {
    {"map", TKind::Name, "NAME", "level under data/maps/ (arena)"},
    {"tcpport", TKind::Port, "PORT", "TCP port, 0 for any free one (5020)"},
    {"udpport", TKind::Port, "PORT", "UDP port, 0 for any free one (5020)"},
    {"maxplayers", TKind::Players, "N", "players and bots together, 1 to 255 (8)"},
    {"bots", TKind::Bots, "N", "bots at the start, 0 to maxplayers (0)"},
    {"botskill", TKind::Skill, "SKILL", "easy, normal or hard (normal)"},
    {"servername", TKind::Text, "TEXT", "the name clients are welcomed with, 3 to 25 characters (Grimvale server)"},
    {"gold", TKind::Gold, "N", "gold per round, 0 to 1000000 (1500)"},
    {"roundtime", TKind::RoundTime, "SECONDS", "seconds before a round ends as a draw, 0 for no limit, at most 3600 (180)"},
    {"jointime", TKind::JoinTime, "SECONDS",
     "seconds from a round's start in which a player who chooses a side spawns at once, 0 to wait for the next round, at most 3600 (15)"},
    {"friendlyfire", TKind::Flag, "0|1", "1: team mates can hit each other (0)"},
    {"discoveryport", TKind::Discovery, "PORT", "UDP port LAN searches are answered on, -1 for none (5029)"},
    {"master", TKind::Master, "HOST[:PORT]",
     "a master server to announce the server to (port 27950 when none); may be given more than once and "
     "replaces masters= of config.ini's [Network] section (none)"},
    {"matchrounds", TKind::MatchRounds, "N",
     "rounds with players after which the match ends and the server exits, 0 for no limit, at most 10000 (0)"},
    {"matchtime", TKind::MatchTime, "MINUTES",
     "minutes from the allocation (or the start, without --agones) after which the match ends and the server exits, 0 for no limit, at most 10080 (0)"},
};

std::optional<int32_t> InRange(const std::string& text, int32_t lo, int32_t hi) {
  std::optional<int32_t> v = TryStrToInt(text);
  if (!v || *v < lo || *v > hi) return std::nullopt;
  return v;
}

// Sets the option; false when the value cannot be used.
bool Apply(TDedicatedOptions& o, const TOption& option, const std::string& value) {
  const std::string key = option.Key;
  std::optional<int32_t> n;
  switch (option.Kind) {
    case TKind::Name:
      if (value.empty() || value.find_first_of("/\\:") != std::string::npos || value.find("..") != std::string::npos)
        return false;
      o.Map = value;
      return true;
    case TKind::Text:
      if (value.size() < 3 || value.size() > 25) return false;
      o.ServerName = value;
      return true;
    case TKind::Port:
      if (!(n = InRange(value, 0, 65535))) return false;
      (key == "tcpport" ? o.TCPPort : o.UDPPort) = *n;
      return true;
    case TKind::Discovery:
      if (!(n = InRange(value, -1, 65535))) return false;
      o.DiscoveryPort = *n;
      return true;
    case TKind::Players:
      if (!(n = InRange(value, 1, 255))) return false;
      o.MaxPlayers = *n;
      return true;
    case TKind::Bots:
      if (!(n = InRange(value, 0, 255))) return false;
      o.Bots = *n;
      return true;
    case TKind::Gold:
      if (!(n = InRange(value, 0, 1000000))) return false;
      o.Gold = *n;
      return true;
    case TKind::RoundTime:
      if (!(n = InRange(value, 0, kMaxRoundTime))) return false;
      o.RoundTime = *n;
      return true;
    case TKind::JoinTime:
      if (!(n = InRange(value, 0, kMaxRoundTime))) return false;
      o.JoinTime = *n;
      return true;
    case TKind::MatchRounds:
      if (!(n = InRange(value, 0, 10000))) return false;
      o.MatchRounds = *n;
      return true;
    case TKind::MatchTime:
      if (!(n = InRange(value, 0, 10080))) return false;
      o.MatchMinutes = *n;
      return true;
    case TKind::Flag:
      if (value != "0" && value != "1") return false;
      o.FriendlyFire = value == "1";
      return true;
    case TKind::Master: {
      const size_t before = o.Masters.size();
      for (const std::string& item : SplitDiscoveryTargets(value)) {
        const size_t colon = item.rfind(':');
        if (colon == 0 || item.find_first_of(" \t") != std::string::npos ||
            (colon != std::string::npos && !DecimalNumber(std::string_view(item).substr(colon + 1), 1, 65535)))
          return false;
        o.Masters.push_back(item);
      }
      return o.Masters.size() > before;
    }
    case TKind::Skill: {
      TBotSkill skill;
      if (!ParseBotSkill(value, skill)) return false;
      o.BotSkill = LowerCase(value);
      return true;
    }
  }
  return false;
}

const TOption* Find(const std::string& key) {
  for (const TOption& option : kOptions)
    if (key == option.Key) return &option;
  return nullptr;
}

}  // namespace

TDedicatedArgs ParseDedicatedArgs(const std::vector<std::string>& args, const TIniFile& config) {
  TDedicatedArgs result;
  auto fail = [&](const std::string& why) {
    if (result.Error.empty()) result.Error = why;
  };
  for (const TOption& option : kOptions) {
    const std::string value = config.ReadString(kSection, option.Key, "");
    if (!value.empty() && !Apply(result.Options, option, value))
      fail("config.ini [Dedicated] " + std::string(option.Key) + "=" + value + ": not a usable value");
  }
  const std::string masters = config.ReadString("Network", "masters", "");
  if (!masters.empty() && !Apply(result.Options, *Find("master"), masters))
    fail("config.ini [Network] masters=" + masters + ": not a usable value");
  // The command line's masters replace the configured ones.
  const std::vector<std::string> configured = std::move(result.Options.Masters);
  result.Options.Masters.clear();
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--dedicated") {
      result.Dedicated = true;
      continue;
    }
    if (arg == "--agones") {
      result.Options.Agones = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      result.Help = true;
      continue;
    }
    if (arg.rfind("--", 0) != 0) {
      fail("unknown argument: " + arg);
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string key = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const TOption* option = Find(key);
    if (!option) {
      fail("unknown option: --" + key);
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      fail("--" + key + " needs a value");
      continue;
    }
    if (!Apply(result.Options, *option, value)) fail("--" + key + " " + value + ": not a usable value");
  }
  if (result.Options.Masters.empty()) result.Options.Masters = configured;
  if (result.Error.empty() && result.Options.Bots > result.Options.MaxPlayers)
    fail("--bots " + std::to_string(result.Options.Bots) + ": more than --maxplayers " +
         std::to_string(result.Options.MaxPlayers));
  return result;
}

std::vector<TManualItem> DedicatedOptionHelp() {
  std::vector<TManualItem> items;
  for (const TOption& option : kOptions)
    items.push_back({std::string("--") + option.Key + " " + option.Value, option.Help});
  items.push_back({"--agones", "speak to an Agones SDK sidecar on localhost, port AGONES_SDK_HTTP_PORT (9358); on "
                               "as well whenever that variable is set"});
  return items;
}
