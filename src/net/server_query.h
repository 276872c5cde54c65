// The out-of-band queries a game server answers on its UDP port, and their
// answers:
//   FFFFgetinfo [challenge]       ->  FFFFinfoResponse\n\key\value...
//   FFFFgetstatus [challenge]     ->  FFFFstatusResponse\n\key\value...\n
//                                     then per player: <kills> <ping> "<name>"\n
// (FFFF: four 0xFF bytes). Both answers carry the same keys: "challenge" (the
// query's, when it gave a valid one), "gamename" (kGameName), "protocol" (the
// wire revision, kNetRevision), "hostname", "mapname", "clients" (players in
// the game, bots included), "bots", "sv_maxclients", "roundtime" (seconds, 0:
// no limit), "needpass" (0: no server takes a password) and "tcpport" (where
// players join; the UDP port the answer comes from is the game's other one).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/discovery_codec.h"
#include "net/infostring.h"

inline constexpr const char* kGameName = "Grimvale";
// No answer of a game server or a master is larger.
inline constexpr size_t kMaxAnswerSize = 1400;

// The wire revision as the number the "protocol" key and getservers carry.
int32_t QueryProtocol();

struct TStatusPlayer {
  int32_t Kills = 0;
  int32_t Ping = 0;  // ms; 0 for bots and the host
  std::string Name;
};

// What a server tells about itself: Info's name, map, players (bots included)
// and maximum, then the bots among the players, the round time and each player.
struct TServerStatus {
  TServerInfo Info;
  int32_t Bots = 0;
  int32_t RoundTime = 0;
  std::vector<TStatusPlayer> Players;
};

enum class TQueryKind { Info, Status };

struct TServerQuery {
  TQueryKind Kind = TQueryKind::Info;
  std::string Challenge;  // empty when the query gave none
};

// A getinfo or getstatus; empty for anything else, and for a challenge that
// breaks the rules (ValidChallenge): it could not be echoed.
std::optional<TServerQuery> ParseServerQuery(const uint8_t* data, size_t size);
std::string EncodeServerQuery(TQueryKind kind, const std::string& challenge);

// The whole answer packet, four 0xFF bytes first. A status answer lists the
// players that fit in kMaxAnswerSize.
std::string EncodeInfoResponse(const TServerStatus& status, const std::string& challenge);
std::string EncodeStatusResponse(const TServerStatus& status, const std::string& challenge);

// An infoResponse as a master or a browser reads it: the keys every server of
// the family must give, checked; the rest in Info.
struct TInfoResponse {
  TInfoString Info;
  std::string Challenge;  // empty when none was echoed
  std::string GameName;
  int32_t Protocol = 0;
  int32_t Clients = 0;
  int32_t Bots = 0;  // 0 when the server does not say
  int32_t MaxClients = 0;
  int32_t TCPPort = 0;  // 0 when the server does not say (not one of ours)
};

// Empty unless the packet is an infoResponse whose infostring parses and
// holds "gamename" (no blanks), "protocol", "clients" (0..sv_maxclients),
// "sv_maxclients" (at least 1), "hostname" and "mapname".
std::optional<TInfoResponse> DecodeInfoResponse(const uint8_t* data, size_t size);
