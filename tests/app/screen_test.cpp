// Pictures of the windows as the game draws them: the main menu, the HUD on
// the arena, the buy window, the character choice and a dead player watching
// a team mate. Each is checked for a
// few landmarks and kept as a TGA file (in $GRIMVALE_SHOTS when set).
#include "app/camera.h"
#include "app/game.h"
#include "core/gl_api.h"
#include "core/paths.h"
#include "driven_game.h"
#include "../frontend/front_fixture.h"
#include "render/image_writers.h"
#include "render/render_pass.h"
#include "world/level.h"

#include <cstdlib>
#include <fstream>
#include <memory>

namespace {
struct TShot {
  int W = 0, H = 0;
  std::vector<uint8_t> Rgb;  // bottom row first, as GL reads it
  // The pixel at (x, y) in screen coordinates (y down).
  const uint8_t* At(int x, int y) const { return &Rgb[static_cast<size_t>(((H - 1 - y) * W + x) * 3)]; }
};

class ScreenTest : public FrontTest {
 protected:
  void SetUp() override {
    FrontTest::SetUp();
    UseStartGLState();
    glViewport(0, 0, 800, 600);
  }
  static TShot Take(const std::string& name) {
    TShot shot{800, 600, std::vector<uint8_t>(800 * 600 * 3)};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, shot.W, shot.H, GL_RGB, GL_UNSIGNED_BYTE, shot.Rgb.data());
    // The file's rows run top first.
    std::vector<uint8_t> bgr(shot.Rgb.size());
    for (int y = 0; y < shot.H; ++y)
      for (int x = 0; x < shot.W; ++x)
        for (int c = 0; c < 3; ++c) bgr[static_cast<size_t>((y * shot.W + x) * 3 + c)] = shot.At(x, y)[2 - c];
    const char* dir = std::getenv("GRIMVALE_SHOTS");
    std::ofstream(std::string(dir ? dir : ".") + "/" + name + ".tga", std::ios::binary)
        << TGAFileBytes(shot.W, shot.H, bgr);
    return shot;
  }
  static void DrawMenu() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    GUIAdd->Draw();
    glFinish();
  }
  // The real driver on the arena, its character choice showing.
  void StartArena() {
    driven = std::make_unique<TDrivenGame>();
    InitShaders(false);
    Game->StartLevel("arena");
  }
  void StopArena() { driven.reset(); }
  // A frame of the game from wherever the view is (the player's eyes, or
  // those of the mate a dead player watches).
  static TShot ArenaFrame(const std::string& name) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const TSpectatorView view = Characters->Spectator.View(*Characters);
    TCam::Apply(view.Pose, view.CharacterId < 0 ? 0 : Game->CamMode);
    Game->RenderScene();
    glFinish();
    return Take(name);
  }

  std::unique_ptr<TDrivenGame> driven;
};

// The entries themselves are measured in tests/frontend/menu_test.cpp.
TEST_F(ScreenTest, MainMenuShowsItsPicture) {
  TShot shot = (DrawMenu(), Take("main_menu"));
  int lit = 0;
  for (size_t i = 0; i < shot.Rgb.size(); i += 3 * 97) lit += shot.Rgb[i] + shot.Rgb[i + 1] + shot.Rgb[i + 2] > 60;
  EXPECT_GT(lit, 100);
}

TEST_F(ScreenTest, NewGameDialogOverTheMenu) {
  Click(*Win(MainWindow)->Texts[0]);
  DrawMenu();
  Take("new_game");
  HideWindow(NewGameWindow);
}

TEST_F(ScreenTest, JoinDialogWithItsListOfGames) {
  Click(*Win(MainWindow)->Texts[1]);
  TWindow& join = *Win(JoinWindow);
  join.EditFields[1]->Lines = {"Arena Server   arena     3/8     5020/5020", "Compound Nights compound 12/16   6000/6001"};
  join.Texts[5]->SetText("2 games found - click one to choose it");
  DrawMenu();
  TShot shot = Take("join_games");
  // Light text on both lines of the list, none below them.
  auto lit = [&](int top, int bottom) {
    int n = 0;
    for (int y = join.Y + top; y < join.Y + bottom; ++y)
      for (int x = join.X + 40; x < join.X + 400; ++x) n += shot.At(x, y)[0] > 180 && shot.At(x, y)[1] > 170;
    return n;
  };
  EXPECT_GT(lit(302, 320), 20);
  EXPECT_GT(lit(320, 338), 20);
  EXPECT_EQ(lit(345, 410), 0);
  HideWindow(JoinWindow);
}

