// The dedicated server in a fleet: the real binary beside a stand-in of the
// orchestrator's SDK sidecar, with wire-level peers as its players. It says
// ready, pings from its frame (and stops when the frame does), keeps the
// players list, takes an allocation and its map, and ends the match with
// /shutdown; with a sidecar that fails, never answers or is missing it
// still serves its players and ends cleanly.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>

#include "../net/sdk_sidecar.h"
#include "../net/wire_peer.h"
#include "dedicated_process.h"
#include "e2e_support.h"

namespace {

// The server with AGONES_SDK_HTTP_PORT set to the stand-in's port (the
// variable is set only around the start).
std::unique_ptr<TDedicatedProcess> StartFleetServer(uint16_t sdkPort, std::vector<std::string> args) {
  setenv("AGONES_SDK_HTTP_PORT", std::to_string(sdkPort).c_str(), 1);
  for (const char* a : {"--tcpport", "0", "--udpport", "0", "--discoveryport", "-1"}) args.push_back(a);
  auto server = std::make_unique<TDedicatedProcess>(args);
  unsetenv("AGONES_SDK_HTTP_PORT");
  return server;
}

// Connects and answers the start message as a game does; the level it was told.
std::string JoinAsPeer(TWirePeer& peer) {
  if (!peer.Connected) return "";
  if (!Until([&] { peer.Drain(); }, [&] { return peer.Find(kStartLevel) != nullptr; }, 5000)) return "";
  TWireMessage ready = Wire(kReady);
  ready.F[0] = peer.UDPPort;
  peer.Send(ready);
  if (!Until([&] { peer.Drain(); }, [&] { return peer.Find(kStartInfo) != nullptr; }, 5000)) return "";
  return peer.Find(kStartLevel)->S[0];
}

bool SaysMatchOver(const TWirePeer& peer) {
  for (const TWireMessage& m : peer.Received)
    if (m.Code == kChat && (m.S[0] + m.S[1] + m.S[2]).find("The match is over") != std::string::npos) return true;
  return false;
}

using TClock = std::chrono::steady_clock;

}  // namespace

TEST(FleetServer, IsReadyPingsFollowsPlayersTakesItsAllocationAndEndsTheMatch) {
  TSdkSidecar sidecar;
  auto server = StartFleetServer(sidecar.Port, {"--bots", "2", "--roundtime", "2", "--matchrounds", "2"});
  ASSERT_TRUE(server->WaitForOutput("type help for the commands")) << server->Output();
  const auto loaded = TClock::now();
  ASSERT_TRUE(WaitUntil([&] { return !sidecar.CallsTo("/ready").empty(); }, 5000)) << server->Output();
  EXPECT_LT(sidecar.CallsTo("/ready")[0].At - loaded, std::chrono::seconds(1));
  const auto labels = sidecar.CallsTo("/metadata/label");
  ASSERT_FALSE(labels.empty());
  EXPECT_EQ(labels[0].Body, R"({"key":"map","value":"arena"})");
  ASSERT_FALSE(sidecar.CallsTo("/v1beta1/lists/players?updateMask=capacity").empty());
  EXPECT_NE(sidecar.CallsTo("/v1beta1/lists/players?updateMask=capacity")[0].Body.find("\"8\""), std::string::npos);

  // Pings at least every 3 s while the frame runs, none while it is stopped.
  ASSERT_TRUE(WaitUntil([&] { return sidecar.CallsTo("/health").size() >= 3; }, 10000));
  const auto health = sidecar.CallsTo("/health");
  for (size_t i = 1; i < health.size(); ++i) EXPECT_LE(health[i].At - health[i - 1].At, std::chrono::seconds(3));
  server->Signal(SIGSTOP);
  const size_t beforeStop = sidecar.CallsTo("/health").size();
  std::this_thread::sleep_for(std::chrono::milliseconds(4500));  // an absence can only be watched for a while
  EXPECT_LE(sidecar.CallsTo("/health").size(), beforeStop + 1) << "one may have been on its way";
  server->Signal(SIGCONT);
  ASSERT_TRUE(WaitUntil([&] { return sidecar.CallsTo("/health").size() > beforeStop + 1; }, 5000));

  // Allocated with another map while nobody plays: that map runs, and the label follows.
  sidecar.Allocate({{"grimvale.example/map", "depot"}});
  ASSERT_TRUE(server->WaitForOutput("The allocation's map depot runs", 10000)) << server->Output();
  ASSERT_TRUE(WaitUntil([&] { return sidecar.CallsTo("/metadata/label").size() >= 2; }, 5000));
  EXPECT_EQ(sidecar.CallsTo("/metadata/label").back().Body, R"({"key":"map","value":"depot"})");

  TWirePeer one(server->TCPPort()), two(server->TCPPort());
  EXPECT_EQ(JoinAsPeer(one), "depot");
  EXPECT_EQ(JoinAsPeer(two), "depot");
  ASSERT_TRUE(WaitUntil([&] { return sidecar.Players().size() == 2; }, 5000)) << server->Output();
  const std::string first = sidecar.Players()[0];
  two.Close();
  ASSERT_TRUE(WaitUntil([&] { return sidecar.Players().size() == 1; }, 5000)) << server->Output();
  EXPECT_EQ(sidecar.Players()[0], first);

  // The bots play the rounds out (a round lasts 2 s at most, whoever wins).
  ASSERT_TRUE(Until([&] { one.Drain(); }, [&] { return SaysMatchOver(one); }, 30000)) << server->Output();
  EXPECT_NE(server->Output().find("Match over after 2 rounds"), std::string::npos) << server->Output();
  EXPECT_EQ(server->WaitForExit(15000), 0) << server->Output();
  EXPECT_EQ(sidecar.CallsTo("/shutdown").size(), 1u);
  EXPECT_TRUE(Until([&] { one.Drain(); }, [&] { return !one.Open; }, 5000)) << "the peer is told of the end";
}

