// The JSON reader: a recursive descent over the text, one byte at a time,
// that never reads past the end and gives up at the first fault.
#include "core/json_reader.h"

namespace {

class TJsonParser {
 public:
  explicit TJsonParser(std::string_view text) : s(text) {}

  bool Document(TJsonValue& out) {
    if (!Value(out, 0)) return false;
    Space();
    return at == s.size() || Fail("text after the value");
  }
  std::string Error() const { return error + " at byte " + std::to_string(at); }

 private:
  bool Fail(const char* what) {
    if (error.empty()) error = what;
    return false;
  }
  void Space() {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '\n' || s[at] == '\r')) ++at;
  }
  bool Literal(std::string_view word) {
    if (s.substr(at, word.size()) != word) return Fail("unknown literal");
    at += word.size();
    return true;
  }

  bool Value(TJsonValue& v, int depth) {
    if (depth > kJsonMaxDepth) return Fail("nested too deep");
    Space();
    if (at >= s.size()) return Fail("value missing");
    const char c = s[at];
    if (c == '{') return Object(v, depth);
    if (c == '[') return Array(v, depth);
    if (c == '"') {
      v.Kind = TJsonValue::TKind::String;
      return String(v.Text);
    }
    if (c == 't' || c == 'f') {
      v.Kind = TJsonValue::TKind::Bool;
      v.Bool = c == 't';
      return Literal(v.Bool ? "true" : "false");
    }
    if (c == 'n') return Literal("null");
    return Number(v);
  }

  bool Object(TJsonValue& v, int depth) {
    v.Kind = TJsonValue::TKind::Object;
    ++at;
    Space();
    if (at < s.size() && s[at] == '}') return ++at, true;
    for (;;) {
      Space();
      std::string key;
      if (at >= s.size() || s[at] != '"' || !String(key)) return Fail("member name expected");
      Space();
      if (at >= s.size() || s[at] != ':') return Fail("':' expected");
      ++at;
      v.Members.emplace_back();
      v.Members.back().Key = std::move(key);
      if (!Value(v.Members.back(), depth + 1)) return false;
      Space();
      if (at < s.size() && s[at] == ',') {
        ++at;
        continue;
      }
      if (at < s.size() && s[at] == '}') return ++at, true;
      return Fail("',' or '}' expected");
    }
  }

  bool Array(TJsonValue& v, int depth) {
    v.Kind = TJsonValue::TKind::Array;
    ++at;
    Space();
    if (at < s.size() && s[at] == ']') return ++at, true;
    for (;;) {
      v.Items.emplace_back();
      if (!Value(v.Items.back(), depth + 1)) return false;
      Space();
      if (at < s.size() && s[at] == ',') {
        ++at;
        continue;
      }
      if (at < s.size() && s[at] == ']') return ++at, true;
      return Fail("',' or ']' expected");
    }
  }

  bool Number(TJsonValue& v) {
    const size_t start = at;
    auto digits = [&] {
      const size_t from = at;
      while (at < s.size() && s[at] >= '0' && s[at] <= '9') ++at;
      return at > from;
    };
    if (at < s.size() && s[at] == '-') ++at;
    if (!digits()) return Fail("number expected");
    if (at < s.size() && s[at] == '.') {
      ++at;
      if (!digits()) return Fail("digits expected after '.'");
    }
    if (at < s.size() && (s[at] == 'e' || s[at] == 'E')) {
      ++at;
      if (at < s.size() && (s[at] == '+' || s[at] == '-')) ++at;
      if (!digits()) return Fail("exponent expected");
    }
    v.Kind = TJsonValue::TKind::Number;
    v.Text.assign(s.substr(start, at - start));
    return true;
  }

  static void PutUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool Hex4(uint32_t& cp) {
    if (s.size() - at < 4) return Fail("short \\u escape");
    cp = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = s[at++];
      const int d = h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
      if (d < 0) return Fail("bad \\u escape");
      cp = cp * 16 + static_cast<uint32_t>(d);
    }
    return true;
  }

  bool String(std::string& out) {
    ++at;  // the opening quote
    for (;;) {
      if (at >= s.size()) return Fail("unterminated string");
      const unsigned char c = static_cast<unsigned char>(s[at++]);
      if (c == '"') return true;
      if (c < 0x20) return Fail("control character in a string");
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (at >= s.size()) return Fail("unterminated escape");
      const char e = s[at++];
      switch (e) {
        case '"': case '\\': case '/': out += e; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          uint32_t cp = 0;
          if (!Hex4(cp)) return false;
          // A lone half of a surrogate pair stands for nothing printable: it becomes U+FFFD.
          if (cp >= 0xD800 && cp < 0xDC00 && s.substr(at, 2) == "\\u") {
            at += 2;
            uint32_t low = 0;
            if (!Hex4(low)) return false;
            cp = low >= 0xDC00 && low < 0xE000 ? 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00) : 0xFFFD;
          } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
          }
          PutUtf8(out, cp);
          break;
        }
        default: return Fail("unknown escape");
      }
    }
  }

  std::string_view s;
  size_t at = 0;
  std::string error;
};

}  // namespace

const TJsonValue* TJsonValue::Member(std::string_view key) const {
  if (Kind != TKind::Object) return nullptr;
  for (const TJsonValue& member : Members)
    if (member.Key == key) return &member;
  return nullptr;
}

std::optional<std::string> TJsonValue::StringAt(std::string_view key) const {
  const TJsonValue* v = Member(key);
  if (!v || v->Kind != TKind::String) return std::nullopt;
  return v->Text;
}

std::optional<TJsonValue> ParseJson(std::string_view text, std::string* error) {
  if (text.size() > kJsonMaxBytes) {
    if (error) *error = "document longer than " + std::to_string(kJsonMaxBytes) + " bytes";
    return std::nullopt;
  }
  TJsonParser parser(text);
  TJsonValue value;
  if (!parser.Document(value)) {
    if (error) *error = parser.Error();
    return std::nullopt;
  }
  return value;
}

std::string JsonQuote(std::string_view text) {
  static const char* const kHex = "0123456789abcdef";
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out + "\"";
}
