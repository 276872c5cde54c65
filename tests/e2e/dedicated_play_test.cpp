// Two real games on one machine join one dedicated server from the Join
// dialog: both are welcomed, each hears of the other, the server lists both
// and its "say" reaches them, a chat line passes from one to the other, and
// both learn of the server's end.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "dedicated_process.h"
#include "e2e_support.h"
#include "screen_positions.h"

namespace {

void JoinFromTheMenu(TGameProcess& game, int fighterX, const std::string& port) {
  const TScreen dialog = ClickAndWaitForChange(game, kJoinGameX, kJoinGameY, WaitForMainMenu(game), 0.2, "join-dialog");
  game.ReplaceField(kJoinPortX, kJoinPortY, port);
  game.Click(kJoinX, kJoinY);
  ASSERT_TRUE(game.WaitForLog("has been loaded", 60000)) << "step: the server's level\n" << game.Log();
  ASSERT_TRUE(game.WaitForLog("Console: Welcome on the Server: \"Box Server\"!", 20000)) << game.Log();
  TScreen choice;
  game.WaitForScreen("choice", [&](const TScreen& s) { return s.DifferenceTo(dialog) > 0.3; }, choice);
  ClickAndWaitForChange(game, fighterX, kTerroristY, choice, 0.2, "in-game");
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(EndToEnd, TwoGamesJoinOneDedicatedServerAndSeeEachOther) {
  const std::string port = std::to_string(FreePort());
  TDedicatedProcess server({"--servername", "Box Server", "--tcpport", port, "--udpport", port});
  ASSERT_TRUE(server.WaitForOutput("type help for the commands")) << server.Output();
  TXServer oneScreen, twoScreen;
  E2E_REQUIRE_X(oneScreen.Running() && twoScreen.Running());
  TGameProcess one(oneScreen, "one"), two(twoScreen, "two");
  ASSERT_TRUE(one.WaitForLog("The Initialization has been done")) << one.Log();
  ASSERT_TRUE(two.WaitForLog("The Initialization has been done")) << two.Log();

  JoinFromTheMenu(one, kTerroristX, port);
  JoinFromTheMenu(two, kTerroristX + 210, port);  // a counter-terrorist
  EXPECT_TRUE(one.WaitForLog("Client: Player Joined", 10000)) << "step: the first hears of the second\n" << one.Log();
  one.Shot("one-in-game");
  two.Shot("two-in-game");

  server.Input("status");
  ASSERT_TRUE(server.WaitForOutput("slot 1 \"", 5000)) << server.Output();
  EXPECT_EQ(Count(server.Output(), " 127.0.0.1:"), 2u) << server.Output();
  EXPECT_NE(server.Output().find("2 of 8 players (0 bots)"), std::string::npos) << server.Output();

  server.Input("say Welcome, both");
  EXPECT_TRUE(one.WaitForLog("<>Server: Welcome, both", 10000)) << one.Log();
  EXPECT_TRUE(two.WaitForLog("<>Server: Welcome, both", 10000)) << two.Log();

  const TScreen playing = two.Shot("two-playing");
  two.Key("c");
  TScreen chat;
  two.WaitForScreen("chat", [&](const TScreen& s) { return s.DifferenceTo(playing) > 0.1; }, chat);
  two.Type("hello one");
  two.Click(kSendX, kSendY);
  EXPECT_TRUE(one.WaitForLog(": hello one", 10000)) << "step: a chat line from the other player\n" << one.Log();
  EXPECT_TRUE(server.WaitForOutput(": hello one", 5000)) << server.Output();

  server.Signal(SIGTERM);
  EXPECT_EQ(server.WaitForExit(10000), 0) << server.Output();
  EXPECT_TRUE(one.WaitForLog("Server disconnected!", 10000)) << one.Log();
  EXPECT_TRUE(two.WaitForLog("Server disconnected!", 10000)) << two.Log();
}
