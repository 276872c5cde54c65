// A new player's first minutes on the arena, as the real game shows them:
// the keys and the shop named at the first spawn, a bot's kill in the feed,
// and after death the view on a living team mate.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "screen_positions.h"

namespace {

// The hint lines (800 x 600): the shop at H - 165, the keys at H - 130, each
// one line of the HUD's small font on a dark band.
constexpr int kHintX0 = 100, kHintX1 = 700;
constexpr int kShopY0 = 432, kShopY1 = 455, kKeysY0 = 467, kKeysY1 = 490;

void Console(TGameProcess& game, const std::vector<std::string>& lines) {
  game.Key("grave");
  SleepForMs(500);
  for (const std::string& line : lines) {
    game.Type(line);
    game.Key("Return");
    SleepForMs(300);
  }
  game.Key("grave");
  SleepForMs(300);
}

}  // namespace

TEST(EndToEnd, ANewPlayerIsToldTheKeysSeesABotsKillAndWatchesATeamMate) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TGameProcess game(x, "first-minutes");
  ASSERT_TRUE(game.WaitForLog("The Initialization has been done")) << "step: start\n" << game.Log();
  SleepForMs(1500);

  // Alone at first, so nothing moves while the hints are read.
  game.Click(kNewGameX, kNewGameY);
  SleepForMs(1000);
  game.Click(kBotsEndX, kBotsY);
  game.Key("BackSpace");
  game.Type("0");
  const std::string port = std::to_string(FreePort());
  game.ReplaceField(kHostPortX, kHostPortY, port);
  game.Click(kStartX, kStartY);
  ASSERT_TRUE(game.WaitForLog("Server started at TCPport " + port, 60000)) << "step: the arena loads\n" << game.Log();
  SleepForMs(1500);
  game.Click(kTerroristX, kTerroristY);
  // The side chosen ends the fresh server's empty round; the next starts 5 s later.
  SleepForMs(6500);

  const TScreen spawned = game.Shot("first-spawn");
  SleepForMs(11000);  // the keys are named for 10 s; the shop until a weapon is bought
  const TScreen later = game.Shot("keys-line-gone");
  EXPECT_GT(spawned.Crop(kHintX0, kKeysY0, kHintX1, kKeysY1).DifferenceTo(later.Crop(kHintX0, kKeysY0, kHintX1, kKeysY1)),
            0.03)
      << "step: the keys line shows at the first spawn, then goes";
  EXPECT_LT(spawned.Crop(kHintX0, kShopY0, kHintX1, kShopY1).DifferenceTo(later.Crop(kHintX0, kShopY0, kHintX1, kShopY1)),
            0.01)
      << "step: the shop line stays while the player has no weapon";

  // Two bots join the player's side and three the other; the unarmed player
  // is soon shot.
  Console(game, {"addbot", "addbot", "addbot", "addbot", "addbot"});
  ASSERT_TRUE(game.WaitForLog(" killed Player", 150000)) << "step: a bot kills the player\n" << game.Log();
  game.Shot("killed");
  ASSERT_TRUE(game.WaitForLog("Spectator: watching ", 10000)) << "step: the dead player watches a mate\n"
                                                              << game.Log();
  SleepForMs(500);
  game.Shot("watching");

  Console(game, {"quit"});
  EXPECT_EQ(game.WaitForExit(20000), 0) << game.Log();
}
