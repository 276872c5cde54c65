// Datagrams on their way across a placement (a respawn moves the player and
// tells it so): what the client sent before it learnt of the placement is
// dropped, neither taken nor refused, and what it sends after is judged from
// where it was placed. Simulated time, 125 ms each way.
#include "game/net_rules.h"
#include "game_fixture.h"

#include <algorithm>
#include <map>

namespace {

struct TPlacementCase {
  const char* Name;
  TVec3 Spawn;  // the old path walks along x from the origin to x = 1.55
};
void PrintTo(const TPlacementCase& c, std::ostream* os) { *os << c.Name; }

class PlacementTest : public GameTest, public testing::WithParamInterface<TPlacementCase> {
 protected:
  void TearDown() override {
    Characters = nullptr;
    GameTest::TearDown();
  }
};

TEST_P(PlacementTest, DatagramsSentBeforeThePlacementAreDroppedNotRefused) {
  LevelOf(Quad({{-20, 0, -20}, {-20, 0, 20}, {20, 0, 20}, {20, 0, -20}}));
  StartServer();
  MakeCharacters();
  Characters = characters.get();
  NetRuleHooks = {};
  InstallNetRules(*Network);
  const int32_t slot = AddStartedClient();
  TServerClient& client = *Network->Server->Slot(slot);
  TCharacter& me = *characters->At(characters->Add(0, 0, 0, 0));
  ASSERT_EQ(me.Id, slot + 1);
  me.SetHealth(100);
  me.SetPosition(0, 1.7f, 0);

  constexpr uint32_t kStart = 100000, kOneWay = 125, kStep = 40;
  const uint32_t placedAt = kStart + 25 * kStep + kOneWay;  // the server's moment
  const uint32_t learnt = placedAt + kOneWay;              // the client's
  const TVec3 spawn = GetParam().Spawn;
  // Walking at the speed setting's pace: along x until the client learns of
  // the placement, then on from the spawn.
  struct TArrival {
    TVec3 Where;
    bool Old;  // sent before the client learnt of the placement
  };
  std::multimap<uint32_t, TArrival> arrivals;
  TVec3 last{};
  for (uint32_t sent = kStart + kStep, k = 1; sent < learnt + 20 * kStep; sent += kStep, ++k) {
    const bool old = sent < learnt;
    last = old ? TVec3{0.05f * static_cast<float>(k), 1.7f, 0}
               : VecAdd(spawn, {0, 0, 0.05f * static_cast<float>(k - 32)});
    // The last datagram of the old path is overtaken by the first of the new.
    const uint32_t late = old && sent + kStep >= learnt ? 2 * kStep : 0;
    arrivals.insert({sent + kOneWay + late, {last, old}});
  }
  const auto same = [](const TVec3& a, const TVec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
  bool placed = false;
  for (const auto& [at, arrival] : arrivals) {
    if (!placed && at > placedAt) {
      placed = true;
      characters->Now = placedAt;
      me.SetPosition(spawn.x, spawn.y, spawn.z);
      client.SendPosition(spawn.x, spawn.y, spawn.z);
    }
    const TVec3 before = me.Position();
    characters->Now = at;
    const TVec3& p = arrival.Where;
    Network->Rules->ClientDatagram(client, {p.x, p.y, p.z, 0, 0, 1, static_cast<uint8_t>(me.Id)});
    if (placed && arrival.Old) {
      ASSERT_TRUE(same(me.Position(), before)) << "taken from before the placement: " << Vec3ToString(p);
    }
  }
  EXPECT_TRUE(same(me.Position(), last)) << "what came after the placement was not taken";
  const std::vector<uint8_t> codes = CodesTo(slot);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), ServerMsg::Position), 1) << "refused and corrected";
}

INSTANTIATE_TEST_SUITE_P(Spawns, PlacementTest,
                         testing::Values(TPlacementCase{"within_a_burst_of_the_old_path", {1.0f, 1.7f, 1.0f}},
                                         TPlacementCase{"across_the_level", {-12.0f, 1.7f, 14.0f}}));

}  // namespace
