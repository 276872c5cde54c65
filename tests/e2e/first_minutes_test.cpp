// A new player's first minutes on the arena, as the real game shows them:
// the keys and the shop named at the first spawn, a bot's kill in the feed,
// and after death the view on a living team mate.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "screen_positions.h"

namespace {

// The hint lines (800 x 600): the shop at H - 165, the keys at H - 130, each
// one line of the HUD's small font on a dark band. Both lines are wider than
// the middle counted, and only their text is near white there.
constexpr int kHintX0 = 270, kHintX1 = 530;
constexpr int kShopY0 = 432, kShopY1 = 455, kKeysY0 = 467, kKeysY1 = 490;
constexpr int kSomeText = 40;

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

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

  // Two bots join the player's side and three the other; the unarmed player
  // is soon shot.
  game.Console({"addbot", "addbot", "addbot", "addbot", "addbot"});
  // A mate's view follows the death while one of the player's side lives;
  // when the player was its last, the round ends instead, and the next
  // death shows it.
  bool watching = false;
  for (size_t deaths = 1; deaths <= 4 && !watching; ++deaths) {
    ASSERT_TRUE(WaitUntil([&] { return Occurrences(game.Log(), " killed Player") >= deaths; }, 150000))
        << "step: a bot kills the player\n" << game.Log();
    if (deaths == 1) game.Shot("killed");
    watching = game.WaitForLog("Spectator: watching ", 5000);
  }
  ASSERT_TRUE(watching) << "step: the dead player watches a mate\n" << game.Log();
  SleepForMs(500);
  game.Shot("watching");

  game.Console({"quit"});
  EXPECT_EQ(game.WaitForExit(20000), 0) << game.Log();
}
