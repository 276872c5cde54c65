// The packets between game servers, masters and clients (FFFF: four 0xFF bytes):
//   server -> master  FFFFheartbeat DarkPlaces\n
//   master -> server  FFFFgetinfo <challenge>      (server_query.h)
//   server -> master  FFFFinfoResponse\n\key\value...  (server_query.h)
//   client -> master  FFFFgetservers <gamename> <protocol> [empty] [full]
//   master -> client  FFFFgetserversResponse then entries of '\' and 6 bytes:
//                     the IPv4 address (4) and the port (2), big-endian.
//                     Packets hold at most kMaxAnswerSize bytes; the last one
//                     ends with the entry \EOT\0\0\0.
// The word after "heartbeat" names the master protocol (the one whose
// infoResponse carries a game name), not the game. A server that shuts down
// sends one more heartbeat and answers no more: a master that challenges it
// then hears nothing and drops it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/server_query.h"
#include "net/udp.h"

inline constexpr uint16_t kDefaultMasterPort = 27950;
inline constexpr const char* kHeartbeatProtocol = "DarkPlaces";

// What getservers asks for: servers of the game and protocol that are not
// empty and not full, plus the empty ones with Empty and the full ones with Full.
struct TServerListQuery {
  std::string GameName;
  int32_t Protocol = 0;
  bool Empty = false;
  bool Full = false;
};

// Whether a server answers the query. Bots give their places up to joining
// players, so only people make a server full or not empty.
bool QueryWants(const TServerListQuery& query, const std::string& gameName, int32_t protocol, int32_t clients,
                int32_t bots, int32_t maxClients);

enum class TMasterRequestKind { Heartbeat, InfoResponse, GetServers };

struct TMasterRequest {
  TMasterRequestKind Kind = TMasterRequestKind::Heartbeat;
  TServerListQuery List;  // of a getservers
  TInfoResponse Info;     // of an infoResponse
};

std::string EncodeHeartbeat();
std::string EncodeGetServers(const TServerListQuery& query);

// What a master takes: a heartbeat (any protocol word), a valid infoResponse
// (DecodeInfoResponse) or a getservers whose game name and protocol number
// are there (words it does not know are ignored). Empty for anything else.
std::optional<TMasterRequest> ParseMasterRequest(const uint8_t* data, size_t size);

// The getserversResponse packets that list servers, in order.
std::vector<std::string> EncodeServerList(const std::vector<TServerAddress>& servers);

struct TServerListPacket {
  std::vector<TServerAddress> Servers;  // entries with address or port 0 are left out
  bool Last = false;                    // it ended with \EOT
};
// One getserversResponse packet; empty when an entry is cut short, does not
// start with '\', or anything but NUL bytes follows \EOT.
std::optional<TServerListPacket> DecodeServerList(const uint8_t* data, size_t size);
