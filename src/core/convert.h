// Number <-> text conversions shared by the configuration, the console and the
// text dumps. Always "." as decimal separator, whatever the process locale.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// General float format with up to 15 significant digits: 0.5, 300, 0.01, -2.
std::string FloatToStr(double value);

// Signed 32-bit integer: optional leading blanks and sign, decimal digits or
// "$" followed by hexadecimal digits. Anything else (trailing text, overflow)
// does not convert.
std::optional<int32_t> TryStrToInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t def);

// Float with "." as separator and an optional exponent; surrounding blanks are
// allowed. "inf", "nan" and the like do not convert.
std::optional<double> TryStrToFloat(std::string_view text);
double StrToFloatDef(std::string_view text, double def);

bool IsInteger(std::string_view text);
bool IsFloat(std::string_view text);

std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
std::string Trim(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
inline bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
