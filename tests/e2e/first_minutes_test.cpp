// A new player's first minutes on the arena, as the real game shows them:
// the keys and the shop named at the first spawn, a bot's kill in the feed,
// and after death the view on a living team mate.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "screen_positions.h"

#include <regex>

namespace {

// The hint lines (800 x 600): the shop at H - 165, the keys at H - 130, each
// one line of the HUD's small font on a dark band. Both lines are wider than
// the middle counted, and only their text is near white there.
constexpr int kHintX0 = 270, kHintX1 = 530;
constexpr int kShopY0 = 432, kShopY1 = 455, kKeysY0 = 467, kKeysY1 = 490;
constexpr int kSomeText = 40;

}  // namespace

TEST(EndToEnd, ANewPlayerIsToldTheKeysSeesABotsKillAndWatchesATeamMate) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TGameProcess game(x, "first-minutes");
  ASSERT_TRUE(game.WaitForLog("The Initialization has been done")) << "step: start\n" << game.Log();
  SleepForMs(1500);

  // Alone at first, so nothing moves while the hints are read.
  const std::string port = HostAlone(game);
  ASSERT_TRUE(game.WaitForLog("Server started at TCPport " + port, 60000)) << "step: the arena loads\n" << game.Log();
  SleepForMs(1500);
  game.Click(kTerroristX, kTerroristY);
  // The side chosen ends the fresh server's empty round; the next starts 5 s later.
  SleepForMs(6500);

  const TScreen spawned = game.Shot("first-spawn");
  SleepForMs(11000);  // the keys are named for 10 s; the shop until a weapon is bought
  const TScreen later = game.Shot("keys-line-gone");
  // Text counted, not the whole picture: a respawn between the shots moves the scene.
  EXPECT_GT(spawned.WhitePixels(kHintX0, kKeysY0, kHintX1, kKeysY1), kSomeText)
      << "step: the keys line shows at the first spawn";
  EXPECT_LT(later.WhitePixels(kHintX0, kKeysY0, kHintX1, kKeysY1), 5) << "step: the keys line goes";
  const int shopBefore = spawned.WhitePixels(kHintX0, kShopY0, kHintX1, kShopY1);
  const int shopAfter = later.WhitePixels(kHintX0, kShopY0, kHintX1, kShopY1);
  EXPECT_GT(shopBefore, kSomeText) << "step: the shop line shows while the player has no weapon";
  EXPECT_NEAR(shopAfter, shopBefore, shopBefore / 4) << "step: the shop line stays while the player has no weapon";

  // Two bots join the player's side and three the other, and a new round
  // starts them all together (after its 5 s pause). The player falls at
  // once, so the mates are sure to live on for the moment the view stays on
  // the body; a wait for a bot to kill the player would often end with the
  // player its side's last, and with the round.
  game.Console({"addbot", "addbot", "addbot", "addbot", "addbot", "respawn"});
  SleepForMs(7500);
  game.Console({"suicide"});
  ASSERT_TRUE(game.WaitForLog("Spectator: watching ", 15000)) << "step: the dead player watches a mate\n"
                                                                << game.Log();
  SleepForMs(500);
  game.Shot("watching");

  // The sides meet: a bot's kill reaches the feed.
  const std::regex botKill(R"(KillFeed: (Alder|Basil|Cedar|Dagny|Ember) killed )");
  ASSERT_TRUE(WaitUntil([&] { return std::regex_search(game.Log(), botKill); }, 150000))
      << "step: a bot kills\n" << game.Log();
  game.Shot("killed");

  game.Console({"quit"});
  EXPECT_EQ(game.WaitForExit(20000), 0) << game.Log();
}
