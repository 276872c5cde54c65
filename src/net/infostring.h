// Infostrings, the payload of out-of-band answers: "\key\value\key\value".
// Keys and values hold no '\', '"' or ';' (browsers split on them). Also the
// rule for challenges, which answers echo under the key "challenge".
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What one reader takes at most: answers of this family fit one datagram.
inline constexpr size_t kMaxInfoPairs = 64;
inline constexpr size_t kMaxInfoKey = 64;
inline constexpr size_t kMaxInfoValue = 256;
inline constexpr size_t kMaxChallenge = 32;

class TInfoString {
 public:
  // Adds the pair, or replaces the value of a key already there. The value
  // goes through InfoValue; a key that breaks the rules is not added.
  void Set(std::string_view key, std::string_view value);
  void Set(std::string_view key, int64_t value) { Set(key, std::to_string(value)); }
  // The value of key; null when it is missing.
  const std::string* Find(std::string_view key) const;
  // The value of key as a whole decimal number within lo..hi.
  std::optional<int32_t> Number(std::string_view key, int32_t lo, int32_t hi) const;
  const std::vector<std::pair<std::string, std::string>>& Pairs() const { return pairs; }
  // "\key\value..." in the order the keys were first set.
  std::string Text() const;

 private:
  friend std::optional<TInfoString> ParseInfoString(std::string_view text);
  std::vector<std::pair<std::string, std::string>> pairs;
};

// The infostring of text (which must start with '\'): pairs in order, a key
// given twice keeps its first value. Empty for text that breaks the form or
// the bounds above; a value may be empty, a key may not.
std::optional<TInfoString> ParseInfoString(std::string_view text);

// Text made fit for a value: cut to kMaxInfoValue bytes, each byte that is
// not printable (PrintableText) or is '\', '"' or ';' replaced by '?'.
std::string InfoValue(std::string_view text);

// Text of decimal digits only (no sign, no blanks) whose value lies in lo..hi.
std::optional<int32_t> DecimalNumber(std::string_view text, int32_t lo, int32_t hi);

// 1 to kMaxChallenge bytes, each from '!' to '~' except '\', '/', ';', '"' and '%'.
bool ValidChallenge(std::string_view challenge);
