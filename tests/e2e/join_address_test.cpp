// Joining from outside the Join dialog and from the Internet list, with the
// real game, a real dedicated server and the real master on loopback:
// --connect and grimvale:// links are welcomed, a name that does not resolve
// and a port nobody answers on are named in the game, whose menu goes on
// working, and a double click on the Internet list's line joins its server.
#include <gtest/gtest.h>

#include "dedicated_process.h"
#include "e2e_support.h"
#include "master_process.h"
#include "screen_positions.h"

namespace {

constexpr const char* kWelcome = "Console: Welcome on the Server: \"Far Server\"!";

std::vector<std::string> ServerArgs(const std::string& port) {
  return {"--servername", "Far Server", "--tcpport", port, "--udpport", port, "--discoveryport", "-1"};
}

}  // namespace

TEST(JoinByAddress, ConnectOptionAndLinkJoinADedicatedServer) {
  const std::string port = std::to_string(FreePort());
  TDedicatedProcess server(ServerArgs(port));
  ASSERT_TRUE(server.WaitForOutput("type help for the commands")) << server.Output();
  TXServer screen;
  E2E_REQUIRE_X(screen.Running());
  {
    TGameProcess game(screen, "connect-option", {"--connect", "127.0.0.1:" + port});
    EXPECT_TRUE(game.WaitForLog(kWelcome, 60000)) << game.Log();
  }
  // A link as the desktop hands it over, with a name to look up.
  TGameProcess game(screen, "connect-link", {"grimvale://localhost:" + port + "/"});
  EXPECT_TRUE(game.WaitForLog("localhost is 127.0.0.1")) << game.Log();
  EXPECT_TRUE(game.WaitForLog(kWelcome, 60000)) << game.Log();
}

TEST(JoinByAddress, AnUnknownNameAndASilentPortAreNamedAndTheMenuGoesOn) {
  TXServer screen;
  E2E_REQUIRE_X(screen.Running());
  // A label longer than the name system allows: refused before any query leaves this machine.
  const std::string unknown = std::string(64, 'x') + ".invalid";
  TGameProcess game(screen, "connect-fails", {"--connect", unknown});
  EXPECT_TRUE(game.WaitForLog("Unknown host: " + unknown)) << game.Log();
  const TScreen menu = WaitForMainMenu(game);
  ASSERT_GT(menu.Width, 0) << "the menu shows after the error";

  // Nobody listens on a port the system just handed out and took back.
  const std::string silent = std::to_string(FreePort());
  game.Console({"connect 127.0.0.1:" + silent});
  EXPECT_TRUE(game.WaitForLog("(no game at 127.0.0.1:" + silent + ")")) << game.Log();
  const TScreen join = ClickAndWaitForChange(game, kJoinGameX, kJoinGameY, game.Shot("after-errors"), 0.05, "join");
  EXPECT_GT(join.DifferenceTo(menu), 0.05) << "the menu still opens its dialogs";
  EXPECT_TRUE(game.Alive());
}

TEST(InternetList, ListsTheMastersServerAndJoinsItOnADoubleClick) {
  TMasterProcess master({});
  ASSERT_TRUE(master.WaitForOutput("listening on UDP port")) << master.Output();
  const std::string masterAddress = "127.0.0.1:" + std::to_string(master.Port());
  // TCP and UDP apart: the list must join on the TCP port the answer names.
  std::vector<std::string> args = ServerArgs(std::to_string(FreePort()));
  args[5] = std::to_string(FreePort());
  args.insert(args.end(), {"--master", masterAddress});
  TDedicatedProcess server(args);
  ASSERT_TRUE(master.WaitForOutput("listed 127.0.0.1:")) << master.Output() << server.Output();

  TXServer screen;
  E2E_REQUIRE_X(screen.Running());
  TGameProcess game(screen, "internet", {}, "", TSettings::Paced, "[Network]\nmasters=" + masterAddress + "\n");
  const TScreen dialog = ClickAndWaitForChange(game, kJoinGameX, kJoinGameY, WaitForMainMenu(game), 0.2, "join");
  ClickAndWaitForChange(game, kInternetX, kInternetY, dialog, 0.05, "internet");
  ASSERT_TRUE(game.WaitForLog("Internet search: 1 of 1 servers answered")) << game.Log();
  game.Shot("listed");
  game.DoubleClick(kFirstInternetRowX, kFirstInternetRowY);
  EXPECT_TRUE(game.WaitForLog("Joining \"Far Server\" at 127.0.0.1 (TCP " + args[3])) << game.Log();
  EXPECT_TRUE(game.WaitForLog(kWelcome, 60000)) << game.Log();
}
