// Bots seen from the wire: a raw peer that joins a server with bots learns of
// them, watches them move and fight through the ordinary messages and
// datagrams, and a peer that finds every slot taken gets a bot's place, the
// bot's leaving announced like any disconnect.
#include "core/platform.h"
#include "game/ki.h"
#include "net_fixture.h"

#include <cmath>
#include <map>

namespace {

class BotWireTest : public NetServerTest {
 protected:
  void SetUp() override {
    NetServerTest::SetUp();
    ShippedLevel("arena");
    MakeCharacters();
    Characters = characters.get();
    SetTickSource([this] { return now; });
    characters->Tick(now, true);
  }
  void TearDown() override {
    KI = nullptr;
    ki.reset();
    SetTickSource(nullptr);
    NetServerTest::TearDown();
  }
  TKI& Bots(int n) {
    ki = std::make_unique<TKI>(characters.get());
    KI = ki.get();
    for (int i = 0; i < n; ++i) EXPECT_GT(ki->AddBot(), 0);
    return *ki;
  }
  // Indices of the messages with `code`, in arrival order.
  static std::vector<size_t> Where(const TWirePeer& p, uint8_t code, const std::string& s1) {
    std::vector<size_t> at;
    for (size_t i = 0; i < p.Received.size(); ++i)
      if (p.Received[i].Code == code && p.Received[i].S[0] == s1) at.push_back(i);
    return at;
  }

  uint32_t now = 100000;
  std::unique_ptr<TKI> ki;
};

TEST_F(BotWireTest, AJoiningClientSeesTheBotsMoveAndFightThroughTheOrdinaryProtocol) {
  Serve(8);
  Bots(3);  // slots 0-2, characters 1-3
  TWirePeer& peer = Join("Watcher", 0);
  const TWireMessage& info = *peer.Find(7);
  EXPECT_EQ(info.F[0], 5.0f);
  EXPECT_EQ(info.F[1], 4.0f);
  for (int32_t bot = 1; bot <= 3; ++bot) {
    const TCharacter& c = *characters->At(bot);
    // The states follow the start information; on a busy machine they may
    // not have arrived with it.
    EXPECT_TRUE(PollUntil([&] {
      for (const TWireMessage& m : peer.Received)
        if (m.Code == 4 && m.S[2] == std::to_string(bot) && m.S[0] == c.Name && m.S[1] == (c.Team == 1 ? "1" : "0") &&
            m.F[1] == static_cast<float>(c.ModelNr))
          return true;
      return false;
    })) << "no state message for bot " << bot;
  }

  // The server's frames on a simulated clock; the peer only listens.
  std::map<int, std::pair<TVec3, float>> travelled;  // per character: last position, distance
  bool botKilled = false;
  for (int step = 0; step < 6000 && !(botKilled && travelled.size() >= 3); ++step) {
    now += 20;
    characters->Tick(now, true);
    ki->Think(now, 20);
    if (step % 2 == 0) Network->SendPositions();
    if (step % 25 == 0) Network->SendStates();
    Poll();
    peer.Drain();
    for (const auto& d : peer.DrainDatagrams()) {
      ASSERT_EQ(d.size(), 24u);
      const int index = d[21];
      ASSERT_NE(index, 4) << "the peer's own character came back to it";
      if (index == 0) continue;
      const TVec3 p{WireFloat(&d[0]), WireFloat(&d[4]), WireFloat(&d[8])};
      auto [it, fresh] = travelled.try_emplace(index, p, 0.0f);
      it->second.second += fresh ? 0 : std::hypot(p.x - it->second.first.x, p.z - it->second.first.z);
      it->second.first = p;
    }
    for (const TWireMessage& m : peer.Received)
      botKilled = botKilled || (m.Code == 19 && (m.S[0] == "1" || m.S[0] == "2" || m.S[0] == "3") && m.S[1] != "0");
  }
  for (int32_t bot = 1; bot <= 3; ++bot) {
    ASSERT_TRUE(travelled.count(bot)) << "no datagram for bot " << bot;
    EXPECT_GT(travelled[bot].second, 5.0f) << "bot " << bot << " never walked";
  }
  EXPECT_TRUE(botKilled) << "no kill by a bot reached the peer";
  EXPECT_GT(peer.CountOf(22), 0);  // deaths are broadcast
}

TEST_F(BotWireTest, APeerFindingEverySlotTakenReplacesABotAndBotsLeaveAsPlayersDo) {
  Serve(4);  // the host and three more
  Bots(2);   // slots 0 and 1, characters 1 and 2
  TWirePeer& first = Join("First", 0);  // slot 2: now full
  EXPECT_EQ(ki->AddBot(), -1);

  TWirePeer& second = Connect();
  EXPECT_EQ(second.Find(1), nullptr) << "refused although a bot could leave";
  ASSERT_NE(second.Find(2), nullptr);
  EXPECT_EQ(ki->BotCount(), 1);
  ASSERT_NE(Network->Server->Slot(1), nullptr);
  EXPECT_NE(Network->Server->Slot(1)->Connection, nullptr);  // the newcomer holds the bot's slot
  ASSERT_TRUE(PollUntil([&] { return first.Find(8) != nullptr; }));
  // The bot's character is freed on the first peer, then taken by the newcomer.
  const std::vector<size_t> left = Where(first, 9, "2");
  ASSERT_EQ(left.size(), 1u);
  const TWireMessage* joined = first.Find(8);
  EXPECT_EQ(joined->S[1], "2");
  EXPECT_LT(left[0], static_cast<size_t>(joined - first.Received.data()));

  // Kicking the remaining bot tells the peers too.
  EXPECT_TRUE(ki->KickBot());
  ASSERT_TRUE(PollUntil([&] { return !Where(first, 9, "1").empty() && !Where(second, 9, "1").empty(); }));
  EXPECT_EQ(Network->Server->Slot(0), nullptr);
  EXPECT_FALSE(characters->At(1)->InUse);
}

}  // namespace
