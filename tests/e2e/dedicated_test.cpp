// The dedicated server as it runs on a box without a screen: the real binary
// without DISPLAY, a raw wire peer as its client, commands on its standard
// input, and its refusals to start.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>

#include "../net/wire_peer.h"
#include "dedicated_process.h"
#include "net/discovery.h"
#include "e2e_support.h"

namespace {


// Reads the peer's messages and datagrams until done() holds.
bool Serve(TWirePeer& peer, std::vector<std::vector<uint8_t>>& datagrams, const std::function<bool()>& done,
           int timeoutMs) {
  return Until(
      [&] {
        peer.Drain();
        for (auto& d : peer.DrainDatagrams()) datagrams.push_back(std::move(d));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      },
      done, timeoutMs);
}

// Connects a peer and answers the start message, as a game does before its
// player has chosen a character.
void Join(TWirePeer& peer) {
  std::vector<std::vector<uint8_t>> datagrams;
  ASSERT_TRUE(peer.Connected);
  ASSERT_TRUE(Serve(peer, datagrams, [&] { return peer.Find(kStartLevel) != nullptr; }, 5000));
  TWireMessage ready = Wire(kReady);
  ready.F[0] = peer.UDPPort;
  peer.Send(ready);
  ASSERT_TRUE(Serve(peer, datagrams, [&] { return peer.Find(kStartInfo) != nullptr; }, 5000));
}

}  // namespace

// The time of a log line of the server's own clock ("...T09:15:28.372Z ..."),
// in ms of the day; -1 when the line is not there.
static int64_t LoggedAt(const std::string& output, const std::string& line, size_t from = 0) {
  const size_t at = output.find(line, from);
  if (at == std::string::npos) return -1;
  const size_t start = output.rfind('\n', at) == std::string::npos ? 0 : output.rfind('\n', at) + 1;
  int h = 0, m = 0, sec = 0, ms = 0;
  if (std::sscanf(output.c_str() + start, "%*d-%*d-%*dT%d:%d:%d.%dZ", &h, &m, &sec, &ms) != 4) return -1;
  return ((h * 60 + m) * 60 + sec) * 1000LL + ms;
}

// Without bots, one peer stays in the character choice and one hides: no
// team can be wiped out, and the round ends at the time limit, through the
// round end every client already knows. Without a join time, the hider is
// told that it plays from the next round.
TEST(DedicatedServer, TheRoundTimeLimitEndsARoundThatNobodyCanWin) {
  TDedicatedProcess server(
      {"--tcpport", "0", "--udpport", "0", "--discoveryport", "0", "--roundtime", "3", "--jointime", "0"});
  ASSERT_TRUE(server.WaitForOutput("type help for the commands")) << server.Output();
  TWirePeer idle(server.TCPPort()), hider(server.TCPPort());
  Join(idle);
  Join(hider);
  TWireMessage state = Wire(kClientState, "Hider", "1");
  state.F[1] = 10;  // a terrorist
  hider.Send(state);

  // The hider waits, which ends the round at once (its team has nobody
  // standing); the restart puts it at a spawn point, where it stays.
  std::vector<std::vector<uint8_t>> datagrams;
  auto pump = [&] {
    idle.Drain();
    idle.DrainDatagrams();
  };
  auto serve = [&](const std::function<bool()>& done, int timeoutMs) {
    return Serve(hider, datagrams, [&] { pump(); return done(); }, timeoutMs);
  };
  ASSERT_TRUE(serve([&] { return hider.Find(kChat) != nullptr; }, 10000)) << server.Output();
  const TWireMessage* told = hider.Find(kChat);
  EXPECT_EQ(told->S[0], "You join the next round (") << server.Output();
  ASSERT_TRUE(serve([&] { return hider.Find(kPosition) != nullptr; }, 15000)) << server.Output();
  const int endsBefore = hider.CountOf(kRoundOver);
  ASSERT_TRUE(serve([&] { return hider.CountOf(kRoundOver) > endsBefore; }, 15000)) << server.Output();
  // Measured on the server's clock, as its log stamps the round.
  ASSERT_TRUE(server.WaitForOutput("Round over", 5000)) << server.Output();
  const std::string& out = server.Output();
  const size_t started = out.find("Round started: 1 terrorists");
  ASSERT_NE(started, std::string::npos) << out;
  const int64_t lasted = LoggedAt(out, "Round over", started) - LoggedAt(out, "Round started: 1 terrorists");
  EXPECT_GE(lasted, 2900) << "the round ended before its time\n" << out;
  EXPECT_LE(lasted, 6000) << out;
  EXPECT_TRUE(Until(pump, [&] { return idle.CountOf(kRoundOver) == hider.CountOf(kRoundOver); }, 5000));
  EXPECT_EQ(idle.Find(kPosition), nullptr) << "a player still choosing is never revived";
  server.Signal(SIGTERM);
  EXPECT_EQ(server.WaitForExit(10000), 0) << server.Output();
}

