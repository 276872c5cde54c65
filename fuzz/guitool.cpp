// guitool's text form on arbitrary text: building must refuse or succeed
// without a fault, and what it builds must dump and build to the same bytes.
#include "gui/gui_text.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size), bytes, error;
  if (!GuiBuild(text, bytes, error)) return 0;
  std::string dump, again;
  if (!GuiDump(bytes, dump, error)) __builtin_trap();
  if (!GuiBuild(dump, again, error) || again != bytes) __builtin_trap();
  return 0;
}
