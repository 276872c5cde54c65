// The query reader of a game server on arbitrary bytes: what it takes is a
// getinfo or getstatus whose challenge follows the rules, and the answer to
// it echoes that challenge, fits one datagram and reads back.
#include <cstring>
#include <string>

#include "net/server_query.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<TServerQuery> query = ParseServerQuery(data, size);
  if (!query) return 0;
  if (!query->Challenge.empty() && !ValidChallenge(query->Challenge)) __builtin_trap();
  // Whatever the server holds, taken from the input too.
  TServerStatus status;
  const std::string text(reinterpret_cast<const char*>(data), size);
  status.Info.Name = text;
  status.Info.Map = text.substr(size / 2);
  status.Info.Players = static_cast<int32_t>(size) - 20;
  status.Info.MaxPlayers = static_cast<int32_t>(size % 7);
  status.Bots = static_cast<int32_t>(size % 5) - 1;
  for (size_t i = 0; i < size % 300; ++i) status.Players.push_back({static_cast<int32_t>(i) - 5, 7, text});
  const std::string info = EncodeInfoResponse(status, query->Challenge);
  const std::string full = EncodeStatusResponse(status, query->Challenge);
  if (full.size() > kMaxAnswerSize) __builtin_trap();
  const std::optional<TInfoResponse> back = DecodeInfoResponse(reinterpret_cast<const uint8_t*>(info.data()), info.size());
  if (!back || back->Challenge != query->Challenge || back->GameName != kGameName) __builtin_trap();
  return 0;
}
