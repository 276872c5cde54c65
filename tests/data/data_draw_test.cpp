// The generated data drawn by the game's own code under Mesa: a map with its
// skybox from a spawn point, and the main menu with the new-game and setup
// dialogs over the menu background. Set GRIMVALE_DATA_SHOTS to a directory to
// keep the pictures for a look.
#include "data_tree.h"
#include "test_support.h"

#include "core/gl_api.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "fx/screenshot.h"
#include "gui/gui_manager.h"
#include "world/frustum.h"
#include "world/level.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

// Distinct colours in a grid of samples over the frame: a flat or missing
// picture gives a handful, a textured scene hundreds.
size_t ColourVariety(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  std::set<uint32_t> colours;
  for (int y = 0; y < height; y += 7)
    for (int x = 0; x < width; x += 7) {
      const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
      colours.insert((p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3));
    }
  return colours.size();
}

void KeepShot(const std::string& name) {
  if (const char* dir = std::getenv("GRIMVALE_DATA_SHOTS")) SaveScreenshot(std::string(dir) + "/" + name + ".bmp");
}

class DataDraw : public TScratchTree {
 protected:
  DataDraw() : TScratchTree(800, 600) {}
};

TEST_F(DataDraw, MapsLookLikeAPlaceFromTheirSpawnPoints) {
  for (const std::string& map : ListedMaps()) {
    SCOPED_TRACE(map);
    CopyMap(map);
    BuildLevel(map, 500);
    TLevel level(map, true);
    EXPECT_TRUE(MessageBoxes().empty()) << MessageBoxes().front().first;
    // Stand at each team's first spawn point at eye height, looking towards
    // the middle of the map.
    for (bool terrorist : {true, false}) {
      const TVec3 spawn = terrorist ? level.TerSpawns.at(0) : level.CTSpawns.at(0);
      const TVec3 eye{spawn.x, spawn.y + 0.65f, spawn.z};
      glViewport(0, 0, 800, 600);
      glEnable(GL_DEPTH_TEST);
      glDepthFunc(GL_LEQUAL);
      glMatrixMode(GL_PROJECTION);
      glLoadIdentity();
      gluPerspective(60, 800.0 / 600, 0.1, 1000);
      gluLookAt(eye.x, eye.y, eye.z, 0, 1.0f, 0, 0, 1, 0);
      glMatrixMode(GL_MODELVIEW);
      TFrustum frustum;
      for (int frame = 0; frame < 2; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        frustum.Update();
        glLoadIdentity();
        level.Render(frustum);
      }
      EXPECT_GT(ColourVariety(800, 600), 200u) << (terrorist ? "terrorists" : "counter-terrorists");
      KeepShot(map + (terrorist ? "_ter" : "_ct"));
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHTING);
  }
}

TEST_F(DataDraw, MenuDialogsDrawWithSkinsAndReadableText) {
  TGUIclass gui;
  LoadStartupFontsAndSkins(gui);
  TWindow& main = *gui.Windows[gui.CreateWindow(0, 0, 800, 600, 0, "Main-Window", "data\\GUI\\main.jpg")];
  main.SetZ(-9);
  main.Font = 6;
  main.SetVisible(true);
  const char* entries[] = {"New Game", "Join Game", "Setup", "Credits", "Exit"};
  for (int i = 0; i < 5; ++i) main.AddText(30, 600 - 110 + i * 20, entries[i], {162 / 255.0f, 0, 0, 1});
  std::vector<int32_t> dialogs(6, -1);
  ASSERT_TRUE(gui.LoadGUIFile("data\\GUI\\MainWindows.gui", dialogs));
  EXPECT_TRUE(MessageBoxes().empty()) << MessageBoxes().front().first;
  for (auto [dialog, x] : {std::pair{0, 20}, {2, 270}}) {
    TWindow& w = *gui.Windows[dialogs[dialog]];
    w.SetLeft(x);
    w.SetTop(100);
    w.SetVisible(true);
  }
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gui.SetOrtho(800, 600, -40, 40);
  glColor4f(1, 1, 1, 1);
  gui.Draw();
  EXPECT_GT(ColourVariety(800, 600), 150u);
  KeepShot("menu");

  // The in-game windows over a plain ground: shop, chat and scores.
  main.SetVisible(false);
  for (int32_t d : dialogs) gui.Windows[d]->SetVisible(false);
  const std::pair<const char*, std::pair<int, int>> ingame[] = {
      {"buy", {0, 0}}, {"Chat", {300, 420}}, {"choosecharacter", {480, 40}}};
  for (const auto& [file, at] : ingame) {
    std::vector<int32_t> index(1, -1);
    ASSERT_TRUE(gui.LoadGUIFile(std::string("data\\GUI\\") + file + ".gui", index));
    TWindow& w = *gui.Windows[index[0]];
    w.SetLeft(at.first);
    w.SetTop(at.second);
    w.SetVisible(true);
    if (std::string(file) != "buy") continue;
    // Two pistols laid out on panel 0 the way the shop fills its page.
    const TPanel& p = *w.Panels[0];
    const int s = static_cast<int>(std::lround(p.Height / 5.0)) - 18;
    const char* names[] = {"Hornet", "Marshal"};
    for (int i = 0; i < 2; ++i) {
      const int y = p.Y + (s + 10) * i;
      w.AddImage(p.X + 20, y + 20, s, s, false, 0, 0, std::string("data\\weapons\\") + names[i] + "\\graphic.jpg");
      w.Texts[w.AddText(p.X + s + 30, y + 23, names[i], {1, 1, 1, 1})]->Font = 6;
      w.Texts[w.AddText(p.X + s + 40, y + 40, "Damage: 12;      Accuracy: 6;      Cost: 200", {0, 0, 0, 1})]->Font = 6;
    }
  }
  EXPECT_TRUE(MessageBoxes().empty()) << MessageBoxes().front().first;
  glClearColor(0.2f, 0.3f, 0.25f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);
  gui.SetOrtho(800, 600, -40, 40);
  glColor4f(1, 1, 1, 1);
  gui.Draw();
  EXPECT_GT(ColourVariety(800, 600), 100u);
  KeepShot("ingame");
}

}  // namespace
