// Locale-independent conversions built on <charconv>.
#include "core/convert.h"

#include <charconv>
#include <limits>

std::string FloatToStr(double value) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string text(buf, res.ptr);
  if (text == "-0") text = "0";
  return text;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::optional<int32_t> TryStrToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  if (i >= text.size()) return std::nullopt;
  int64_t value = 0;
  auto res = std::from_chars(text.data() + i, text.data() + text.size(), value, base);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  // Hexadecimal text may spell the unsigned bit pattern of a negative number.
  if (base == 16 && value > std::numeric_limits<int32_t>::max() && value <= 0xFFFFFFFFLL)
    value = static_cast<int32_t>(static_cast<uint32_t>(value));
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t StrToIntDef(std::string_view text, int32_t def) { return TryStrToInt(text).value_or(def); }

std::optional<double> TryStrToFloat(std::string_view text) {
  std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  for (char c : t)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'))
      return std::nullopt;
  std::string_view v(t);
  if (v.front() == '+') v.remove_prefix(1);
  double value = 0;
  auto res = std::from_chars(v.data(), v.data() + v.size(), value, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != v.data() + v.size()) return std::nullopt;
  return value;
}

double StrToFloatDef(std::string_view text, double def) { return TryStrToFloat(text).value_or(def); }

bool IsInteger(std::string_view text) { return TryStrToInt(text).has_value(); }
bool IsFloat(std::string_view text) { return TryStrToFloat(text).has_value(); }

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}
