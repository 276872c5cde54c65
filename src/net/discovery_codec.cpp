// Discovery datagrams. Numbers are little-endian.
//
// Query, exactly 96 bytes:
//   offset  size  field
//     0      4    magic "GVDQ"
//     4      1    version, 1
//     5      4    nonce, chosen by the asker and echoed in the answer
//     9     87    zero
//
// Answer, 21 + name length + map length bytes (at most 85, below the query):
//     0      4    magic "GVDA"
//     4      1    version, 1
//     5      4    nonce of the query
//     9      2    TCP port, 1..65535
//    11      2    UDP port, 1..65535
//    13      1    players in the game (bots included), 0..max
//    14      1    max players, 1..255
//    15      1    name length n, 1..32
//    16      n    server name, printable 8-bit characters
//  16+n      1    map length m, 1..32
//  17+n      m    map name, printable
// No byte may follow the map name.
#include "net/discovery_codec.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kQueryMagic[4] = {'G', 'V', 'D', 'Q'};
constexpr uint8_t kAnswerMagic[4] = {'G', 'V', 'D', 'A'};
constexpr size_t kHeader = 9;  // magic, version, nonce

void PutHeader(uint8_t* out, const uint8_t magic[4], uint32_t nonce) {
  std::memcpy(out, magic, 4);
  out[4] = kDiscoveryVersion;
  for (int i = 0; i < 4; ++i) out[5 + i] = static_cast<uint8_t>(nonce >> (8 * i));
}

bool GetHeader(const uint8_t* in, size_t size, const uint8_t magic[4], uint32_t& nonce) {
  if (size < kHeader || std::memcmp(in, magic, 4) != 0 || in[4] != kDiscoveryVersion) return false;
  nonce = 0;
  for (int i = 0; i < 4; ++i) nonce |= static_cast<uint32_t>(in[5 + i]) << (8 * i);
  return true;
}

uint16_t GetPort(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void PutPort(uint8_t* p, int32_t port) {
  const uint16_t v = static_cast<uint16_t>(std::clamp(port, 0, 65535));
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// A length-prefixed text at `at`; false when it runs past the end or breaks a rule.
bool GetText(const uint8_t* in, size_t size, size_t& at, std::string& out) {
  if (at >= size) return false;
  const size_t n = in[at++];
  if (n == 0 || n > kDiscoveryMaxText || n > size - at) return false;
  out.assign(reinterpret_cast<const char*>(in + at), n);
  at += n;
  return PrintableText(out);
}

size_t PutText(uint8_t* out, size_t at, const std::string& text) {
  std::string t = AnswerText(text);
  if (t.empty()) t = "?";  // an empty text would make the answer malformed
  out[at++] = static_cast<uint8_t>(t.size());
  std::memcpy(out + at, t.data(), t.size());
  return at + t.size();
}

}  // namespace

bool PrintableText(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<uint8_t>(c);
    return (b >= 0x20 && b < 0x7F) || b >= 0xA0;
  });
}

std::string AnswerText(const std::string& text) {
  std::string t = text.substr(0, kDiscoveryMaxText);
  for (char& c : t)
    if (!PrintableText(std::string(1, c))) c = '?';
  return t;
}

void EncodeDiscoveryQuery(uint32_t nonce, uint8_t out[kDiscoveryQuerySize]) {
  std::memset(out, 0, kDiscoveryQuerySize);
  PutHeader(out, kQueryMagic, nonce);
}

std::optional<uint32_t> DecodeDiscoveryQuery(const uint8_t* data, size_t size) {
  uint32_t nonce = 0;
  if (size != kDiscoveryQuerySize || !GetHeader(data, size, kQueryMagic, nonce)) return std::nullopt;
  if (std::any_of(data + kHeader, data + size, [](uint8_t b) { return b != 0; })) return std::nullopt;
  return nonce;
}

size_t EncodeDiscoveryAnswer(uint32_t nonce, const TServerInfo& info, uint8_t out[kDiscoveryQuerySize]) {
  std::memset(out, 0, kDiscoveryQuerySize);
  PutHeader(out, kAnswerMagic, nonce);
  PutPort(out + 9, info.TCPPort);
  PutPort(out + 11, info.UDPPort);
  const int32_t maxPlayers = std::clamp(info.MaxPlayers, 1, 255);
  out[13] = static_cast<uint8_t>(std::clamp(info.Players, 0, maxPlayers));
  out[14] = static_cast<uint8_t>(maxPlayers);
  size_t at = PutText(out, 15, info.Name);
  return PutText(out, at, info.Map);
}

std::optional<TServerInfo> DecodeDiscoveryAnswer(const uint8_t* data, size_t size, uint32_t& nonce) {
  if (size > kDiscoveryQuerySize || size < 15 || !GetHeader(data, size, kAnswerMagic, nonce)) return std::nullopt;
  TServerInfo info;
  info.TCPPort = GetPort(data + 9);
  info.UDPPort = GetPort(data + 11);
  info.Players = data[13];
  info.MaxPlayers = data[14];
  if (info.TCPPort == 0 || info.UDPPort == 0 || info.MaxPlayers == 0 || info.Players > info.MaxPlayers)
    return std::nullopt;
  size_t at = 15;
  if (!GetText(data, size, at, info.Name) || !GetText(data, size, at, info.Map) || at != size) return std::nullopt;
  return info;
}
