// The game's window files: the text form under assets/gui/ (the one guitool
// dumps and builds) compiled into data/GUI/*.gui, and the pictures the shop
// window's page buttons show.
#include "canvas.h"
#include "generators.h"
#include "glyphs.h"
#include "gui/gui_text.h"

#include <cmath>
#include <stdexcept>

namespace {

// A page button of the shop: a dark plate with a silhouette and its name.
TCanvas ShopTab(const std::string& title, int kind) {
  TCanvas c(128, 128, Hex(0x1a1616));
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      c.At(x, y) = Scale(Mix(Hex(0x3a3232), Hex(0x141010), y / 127.0f), 0.9f + 0.2f * Fbm(x / 10.0f, y / 10.0f, 0, 3, 1201));
  c.Bevel(0, 0, 128, 128, 4, 0.5f, false);
  const TRGBA ink = Hex(0xd8d0c8);
  switch (kind) {
    case 0:  // pistol
      c.FillRect(34, 34, 96, 48, ink);
      c.FillRect(40, 48, 56, 78, ink);
      c.Line(56, 56, 64, 52, 3, ink);
      break;
    case 1:  // rifle
      c.FillRect(14, 40, 112, 50, ink);
      c.FillRect(14, 50, 36, 62, ink);
      c.FillRect(56, 50, 66, 72, ink);
      c.FillRect(78, 50, 86, 62, ink);
      break;
    default:  // vest
      c.FillRect(44, 28, 84, 80, ink);
      c.Disc(64, 30, 12, Hex(0x2a2424));
      c.FillRect(38, 34, 48, 70, ink);
      c.FillRect(80, 34, 90, 70, ink);
      break;
  }
  TFontFace face("dejavu/DejaVuSans-Bold.ttf", 18);
  face.DrawText(c, (128 - face.TextWidth(title)) / 2, 110, title, Hex(0xe83030));
  return c;
}

}  // namespace

void BuildWindows(TDataTree& tree) {
  for (const char* name : {"MainWindows", "buy", "Statistik", "Chat", "choosecharacter"}) {
    std::string bytes, error;
    if (!GuiBuild(tree.Asset(std::string("gui/") + name + ".txt"), bytes, error))
      throw std::runtime_error(std::string("assets/gui/") + name + ".txt: " + error);
    tree.Add(std::string("GUI/") + name + ".gui", bytes);
  }
  tree.Add("GUI/buy_pistols.tga", ShopTab("Pistols", 0).TGA32());
  tree.Add("GUI/buy_rifles.tga", ShopTab("Rifles", 1).TGA32());
  tree.Add("GUI/buy_equipment.tga", ShopTab("Equipment", 2).TGA32());
}
