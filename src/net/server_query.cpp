// Reading the queries and writing the answers of server_query.h.
#include "net/server_query.h"

#include <algorithm>

#include "core/convert.h"
#include "net/network_message.h"
#include "net/out_of_band.h"

namespace {

constexpr std::string_view kInfoResponse = "infoResponse\n";
constexpr std::string_view kStatusResponse = "statusResponse\n";
// Counts a server may report; beyond them an answer is not believed.
constexpr int32_t kMaxClientsKnown = 65535;

TInfoString StatusInfo(const TServerStatus& status, const std::string& challenge) {
  TInfoString info;
  if (!challenge.empty()) info.Set("challenge", challenge);
  info.Set("gamename", kGameName);
  info.Set("protocol", QueryProtocol());
  info.Set("hostname", status.Info.Name);
  info.Set("mapname", status.Info.Map);
  // Clamped as readers check them: a count beyond the maximum gets a server refused.
  const int32_t maxClients = std::max(1, status.Info.MaxPlayers);
  const int32_t clients = std::clamp(status.Info.Players, 0, maxClients);
  info.Set("clients", clients);
  info.Set("bots", std::clamp(status.Bots, 0, clients));
  info.Set("sv_maxclients", maxClients);
  info.Set("roundtime", std::max(0, status.RoundTime));
  info.Set("needpass", 0);
  // Players join over TCP, whose port a list of UDP addresses does not give.
  if (status.Info.TCPPort > 0 && status.Info.TCPPort <= 65535) info.Set("tcpport", status.Info.TCPPort);
  return info;
}

}  // namespace

int32_t QueryProtocol() { return StrToIntDef(kNetRevision, 0); }

std::optional<TServerQuery> ParseServerQuery(const uint8_t* data, size_t size) {
  TOutOfBandLine line;
  if (!SplitOutOfBandLine(OutOfBandText(data, size), line)) return std::nullopt;
  TServerQuery query;
  if (line.Command == "getinfo")
    query.Kind = TQueryKind::Info;
  else if (line.Command == "getstatus")
    query.Kind = TQueryKind::Status;
  else
    return std::nullopt;
  if (!line.Words.empty()) {
    if (!ValidChallenge(line.Words[0])) return std::nullopt;
    query.Challenge = std::string(line.Words[0]);
  }
  return query;
}

std::string EncodeServerQuery(TQueryKind kind, const std::string& challenge) {
  std::string text = kind == TQueryKind::Info ? "getinfo" : "getstatus";
  if (!challenge.empty()) text += " " + challenge;
  return OutOfBandPacket(text);
}

std::string EncodeInfoResponse(const TServerStatus& status, const std::string& challenge) {
  return OutOfBandPacket(std::string(kInfoResponse) + StatusInfo(status, challenge).Text());
}

std::string EncodeStatusResponse(const TServerStatus& status, const std::string& challenge) {
  std::string packet = OutOfBandPacket(std::string(kStatusResponse) + StatusInfo(status, challenge).Text() + "\n");
  for (const TStatusPlayer& player : status.Players) {
    const std::string line = std::to_string(player.Kills) + " " + std::to_string(std::max(0, player.Ping)) + " \"" +
                             InfoValue(player.Name.substr(0, kDiscoveryMaxText)) + "\"\n";
    if (packet.size() + line.size() > kMaxAnswerSize) break;
    packet += line;
  }
  return packet;
}

std::optional<TInfoResponse> DecodeInfoResponse(const uint8_t* data, size_t size) {
  std::string_view text = OutOfBandText(data, size);
  if (!StartsWith(text, kInfoResponse)) return std::nullopt;
  text.remove_prefix(kInfoResponse.size());
  // Some servers end the infostring with a newline or a NUL.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\0')) text.remove_suffix(1);
  std::optional<TInfoString> info = ParseInfoString(text);
  if (!info) return std::nullopt;
  TInfoResponse r;
  const std::string* gameName = info->Find("gamename");
  const std::optional<int32_t> protocol = info->Number("protocol", 0, 1 << 30);
  const std::optional<int32_t> maxClients = info->Number("sv_maxclients", 1, kMaxClientsKnown);
  if (!gameName || gameName->empty() || gameName->find(' ') != std::string::npos || !protocol || !maxClients ||
      !info->Find("hostname") || !info->Find("mapname"))
    return std::nullopt;
  const std::optional<int32_t> clients = info->Number("clients", 0, *maxClients);
  if (!clients) return std::nullopt;
  if (const std::string* challenge = info->Find("challenge")) {
    if (!ValidChallenge(*challenge)) return std::nullopt;
    r.Challenge = *challenge;
  }
  r.GameName = *gameName;
  r.Protocol = *protocol;
  r.MaxClients = *maxClients;
  r.Clients = *clients;
  r.Bots = info->Number("bots", 0, *clients).value_or(0);
  r.TCPPort = info->Number("tcpport", 1, 65535).value_or(0);
  r.Info = std::move(*info);
  return r;
}
