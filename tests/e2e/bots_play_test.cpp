// A game with bots from the main menu with the real binary: New Game with the
// Bots field's default of three on the arena, the player joins the
// counter-terrorists and stands still, and the statistics window (Tab) soon
// shows kills.
#include "e2e_support.h"
#include "screen_positions.h"

#include <gtest/gtest.h>

namespace {

// The statistics window (640 x 420, centred): its two kills columns.
constexpr int kStatsX = 80, kStatsY = 90;
constexpr int kKillsX[2] = {kStatsX + 200, kStatsX + 514};
constexpr int kKillsWidth = 54, kKillsTop = kStatsY + 96, kKillsBottom = kStatsY + 396;

// The kills columns only: they change when, and only when, somebody's kills
// do (every row stays on its side: the player's choice evens the teams).
bool KillsDiffer(const TScreen& a, const TScreen& b) {
  for (int x0 : kKillsX)
    for (int y = kKillsTop; y < kKillsBottom; ++y)
      for (int x = x0; x < x0 + kKillsWidth; ++x)
        if (a.At(x, y) != b.At(x, y)) return true;
  return false;
}

}  // namespace

TEST(EndToEnd, ANewGameWithThreeBotsShowsKillsInTheStatistics) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TGameProcess game(x, "bots");
  ASSERT_TRUE(game.WaitForLog("The Initialization has been done")) << "step: start\n" << game.Log();
  SleepForMs(1500);
  const TScreen menu = game.Shot("main-menu");

  game.Click(kNewGameX, kNewGameY);
  SleepForMs(1000);
  const TScreen dialog = game.Shot("new-game");
  EXPECT_GT(dialog.Crop(kBotsX0, kBotsY0, kBotsX1, kBotsY1).DifferenceTo(menu.Crop(kBotsX0, kBotsY0, kBotsX1, kBotsY1)),
            0.15)
      << "step: the dialog shows its Bots field";

  const std::string port = std::to_string(FreePort());
  game.ReplaceField(kHostPortX, kHostPortY, port);
  game.Click(kStartX, kStartY);
  ASSERT_TRUE(game.WaitForLog("has been loaded", 60000)) << "step: the arena loads\n" << game.Log();
  ASSERT_TRUE(game.WaitForLog("Server started at TCPport " + port + "; UDPport: " + port))
      << "step: the server starts on the port typed\n" << game.Log();
  SleepForMs(1500);
  game.Click(kCounterX, kCounterY);
  SleepForMs(1500);

  // Nobody has fought yet: the fresh server's empty round ends within 3 s,
  // the first real one starts 5 s later.
  game.KeyDown("Tab");
  SleepForMs(600);
  const TScreen before = game.Shot("statistics-at-start");
  game.KeyUp("Tab");

  // Within 60 s of play; a loaded machine may give the game fewer frames,
  // and so less game time, than the wall clock passes.
  bool kills = false;
  for (int waited = 0; waited < 150000 && !kills; waited += 5000) {
    SleepForMs(4400);
    game.KeyDown("Tab");
    SleepForMs(600);
    kills = KillsDiffer(before, game.Shot("statistics"));
    game.KeyUp("Tab");
  }
  EXPECT_TRUE(kills) << "step: the statistics show kills\n" << game.Log();

  game.Key("grave");
  SleepForMs(800);
  game.Type("quit");
  game.Key("Return");
  EXPECT_EQ(game.WaitForExit(20000), 0) << "step: quit from the console\n" << game.Log();
}