// A peer goes through the whole handshake, is told that character 0 is not in
// play, sees the bots move and fight a round to its end, shows in "status",
// and is disconnected as from a closing host when SIGTERM ends the server.
TEST(DedicatedServer, ServesAPeerAndBotsAnswersStatusAndEndsOnSigterm) {
  TDedicatedProcess server({"--tcpport", "0", "--udpport", "0", "--bots", "5", "--botskill", "hard", "--servername",
                            "Box Server", "--discoveryport", "0"});
  ASSERT_TRUE(server.WaitForOutput("type help for the commands")) << server.Output();
  EXPECT_NE(server.Output().find("with 5 bots"), std::string::npos) << server.Output();

  // A search on loopback lists it as the Join window would.
  const std::string said = "Discovery answers on UDP port ";
  const size_t at = server.Output().find(said);
  ASSERT_NE(at, std::string::npos) << server.Output();
  const auto discoveryPort = static_cast<uint16_t>(std::stoi(server.Output().substr(at + said.size())));
  TDiscoveryBrowser finder;
  std::string error;
  ASSERT_TRUE(finder.Start({"127.0.0.1"}, discoveryPort, error)) << error;
  ASSERT_TRUE(Until([&] { finder.Poll(); }, [&] { return !finder.Servers.empty(); }, 3000));
  const TServerInfo& found = finder.Servers[0].Info;
  EXPECT_EQ(found.Name, "Box Server");
  EXPECT_EQ(found.Map, "arena");
  EXPECT_EQ(found.Players, 5);  // the bots; no host player
  EXPECT_EQ(found.MaxPlayers, 8);
  EXPECT_EQ(found.TCPPort, server.TCPPort());
  EXPECT_EQ(found.UDPPort, server.UDPPort());

  TWirePeer peer(server.TCPPort());
  ASSERT_TRUE(peer.Connected);
  std::vector<std::vector<uint8_t>> datagrams;
  ASSERT_TRUE(Serve(peer, datagrams, [&] { return peer.Find(kStartLevel) != nullptr; }, 5000));
  EXPECT_EQ(peer.Find(kStartLevel)->S[0], "arena");
  TWireMessage ready = Wire(kReady);
  ready.F[0] = peer.UDPPort;
  peer.Send(ready);
  ASSERT_TRUE(Serve(peer, datagrams, [&] { return peer.Find(kStartInfo) != nullptr; }, 5000));
  const TWireMessage& info = *peer.Find(kStartInfo);
  EXPECT_EQ(info.S[0], "Box Server");
  EXPECT_EQ(info.F[0], 7.0f);  // character 0, five bots, the peer
  EXPECT_EQ(info.F[1], 6.0f);  // the peer plays character slot + 1, after the bots' slots
  // Sent after the start information, so it may come in a later read.
  const auto zeroLeft = [&] {
    for (const TWireMessage& m : peer.Received)
      if (m.Code == kPlayerLeft && m.S[0] == "0") return true;
    return false;
  };
  EXPECT_TRUE(Serve(peer, datagrams, zeroLeft, 5000)) << "character 0 must reach the client as not in use";
  TWireMessage state = Wire(kClientState, "Wire", "0");
  state.F[1] = 0;
  peer.Send(state);

  // The bots play: their positions arrive, and a round ends after kills.
  ASSERT_TRUE(Serve(peer, datagrams, [&] { return peer.CountOf(kScore) > 0 && peer.CountOf(kRoundOver) > 0; }, 120000))
      << server.Output();
  size_t fromBots = 0;
  for (const auto& d : datagrams) {
    ASSERT_EQ(d.size(), 24u);
    EXPECT_NE(d[21], 0) << "no datagram for character 0";
    fromBots += d[21] >= 1 && d[21] <= 5;
  }
  EXPECT_GT(fromBots, 0u);
  EXPECT_GT(peer.CountOf(kState), 0);

  server.Input("status");
  ASSERT_TRUE(server.WaitForOutput("\"Wire\" CT", 5000)) << server.Output();
  const std::string out = server.Output();
  EXPECT_NE(out.find("Server \"Box Server\", map arena"), std::string::npos) << out;
  EXPECT_NE(out.find("6 of 8 players (5 bots)"), std::string::npos) << out;
  EXPECT_NE(out.find("slot 5 \"Wire\" CT kills"), std::string::npos) << out;
  EXPECT_NE(out.find("127.0.0.1:"), std::string::npos) << out;
  EXPECT_NE(out.find("slot 0 \""), std::string::npos) << out;
  EXPECT_NE(out.find(" bot\n"), std::string::npos) << out;

  const int before = peer.CountOf(kPlayerLeft);
  server.Signal(SIGTERM);
  EXPECT_EQ(server.WaitForExit(10000), 0) << server.Output();
  EXPECT_TRUE(Serve(peer, datagrams, [&] { return !peer.Open; }, 5000)) << "the connection closes";
  EXPECT_GT(peer.CountOf(kPlayerLeft), before) << "the others' disconnects, as from a closing host";
  for (const char* line : {"Signal received, shutting down", "Server closed", "Terminating Dedicated Server"}) {
    EXPECT_NE(server.Output().find(line), std::string::npos) << line;
    EXPECT_NE(server.Log().find(line), std::string::npos) << line;
  }
}

