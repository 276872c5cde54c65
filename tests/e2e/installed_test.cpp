// The game as `cmake --install` lays it out, run where it was installed
// (scripts/check_install.sh stages the install and names the game in
// GRIMVALE_INSTALLED_GAME; without it these tests skip). Its home is a
// scratch directory, so the files it writes show up there, in the XDG places.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "../net/wire_peer.h"
#include "dedicated_process.h"
#include "e2e_support.h"

#define REQUIRE_INSTALLED_GAME()                                                 \
  if (InstalledGame().empty()) GTEST_SKIP() << "GRIMVALE_INSTALLED_GAME is not set"

// The server loads its map from the installed data, hands a peer the level,
// ends on SIGTERM, and keeps its log in the XDG state directory.
TEST(InstalledGame, DedicatedServerServesAPeerAndEndsOnSigterm) {
  REQUIRE_INSTALLED_GAME();
  TDedicatedProcess server({"--tcpport", "0", "--udpport", "0", "--discoveryport", "0"}, InstalledGame());
  ASSERT_TRUE(server.WaitForOutput("type help for the commands")) << server.Output();
  TWirePeer peer(server.TCPPort());
  ASSERT_TRUE(peer.Connected);
  ASSERT_TRUE(Until([&] { peer.Drain(); }, [&] { return peer.Find(kStartLevel) != nullptr; }, 5000));
  EXPECT_EQ(peer.Find(kStartLevel)->S[0], "arena");
  server.Signal(SIGTERM);
  EXPECT_EQ(server.WaitForExit(), 0) << server.Output();
  EXPECT_NE(server.Log().find("Terminating Dedicated Server"), std::string::npos) << server.Output();
}

// The window opens at the main menu drawn from the installed data; quit from
// the console, the game keeps its settings in the XDG config directory.
TEST(InstalledGame, ShowsTheMainMenuAndKeepsItsSettingsInTheHome) {
  REQUIRE_INSTALLED_GAME();
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TGameProcess game(x, "installed", {}, InstalledGame());
  ASSERT_TRUE(game.WaitForLog("The Initialization has been done")) << game.Log();
  EXPECT_GT(WaitForMainMenu(game).MenuRed(), 2000);
  game.Console({"quit"});
  EXPECT_EQ(game.WaitForExit(20000), 0) << game.Log();
  EXPECT_TRUE(std::filesystem::exists(game.Dir() / ".config/grimvale/config.ini"));
}
