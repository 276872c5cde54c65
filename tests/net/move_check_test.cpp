// The server takes a client's position only when the movement rules allow
// it. A wire-level cheater teleports, runs three times too fast, flies,
// steps through a wall and leaves the level: the server keeps its last good
// position, tells it so (message 6), and an observing client never sees a
// cheated position. A server of this revision still serves a client built
// only from the message tables: it ignores the stamps and revision fields.
#include "net_fixture.h"

#include <cmath>

#include "world/octree.h"

namespace {

struct TCheat {
  const char* Name;
  // The position claimed after `ms` of play, from the start (0, 1.7, 0).
  TVec3 (*Claim)(uint32_t ms);
  uint32_t DurationMs;
};
void PrintTo(const TCheat& c, std::ostream* os) { *os << c.Name; }

constexpr float kStartY = 1.7f;
constexpr double kUnitsPerMs = 0.5 / 400;

const TCheat kCheats[] = {
    {"teleport", [](uint32_t ms) { return TVec3{ms >= 500 ? 85.0f : 0.0f, kStartY, 0}; }, 1000},
    {"three_times_the_speed", [](uint32_t ms) { return TVec3{0, kStartY, static_cast<float>(-3 * kUnitsPerMs * ms)}; }, 3000},
    {"flying", [](uint32_t ms) { return TVec3{0, kStartY + static_cast<float>(ms) * 0.005f, 0}; }, 3000},
    {"to_900_high", [](uint32_t ms) { return TVec3{0, ms >= 200 ? 900.0f : kStartY, 0}; }, 600},
    // The wall stands at x = 1.5; one step of 1.2 units crosses it.
    {"through_a_wall", [](uint32_t ms) { return TVec3{ms >= 800 ? 2.1f : 0.9f, kStartY, 0}; }, 1200},
    {"out_of_the_level", [](uint32_t ms) { return TVec3{ms >= 200 ? 5000.0f : 0.0f, 1, ms >= 200 ? 5000.0f : 0.0f}; }, 600},
};

class NetMoveCheckTest : public NetServerTest, public testing::WithParamInterface<TCheat> {
 protected:
  void SetUp() override {
    NetServerTest::SetUp();
    // A floor 40 units wide, and a wall across it at x = 1.5.
    std::vector<TTriangle> triangles = Quad({{-20, 0, -20}, {-20, 0, 20}, {20, 0, 20}, {20, 0, -20}});
    for (const TTriangle& t : Wall(1.5f, 20)) triangles.push_back(t);
    level->Octree = std::make_unique<TOctree>(std::move(triangles), 500);
    Characters->Now = 100000;
    Serve();
  }

  // A joined peer whose character lives at the start.
  TWirePeer& Player(const std::string& name, int team) {
    TWirePeer& p = Join(name, team);
    TCharacter& c = *Characters->At(static_cast<int32_t>(p.Find(7)->F[1]));
    c.SetHealth(100);
    c.SetPosition(0, kStartY, team == 0 ? 0.0f : 10.0f);
    return p;
  }
  // One datagram with a yaw that marks it, handled once the yaw has changed.
  void Claim(TWirePeer& p, uint8_t index, const TVec3& where) {
    const float yaw = static_cast<float>(++marker);
    const float v[5] = {where.x, where.y, where.z, yaw, 0};
    p.SendDatagram(UDPPort(), WireDatagram(v, 1, index));
    ASSERT_TRUE(PollUntil([&] { return Characters->At(index)->Yaw == yaw; }));
  }
  int marker = 0;
};

TEST_P(NetMoveCheckTest, NothingOfTheCheatIsTakenOrSeenAndTheCheaterIsToldWhereItIs) {
  TWirePeer& cheater = Player("Cheater", 0);
  TWirePeer& observer = Player("Observer", 1);
  const uint8_t index = static_cast<uint8_t>(cheater.Find(7)->F[1]);
  TCharacter& c = *Characters->At(index);
  const TCheat& cheat = GetParam();
  const float highest = kStartY + static_cast<float>(JumpHeight(100)) * 1.25f + kMoveSlack + 0.1f;
  for (uint32_t ms = 40; ms <= cheat.DurationMs; ms += 40) {
    Characters->Now += 40;
    Claim(cheater, index, cheat.Claim(ms));
    // Never beyond where honest walking could have got by now, in the
    // server's picture or in what the observer is sent.
    const double reach = kUnitsPerMs * 1.25 * (ms + kMoveBurstMs) + kMoveSlack + 1e-3;
    EXPECT_LE(std::hypot(c.X, c.Z), reach) << ms;
    EXPECT_LE(c.Y, highest) << ms;
    EXPECT_LT(c.X, 1.5f) << ms;  // the wall's side it started on
    Network->SendPositions();
    Until([] {}, [&] {
      for (const auto& d : observer.DrainDatagrams())
        if (d[21] == index) {
          EXPECT_LE(std::hypot(WireFloat(&d[0]), WireFloat(&d[8])), reach) << ms;
          EXPECT_LE(WireFloat(&d[4]), highest) << ms;
          return true;
        }
      return false;
    }, 1000);
  }
  const TVec3 claimed = cheat.Claim(cheat.DurationMs);
  EXPECT_GT(VecLength(VecSub(claimed, c.Position())), 0.5f);
  ASSERT_TRUE(PollUntil([&] { return cheater.Find(ServerMsg::Position) != nullptr; }));
  const TWireMessage& told = *cheater.Find(ServerMsg::Position);
  EXPECT_LT(VecLength(VecSub({told.F[0], told.F[1], told.F[2]}, c.Position())), 1e-4f);  // its last good position
  EXPECT_EQ(observer.CountOf(ServerMsg::Position), 0);
}

INSTANTIATE_TEST_SUITE_P(Cheats, NetMoveCheckTest, testing::ValuesIn(kCheats));

TEST_F(NetServerTest, AClientFromTheTablesAloneIsServedBesideTheNewFields) {
  Serve();
  TWirePeer& p = Join("Plain");  // no revision in its ready message, no stamps
  const TWireMessage* info = p.Find(ServerMsg::StartInfo);
  ASSERT_NE(info, nullptr);
  const uint8_t index = static_cast<uint8_t>(info->F[1]);
  TCharacter& c = *Characters->At(index);
  c.SetHealth(100);
  c.SetPosition(0, 1.7f, 0);
  const float v[5] = {0.5f, 1.7f, 0, 45, 0};
  p.SendDatagram(UDPPort(), WireDatagram(v, 1, index));
  ASSERT_TRUE(PollUntil([&] { return c.X == 0.5f; }));
  // It still gets every other player's position in 24 bytes.
  Characters->At(0)->SetHealth(100);
  Network->SendPositions();
  std::vector<std::vector<uint8_t>> got;
  ASSERT_TRUE(PollUntil([&] {
    for (auto& d : p.DrainDatagrams()) got.push_back(d);
    return !got.empty();
  }));
  EXPECT_EQ(got[0].size(), 24u);
  EXPECT_EQ(got[0][21], 0);
  // A shot without a moment is resolved where the targets are now.
  EXPECT_TRUE(p.Open);
}

}  // namespace
