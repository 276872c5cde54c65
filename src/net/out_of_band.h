// Out-of-band packets: UDP datagrams that start with four 0xFF bytes and then
// a command in plain ASCII ("getinfo xyz", "heartbeat DarkPlaces\n",
// "infoResponse\n\key\value..."). They share the game's UDP port with the
// 24-byte position datagrams, whose first four bytes are a float: four 0xFF
// bytes read as one are a NaN, which no valid datagram carries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kOutOfBandPrefix = "\xFF\xFF\xFF\xFF";
// Larger datagrams are no query, answer or list packet of this family and are
// dropped unread.
inline constexpr size_t kMaxOutOfBandSize = 1500;

bool IsOutOfBand(const uint8_t* data, size_t size);

// The text after the four 0xFF bytes (empty for no out-of-band packet).
std::string_view OutOfBandText(const uint8_t* data, size_t size);

// A one-line request: the command and its words, split at blanks. Whatever
// follows the first newline or NUL is ignored (senders end lines either way).
struct TOutOfBandLine {
  std::string_view Command;
  std::vector<std::string_view> Words;  // after the command
};
// False for a line longer than a request may be, with more words than one
// may have, or holding a byte outside printable ASCII.
bool SplitOutOfBandLine(std::string_view text, TOutOfBandLine& out);

// The four 0xFF bytes followed by text.
std::string OutOfBandPacket(std::string_view text);
