// A new player's first game with the real binary: the main menu on a fresh
// start, New Game on the arena, the character choice, walking, buying a
// pistol, and quitting from the console with the settings written.
#include "e2e_support.h"
#include "screen_positions.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The HUD's money: (W div 4) x 3 - 40 .. + 120, H - 85 .. H - 45.
constexpr int kMoneyX0 = 560, kMoneyY0 = 515, kMoneyX1 = 680, kMoneyY1 = 555;

}  // namespace

TEST(EndToEnd, FromTheMainMenuToAPurchaseAndQuit) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TGameProcess game(x, "play", {}, "", TSettings::Fresh);
  ASSERT_FALSE(std::filesystem::exists(game.Dir() / "config.ini"));
  ASSERT_TRUE(game.WaitForLog("The Initialization has been done")) << "step: start\n" << game.Log();

  const TScreen menu = WaitForMainMenu(game);
  ASSERT_EQ(menu.Width, 800) << "step: the main menu shows its title";
  // The caption follows the frame rate (it once kept the count of the first frame).
  EXPECT_TRUE(WaitUntil([&] { return game.Title().find(" FPS]") != std::string::npos && game.Title() != "Grimvale [1 FPS]"; }, 5000))
      << "step: caption " << game.Title();

  const TScreen dialog = ClickAndWaitForChange(game, kNewGameX, kNewGameY, menu, 0.2, "new-game");
  EXPECT_GT(dialog.DifferenceTo(menu), 0.2) << "step: the New Game dialog opens";
  // Alone: no bot may shoot the player before the purchase.
  const std::string port = StartAlone(game);
  ASSERT_TRUE(game.WaitForLog("has been loaded", 60000)) << "step: the arena loads\n" << game.Log();
  EXPECT_TRUE(game.WaitForLog("Server started at TCPport " + port + "; UDPport: " + port))
      << "step: the server starts on the port typed\n" << game.Log();
  TScreen choice;
  EXPECT_TRUE(game.WaitForScreen("character-choice", [&](const TScreen& s) { return s.DifferenceTo(dialog) > 0.3; }, choice))
      << "step: the character choice over the level";

  // The side chosen starts the round, the player at a spawn point.
  const TScreen standing = ClickAndWaitForChange(game, kTerroristX, kTerroristY, choice, 0.2, "in-game");
  EXPECT_TRUE(game.WaitForLog("Round started: 1 terrorists", 10000)) << "step: the round starts\n" << game.Log();
  EXPECT_GT(standing.DifferenceTo(choice), 0.2) << "step: the character choice closes";

  game.KeyDown("w");
  TScreen walked;
  const bool moved =
      game.WaitForScreen("walked", [&](const TScreen& s) { return s.DifferenceTo(standing) > 0.05; }, walked);
  game.KeyUp("w");
  EXPECT_TRUE(moved) << "step: holding forward changes the view";
  // The player slows down after the key is let go: the buy window is told
  // from a view that has come to rest, not from one still moving.
  EXPECT_TRUE(WaitForStillScreen(game, "stopped", walked)) << "step: the player comes to rest";

  game.Key("b");
  TScreen shop;
  EXPECT_TRUE(game.WaitForScreen("buy-window", [&](const TScreen& s) { return s.DifferenceTo(walked) > 0.3; }, shop))
      << "step: the buy window opens";
  game.Click(kSecondPistolX, kSecondPistolY);
  EXPECT_TRUE(game.WaitForLog("You successfully bought a ", 10000)) << "step: the purchase\n" << game.Log();
  auto money = [](const TScreen& s) { return s.Crop(kMoneyX0, kMoneyY0, kMoneyX1, kMoneyY1); };
  TScreen bought;
  EXPECT_TRUE(game.WaitForScreen(
      "bought",
      [&](const TScreen& s) { return s.DifferenceTo(shop) > 0.3 && money(s).DifferenceTo(money(walked)) > 0.01; },
      bought))
      << "step: a purchase closes the buy window and the money in the HUD drops";

  game.Console({"quit"});
  EXPECT_EQ(game.WaitForExit(20000), 0) << "step: quit from the console\n" << game.Log();
  const std::string config = ReadFile(game.Dir() / "config.ini");
  EXPECT_NE(config.find("[TVideoConfig]"), std::string::npos) << "step: config.ini written at exit";
  EXPECT_NE(config.find("Bots=0"), std::string::npos) << "step: the dialog's bots kept";
}