// A server that cannot serve what it was asked to says why and exits non-zero
// at once, instead of running without a port or a level.
TEST(DedicatedServer, RefusesToStartWithoutItsPortsOrMap) {
  // Sockets of another program holding a TCP and a UDP port.
  int tcp = ::socket(AF_INET, SOCK_STREAM, 0), udp = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  socklen_t n = sizeof a;
  ASSERT_EQ(::bind(tcp, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(tcp, 1), 0);
  ::getsockname(tcp, reinterpret_cast<sockaddr*>(&a), &n);
  const std::string tcpPort = std::to_string(ntohs(a.sin_port));
  a.sin_port = 0;
  ASSERT_EQ(::bind(udp, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ::getsockname(udp, reinterpret_cast<sockaddr*>(&a), &n);
  const std::string udpPort = std::to_string(ntohs(a.sin_port));

  struct Case {
    std::vector<std::string> Args;
    int ExitCode;
    std::string Says;
  } cases[] = {
      {{"--tcpport", tcpPort, "--udpport", "0"}, 1, "Cannot open the server's ports (TCP " + tcpPort},
      {{"--tcpport", "0", "--udpport", udpPort}, 1, "Cannot open the server's ports (TCP 0, UDP " + udpPort},
      {{"--map", "nosuchmap", "--tcpport", "0", "--udpport", "0"}, 1, "Map not found: \"nosuchmap\""},
      {{"--map", "../arena"}, 2, "--map ../arena: not a usable value"},
      {{"--bots", "9", "--maxplayers", "8"}, 2, "--bots 9: more than --maxplayers 8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Says);
    TDedicatedProcess server(c.Args);
    EXPECT_EQ(server.WaitForExit(15000), c.ExitCode);
    EXPECT_NE(server.Output().find(c.Says), std::string::npos) << server.Output();
    EXPECT_EQ(server.Output().find("type help for the commands"), std::string::npos) << "it must not run";
  }
  ::close(tcp);
  ::close(udp);
}
