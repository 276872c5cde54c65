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
  SleepForMs(1500);

  TScreen menu = game.Shot("main-menu");
  ASSERT_EQ(menu.Width, 800) << "step: main menu picture";
  EXPECT_GT(menu.MenuRed(), 2000) << "step: main menu shows its title";
  // The caption follows the frame rate (it once kept the count of the first frame).
  EXPECT_TRUE(WaitUntil([&] { return game.Title().find(" FPS]") != std::string::npos && game.Title() != "Grimvale [1 FPS]"; }, 5000))
      << "step: caption " << game.Title();

  game.Click(kNewGameX, kNewGameY);
  SleepForMs(1000);
  TScreen dialog = game.Shot("new-game");
  EXPECT_GT(dialog.DifferenceTo(menu), 0.2) << "step: the New Game dialog opens";
  // Alone: no bot may shoot the player before the purchase.
  const std::string port = StartAlone(game);
  ASSERT_TRUE(game.WaitForLog("has been loaded", 60000)) << "step: the arena loads\n" << game.Log();
  EXPECT_TRUE(game.WaitForLog("Server started at TCPport " + port + "; UDPport: " + port))
      << "step: the server starts on the port typed\n" << game.Log();
  SleepForMs(1500);
  TScreen choice = game.Shot("character-choice");
  EXPECT_GT(choice.DifferenceTo(dialog), 0.3) << "step: the character choice over the level";

  game.Click(kTerroristX, kTerroristY);
  // The fresh server's empty round ends within 3 s, the next starts 5 s later.
  SleepForMs(10000);
  TScreen standing = game.Shot("in-game");
  EXPECT_GT(standing.DifferenceTo(choice), 0.2) << "step: the character choice closes";

  game.KeyDown("w");
  SleepForMs(2000);
  game.KeyUp("w");
  SleepForMs(500);
  TScreen walked = game.Shot("walked");
  EXPECT_GT(walked.DifferenceTo(standing), 0.05) << "step: holding forward changes the view";

  game.Key("b");
  SleepForMs(1000);
  TScreen shop = game.Shot("buy-window");
  EXPECT_GT(shop.DifferenceTo(walked), 0.3) << "step: the buy window opens";
  game.Click(kSecondPistolX, kSecondPistolY);
  SleepForMs(1000);
  TScreen bought = game.Shot("bought");
  EXPECT_GT(bought.DifferenceTo(shop), 0.3) << "step: a purchase closes the buy window";
  EXPECT_GT(bought.Crop(kMoneyX0, kMoneyY0, kMoneyX1, kMoneyY1)
                .DifferenceTo(walked.Crop(kMoneyX0, kMoneyY0, kMoneyX1, kMoneyY1)),
            0.01)
      << "step: the money in the HUD drops";

  game.Key("grave");
  SleepForMs(800);
  game.Shot("console");
  game.Type("quit");
  game.Key("Return");
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
  SleepForMs(1500);

  host.Click(kNewGameX, kNewGameY);
  SleepForMs(1000);
  const std::string port = std::to_string(FreePort());
  host.ReplaceField(kHostPortX, kHostPortY, port);
  host.Click(kStartX, kStartY);
  ASSERT_TRUE(host.WaitForLog("Server started at TCPport " + port + "; UDPport: " + port, 60000))
      << "step: the host's server\n" << host.Log();
  SleepForMs(1500);
  host.Click(kTerroristX, kTerroristY);

  joiner.Click(kJoinGameX, kJoinGameY);
  SleepForMs(1000);
  joiner.ReplaceField(kJoinPortX, kJoinPortY, port);
  SleepForMs(300);
  joiner.Shot("join-dialog");
  joiner.Click(kJoinX, kJoinY);
  ASSERT_TRUE(joiner.WaitForLog("has been loaded", 60000)) << "step: the joiner loads the host's level\n"
                                                           << joiner.Log();
  EXPECT_TRUE(joiner.WaitForLog("Console: Welcome on the Server: ", 20000)) << "step: the welcome line\n"
                                                                           << joiner.Log();
  SleepForMs(1500);
  joiner.Click(kTerroristX + 210, kTerroristY);  // a counter-terrorist
  SleepForMs(1000);
  joiner.Shot("joiner-in-game");

  host.KeyDown("Tab");
  SleepForMs(800);
  host.Shot("host-statistics");
  host.KeyUp("Tab");

  joiner.Key("c");
  SleepForMs(800);
  joiner.Type("hello host");
  joiner.Shot("chat");
  joiner.Click(kSendX, kSendY);
  EXPECT_TRUE(host.WaitForLog("hello host", 10000)) << "step: the chat line reaches the host\n" << host.Log();
  host.Shot("host-got-chat");

  joiner.Key("grave");
  SleepForMs(500);
  joiner.Type("quit");
  joiner.Key("Return");
  EXPECT_EQ(joiner.WaitForExit(20000), 0) << "step: the joiner quits\n" << joiner.Log();
  host.Key("grave");
  SleepForMs(500);
  host.Type("quit");
  host.Key("Return");
  EXPECT_EQ(host.WaitForExit(20000), 0) << "step: the host quits\n" << host.Log();
}
