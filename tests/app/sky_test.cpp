// The sky fills every direction: on each map the New Game list offers, from a
// spawn point, the game's own projection, camera and scene turn through the
// whole circle at pitches up to the limits, at the clipping planes' extremes
// and at a narrow and a wide screen, and no pixel keeps the clear colour.
#include "core/ini_file.h"
#include "driven_game.h"
#include "../frontend/front_fixture.h"
#include "world/level.h"

#include <memory>
#include <sstream>

namespace {

// A colour neither sky nor walls have: a pixel left so is a hole in both.
constexpr uint8_t kHole[3] = {255, 0, 255};

std::vector<std::string> ShippedMaps() {
  TIniFile list("data/maps/config.ini");
  std::vector<std::string> maps;
  for (int i = 0, n = list.ReadInteger("config", "maps", 0); i < n; ++i)
    maps.push_back(list.ReadString("config", "map" + std::to_string(i), ""));
  return maps;
}

class SkyTest : public FrontTest {
 protected:
  void SetUp() override {
    FrontTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    driven = std::make_unique<TDrivenGame>();
    UseStartGLState();
    glClearColor(kHole[0] / 255.0f, kHole[1] / 255.0f, kHole[2] / 255.0f, 1);
  }
  void TearDown() override {
    driven.reset();
    glClearColor(0, 0, 0, 1);
    SetScreen(800, 600);
    glViewport(0, 0, 800, 600);
    FrontTest::TearDown();
  }
  // Pixels of the clear colour in a frame drawn as Tgame::DrawFrame does,
  // on the projection the GUI pass left.
  static int Holes(const TCamPose& pose, int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    TCam::Apply(pose, 0);
    Game->DrawScene();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    int holes = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
      holes += rgb[i] == kHole[0] && rgb[i + 1] == kHole[1] && rgb[i + 2] == kHole[2];
    return holes;
  }

  std::unique_ptr<TDrivenGame> driven;
};

TEST_F(SkyTest, FillsEveryDirectionAtEveryClippingAndAspect) {
  using M = TMiscConfig;
  const std::pair<float, float> clippings[] = {{M::kMinNearClipping, M::kMinFarClipping},
                                               {M::kMinNearClipping, M::kMaxFarClipping},
                                               {M::kMaxNearClipping, M::kMinFarClipping},
                                               {M::kMaxNearClipping, M::kMaxFarClipping},
                                               {M::kDefaultNearClipping, M::kDefaultFarClipping}};
  const std::pair<int, int> screens[] = {{64, 48}, {128, 40}};
  TMiscConfig& misc = *GameVars->Misc;
  const float nearBefore = misc.NearClipping, farBefore = misc.FarClipping;
  const std::vector<std::string> maps = ShippedMaps();
  ASSERT_GE(maps.size(), 2u);
  for (const std::string& map : maps) {
    Game->StartLevel(map);
    ASSERT_TRUE(Game->Level && Characters) << map;
    TCharacter& player = *Characters->LocalCharacter;
    const TVec3 spawn = Game->Level->TerSpawns.at(0);
    player.SetPosition(spawn.x, spawn.y, spawn.z);
    for (auto [nearPlane, farPlane] : clippings)
      for (auto [width, height] : screens) {
        misc.NearClipping = nearPlane;
        misc.FarClipping = farPlane;
        SetScreen(width, height);
        GUIAdd->Draw();  // leaves the game's perspective for these settings
        glViewport(0, 0, width, height);
        std::ostringstream holes;
        for (int pitch = -80; pitch <= 80; pitch += 20)
          for (int yaw = 0; yaw < 360; yaw += 15) {
            int n = Holes(TCamPose{player.Position(), player.HeadSphere.Centre.y, float(yaw), float(pitch)}, width,
                          height);
            if (n) holes << " yaw " << yaw << " pitch " << pitch << ": " << n << ";";
          }
        EXPECT_EQ(holes.str(), "") << map << ", clipping " << nearPlane << " to " << farPlane << ", " << width << "x"
                                   << height;
      }
    Game->EndLevel();
  }
  misc.NearClipping = nearBefore;
  misc.FarClipping = farBefore;
}

}  // namespace
