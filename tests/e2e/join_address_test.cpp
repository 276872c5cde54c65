// Joining from outside the Join dialog and from the Internet list, with the
// real game, a real dedicated server and the real master on loopback:
// --connect and grimvale:// links are welcomed, a name that does not resolve
// and a port nobody answers on are named in the game, whose menu goes on
// working, and the Internet list shows the servers its filters ask for and
// joins one on a double click.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "child_process.h"
#include "dedicated_process.h"
#include "e2e_support.h"
#include "master_process.h"
#include "wire_player.h"
#include "screen_positions.h"

namespace {

constexpr const char* kWelcome = "Console: Welcome on the Server: \"Far Server\"!";

std::vector<std::string> ServerArgs(const std::string& port) {
  return {"--servername", "Far Server", "--tcpport", port, "--udpport", port, "--discoveryport", "-1"};
}

// Lines of text in the Internet list: bands a line high with light pixels in them.
int InternetLines(const TScreen& s) {
  int lines = 0;
  for (int y0 = kFirstInternetLineY; y0 + kInternetLineStep <= kInternetListBottom; y0 += kInternetLineStep) {
    bool text = false;
    for (int y = y0; y < y0 + kInternetLineStep && !text; ++y)
      for (int x = kInternetListX0; x < kInternetListX1 && !text; ++x) text = ((s.At(x, y) >> 16) & 255) > 150;
    lines += text;
  }
  return lines;
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

TEST(JoinByAddress, ACommandLineWithoutAnAddressItCanReadEndsBeforeAnyWindow) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Says;
  };
  const TCase cases[] = {
      {{"--connect"}, "--connect takes one server address"},
      {{"--connect="}, "--connect takes one server address"},
      {{"--connect", "a", "b"}, "--connect takes one server address"},
      {{"--connect", "bad host"}, "not a server address: bad host"},
      {{"--connect=host:0"}, "not a server address: host:0"},
      {{"grimvale://host:99999/"}, "not a server address: grimvale://host:99999/"},
  };
  for (const TCase& c : cases) {
    TChildProcess game;
    std::vector<std::string> argv{"grimvale"};
    argv.insert(argv.end(), c.Args.begin(), c.Args.end());
    game.Start(GRIMVALE_BIN_DIR "/grimvale", argv);
    EXPECT_EQ(game.WaitForExit(), 2) << c.Args[0] << "\n" << game.Output();
    EXPECT_NE(game.Output().find(c.Says), std::string::npos) << game.Output();
  }
}

TEST(InternetList, ShowsTheMastersServersAsTheFiltersSayAndJoinsOneOnADoubleClick) {
  TMasterProcess master({});
  ASSERT_TRUE(master.WaitForOutput("listening on UDP port")) << master.Output();
  const std::string masterAddress = "127.0.0.1:" + std::to_string(master.Port());
  auto publicServer = [&](const std::string& name, const std::string& maxPlayers, const std::string& bots) {
    return std::vector<std::string>{"--servername", name, "--tcpport", "0", "--udpport", "0", "--discoveryport", "-1",
                                    "--maxplayers", maxPlayers, "--bots", bots, "--master", masterAddress};
  };
  // One full (its only place taken), one empty (bots only), and one with a
  // player and room, on TCP and UDP ports apart: the list must join on the
  // TCP port the answer names.
  TDedicatedProcess full(publicServer("Full Server", "1", "0")), empty(publicServer("Empty Server", "4", "2"));
  std::vector<std::string> farArgs = ServerArgs(std::to_string(FreePort()));
  farArgs[5] = std::to_string(FreePort());
  farArgs.insert(farArgs.end(), {"--maxplayers", "4", "--master", masterAddress});
  TDedicatedProcess far(farArgs);
  for (TDedicatedProcess* s : {&full, &empty, &far})
    ASSERT_TRUE(s->WaitForOutput("Heartbeat (start)")) << s->Output();
  const std::unique_ptr<TWirePeer> fullPeer = JoinAsPeer(full), farPeer = JoinAsPeer(far);
  for (TDedicatedProcess* s : {&full, &far}) ASSERT_TRUE(s->WaitForOutput("Heartbeat (players)")) << s->Output();
  // The players keep reading, so their servers keep them while the game looks.
  std::atomic<bool> done{false};
  std::thread reading([&] {
    while (!done) {
      fullPeer->Drain();
      farPeer->Drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });

  TXServer screen;
  if (screen.Running()) {
    TGameProcess game(screen, "internet", {}, "", TSettings::Paced, "[Network]\nmasters=" + masterAddress + "\n");
    const TScreen dialog = ClickAndWaitForChange(game, kJoinGameX, kJoinGameY, WaitForMainMenu(game), 0.2, "join");
    ClickAndWaitForChange(game, kInternetX, kInternetY, dialog, 0.05, "internet");
    // The lines the list shows: the log says when a search ends, the screen shows it a frame later.
    auto shows = [&](const std::string& step, int lines) {
      TScreen shot;
      return game.WaitForScreen(step, [&](const TScreen& s) { return InternetLines(s) == lines; }, shot);
    };
    EXPECT_TRUE(game.WaitForLog("Internet search: 3 of 3 servers answered, 3 listed")) << game.Log();
    EXPECT_TRUE(shows("all", 3));
    // Without empty servers, then without full ones too: each box asks again.
    game.Click(kInternetEmptyX, kInternetBoxesY);
    EXPECT_TRUE(game.WaitForLog("Internet search: 2 of 2 servers answered, 2 listed")) << game.Log();
    EXPECT_TRUE(shows("without-empty", 2));
    game.Click(kInternetFullX, kInternetBoxesY);
    EXPECT_TRUE(game.WaitForLog("Internet search: 1 of 1 servers answered, 1 listed")) << game.Log();
    EXPECT_TRUE(shows("with-room", 1));
    game.DoubleClick(kFirstInternetRowX, kFirstInternetRowY);
    EXPECT_TRUE(game.WaitForLog("Joining \"Far Server\" at 127.0.0.1 (TCP " + farArgs[3])) << game.Log();
    EXPECT_TRUE(game.WaitForLog(kWelcome, 60000)) << game.Log();
  }
  done = true;
  reading.join();
  E2E_REQUIRE_X(screen.Running());
}
