// The server's commands, one table from name to handler.
#include "game/server_commands.h"

#include <cmath>
#include <optional>

#include "core/convert.h"
#include "core/game_settings.h"
#include "game/characters.h"
#include "game/demo_recorder.h"
#include "game/ki.h"
#include "game/net_rules.h"
#include "net/network.h"
#include "world/level.h"

namespace {

constexpr int32_t kGravityLimit = 10000;
constexpr double kSpeedLimit = 100;
constexpr const char* kServerOnly = "Only the server has bots: start a game of your own for that.";

bool IsServer() { return Network && Network->IsServer && Network->Server; }
// Bots need a server with a running level.
bool CanHaveBots() { return IsServer() && Characters && KI; }

// Gravity and speed reach every client's movement, so only finite values in a
// range the movement can live with are taken; anything else leaves the value
// as it is, like text that is no number.
void Gravity(const std::string& arg, TGameSettings* settings, const TCommandPrint& print) {
  if (!settings) return;
  std::optional<int32_t> value = TryStrToInt(arg);
  if (value && *value >= -kGravityLimit && *value <= kGravityLimit && IsServer()) {
    settings->Gravity = *value;
    BroadcastPhysics(settings->Gravity, settings->Speed);
  }
  print("Gravity is now: " + std::to_string(settings->Gravity));
}

void Speed(const std::string& arg, TGameSettings* settings, const TCommandPrint& print) {
  if (!settings) return;
  std::optional<double> value = TryStrToFloat(arg);
  if (value && std::isfinite(*value) && *value >= 0 && *value <= kSpeedLimit && IsServer()) {
    settings->Speed = *value;
    BroadcastPhysics(settings->Gravity, settings->Speed);
  }
  print("Speed is now: " + FloatToStr(settings->Speed));
}

// Without a team the bot goes to the smaller one.
void AddBot(const std::string& arg, const TCommandPrint& print) {
  if (!CanHaveBots()) return print(kServerOnly);
  const std::string team = LowerCase(arg);
  if (!team.empty() && team != "t" && team != "ct") return print("addbot takes t or ct.");
  // A team named by whoever runs the server is kept when the sides are evened.
  const int32_t index = team.empty() ? KI->AddBot(-1) : KI->AddBot(team == "t" ? 1 : 0, true);
  const TCharacter* c = Characters->At(index);
  if (!c) return print("No free slot for a bot.");
  print("Bot " + c->Name + " joined the " + (c->Team == 1 ? "terrorists." : "counter-terrorists."));
}

void KickBot(const TCommandPrint& print) {
  if (!CanHaveBots()) return print(kServerOnly);
  print(KI->KickBot() ? "One bot kicked." : "There is no bot to kick.");
}

void KickBots(const TCommandPrint& print) {
  if (!CanHaveBots()) return print(kServerOnly);
  const int32_t n = KI->BotCount();
  KI->KickBots();
  print(std::to_string(n) + (n == 1 ? " bot kicked." : " bots kicked."));
}

const char* SkillName(TBotSkill skill) {
  return skill == TBotSkill::Easy ? "easy" : skill == TBotSkill::Hard ? "hard" : "normal";
}

void BotSkill(const std::string& arg, const TCommandPrint& print) {
  if (!CanHaveBots()) return print(kServerOnly);
  TBotSkill skill = KI->Skill;
  if (!arg.empty() && !ParseBotSkill(arg, skill)) return print("botskill takes easy, normal or hard.");
  KI->SetSkill(skill);
  print(std::string("Bot skill is now: ") + SkillName(KI->Skill));
}

std::string TeamName(const TCharacter& c) { return c.Team == 1 ? "T" : "CT"; }

std::string PlayerLine(const std::string& where, const TCharacter& c, const std::string& who) {
  return where + " \"" + c.Name + "\" " + TeamName(c) + " kills " + std::to_string(c.Kills) + " deaths " +
         std::to_string(c.Deaths) + " " + who;
}

// One line for the session, then one per player: the host's own (listen
// server), then every taken slot with its character.
void Status(const TCommandPrint& print) {
  if (!IsServer()) return print("status: this machine runs no server.");
  const TServer& server = *Network->Server;
  const std::string map = Characters && Characters->Level() ? Characters->Level()->MapName : "-";
  const int32_t bots = KI ? KI->BotCount() : 0;
  print("Server \"" + server.ServerName + "\", map " + map + ", TCP " + std::to_string(server.TCPPort) + ", UDP " +
        std::to_string(server.UDPPort) + ": " + std::to_string(server.ConnectedCount() + server.HostSeats) + " of " +
        std::to_string(server.MaxPlayers) + " players (" + std::to_string(bots) + " bots)");
  if (!Characters) return;
  if (const TCharacter* host = Characters->At(0); host && host->InUse) print(PlayerLine("host", *host, "local"));
  for (int32_t slot = 0; slot < server.ClientCount; ++slot) {
    const TServerClient* client = server.Slot(slot);
    const TCharacter* c = Characters->At(slot + 1);
    if (!client || !c) continue;
    const bool bot = KI && KI->IsBot(slot + 1);
    const std::string who = bot ? "bot"
                                : DottedAddress(client->PeerAddress) + ":" + std::to_string(client->PeerPort) +
                                      (client->Started ? "" : " (joining)");
    print(PlayerLine("slot " + std::to_string(slot), *c, who));
  }
}

// From the server the ordinary chat line of character 0 to everybody; from a
// client the player's own chat, as the chat window sends it.
void Say(const std::string& text, const TCommandPrint& print) {
  if (text.empty()) return print("say <text>");
  if (IsServer()) {
    if (!Characters) return print("say: no level runs.");
    BroadcastChat(0, text, true);
  } else if (Network && Network->IsClient) {
    Network->SendChat(text, false);
  } else {
    print("say: there is nobody to hear it.");
  }
}

struct TServerCommand {
  const char* Name;
  // Whether an argument may follow. Gravity and speed keep the console's
  // old matching: the first characters are the name, the argument starts
  // one character later. The others need a space after the name.
  enum { Exact, OldPrefix, Word } Match;
  void (*Run)(const std::string& arg, TGameSettings* settings, const TCommandPrint& print);
  const char* Usage;  // as typed, with its argument
  const char* Help;
};

const TServerCommand kCommands[] = {
    {"grav", TServerCommand::OldPrefix, Gravity, "grav <n>",
     "sets the gravity for every player, -10000 to 10000"},
    {"speed", TServerCommand::OldPrefix, Speed, "speed <n>", "sets the players' speed, 0 to 100"},
    {"respawn", TServerCommand::Exact,
     [](const std::string&, TGameSettings*, const TCommandPrint&) {
       if (IsServer() && Characters) Characters->EndRound();
     },
     "respawn", "ends the round: every player starts again at a spawn point"},
    {"addbot", TServerCommand::Word,
     [](const std::string& arg, TGameSettings*, const TCommandPrint& p) { AddBot(arg, p); }, "addbot [t|ct]",
     "adds a bot to the terrorists (t), the counter-terrorists (ct), or without either to the smaller team"},
    {"kickbot", TServerCommand::Exact, [](const std::string&, TGameSettings*, const TCommandPrint& p) { KickBot(p); },
     "kickbot", "lets the bot added last leave"},
    {"kickbots", TServerCommand::Exact,
     [](const std::string&, TGameSettings*, const TCommandPrint& p) { KickBots(p); }, "kickbots",
     "lets every bot leave"},
    {"botskill", TServerCommand::Word,
     [](const std::string& arg, TGameSettings*, const TCommandPrint& p) { BotSkill(arg, p); },
     "botskill easy|normal|hard", "sets how well the bots aim and move"},
    {"status", TServerCommand::Exact, [](const std::string&, TGameSettings*, const TCommandPrint& p) { Status(p); },
     "status", "lists the slots: names, teams, kills, deaths and addresses, bots marked as bots"},
    {"say", TServerCommand::Word, [](const std::string& arg, TGameSettings*, const TCommandPrint& p) { Say(arg, p); },
     "say <text>", "sends a chat line to every player"},
    {"record", TServerCommand::Word,
     [](const std::string& arg, TGameSettings*, const TCommandPrint& p) { p(StartRecording(arg)); },
     "record <name>", "records the game into demos/<name>.dem until stoprecord or the level's end"},
    {"stoprecord", TServerCommand::Exact,
     [](const std::string&, TGameSettings*, const TCommandPrint& p) { p(StopRecording()); }, "stoprecord",
     "ends the recording"},
    {"netstat", TServerCommand::Exact,
     [](const std::string&, TGameSettings*, const TCommandPrint& p) {
       if (!Network) return p("netstat: no network session.");
       for (const std::string& line : Network->LinkReport()) p(line);
     },
     "netstat", "prints each link's round-trip time, jitter, loss and bytes per second in each direction"},
};

}  // namespace

bool RunServerCommand(const std::string& line, TGameSettings* settings, const TCommandPrint& print) {
  const std::string lower = LowerCase(line);
  for (const TServerCommand& c : kCommands) {
    const size_t n = std::char_traits<char>::length(c.Name);
    const bool startsWith = lower.compare(0, n, c.Name) == 0;
    bool matches = false;
    switch (c.Match) {
      case TServerCommand::Exact: matches = lower == c.Name; break;
      case TServerCommand::OldPrefix: matches = startsWith; break;
      case TServerCommand::Word: matches = startsWith && (lower.size() == n || lower[n] == ' '); break;
    }
    if (!matches) continue;
    // The argument keeps its case: a chat line is said as it was typed.
    c.Run(line.size() <= n + 1 ? std::string() : line.substr(n + 1), settings, print);
    return true;
  }
  return false;
}

std::vector<TManualItem> ServerCommandHelp() {
  std::vector<TManualItem> items;
  for (const TServerCommand& c : kCommands) items.push_back({c.Usage, c.Help});
  return items;
}
