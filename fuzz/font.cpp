// The .fnt and .fci readers on arbitrary bytes, through the manager's font
// loader (first byte chooses the kind and scale).
#include "core/platform.h"
#include "fuzz_support.h"
#include "gui/gui_manager.h"
#include "core/binary_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  SetMessageBoxSink([](const std::string&, const std::string&) {});  // boxes are expected here
  const bool fci = data[0] & 1;
  const float scale = (data[0] >> 1) / 16.0f;
  // The name carries the kind and, for .fnt, the size.
  static const std::string base = "/tmp/grimvale-fuzz-" + std::to_string(getpid()) + "-font";
  std::string path = base + (fci ? "12.fci" : "10.fnt");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data + 1, 1, size - 1, f);
  std::fclose(f);
  TGUIclass gui;
  gui.TextureLoader = [](const std::string&, unsigned&) {};
  int32_t checked = 0;
  gui.FontListBuilder = [&](TFont& font, const TFontGlyphs& glyphs) {
    for (int c = 0; c < 256; ++c) {
      if (!glyphs.IsFci && glyphs.Widths[c] > 16) __builtin_trap();
      checked += glyphs.IsFci ? font.CharWidth != 0 : glyphs.Widths[c];
    }
  };
  try {
    int32_t index = gui.LoadFont(path, scale);
    if (!gui.Fonts[index].InUse) __builtin_trap();
  } catch (const EFileOpenError&) {
  }
  return checked == -1;
}