// Two games on one machine, each on its own screen: one hosts the arena, the
// other joins 127.0.0.1; the joiner is welcomed, both play, and a chat line
// typed on the joiner reaches the host.
TEST(EndToEnd, AHostAndAJoinerOnOneMachineChat) {
  TXServer hostScreen, joinScreen;
  E2E_REQUIRE_X(hostScreen.Running() && joinScreen.Running());
  TGameProcess host(hostScreen, "host"), joiner(joinScreen, "joiner");
  ASSERT_TRUE(host.WaitForLog("The Initialization has been done")) << "step: host start\n" << host.Log();
  ASSERT_TRUE(joiner.WaitForLog("The Initialization has been done")) << "step: joiner start\n" << joiner.Log();

  const TScreen hostDialog = ClickAndWaitForChange(host, kNewGameX, kNewGameY, WaitForMainMenu(host), 0.2, "new-game");
  const std::string port = std::to_string(FreePort());
  host.ReplaceField(kHostPortX, kHostPortY, port);
  host.Click(kStartX, kStartY);
  ASSERT_TRUE(host.WaitForLog("Server started at TCPport " + port + "; UDPport: " + port, 60000))
      << "step: the host's server\n" << host.Log();
  TScreen hostChoice;
  host.WaitForScreen("choice", [&](const TScreen& s) { return s.DifferenceTo(hostDialog) > 0.3; }, hostChoice);
  host.Click(kTerroristX, kTerroristY);
  ASSERT_TRUE(host.WaitForLog("Round started: ", 10000)) << "step: the host plays\n" << host.Log();

  const TScreen joinDialog = ClickAndWaitForChange(joiner, kJoinGameX, kJoinGameY, WaitForMainMenu(joiner), 0.2, "join-dialog");
  joiner.ReplaceField(kJoinPortX, kJoinPortY, port);
  joiner.Click(kJoinX, kJoinY);
  ASSERT_TRUE(joiner.WaitForLog("has been loaded", 60000)) << "step: the joiner loads the host's level\n"
                                                           << joiner.Log();
  EXPECT_TRUE(joiner.WaitForLog("Console: Welcome on the Server: ", 20000)) << "step: the welcome line\n"
                                                                           << joiner.Log();
  TScreen joinChoice;
  joiner.WaitForScreen("choice", [&](const TScreen& s) { return s.DifferenceTo(joinDialog) > 0.3; }, joinChoice);
  // A counter-terrorist: the host logs the side chosen (at once in the
  // round's join time, else for the next round).
  const TScreen playing = ClickAndWaitForChange(joiner, kTerroristX + 210, kTerroristY, joinChoice, 0.2, "joiner-in-game");
  EXPECT_TRUE(WaitUntil([&] { return host.LogCount(" joins the running round") + host.LogCount(" waits for the next round") > 0; }, 10000))
      << "step: the joiner chooses a side\n" << host.Log();

  host.KeyDown("Tab");
  TScreen statistics;
  host.WaitForScreen("host-statistics", [&](const TScreen& s) { return s.DifferenceTo(hostChoice) > 0.2; }, statistics, 3000);
  host.KeyUp("Tab");

  joiner.Key("c");
  TScreen chat;
  joiner.WaitForScreen("chat", [&](const TScreen& s) { return s.DifferenceTo(playing) > 0.1; }, chat);
  joiner.Type("hello host");
  joiner.Click(kSendX, kSendY);
  EXPECT_TRUE(host.WaitForLog("hello host", 10000)) << "step: the chat line reaches the host\n" << host.Log();
  host.Shot("host-got-chat");

  joiner.Console({"quit"});
  EXPECT_EQ(joiner.WaitForExit(20000), 0) << "step: the joiner quits\n" << joiner.Log();
  host.Console({"quit"});
  EXPECT_EQ(host.WaitForExit(20000), 0) << "step: the host quits\n" << host.Log();
}
