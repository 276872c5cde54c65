// Where a player joins a game by address: "host", "host:port", or the menu
// entry's URL "grimvale://host[:port][/]". Command lines, the console and
// links from web pages all pass through here, so the text is untrusted.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A server's TCP and UDP port when the address names none.
inline constexpr uint16_t kDefaultGamePort = 5020;
inline constexpr std::string_view kJoinUrlScheme = "grimvale://";
// A host name of the DNS is at most 253 characters.
inline constexpr size_t kMaxJoinHost = 253;

struct TJoinAddress {
  std::string Host;  // a name or a dotted IPv4 address
  uint16_t Port = kDefaultGamePort;
  bool operator==(const TJoinAddress&) const = default;
};

// Empty for an empty host, a host of other characters than letters, digits,
// '.', '-' and '_' (no blanks, no IPv6), a port outside 1..65535, or a URL
// whose path holds more than a '/'. The scheme's case does not matter.
std::optional<TJoinAddress> ParseJoinAddress(std::string_view text);

// "host:port".
std::string JoinAddressText(const TJoinAddress& address);
