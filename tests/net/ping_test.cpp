// Round trips through the relay: a client of this revision and the server
// measure each other, the server tells the client everyone's ping, and a
// bot's stays 0.
#include "impair_proxy.h"
#include "net_fixture.h"

namespace {

TEST_F(NetServerTest, PingThroughTheRelayMeasuresItsDelayBothWaysAndBotsShowZero) {
  Serve();
  TImpairProxy proxy(TCPPort(), UDPPort(), {.DelayMs = 50, .JitterMs = 10, .Loss = 0.2});
  TClient client("127.0.0.1", proxy.ProxyTCPPort, proxy.ProxyUDPPort, "Pinger");
  std::string error;
  ASSERT_TRUE(client.Open(Network->Packets(), error)) << error;
  ASSERT_TRUE(PollUntil([&] { return client.Poll(nullptr).empty() && client.Connected(); }));
  TNetMessage ready = MakeMessage(ClientMsg::Ready, kNetRevision);
  ready.F[0] = client.LocalUDPPort;
  client.Send(ready);
  client.PeerStamps = true;
  ASSERT_TRUE(PollUntil([&] { return Network->Server->Slot(0) && Network->Server->Slot(0)->PeerStamps; }));
  const int32_t bot = 2;  // no client plays it, as with a bot
  // Datagrams both ways, so that loss has something to count.
  uint64_t lastDatagram = 0;
  const auto step = [&] {
    const uint64_t now = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    if (now - lastDatagram >= 20) {
      lastDatagram = now;
      client.SendDatagram({0, 1.7f, 0, 0, 0, 100, 1});
      Network->Server->SendDatagram(*Network->Server->Slot(0), {0, 1.7f, 0, 0, 0, 100, 0});
    }
    EXPECT_EQ(client.Poll(nullptr), "");
  };
  // Five pings each way, the ping table after them.
  Until([&] { Network->Poll(); step(); }, [] { return false; }, 5500);
  TLinkStats& server = Network->Server->Slot(0)->Link;
  for (TLinkStats* link : {&server, &client.Link}) {
    EXPECT_NEAR(link->RttMs, 100, 25);
    EXPECT_LT(link->JitterMs, 20);
    // One second of about 50 datagrams: the share is noisy, but neither none nor all.
    EXPECT_GT(link->LossIn, 0.03);
    EXPECT_LT(link->LossIn, 0.45);
    EXPECT_NEAR(link->BytesOutPerSec, 50 * 24 + 104, 400);
  }
  EXPECT_EQ(Network->PingOf(1), server.RttMs);
  EXPECT_EQ(Network->PingOf(bot), 0);
  EXPECT_EQ(Network->PingOf(0), 0);
  ASSERT_GT(client.Pings.size(), static_cast<size_t>(bot));
  EXPECT_NEAR(client.Pings[1], 100, 25);
  EXPECT_EQ(client.Pings[0], 0);
  EXPECT_EQ(client.Pings[static_cast<size_t>(bot)], 0);
  const std::vector<std::string> report = Network->LinkReport();
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].rfind("client 0: rtt ", 0), 0u) << report[0];
}

}  // namespace
