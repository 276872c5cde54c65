// The join address reader on arbitrary bytes: what it takes is a host of the
// allowed characters and a port, and its text reads back to the same address.
#include <string_view>

#include "net/join_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<TJoinAddress> address = ParseJoinAddress(text);
  if (!address) return 0;
  if (address->Host.empty() || address->Host.size() > kMaxJoinHost || address->Port == 0) __builtin_trap();
  if (ParseJoinAddress(JoinAddressText(*address)) != address) __builtin_trap();
  const std::string url = std::string(kJoinUrlScheme) + JoinAddressText(*address) + "/";
  if (ParseJoinAddress(url) != address) __builtin_trap();
  return 0;
}
