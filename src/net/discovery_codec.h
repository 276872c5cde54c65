// The two datagrams of LAN discovery, on a UDP port of their own: the query a
// Join dialog sends and the answer a running server gives. The byte layout is
// documented in discovery_codec.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Every query is padded to this size and every answer fits in it, so an
// answer is never larger than the query that asked for it.
inline constexpr size_t kDiscoveryQuerySize = 96;
inline constexpr uint8_t kDiscoveryVersion = 1;
inline constexpr size_t kDiscoveryMaxText = 32;
inline constexpr uint16_t kDefaultDiscoveryPort = 5029;

// What a server tells about itself.
struct TServerInfo {
  std::string Name, Map;
  int32_t Players = 0, MaxPlayers = 0;
  int32_t TCPPort = 0, UDPPort = 0;
};

// Bytes shown to players: printable ASCII and the printable upper half of the
// 8-bit code page; control characters (C0, DEL, C1) are not.
bool PrintableText(const std::string& text);
// What the server puts into an answer: cut to kDiscoveryMaxText, each byte
// that is not printable replaced by '?'.
std::string AnswerText(const std::string& text);

void EncodeDiscoveryQuery(uint32_t nonce, uint8_t out[kDiscoveryQuerySize]);
// The nonce of a well-formed query: exactly kDiscoveryQuerySize bytes, magic,
// version and zero padding.
std::optional<uint32_t> DecodeDiscoveryQuery(const uint8_t* data, size_t size);

// The answer's length in out (at most kDiscoveryQuerySize). Texts are passed
// through AnswerText; counts and ports are clamped to what the decoder takes.
size_t EncodeDiscoveryAnswer(uint32_t nonce, const TServerInfo& info, uint8_t out[kDiscoveryQuerySize]);
// A well-formed answer with every field checked: exact length, magic,
// version, non-empty printable texts of at most kDiscoveryMaxText bytes,
// 1 <= MaxPlayers, Players <= MaxPlayers, ports 1..65535.
std::optional<TServerInfo> DecodeDiscoveryAnswer(const uint8_t* data, size_t size, uint32_t& nonce);
