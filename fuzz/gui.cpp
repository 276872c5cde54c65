// .gui files on arbitrary bytes: the loader must refuse or accept without a
// fault; what it accepts must save and load again, and take mouse and key
// events without a fault.
#include "core/key_codes.h"
#include "core/platform.h"
#include "fuzz_support.h"
#include "gui/gui_manager.h"

namespace {

TGUIclass* NewManager() {
  auto* gui = new TGUIclass();
  gui->TextureLoader = [](const std::string&, unsigned&) {};
  gui->FontListBuilder = [](TFont&, const TFontGlyphs&) {};
  // The game's two skins and ten fonts, one of them without width.
  gui->Skins.resize(2);
  gui->Fonts.assign(10, TFont{0, 0, 7, 10, true});
  gui->Fonts[9].CharWidth = 0;
  return gui;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = FuzzInputFile(data, size, ".gui");
  SetMessageBoxSink([](const std::string&, const std::string&) {});  // boxes are expected here
  TGUIclass* gui = NewManager();
  std::vector<int32_t> indices(4, -1);
  if (gui->LoadGUIFile(path, indices)) {
    std::vector<int32_t> all;
    for (size_t i = 0; i < gui->Windows.size(); ++i)
      if (!gui->Windows[i]->IsChild) all.push_back(static_cast<int32_t>(i));
    // A file may mark every window it holds as a child; nothing is then left
    // to save.
    if (!all.empty()) {
      std::string again = path + ".again";
      if (!gui->SaveGUIFile(again, all)) __builtin_trap();
      TGUIclass* other = NewManager();
      std::vector<int32_t> none;
      if (!other->LoadGUIFile(again, none)) __builtin_trap();
      delete other;
    }
    for (auto& w : gui->Windows) w->Visible = true;
    const int32_t points[][2] = {{0, 0}, {5, 5}, {20, 12}, {100, 40}, {300, 200}, {-5, 7}};
    for (const auto& p : points) {
      for (int32_t button : {1, 3, 4}) {
        gui->MouseMove(p[0], p[1]);
        gui->MouseDown(p[0], p[1], button);
        gui->MouseMove(p[0] + 3, p[1] + 30);
        gui->MouseUp(p[0] + 3, p[1] + 30, button);
        for (uint16_t key : {kKeyA, kKeyBackspace, kKeyReturn, kKeyDelete, kKeyUp, kKeyLeft})
          gui->KeyDown(key);
      }
    }
  }
  delete gui;
  return 0;
}
