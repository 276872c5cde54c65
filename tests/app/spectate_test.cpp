// Watching after death through the game's own frame: the event handler's
// tick chooses the mate, the drawn frame puts the camera on them in every
// camera mode, a click changes whom, the HUD names them, the movement keys
// fly the free camera once no mate lives, and the respawn brings the view home.
#include "event_handler_fixture.h"
#include "core/gl_api.h"
#include "core/platform.h"
#include "frontend/gui_add.h"
#include "frontend/hud_spectator.h"

namespace {

class SpectateTest : public EventHandlerTest {
 protected:
  void SetUp() override {
    EventHandlerTest::SetUp();
    // The GUI pass ends a frame with a fresh perspective, which would hide
    // the view the frame put on the projection (the windows stay from an
    // earlier test of this process).
    savedGui = GUIAdd;
    GUIAdd = nullptr;
    SetTickSource([this] { return now; });
    player->SetModel(0);
    player->SetHealth(100);
  }
  void TearDown() override {
    SetTickSource(nullptr);
    GUIAdd = savedGui;
    EventHandlerTest::TearDown();
  }
  void TickAt(uint32_t t) {
    now = t;
    EventHandler->Tick();
  }
  TCharacter& Mate(int32_t model, const char* name) {
    TCharacter& c = Player(model, {});
    c.SetName(name);
    return c;
  }
  static void Place(TCharacter& c, TVec3 at, float yaw) {
    c.MoveCentreTo(at);
    c.SetView(yaw, 5);
  }
  // The view the drawn frame multiplied onto a projection of identity.
  static std::vector<float> FrameView() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    Game->DrawFrame();
    std::vector<float> m(16);
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    return m;
  }
  static std::vector<float> ViewFrom(const TCharacter& c, int mode) {
    std::vector<float> m(16);
    TCam::ViewMatrix(TCamPose{c.Position(), c.HeadSphere.Centre.y, c.Yaw, c.Pitch}, mode, m.data());
    return m;
  }
  static void ExpectSameView(const std::vector<float>& a, const std::vector<float>& b, const char* what) {
    for (size_t i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], 1e-4f) << what << " element " << i;
  }

  uint32_t now = 50000;
  TGUIAdd* savedGui = nullptr;
};

TEST_F(SpectateTest, ADeadPlayerWatchesALivingMateInEveryCameraModeAndAClickChangesWhom) {
  REQUIRE_GL_WINDOW(320, 240);
  TCharacter& rex = Mate(1, "Rex");
  TCharacter& sam = Mate(0, "Sam");
  TCharacter& tom = Mate(10, "Tom");
  Characters->RestartRound();  // everybody alive and counted
  Place(rex, {4, 1, 0}, 30);
  Place(sam, {-9, 1, 2}, 200);
  Place(tom, {1, 1, 0}, 0);  // the enemy stands nearest
  Place(*player, {0, 1, 0}, 0);
  TickAt(now);
  ExpectSameView(FrameView(), ViewFrom(*player, 0), "alive: the own eyes");

  player->SetHealth(0);
  TickAt(now + 1000);
  ExpectSameView(FrameView(), ViewFrom(*player, 0), "a moment on the own body");
  EXPECT_EQ(SpectatorLine(*Characters), "");
  TickAt(now + TSpectator::kOwnBodyMs);
  ExpectSameView(FrameView(), ViewFrom(rex, 0), "the nearest mate's eyes");
  EXPECT_EQ(SpectatorLine(*Characters), "Watching Rex (click for the next)");
  for (int mode : {1, 2}) {
    Press(Game->KeyCamera.Key);
    ExpectSameView(FrameView(), ViewFrom(rex, mode), "the camera modes go on working");
  }
  Press(Game->KeyCamera.Key);
  Motion(40, 20);  // the watched mate looks where they look
  ExpectSameView(FrameView(), ViewFrom(rex, 0), "mouse look while watching");

  EventHandler->MouseDown(1, 0, 0);
  ExpectSameView(FrameView(), ViewFrom(sam, 0), "a click: the next mate");
  EXPECT_EQ(SpectatorLine(*Characters), "Watching Sam (click for the next)");
  EXPECT_FALSE(EventHandler->FireHeld);
  EventHandler->MouseDown(3, 0, 0);
  EXPECT_EQ(Characters->Spectator.WatchedId(), rex.Id) << "the other button steps back";

  rex.SetHealth(0);
  TickAt(now + 4000);
  EXPECT_EQ(Characters->Spectator.WatchedId(), sam.Id) << "the watched mate died";

  sam.SetHealth(0);
  TickAt(now + 4100);
  EXPECT_EQ(SpectatorLine(*Characters), "No team mate alive: free camera");
  const TCamPose start = Characters->Spectator.View(*Characters).Pose;
  EXPECT_EQ(start.Position.x, sam.X) << "the free camera starts at the last mate's eyes";
  GameVars->Mouse->MouseSpeed = 1;
  GameVars->Mouse->MouseAcc = 1;
  const float playerYaw = player->Yaw;
  Motion(-200, 0);  // turn to yaw 0, looking along +x
  EXPECT_EQ(player->Yaw, playerYaw) << "the mouse turns the free camera, not the body";
  EventHandler->KeyDown(TKeySym{0, Game->KeyForward.Key, 0, 0});
  TickAt(now + 4140);
  EventHandler->KeyUp(TKeySym{0, Game->KeyForward.Key, 0, 0});
  const TCamPose flown = Characters->Spectator.View(*Characters).Pose;
  EXPECT_GT(flown.Position.x, start.Position.x) << "the movement keys fly it";
  float expected[16];
  TCam::ViewMatrix(flown, 0, expected);
  ExpectSameView(FrameView(), std::vector<float>(expected, expected + 16), "the free camera's eye");

  player->SetHealth(100);  // the respawn
  TickAt(now + 9000);
  ExpectSameView(FrameView(), ViewFrom(*player, 0), "back in the own eyes");
  EXPECT_EQ(SpectatorLine(*Characters), "");
}

}  // namespace
