// Writing and reading the master's packets of master_codec.h.
#include "net/master_codec.h"

#include "core/convert.h"
#include "net/infostring.h"
#include "net/out_of_band.h"

namespace {

constexpr std::string_view kServerListHead = "getserversResponse";
constexpr size_t kEntrySize = 7;  // '\' and 6 bytes
constexpr std::string_view kEndOfList("\\EOT\0\0\0", kEntrySize);

}  // namespace

bool QueryWants(const TServerListQuery& query, const std::string& gameName, int32_t protocol, int32_t clients,
                int32_t bots, int32_t maxClients) {
  if (protocol != query.Protocol || gameName != query.GameName) return false;
  const int32_t people = clients - bots;
  if (people <= 0 && !query.Empty) return false;
  if (people >= maxClients && !query.Full) return false;
  return true;
}

std::string EncodeHeartbeat() { return OutOfBandPacket(std::string("heartbeat ") + kHeartbeatProtocol + "\n"); }

std::string EncodeGetServers(const TServerListQuery& query) {
  std::string text = "getservers " + query.GameName + " " + std::to_string(query.Protocol);
  if (query.Empty) text += " empty";
  if (query.Full) text += " full";
  return OutOfBandPacket(text);
}

std::optional<TMasterRequest> ParseMasterRequest(const uint8_t* data, size_t size) {
  TMasterRequest request;
  if (std::optional<TInfoResponse> info = DecodeInfoResponse(data, size)) {
    request.Kind = TMasterRequestKind::InfoResponse;
    request.Info = std::move(*info);
    return request;
  }
  TOutOfBandLine line;
  if (!SplitOutOfBandLine(OutOfBandText(data, size), line)) return std::nullopt;
  if (line.Command == "heartbeat" && line.Words.size() == 1) {
    request.Kind = TMasterRequestKind::Heartbeat;
    return request;
  }
  if (line.Command != "getservers" || line.Words.size() < 2) return std::nullopt;
  const std::optional<int32_t> protocol = DecimalNumber(line.Words[1], 0, 1 << 30);
  if (!protocol) return std::nullopt;
  request.Kind = TMasterRequestKind::GetServers;
  request.List.GameName = std::string(line.Words[0]);
  request.List.Protocol = *protocol;
  for (size_t i = 2; i < line.Words.size(); ++i) {
    request.List.Empty = request.List.Empty || line.Words[i] == "empty";
    request.List.Full = request.List.Full || line.Words[i] == "full";
  }
  return request;
}

std::vector<std::string> EncodeServerList(const std::vector<TServerAddress>& servers) {
  std::vector<std::string> packets;
  std::string packet = OutOfBandPacket(kServerListHead);
  for (const TServerAddress& s : servers) {
    if (packet.size() + kEntrySize > kMaxAnswerSize) {
      packets.push_back(std::move(packet));
      packet = OutOfBandPacket(kServerListHead);
    }
    const char entry[kEntrySize] = {'\\',
                                    static_cast<char>(s.Host >> 24),
                                    static_cast<char>(s.Host >> 16),
                                    static_cast<char>(s.Host >> 8),
                                    static_cast<char>(s.Host),
                                    static_cast<char>(s.Port >> 8),
                                    static_cast<char>(s.Port)};
    packet.append(entry, kEntrySize);
  }
  if (packet.size() + kEntrySize > kMaxAnswerSize) {
    packets.push_back(std::move(packet));
    packet = OutOfBandPacket(kServerListHead);
  }
  packet += kEndOfList;
  packets.push_back(std::move(packet));
  return packets;
}

std::optional<TServerListPacket> DecodeServerList(const uint8_t* data, size_t size) {
  std::string_view text = OutOfBandText(data, size);
  if (!StartsWith(text, kServerListHead)) return std::nullopt;
  text.remove_prefix(kServerListHead.size());
  TServerListPacket list;
  while (!text.empty()) {
    // Some masters stop after "\EOT" and fewer zeros. A server at 69.79.84.x
    // starts like the end, so only the whole entry or the packet's tail is one.
    if (StartsWith(text, kEndOfList) || (text.size() < kEntrySize && StartsWith(kEndOfList, text) && text.size() >= 4)) {
      if (text.size() > kEntrySize) return std::nullopt;
      list.Last = true;
      return list;
    }
    if (text.size() < kEntrySize || text[0] != '\\') return std::nullopt;
    const auto* b = reinterpret_cast<const uint8_t*>(text.data());
    TServerAddress s;
    s.Host = static_cast<uint32_t>(b[1]) << 24 | static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 8 | b[4];
    s.Port = static_cast<uint16_t>(b[5] << 8 | b[6]);
    if (s.Host != 0 && s.Port != 0) list.Servers.push_back(s);
    text.remove_prefix(kEntrySize);
  }
  return list;
}
