// A running server's answers on its game port: what getinfo and getstatus
// tell of the live game, the ration under a flood while the game goes on,
// and its heartbeats to a stand-in master.
#include "net_fixture.h"
#include "oob_socket.h"

#include <memory>

#include "core/logger.h"
#include "net/out_of_band.h"

namespace {

class ServerQueryTest : public NetServerTest {
 protected:
  // Every answer that arrives at the sockets while the server polls for a
  // while (until done holds, or the time is up).
  std::vector<std::string> Answers(const std::vector<TOutOfBandSocket*>& sockets, size_t expected, int timeoutMs) {
    std::vector<std::string> answers;
    PollUntil([&] {
      std::string bytes;
      for (TOutOfBandSocket* s : sockets)
        while (s->Receive(bytes)) answers.push_back(bytes);
      return answers.size() >= expected;
    }, timeoutMs);
    return answers;
  }
};

std::string Text(const std::string& packet) {
  return std::string(OutOfBandText(reinterpret_cast<const uint8_t*>(packet.data()), packet.size()));
}

}  // namespace

TEST_F(ServerQueryTest, TheGamePortAnswersWithTheLiveGame) {
  Serve(8);
  Join("Bob", 1);
  Characters->At(1)->SetKills(3);
  TOutOfBandSocket browser;
  browser.Send(EncodeServerQuery(TQueryKind::Info, "i1"), UDPPort());
  browser.Send(EncodeServerQuery(TQueryKind::Status, "s1"), UDPPort());
  const std::vector<std::string> answers = Answers({&browser}, 2, 3000);
  ASSERT_EQ(answers.size(), 2u);
  const std::optional<TInfoResponse> info =
      DecodeInfoResponse(reinterpret_cast<const uint8_t*>(answers[0].data()), answers[0].size());
  ASSERT_TRUE(info) << answers[0];
  EXPECT_EQ(info->Challenge, "i1");
  EXPECT_EQ(*info->Info.Find("hostname"), "Arena Server");
  EXPECT_EQ(*info->Info.Find("mapname"), "arena");
  EXPECT_EQ(info->Clients, 2) << "the host's player and Bob";
  EXPECT_EQ(info->MaxClients, 8);
  const std::string status = Text(answers[1]);
  EXPECT_EQ(status.rfind("statusResponse\n\\challenge\\s1\\", 0), 0u) << status;
  EXPECT_NE(status.find("\n3 0 \"Bob\"\n"), std::string::npos) << status;
}

TEST_F(ServerQueryTest, AFloodIsRationedPerAddressAndInAllWhileTheGameGoesOn) {
  Serve(8);
  TWirePeer& player = Join("Mover");
  const int32_t me = static_cast<int32_t>(player.Find(7)->F[1]);
  TCharacter& c = *Characters->At(me);
  c.SetHealth(100);
  c.SetPosition(0, 1.7f, 0);
  // The player moves as in play: its datagrams count once the join's placement is behind it.
  const float first[5] = {0.25f, 1.7f, 0.25f, 4, 5};
  ASSERT_TRUE(Until([&] {
    player.SendDatagram(UDPPort(), WireDatagram(first, 1, static_cast<uint8_t>(me)));
    PollUntil([] { return false; }, 20);
  }, [&] { return c.X == 0.25f; }));

  // One address asking 100 times, then 100 other addresses asking twice each,
  // the player's next step among them. (More at once would overflow the
  // socket's buffer in the kernel, which drops what comes after, ours or not.)
  std::vector<std::unique_ptr<TOutOfBandSocket>> sockets;
  sockets.push_back(std::make_unique<TOutOfBandSocket>(0x7F000002));
  for (int i = 0; i < 100; ++i) sockets[0]->Send(EncodeServerQuery(TQueryKind::Status, "x"), UDPPort());
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::string> one = Answers({sockets[0].get()}, 1000, 300);
  const float step[5] = {0.5f, 1.7f, 0.5f, 4, 5};
  for (uint32_t host = 0x7F000003; host < 0x7F000003 + 100; ++host) {
    sockets.push_back(std::make_unique<TOutOfBandSocket>(host));
    for (int i = 0; i < 2; ++i) sockets.back()->Send(EncodeServerQuery(TQueryKind::Info, "y"), UDPPort());
    if (host == 0x7F000003 + 50) player.SendDatagram(UDPPort(), WireDatagram(step, 1, static_cast<uint8_t>(me)));
  }
  std::vector<TOutOfBandSocket*> all;
  for (auto& s : sockets) all.push_back(s.get());
  const std::vector<std::string> answers = Answers(all, 1000, 500);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_LE(one.size(), 3 + static_cast<size_t>(seconds * 3) + 1) << "one address: a few a second";
  EXPECT_LE(one.size() + answers.size(), 60 + static_cast<size_t>(seconds * 60) + 1) << "in all: bounded";
  EXPECT_GE(answers.size(), 40u) << "the others were still answered";
  EXPECT_EQ(c.X, 0.5f) << "the player's datagram came through the flood";
  const std::string log = ReadFile(Logger->LogPath());
  EXPECT_NE(log.find("over the rate limit went unanswered"), std::string::npos);
  EXPECT_EQ(log.find("over the rate limit"), log.rfind("over the rate limit")) << "one line for the flood";
}

TEST_F(ServerQueryTest, PublicServerThreadHeartbeatsComeFromTheGamePortAndProveIt) {
  TOutOfBandSocket master(0x7F000002);
  Network->Masters = {"127.0.0.2:" + std::to_string(master.Address.Port)};
  Serve(8);
  std::string bytes;
  TServerAddress from;
  ASSERT_TRUE(PollUntil([&] { return master.Receive(bytes, &from); }));
  EXPECT_EQ(bytes, EncodeHeartbeat());
  EXPECT_EQ(from.Port, UDPPort());
  // Everybody's ration used up by others does not keep the master's challenge unanswered.
  std::vector<std::unique_ptr<TOutOfBandSocket>> crowd;
  for (uint32_t host = 0x7F000010; host < 0x7F000010 + 80; ++host) {
    crowd.push_back(std::make_unique<TOutOfBandSocket>(host));
    crowd.back()->Send(EncodeServerQuery(TQueryKind::Info, "c"), UDPPort());
  }
  master.Send(EncodeServerQuery(TQueryKind::Info, "m4st3r"), UDPPort());
  ASSERT_TRUE(PollUntil([&] { return master.Receive(bytes); }));
  const std::optional<TMasterRequest> answer =
      ParseMasterRequest(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  ASSERT_TRUE(answer && answer->Kind == TMasterRequestKind::InfoResponse) << bytes;
  EXPECT_EQ(answer->Info.Challenge, "m4st3r");
  EXPECT_EQ(answer->Info.GameName, "Grimvale");

  // The last heartbeat leaves as the server closes, and then nothing answers.
  const uint16_t port = UDPPort();
  Network->Close();
  ASSERT_TRUE(Until([] {}, [&] { return master.Receive(bytes, &from); }));
  EXPECT_EQ(bytes, EncodeHeartbeat());
  EXPECT_EQ(from.Port, port);
}
