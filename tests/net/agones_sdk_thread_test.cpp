// The SDK sidecar's client against a stand-in sidecar on loopback: the
// gateway's request shapes, the GameServer object read back, and a sidecar
// that fails, never answers or is missing: retries with back-off, one log
// line per change, a bounded queue, and no call that waits on the network.
#include <gtest/gtest.h>

#include "net/agones_gameserver.h"
#include "net/agones_sdk.h"
#include "sdk_sidecar.h"
#include "wire_peer.h"

namespace {

// Quick timings, so the faults show within a test's patience.
constexpr TSdkTiming kQuick{200, 400, 50, 400};

struct TSdkLog {
  std::vector<std::string> Lines;
  int Faults = 0;
  std::optional<std::string> GameServer;
  void Poll(TAgonesSdk& sdk) {
    if (auto answer = sdk.Poll([&](const std::string& line, bool fault) {
          Lines.push_back(line);
          Faults += fault;
        }))
      GameServer = answer;
  }
};

}  // namespace

TEST(AgonesSdkThread, SendsTheGatewaysRequestsInOrderAndReadsTheGameServer) {
  TSdkSidecar sidecar;
  TAgonesSdk sdk(sidecar.Port, kQuick);
  sdk.Ready();
  sdk.SetLabel("map", "arena");
  sdk.SetPlayerCapacity(8);
  sdk.AddPlayer("3");
  sdk.AddPlayer("4");
  sdk.RemovePlayer("3");
  sdk.Health();
  sdk.Health();  // one ping waiting is enough
  sidecar.Allocate({{"grimvale.example/map", "depot"}});
  sdk.AskGameServer();
  sdk.Shutdown();
  TSdkLog log;
  ASSERT_TRUE(Until([&] { log.Poll(sdk); }, [&] { return sdk.Idle() && log.GameServer; }, 5000));

  std::vector<std::string> seen;
  for (const TSidecarCall& c : sidecar.Calls()) seen.push_back(c.Method + " " + c.Path + " " + c.Body);
  const std::vector<std::string> expected{
      "POST /ready {}",
      R"(PUT /metadata/label {"key":"map","value":"arena"})",
      R"(PATCH /v1beta1/lists/players?updateMask=capacity {"name":"players","capacity":"8"})",
      R"(POST /v1beta1/lists/players:addValue {"name":"players","value":"3"})",
      R"(POST /v1beta1/lists/players:addValue {"name":"players","value":"4"})",
      R"(POST /v1beta1/lists/players:removeValue {"name":"players","value":"3"})",
      "POST /health {}",
      "GET /gameserver ",
      "POST /shutdown {}"};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(sidecar.Players(), std::vector<std::string>{"4"});
  EXPECT_EQ(sdk.Delivered(), expected.size());
  const std::optional<TGameServerView> view = ParseGameServer(*log.GameServer);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->State, "Allocated");
  EXPECT_EQ(view->Annotations.at("grimvale.example/map"), "depot");
  EXPECT_EQ(log.Lines.size(), 1u);  // that it answers, once
  EXPECT_EQ(log.Faults, 0);
}

// A sidecar that fails: what must arrive is tried again with growing pauses;
// a ping is not (a late ping would vouch for a frame that may hang by then).
TEST(AgonesSdkThread, RetriesAFailingSidecarWithBackoffAndLogsOnce) {
  TSdkSidecar sidecar(TSdkSidecar::TMode::Fails);
  TAgonesSdk sdk(sidecar.Port, kQuick);
  sdk.Health();
  sdk.Ready();
  TSdkLog log;
  ASSERT_TRUE(Until([&] { log.Poll(sdk); }, [&] { return sidecar.CallsTo("/ready").size() >= 5; }, 10000));
  const std::vector<TSidecarCall> ready = sidecar.CallsTo("/ready");
  const auto gap = [&](size_t i) { return ready[i + 1].At - ready[i].At; };
  EXPECT_GT(gap(3), gap(0)) << "the pause grows";
  EXPECT_EQ(sidecar.CallsTo("/health").size(), 1u);
  EXPECT_FALSE(sdk.Idle());
  log.Poll(sdk);
  ASSERT_EQ(log.Lines.size(), 1u);
  EXPECT_NE(log.Lines[0].find("HTTP 500"), std::string::npos) << log.Lines[0];
}

// No sidecar yet, then one: the ready call waits for it and arrives; the log
// tells the absence and the arrival, once each.
TEST(AgonesSdkThread, WaitsForALateSidecar) {
  uint16_t port = 0;
  { port = TSdkSidecar().Port; }  // a loopback port nobody listens on now
  TAgonesSdk sdk(port, kQuick);
  sdk.Ready();
  TSdkLog log;
  ASSERT_TRUE(Until([&] { log.Poll(sdk); }, [&] { return log.Faults > 0; }, 5000));
  EXPECT_NE(log.Lines[0].find("no sidecar"), std::string::npos) << log.Lines[0];
  TSdkSidecar late(TSdkSidecar::TMode::Gateway, port);
  ASSERT_TRUE(Until([&] { log.Poll(sdk); }, [&] { return sdk.Idle(); }, 5000));
  EXPECT_EQ(late.CallsTo("/ready").size(), 1u);
  log.Poll(sdk);
  EXPECT_EQ(log.Lines.size(), 2u);
  EXPECT_EQ(log.Faults, 1);
}

// A sidecar that never answers: requests time out, the queue stops growing
// at its bound (said once), and the client is freed without waiting for a
// request in flight.
TEST(AgonesSdkThread, BoundsTheQueueForASilentSidecarAndStopsAtOnce) {
  TSdkSidecar sidecar(TSdkSidecar::TMode::Silent);
  TSdkLog log;
  {
    TAgonesSdk sdk(sidecar.Port, {200, 60000, 50, 400});
    for (int i = 0; i < 1000; ++i) sdk.AddPlayer(std::to_string(i));
    ASSERT_TRUE(Until([&] { log.Poll(sdk); }, [&] { return !sidecar.Calls().empty(); }, 5000));
    log.Poll(sdk);
    EXPECT_EQ(log.Faults, 1);
    EXPECT_NE(log.Lines[0].find("dropped"), std::string::npos) << log.Lines[0];
  }  // a minute's timeout in flight: the destructor cuts it short
  EXPECT_EQ(sidecar.Calls().size(), 1u);
}

TEST(AgonesGameServer, ReadsStateAndAnnotationsOfTheObjectOrItsWatchEvent) {
  const auto direct = ParseGameServer(
      R"({"object_meta":{"annotations":{"a":"1","n":2}},"status":{"state":"Allocated","ports":[{"port":7000}]}})");
  ASSERT_TRUE(direct);
  EXPECT_EQ(direct->State, "Allocated");
  EXPECT_EQ(direct->Annotations, (std::map<std::string, std::string>{{"a", "1"}}));
  const auto event = ParseGameServer(R"({"result":{"status":{"state":"Ready"}}})");
  ASSERT_TRUE(event);
  EXPECT_EQ(event->State, "Ready");
  for (const char* bad : {"", "[]", R"({"status":{}})", R"({"status":{"state":3}})", R"({"status":"Ready"})"})
    EXPECT_FALSE(ParseGameServer(bad)) << bad;
}
