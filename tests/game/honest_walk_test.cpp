// An honest player is never corrected: a bot's two minutes on the compound,
// the depot and the tower (stairs, ramps, rails and jumps, moved by the same
// movement rules as a player, and placed at a spawn point twice as a round's
// respawn does) are replayed as a client's datagrams reaching the
// server 125 ms late with jitter and 5% of them lost, in simulated time. The
// server places the client 125 ms before the client moves there, so the
// datagrams of a quarter second cross each placement.
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
  std::vector<TSample> path, placements;
  float lowest = 1e9f, highest = -1e9f;
  for (uint32_t step = 1; step <= 2 * 60 * 1000 / 20; ++step) {
    now += 20;
    TCharacter& c = *characters->At(walker);
    // After the minute the walks take to climb, at 60 s and 100 s.
    const bool respawn = step >= 3000 && step % 2000 == 1000;
    if (respawn) {
      const TSpawnPoint spawn = level->ChooseSpawn(c.Team == 1);
      c.MoveCentreTo(spawn.Position);
      c.SetView(spawn.Yaw, 0);
      placements.push_back({now, c.Position()});
    }
    characters->Tick(now, true);
    ki.Think(now, 20);
    if (c.Dead || (!respawn && !path.empty() && VecLength(VecSub(c.Position(), path.back().Where)) > 3)) {
      if (path.size() > 100) break;  // a fall: what came before is the walk
      path.clear();
      placements.clear();
      continue;
    }
    if (now % 40 == 0) path.push_back({now, c.Position()});
    lowest = std::min(lowest, c.Y);
    highest = std::max(highest, c.Y);
  }
  ASSERT_GT(path.size(), 1000u) << "the bot walked too little";
  EXPECT_GT(highest - lowest, 1.0f) << "the walk never changed level";
  ASSERT_GE(placements.size(), 2u) << "the walk crossed too few respawns";

  // The replay: a started client playing a character of its own.
  const int32_t slot = AddStartedClient();
  TServerClient& client = *Network->Server->Slot(slot);
  TCharacter& me = *characters->At(characters->Add(0, 0, 0, 0));
  ASSERT_EQ(me.Id, slot + 1);
  me.SetHealth(100);
  me.SetPosition(path[0].Where.x, path[0].Where.y, path[0].Where.z);
  std::mt19937 random(9);
  std::uniform_real_distribution<double> unit(0, 1);
  struct TArrival {
    TDatagram Datagram;
    bool Crossing = false;  // sent before a placement reached the client, arriving after the server made it
    const TSample* Placement = nullptr;  // the server places the client instead
  };
  constexpr uint32_t kOneWayMs = 125;
  std::multimap<uint32_t, TArrival> arrivals;
  for (const TSample& p : placements) arrivals.insert({p.At - kOneWayMs, {{}, false, &p}});
  for (const TSample& s : path) {
    if (unit(random) < 0.05) continue;
    const uint32_t at = s.At + kOneWayMs + static_cast<uint32_t>(unit(random) * 30) - 15;
    const bool crossing = std::any_of(placements.begin(), placements.end(),
                                      [&](const TSample& p) { return s.At < p.At && at > p.At - kOneWayMs; });
    arrivals.insert({at, {{s.Where.x, s.Where.y, s.Where.z, 0, 0, 1, static_cast<uint8_t>(me.Id)}, crossing}});
  }
  ASSERT_GT(std::count_if(arrivals.begin(), arrivals.end(), [](const auto& a) { return a.second.Crossing; }), 0);
  size_t judged = 0, taken = 0;
  for (const auto& [at, a] : arrivals) {
    characters->Now = at;
    if (a.Placement) {
      const TVec3& p = a.Placement->Where;
      me.SetPosition(p.x, p.y, p.z);
      client.SendPosition(p.x, p.y, p.z);
      continue;
    }
    const TDatagram& d = a.Datagram;
    Network->Rules->ClientDatagram(client, d);
    if (a.Crossing) continue;
    ++judged;
    taken += me.X == d.X && me.Y == d.Y && me.Z == d.Z;
  }
  const std::vector<uint8_t> codes = CodesTo(slot);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), ServerMsg::Position), static_cast<long>(placements.size()))
      << "corrected";
  EXPECT_EQ(taken, judged);
}

INSTANTIATE_TEST_SUITE_P(Shipped, HonestWalkTest,
                         testing::Values(TWalkCase{"compound", 3}, TWalkCase{"depot", 13}, TWalkCase{"tower", 22}));

}  // namespace
