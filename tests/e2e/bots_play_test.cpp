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
  const TScreen menu = WaitForMainMenu(game);

  const TScreen dialog = ClickAndWaitForChange(game, kNewGameX, kNewGameY, menu, 0.2, "new-game");
  EXPECT_GT(dialog.Crop(kBotsX0, kBotsY0, kBotsX1, kBotsY1).DifferenceTo(menu.Crop(kBotsX0, kBotsY0, kBotsX1, kBotsY1)),
            0.15)
      << "step: the dialog shows its Bots field";

  const std::string port = std::to_string(FreePort());
  game.ReplaceField(kHostPortX, kHostPortY, port);
  game.Click(kStartX, kStartY);
  ASSERT_TRUE(game.WaitForLog("has been loaded", 60000)) << "step: the arena loads\n" << game.Log();
  ASSERT_TRUE(game.WaitForLog("Server started at TCPport " + port + "; UDPport: " + port))
      << "step: the server starts on the port typed\n" << game.Log();
  TScreen choice;
  game.WaitForScreen("choice", [&](const TScreen& s) { return s.DifferenceTo(dialog) > 0.3; }, choice);

  // The side chosen starts the round; the bots waited for it.
  EXPECT_EQ(game.LogCount("KillFeed: "), 0) << "step: no fight before the side is chosen\n" << game.Log();
  const TScreen playing = ClickAndWaitForChange(game, kCounterX, kCounterY, choice, 0.2, "in-game");
  ASSERT_TRUE(game.WaitForLog("Round started: ", 10000)) << "step: the side starts the round\n" << game.Log();
  game.KeyDown("Tab");
  TScreen before;
  game.WaitForScreen("statistics-at-start", [&](const TScreen& s) { return s.DifferenceTo(playing) > 0.2; }, before, 5000);
  game.KeyUp("Tab");
  // A kill logged from here on happened after the picture, whoever made it.
  const int killsSeen = game.LogCount("KillFeed: ");
  ASSERT_TRUE(WaitUntil([&] { return game.LogCount("KillFeed: ") > killsSeen; }, 150000)) << "step: a kill\n"
                                                                                         << game.Log();
  game.KeyDown("Tab");
  TScreen statistics;
  EXPECT_TRUE(game.WaitForScreen("statistics", [&](const TScreen& s) { return KillsDiffer(before, s); }, statistics))
      << "step: the statistics show kills\n" << game.Log();
  game.KeyUp("Tab");

  game.Console({"quit"});
  EXPECT_EQ(game.WaitForExit(20000), 0) << "step: quit from the console\n" << game.Log();
}
