#include "data_tree.h"

#include "gui/gui_manager.h"

void LoadStartupFontsAndSkins(TGUIclass& gui) {
  const std::pair<const char*, float> fonts[] = {
      {"data\\fonts\\arial10.fnt", 1},         {"data\\fonts\\bodini10.fnt", 1},         {"data\\fonts\\verdana12.fci", 0.6f},
      {"data\\fonts\\couriernew48.fci", 0.5f},  {"data\\fonts\\couriernew48.fci", 0.35f}, {"data\\fonts\\couriernew48.fci", 1},
      {"data\\fonts\\couriernew48.fci", 0.45f}, {"data\\fonts\\couriernew48.fci", 2},     {"data\\fonts\\couriernew48.fci", 2.5f},
      {"data\\fonts\\brokenghost36.fci", 1}};
  for (const auto& [file, scale] : fonts) gui.LoadFont(file, scale);
  gui.LoadSkin("data\\skins\\windows\\");
  gui.LoadSkin("data\\skins\\black blood\\");
}
