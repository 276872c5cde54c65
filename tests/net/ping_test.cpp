// Round trips and loss through the relay: a client of this revision and the
// server measure each other, the server tells the client everyone's ping, a
// bot's stays 0, and each end knows the loss of both directions.
#include "impair_proxy.h"
#include "net_fixture.h"

#include <regex>

namespace {

// A client of this revision joined through the relay, and a step that sends
// `perStep` datagrams each way every `intervalMs` and polls both ends.
struct TRelayedClient {
  TRelayedClient(uint16_t tcpPort, uint16_t udpPort, int perStep, uint64_t intervalMs)
      : Client("127.0.0.1", tcpPort, udpPort, "Pinger"), perStep(perStep), intervalMs(intervalMs) {
    std::string error;
    EXPECT_TRUE(Client.Open(Network->Packets(), error)) << error;
    EXPECT_TRUE(Until([&] { Network->Poll(); }, [&] { return Client.Poll(nullptr).empty() && Client.Connected(); }));
    TNetMessage ready = MakeMessage(ClientMsg::Ready, kNetRevision);
    ready.F[0] = Client.LocalUDPPort;
    Client.Send(ready);
    Client.PeerStamps = true;
    EXPECT_TRUE(Until([&] { Network->Poll(); },
                      [&] { return Network->Server->Slot(0) && Network->Server->Slot(0)->PeerStamps; }));
  }
  void Step() {
    Network->Poll();
    const uint64_t now = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    if (now - lastDatagram >= intervalMs) {
      lastDatagram = now;
      for (int i = 0; i < perStep; ++i) {
        Client.SendDatagram({0, 1.7f, 0, 0, 0, 100, 1});
        Network->Server->SendDatagram(*Network->Server->Slot(0), {0, 1.7f, 0, 0, 0, 100, 0});
      }
    }
    EXPECT_EQ(Client.Poll(nullptr), "");
  }
  TClient Client;

 private:
  const int perStep;
  const uint64_t intervalMs;
  uint64_t lastDatagram = 0;
};

TEST_F(NetServerTest, PingThroughTheRelayMeasuresItsDelayBothWaysAndBotsShowZero) {
  Serve();
  TImpairProxy proxy(TCPPort(), UDPPort(), {.DelayMs = 50, .JitterMs = 10, .Loss = 0.2});
  TRelayedClient relayed(proxy.ProxyTCPPort, proxy.ProxyUDPPort, 1, 20);
  ASSERT_FALSE(HasFailure());
  TClient& client = relayed.Client;
  const int32_t bot = 2;  // no client plays it, as with a bot
  // Five pings each way, the ping table after them.
  Until([&] { relayed.Step(); }, [] { return false; }, 5500);
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

// Each end counts what reaches it and learns from the other's pings what
// reached the other; both ends' figures of both directions read the relay's
// 5%. The relay's drops are seeded, and each figure waits until it spans
// enough datagrams that 2 points are four standard deviations.
TEST_F(NetServerTest, BothEndsReadTheLossOfBothDirections) {
  Serve();
  TImpairProxy proxy(TCPPort(), UDPPort(), {.DelayMs = 125, .JitterMs = 10, .Loss = 0.05, .Seed = 7});
  TRelayedClient relayed(proxy.ProxyTCPPort, proxy.ProxyUDPPort, 2, 4);
  ASSERT_FALSE(HasFailure());
  const TLinkStats& server = Network->Server->Slot(0)->Link;
  const TLinkStats& client = relayed.Client.Link;
  const auto spans = [](const TLinkStats& l) { return std::min(l.LossInSpan, l.LossOutSpan); };
  ASSERT_TRUE(Until([&] { relayed.Step(); },
                    [&] { return spans(server) >= kLossSample && spans(client) >= kLossSample; }, 30000));
  // What the relay really dropped tells a figure that is off from a sample that is.
  SCOPED_TRACE("the relay dropped " + std::to_string(proxy.DroppedShare(0)) + " up, " +
               std::to_string(proxy.DroppedShare(1)) + " down");
  EXPECT_NEAR(server.LossIn, 0.05, 0.02);
  EXPECT_NEAR(client.LossOut, 0.05, 0.02);
  EXPECT_NEAR(client.LossIn, 0.05, 0.02);
  EXPECT_NEAR(server.LossOut, 0.05, 0.02);
  // netstat prints them: "loss 5% in, 5% out".
  std::smatch m;
  const std::string line = Network->LinkReport()[0];
  ASSERT_TRUE(std::regex_search(line, m, std::regex("loss ([0-9]+)% in, ([0-9]+)% out"))) << line;
  EXPECT_NEAR(std::stoi(m[1]), 5, 2) << line;
  EXPECT_NEAR(std::stoi(m[2]), 5, 2) << line;
}

}  // namespace
