// Reading and writing infostrings.
#include "net/infostring.h"

#include "core/convert.h"
#include "net/discovery_codec.h"

namespace {

bool InfoByte(char ch) { return ch != '\\' && ch != '"' && ch != ';'; }

bool ValidKey(std::string_view key) {
  if (key.empty() || key.size() > kMaxInfoKey) return false;
  for (char ch : key)
    if (!InfoByte(ch) || static_cast<unsigned char>(ch) < 33 || static_cast<unsigned char>(ch) > 126) return false;
  return true;
}

bool ValidValue(std::string_view value) {
  if (value.size() > kMaxInfoValue) return false;
  for (char ch : value)
    if (!InfoByte(ch) || static_cast<unsigned char>(ch) < 32 || ch == 127) return false;
  return true;
}

}  // namespace

void TInfoString::Set(std::string_view key, std::string_view value) {
  if (!ValidKey(key)) return;
  std::string clean = InfoValue(value);
  for (auto& pair : pairs)
    if (pair.first == key) {
      pair.second = std::move(clean);
      return;
    }
  pairs.emplace_back(std::string(key), std::move(clean));
}

const std::string* TInfoString::Find(std::string_view key) const {
  for (const auto& pair : pairs)
    if (pair.first == key) return &pair.second;
  return nullptr;
}

std::optional<int32_t> TInfoString::Number(std::string_view key, int32_t lo, int32_t hi) const {
  const std::string* value = Find(key);
  return value ? DecimalNumber(*value, lo, hi) : std::nullopt;
}

std::optional<int32_t> DecimalNumber(std::string_view text, int32_t lo, int32_t hi) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  for (char ch : text)
    if (ch < '0' || ch > '9') return std::nullopt;
  const std::optional<int32_t> n = TryStrToInt(text);
  if (!n || *n < lo || *n > hi) return std::nullopt;
  return n;
}

std::string TInfoString::Text() const {
  std::string text;
  for (const auto& [key, value] : pairs) {
    text += '\\';
    text += key;
    text += '\\';
    text += value;
  }
  return text;
}

std::optional<TInfoString> ParseInfoString(std::string_view text) {
  if (text.empty() || text[0] != '\\') return std::nullopt;
  TInfoString info;
  size_t at = 1;
  for (;;) {
    const size_t keyEnd = text.find('\\', at);
    if (keyEnd == std::string_view::npos) return std::nullopt;  // a key without its value
    const std::string_view key = text.substr(at, keyEnd - at);
    const size_t valueEnd = text.find('\\', keyEnd + 1);
    const std::string_view value =
        text.substr(keyEnd + 1, valueEnd == std::string_view::npos ? std::string_view::npos : valueEnd - keyEnd - 1);
    if (!ValidKey(key) || !ValidValue(value)) return std::nullopt;
    if (!info.Find(key)) {
      if (info.pairs.size() == kMaxInfoPairs) return std::nullopt;
      info.pairs.emplace_back(key, value);
    }
    if (valueEnd == std::string_view::npos) return info;
    at = valueEnd + 1;
  }
}

std::string InfoValue(std::string_view text) {
  std::string value(text.substr(0, kMaxInfoValue));
  for (char& ch : value)
    if (!InfoByte(ch) || !PrintableText(std::string(1, ch))) ch = '?';
  return value;
}

bool ValidChallenge(std::string_view challenge) {
  if (challenge.empty() || challenge.size() > kMaxChallenge) return false;
  for (char ch : challenge)
    if (ch < '!' || ch > '~' || ch == '\\' || ch == '/' || ch == ';' || ch == '"' || ch == '%') return false;
  return true;
}
