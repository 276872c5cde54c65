// The discovery answer decoder on arbitrary bytes: what it takes keeps every
// rule a player's list relies on, and encodes back to the very same bytes.
#include <cstring>

#include "net/discovery_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t nonce = 0;
  std::optional<TServerInfo> info = DecodeDiscoveryAnswer(data, size, nonce);
  if (!info) return 0;
  const TServerInfo& i = *info;
  for (const std::string* t : {&i.Name, &i.Map})
    if (t->empty() || t->size() > kDiscoveryMaxText || !PrintableText(*t)) __builtin_trap();
  if (i.MaxPlayers < 1 || i.MaxPlayers > 255 || i.Players < 0 || i.Players > i.MaxPlayers) __builtin_trap();
  if (i.TCPPort < 1 || i.TCPPort > 65535 || i.UDPPort < 1 || i.UDPPort > 65535) __builtin_trap();
  uint8_t again[kDiscoveryQuerySize];
  const size_t n = EncodeDiscoveryAnswer(nonce, i, again);
  if (n != size || std::memcmp(again, data, size) != 0) __builtin_trap();
  return 0;
}
