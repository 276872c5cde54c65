// The sidecar's GameServer answer on arbitrary bytes: the JSON reader never
// crashes, hangs or reads past the text, and every string it hands back
// quotes and reads back to itself.
#include <string_view>

#include "core/json_reader.h"
#include "net/agones_gameserver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<TGameServerView> view = ParseGameServer(text);
  if (!view) return 0;
  for (const auto& [key, value] : view->Annotations)
    for (const std::string* s : {&key, &value}) {
      const std::optional<TJsonValue> again = ParseJson(JsonQuote(*s));
      if (!again || again->Text != *s) __builtin_trap();
    }
  return 0;
}
