// The discovery query decoder on arbitrary bytes: only the one canonical form
// is taken (it encodes back to the same bytes), and whatever server
// description the bytes make, the answer fits in a query and decodes.
#include <cstring>
#include <string>

#include "net/discovery_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (std::optional<uint32_t> nonce = DecodeDiscoveryQuery(data, size)) {
    uint8_t again[kDiscoveryQuerySize];
    EncodeDiscoveryQuery(*nonce, again);
    if (size != kDiscoveryQuerySize || std::memcmp(again, data, size) != 0) __builtin_trap();
  }
  // Any texts and numbers a server might hold, taken from the input.
  const std::string text(reinterpret_cast<const char*>(data), size);
  int32_t numbers[4] = {};
  std::memcpy(numbers, data, size < sizeof numbers ? size : sizeof numbers);
  TServerInfo info{text, text.substr(size / 2), numbers[0], numbers[1], numbers[2], numbers[3]};
  uint8_t answer[kDiscoveryQuerySize];
  const size_t n = EncodeDiscoveryAnswer(7, info, answer);
  if (n > kDiscoveryQuerySize) __builtin_trap();
  uint32_t nonce = 0;
  const bool portsValid = info.TCPPort >= 1 && info.UDPPort >= 1;
  if (DecodeDiscoveryAnswer(answer, n, nonce).has_value() != portsValid || (portsValid && nonce != 7)) __builtin_trap();
  return 0;
}