TEST_F(ScreenTest, WhileALevelLoadsItsNameAndLoadingAreShown) {
  GUIAdd->DrawLoading("arena");
  glFinish();
  TShot shot = Take("loading");
  auto litRows = [&](int top, int bottom) {
    int lit = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 300; x < 500; ++x) lit += shot.At(x, y)[0] > 128;
    return lit;
  };
  EXPECT_GT(litRows(260, 300), 20);  // the name
  EXPECT_GT(litRows(310, 330), 20);  // "Loading..."
  EXPECT_EQ(litRows(0, 200), 0);
}

// The real driver on the arena: level start with the character choice, then
// the HUD and the buy window.
TEST_F(ScreenTest, ArenaWithCharacterChoiceHudAndBuyWindow) {
  StartArena();
  ASSERT_TRUE(Characters);
  EXPECT_TRUE(Win(ChooseCharacterWindow)->Visible);
  EXPECT_TRUE(Game->CursorVisible);
  ArenaFrame("character_choice");
  Click(*Win(ChooseCharacterWindow)->Images[0]);
  EXPECT_FALSE(Game->CursorVisible);
  TCharacter& player = *Characters->LocalCharacter;
  player.SetHealth(100);
  player.Money = 800;
  TShot hud = ArenaFrame("hud");
  // The cross-hair's middle is lit (added on top of the scene).
  const uint8_t* centre = hud.At(400, 300);
  EXPECT_GT(centre[0] + centre[1] + centre[2], 0);
  Win(BuyWindow)->SetVisible(true);
  ArenaFrame("buy_window");
  // An error in game ends the level and leaves its window over the menu.
  Game->ShowError("Connection to the server lost", "Network");
  EXPECT_FALSE(Game->LevelRunning);
  EXPECT_TRUE(Win(ErrorWindow)->Visible);
  DrawMenu();
  TShot error = Take("error_over_menu");
  const TWindow& box = *Win(ErrorWindow);
  const uint8_t* text = nullptr;
  for (int x = box.X + 20; x < box.X + box.Width - 20 && !text; ++x)
    if (error.At(x, box.Y + 50 + 5)[1] > 200) text = error.At(x, box.Y + 55);
  EXPECT_TRUE(text) << "the white message is drawn over the menu";
  EXPECT_TRUE(Win(MainWindow)->Visible);
  EXPECT_FALSE(Win(IngameForm)->Visible);
  StopArena();
}

// Dead on the arena: the view is a team mate's, through their eyes and from
// above, with their name at the top of the screen.
TEST_F(ScreenTest, ADeadPlayerWatchesATeamMateOnTheArena) {
  StartArena();
  ASSERT_TRUE(Characters);
  Click(*Win(ChooseCharacterWindow)->Images[0]);
  TCharacter& player = *Characters->LocalCharacter;
  TCharacter& rex = *Characters->At(Characters->Add(player.ModelNr, 0, 0, 0));
  rex.SetName("Rex");
  rex.SetHealth(100);
  const TSpawnPoint spawn = Characters->Level()->ChooseSpawn(rex.Team == 1);
  rex.MoveCentreTo(spawn.Position);
  rex.SetView(spawn.Yaw, 0);
  player.SetHealth(100);
  player.SetHealth(0);
  Characters->Now += 5000;  // the red of death has faded
  Characters->Spectator.Cycle(*Characters, 1);
  ASSERT_EQ(Characters->Spectator.WatchedId(), rex.Id);
  // The name's band below the round clock: light letters on it.
  auto nameShown = [](const TShot& shot) {
    int light = 0;
    for (int y = 85; y < 85 + 20; ++y)
      for (int x = 250; x < 550; ++x) light += shot.At(x, y)[0] > 200 && shot.At(x, y)[1] > 200;
    return light;
  };
  EXPECT_GT(nameShown(ArenaFrame("watching_mate")), 30);
  Game->CamMode = 2;
  EXPECT_GT(nameShown(ArenaFrame("watching_mate_from_above")), 30);
  Game->CamMode = 0;
  Game->EndLevel();
  StopArena();
}
}  // namespace
