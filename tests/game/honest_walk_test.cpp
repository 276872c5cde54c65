// An honest player is never corrected: a bot's two minutes on the compound,
// the depot and the tower (stairs, ramps, rails and jumps, moved by the same
// movement rules as a player) are replayed as a client's datagrams reaching
// the server 125 ms late with jitter and 5% of them lost, in simulated time.
#include "game/ki.h"
#include "game/net_rules.h"
#include "game_fixture.h"

#include <algorithm>
#include <map>
#include <random>

namespace {

// The seeds are walks that climb: the compound's deck, the depot's dock,
// the tower's two flights to its roof.
struct TWalkCase {
  const char* Map;
  uint32_t Seed;
};
void PrintTo(const TWalkCase& c, std::ostream* os) { *os << c.Map; }

class HonestWalkTest : public GameTest, public testing::WithParamInterface<TWalkCase> {
 protected:
  void TearDown() override {
    Characters = nullptr;
    NetRuleHooks = {};
    GameTest::TearDown();
  }
};

TEST_P(HonestWalkTest, TwoMinutesAtA250MsRoundTripAnd5PercentLossAreNeverCorrected) {
  ShippedLevel(GetParam().Map);
  StartServer();
  RandomSeed(GetParam().Seed);
  MakeCharacters();
  Characters = characters.get();
  InstallNetRules(*Network);
  uint32_t now = 100000;
  characters->Tick(now, true);
  // Without a join time the host waits for the next round, with the bot.
  Network->Server->JoinTime = 0;
  characters->LocalCharacter->SetModel(0);
  // The walker has no enemy: it roams the level's graph for the whole time.
  TKI ki(characters.get());
  const int32_t walker = ki.AddBot(0);
  ASSERT_GT(walker, 0);
  struct TSample {
    uint32_t At;
    TVec3 Where;
  };
  std::vector<TSample> path;
  float lowest = 1e9f, highest = -1e9f;
  for (uint32_t step = 0; step < 2 * 60 * 1000 / 20; ++step) {
    now += 20;
    characters->Tick(now, true);
    ki.Think(now, 20);
    const TCharacter& c = *characters->At(walker);
    if (c.Dead || (!path.empty() && VecLength(VecSub(c.Position(), path.back().Where)) > 3)) {
      if (path.size() > 100) break;  // a respawn: what came before is the walk
      path.clear();
      continue;
    }
    if (now % 40 == 0) path.push_back({now, c.Position()});
    lowest = std::min(lowest, c.Y);
    highest = std::max(highest, c.Y);
  }
  ASSERT_GT(path.size(), 1000u) << "the bot walked too little";
  EXPECT_GT(highest - lowest, 1.0f) << "the walk never changed level";

  // The replay: a started client playing a character of its own.
  const int32_t slot = AddStartedClient();
  TServerClient& client = *Network->Server->Slot(slot);
  TCharacter& me = *characters->At(characters->Add(0, 0, 0, 0));
  ASSERT_EQ(me.Id, slot + 1);
  me.SetHealth(100);
  me.SetPosition(path[0].Where.x, path[0].Where.y, path[0].Where.z);
  std::mt19937 random(9);
  std::uniform_real_distribution<double> unit(0, 1);
  std::multimap<uint32_t, TDatagram> arrivals;
  for (const TSample& s : path) {
    if (unit(random) < 0.05) continue;
    const uint32_t late = 125 + static_cast<uint32_t>(unit(random) * 30) - 15;
    arrivals.insert({s.At + late, {s.Where.x, s.Where.y, s.Where.z, 0, 0, 1, static_cast<uint8_t>(me.Id)}});
  }
  size_t taken = 0;
  for (const auto& [at, d] : arrivals) {
    characters->Now = at;
    Network->Rules->ClientDatagram(client, d);
    taken += me.X == d.X && me.Y == d.Y && me.Z == d.Z;
  }
  const std::vector<uint8_t> codes = CodesTo(slot);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), ServerMsg::Position), 0) << "corrected";
  EXPECT_EQ(taken, arrivals.size());
}

INSTANTIATE_TEST_SUITE_P(Shipped, HonestWalkTest,
                         testing::Values(TWalkCase{"compound", 3}, TWalkCase{"depot", 13}, TWalkCase{"tower", 22}));

}  // namespace