TEST(FleetServer, KeepsItsMapWhenTheAllocationNamesAnUnknownOne) {
  TSdkSidecar sidecar;
  auto server = StartFleetServer(sidecar.Port, {});
  ASSERT_TRUE(server->WaitForOutput("ready, waiting for an allocation")) << server->Output();
  sidecar.Allocate({{"grimvale.example/map", "../../etc\npasswd"}});
  ASSERT_TRUE(server->WaitForOutput("allocated", 10000)) << server->Output();
  ASSERT_TRUE(server->WaitForOutput("unknown map \"../../etc?passwd\"; arena stays", 5000)) << server->Output();
  TWirePeer peer(server->TCPPort());
  EXPECT_EQ(JoinAsPeer(peer), "arena");
  server->Signal(SIGTERM);
  EXPECT_EQ(server->WaitForExit(10000), 0) << server->Output();
}

// A sidecar that answers 500, one that never answers, and none at all: the
// fault is logged once, a peer is served as ever, and SIGTERM still ends the
// server with status 0. (Unallocated, it is no match's server, so no match
// limit ends it.)
TEST(FleetServer, ServesItsPlayersWhateverTheSidecarDoes) {
  struct TCase {
    const char* Name;
    std::optional<TSdkSidecar::TMode> Mode;
    const char* Logged;
  };
  for (const TCase& c : {TCase{"failing", TSdkSidecar::TMode::Fails, "the sidecar fails (HTTP 500"},
                         TCase{"silent", TSdkSidecar::TMode::Silent, "does not answer in time"},
                         TCase{"missing", std::nullopt, "no sidecar at"}}) {
    SCOPED_TRACE(c.Name);
    std::optional<TSdkSidecar> sidecar;
    uint16_t port = 0;
    if (c.Mode) port = sidecar.emplace(*c.Mode).Port;
    else port = TSdkSidecar().Port;  // nobody listens there any more
    auto server = StartFleetServer(port, {"--bots", "2", "--matchrounds", "1"});
    ASSERT_TRUE(server->WaitForOutput("type help for the commands")) << server->Output();
    TWirePeer peer(server->TCPPort());
    EXPECT_EQ(JoinAsPeer(peer), "arena");
    ASSERT_TRUE(server->WaitForOutput(c.Logged, 10000)) << server->Output();
    std::vector<std::vector<uint8_t>> datagrams;
    EXPECT_TRUE(Until([&] { for (auto& d : peer.DrainDatagrams()) datagrams.push_back(d); },
                      [&] { return datagrams.size() >= 10; }, 10000))
        << "positions reach the peer";
    server->Signal(SIGTERM);
    EXPECT_EQ(server->WaitForExit(10000), 0) << server->Output();
    const std::string& out = server->Output();
    EXPECT_EQ(out.find(c.Logged, out.find(c.Logged) + 1), std::string::npos) << "logged once\n" << out;
  }
}
