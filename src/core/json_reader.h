// A small JSON reader for answers of local services (the fleet
// orchestrator's SDK sidecar): a document becomes a tree of values, with the
// input's size, nesting and string lengths bounded before anything is kept.
// Numbers stay as their text; callers that want one convert it themselves.
#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TJsonValue {
  enum class TKind { Null, Bool, Number, String, Array, Object };
  TKind Kind = TKind::Null;
  bool Bool = false;
  std::string Text;  // a string's bytes (escapes resolved, UTF-8) or a number's text
  std::vector<TJsonValue> Items;
  std::vector<TJsonValue> Members;  // in document order, each with its Key
  std::string Key;                  // a member's name in its object

  // The member named key of an object; null for a missing key or a value that is no object.
  const TJsonValue* Member(std::string_view key) const;
  // The string at key, or nullopt when missing or not a string.
  std::optional<std::string> StringAt(std::string_view key) const;
};

inline constexpr size_t kJsonMaxBytes = 1 << 20;
inline constexpr int kJsonMaxDepth = 32;

// The document in text, or nullopt (with error naming the offset) when it is
// not one whole JSON value, is longer than kJsonMaxBytes or nests deeper than
// kJsonMaxDepth.
std::optional<TJsonValue> ParseJson(std::string_view text, std::string* error = nullptr);
// text as a JSON string literal, quotes included; control characters escaped.
std::string JsonQuote(std::string_view text);
