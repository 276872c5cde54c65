// The reader of join addresses and URLs.
#include "net/join_address.h"

#include "net/infostring.h"

namespace {

bool HostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
         c == '_';
}

bool SchemeAhead(std::string_view text) {
  if (text.size() < kJoinUrlScheme.size()) return false;
  for (size_t i = 0; i < kJoinUrlScheme.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kJoinUrlScheme[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<TJoinAddress> ParseJoinAddress(std::string_view text) {
  if (SchemeAhead(text)) {
    text.remove_prefix(kJoinUrlScheme.size());
    // Browsers and desktops add a slash after the authority.
    if (!text.empty() && text.back() == '/') text.remove_suffix(1);
  }
  TJoinAddress address;
  std::string_view host = text;
  const size_t colon = text.find(':');
  if (colon != std::string_view::npos) {
    host = text.substr(0, colon);
    const std::optional<int32_t> port = DecimalNumber(text.substr(colon + 1), 1, 65535);
    if (!port) return std::nullopt;
    address.Port = static_cast<uint16_t>(*port);
  }
  if (host.empty() || host.size() > kMaxJoinHost) return std::nullopt;
  for (char c : host)
    if (!HostCharacter(c)) return std::nullopt;
  address.Host = std::string(host);
  return address;
}

std::string JoinAddressText(const TJoinAddress& address) {
  return address.Host + ":" + std::to_string(address.Port);
}
