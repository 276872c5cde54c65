// A new player's first minutes on the arena, as the real game shows them:
// the round that waits for the player's side, the keys and the shop named at
// the first spawn, after death the view on a living team mate, and a bot's
// kill in the feed. Every step waits for what the game logs or shows, and
// none depends on who wins a fight.
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

  // Alone at first, so nothing moves while the hints are read. The round
  // waits for the side; choosing it starts the round with the player alive.
  const std::string port = HostAlone(game);
  ASSERT_TRUE(game.WaitForLog("Server started at TCPport " + port, 60000)) << "step: the arena loads\n" << game.Log();
  game.Click(kTerroristX, kTerroristY);
  ASSERT_TRUE(game.WaitForLog("Round started: 1 terrorists, 0 counter-terrorists", 10000)) << "step: the side starts the round\n"
                                                                     << game.Log();

  auto keysText = [&](const TScreen& s) { return s.WhitePixels(kHintX0, kKeysY0, kHintX1, kKeysY1); };
  auto shopText = [&](const TScreen& s) { return s.WhitePixels(kHintX0, kShopY0, kHintX1, kShopY1); };
  TScreen spawned;
  EXPECT_TRUE(WaitUntil([&] { return keysText(spawned = game.Shot("first-spawn")) > kSomeText; }, 10000))
      << "step: the keys line shows at the first spawn";
  const int shopBefore = shopText(spawned);
  EXPECT_GT(shopBefore, kSomeText) << "step: the shop line shows while the player has no weapon";
  // The keys are named for 10 s; the shop until a weapon is bought.
  TScreen later;
  EXPECT_TRUE(WaitUntil([&] { return keysText(later = game.Shot("keys-line-gone")) < 5; }, 30000))
      << "step: the keys line goes";
  EXPECT_NEAR(shopText(later), shopBefore, shopBefore / 4) << "step: the shop line stays while the player has no weapon";

  // Two team mates and no enemy: nobody can kill the mates, so after the
  // player's fall the view is sure to find one.
  game.Console({"addbot t", "addbot t", "respawn"});
  ASSERT_TRUE(game.WaitForLog("Round started: 3 terrorists, 0 counter-terrorists", 20000)) << "step: the mates play\n" << game.Log();
  game.Console({"suicide"});
  ASSERT_TRUE(game.WaitForLog("Spectator: watching ", 15000)) << "step: the dead player watches a mate\n"
                                                                << game.Log();
  game.Shot("watching");

  // Three enemies, and the sides meet in the next round: a bot's kill
  // reaches the feed, whichever side it is on.
  game.Console({"addbot ct", "addbot ct", "addbot ct", "respawn"});
  ASSERT_TRUE(game.WaitForLog("Round started: 3 terrorists, 3 counter-terrorists", 20000)) << "step: the sides meet\n"
                                                                                           << game.Log();
  const std::regex botKill(R"(KillFeed: (Alder|Basil|Cedar|Dagny|Ember) killed )");
  ASSERT_TRUE(WaitUntil([&] { return std::regex_search(game.Log(), botKill); }, 150000))
      << "step: a bot kills\n" << game.Log();
  game.Shot("killed");

  game.Console({"quit"});
  EXPECT_EQ(game.WaitForExit(20000), 0) << game.Log();
}
