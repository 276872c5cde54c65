// The round cycle on a server without clients and with one: the empty round
// of a fresh server, gold, revival at a spawn point after 5000 ms, a
// restart time that later deaths do not move, the listen server's first
// round that waits for its host, and the join time of a running round.
#include "game/ki.h"
#include "game_fixture.h"

#include <algorithm>

namespace {

class RoundTest : public GameTest {
 protected:
  // Ticks every 10 ms from `from` until `until` holds or `ms` have passed;
  // returns the time it held (0 when it did not).
  template <typename Until>
  uint32_t TickUntil(uint32_t from, uint32_t ms, Until until) {
    for (uint32_t t = from; t <= from + ms; t += 10) {
      characters->Tick(t, true);
      if (until()) return t;
    }
    return 0;
  }
  static bool AtSpawn(const TCharacter& c, const std::vector<TVec3>& spawns) {
    return std::any_of(spawns.begin(), spawns.end(), [&](const TVec3& s) {
      return s.x == c.BoundSphere.Centre.x && s.y == c.BoundSphere.Centre.y && s.z == c.BoundSphere.Centre.z;
    });
  }
};

TEST_F(RoundTest, AFreshServersEmptyRoundEndsPaysAndRevivesAtASpawnPoint) {
  TLevel& arena = ShippedLevel("arena");
  const uint32_t start = 500000;
  MakeCharacters();
  characters->Tick(start - 1000, true);  // the level ran a moment before the server started
  TCharacter& me = *characters->LocalCharacter;
  me.SetModel(10);
  StartServer(800);
  const uint32_t ended = TickUntil(start, 3000, [&] { return characters->RoundOver; });
  ASSERT_NE(ended, 0u);
  EXPECT_EQ(me.Money, 800);
  EXPECT_TRUE(me.Dead);
  EXPECT_EQ(characters->RespawnTime, ended + 5000);

  const uint32_t revived = TickUntil(ended + 10, 6000, [&] { return !me.Dead; });
  EXPECT_EQ(revived, ended + 5000);
  EXPECT_FALSE(characters->RoundOver);
  EXPECT_EQ(me.Health, 100);
  EXPECT_TRUE(AtSpawn(me, arena.TerSpawns));
  EXPECT_EQ(me.Deaths, 0);
  EXPECT_EQ(me.Money, 800);
}

TEST_F(RoundTest, ASecondDeathDuringThePauseDoesNotMoveTheRestart) {
  LevelOf({});  // no spawn points at all
  StartServer(300);
  const int32_t slot = AddStartedClient();
  MakeCharacters();
  characters->Tick(100000, true);
  TCharacter& t = Player(10, {5, 1, 5});
  TCharacter& ct = Player(0, {-5, 1, -5});
  ASSERT_EQ(ct.Id, slot + 2);  // the client's character is t (index 1)
  characters->RoundOver = false;
  characters->TerroristsAlive = characters->TerroristCount;
  characters->CountersAlive = characters->CounterCount;
  characters->LocalCharacter->SetInUse(false);

  characters->Tick(101000, true);
  t.SetDead(true);  // the last terrorist
  ASSERT_TRUE(characters->RoundOver);
  EXPECT_EQ(characters->RespawnTime, 106000u);
  EXPECT_EQ(CodesTo(slot).back(), ServerMsg::RoundOver);
  EXPECT_EQ(SentTo(slot).back().S1, "300");
  auto roundOversSent = [&] {
    std::vector<uint8_t> codes = CodesTo(slot);
    return std::count(codes.begin(), codes.end(), ServerMsg::RoundOver);
  };
  const auto roundOvers = roundOversSent();

  characters->Tick(103000, true);
  ct.SetDead(true);
  EXPECT_EQ(characters->RespawnTime, 106000u);
  EXPECT_EQ(roundOversSent(), roundOvers);

  characters->Tick(105990, false);  // in the menu nothing restarts
  characters->Tick(106000, false);
  EXPECT_TRUE(characters->RoundOver);
  sent.clear();
  characters->Tick(106010, true);
  EXPECT_FALSE(characters->RoundOver);
  for (const TCharacter* c : {&t, &ct}) {
    EXPECT_FALSE(c->Dead);
    // With empty spawn lists the bounding-sphere centre goes to (0, 1, 0).
    EXPECT_EQ(c->BoundSphere.Centre.x, 0);
    EXPECT_EQ(c->BoundSphere.Centre.y, 1);
    EXPECT_EQ(c->BoundSphere.Centre.z, 0);
  }
  EXPECT_TRUE(characters->LocalCharacter->Dead);  // not in use: stays dead
  // The client's character: its health and its new position.
  std::vector<TNetMessage> toClient = SentTo(slot);
  ASSERT_EQ(toClient.size(), 2u);
  EXPECT_EQ(toClient[0].Code, ServerMsg::Health);
  EXPECT_EQ(toClient[0].S1, "100");
  EXPECT_EQ(toClient[1].Code, ServerMsg::Position);
  EXPECT_EQ(toClient[1].F[1], t.Y);
}

TEST_F(RoundTest, RoundsEndOnlyOnTheServer) {
  MakeCharacters();
  characters->Tick(100000, true);
  characters->Recount();
  EXPECT_FALSE(characters->RoundOver);
  Network->StartClient("host", 5000, 5001, "me");
  characters->Recount();
  EXPECT_FALSE(characters->RoundOver);
}

}  // namespace

namespace {

// A listen server whose host stays in the character choice while a client's
// player hides: nobody can win, so the round time limit ends the round the
// way a wipe-out does, and again the same time after each restart. The host
// counts on no team throughout and is never revived.
TEST_F(RoundTest, TheTimeLimitEndsARoundWithAPlayerInTheChoiceAndAnotherHiding) {
  ShippedLevel("arena");
  StartServer(700);
  Network->Server->RoundTime = 2;
  const int32_t slot = AddStartedClient();
  MakeCharacters();
  const uint32_t start = 200000;
  characters->Tick(start, true);
  TCharacter& host = *characters->LocalCharacter;
  const int32_t money = host.Money;
  const uint32_t rounds = characters->RoundsEnded;
  TCharacter& hider = Player(10, {15, 1, 15});
  ASSERT_EQ(hider.Id, slot + 1);
  EXPECT_EQ(characters->TerroristCount, 1);
  EXPECT_EQ(characters->CounterCount, 0);  // the host, still choosing, is on neither team
  // A side chosen on the fresh server ends its empty round at once; the
  // limit counts from the restart.
  EXPECT_TRUE(characters->RoundOver);
  ASSERT_NE(TickUntil(start + 10, 6000, [&] { return !characters->RoundOver; }), 0u);
  EXPECT_EQ(characters->RoundTimeLeft(), 2000);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const uint32_t roundStart = characters->RoundStart;
    const uint32_t ended = TickUntil(roundStart + 10, 3000, [&] { return characters->RoundOver; });
    EXPECT_EQ(ended, roundStart + 2000) << "neither earlier nor later than the limit";
    EXPECT_EQ(CodesTo(slot).back(), ServerMsg::RoundOver);
    EXPECT_EQ(SentTo(slot).back().S1, "700");
    EXPECT_EQ(characters->RoundTimeLeft(), -1);  // the pause shows no clock

    const uint32_t revived = TickUntil(ended + 10, 6000, [&] { return !characters->RoundOver; });
    EXPECT_EQ(revived, ended + 5000);
    EXPECT_FALSE(hider.Dead);
    EXPECT_TRUE(host.Dead);
    EXPECT_EQ(host.Health, 0);
    EXPECT_EQ(host.Deaths, 0);
    EXPECT_EQ(characters->CounterCount, 0);
  }
  EXPECT_EQ(characters->RoundsEnded, rounds + 3);
  EXPECT_EQ(host.Money, money + 3 * 700);  // each ended round pays the host

  // Without a limit the same round goes on.
  Network->Server->RoundTime = 0;
  EXPECT_EQ(characters->RoundTimeLeft(), -1);
  EXPECT_EQ(TickUntil(characters->Now + 10, 20000, [&] { return characters->RoundOver; }), 0u);
}

}  // namespace

namespace {

// The host of a listen server with the New Game's three bots takes 10 s to
// choose a side: meanwhile the bots stand at their spawns and the clock
// stands; the choice starts the round with the host alive at once.
class FirstRoundTest : public RoundTest, public testing::WithParamInterface<std::string> {};

TEST_P(FirstRoundTest, AListenServersFirstRoundWaitsForTheHostsSide) {
  TLevel& level = ShippedLevel(GetParam());
  StartServer();
  Network->Server->RoundTime = 180;
  MakeCharacters();
  characters->HoldFirstRoundForHost();
  TKI ki(characters.get());
  const int32_t bots[] = {ki.AddBot(), ki.AddBot(), ki.AddBot()};
  uint32_t now = 100000;
  auto play = [&](uint32_t ms) {
    for (uint32_t end = now + ms; now < end;) {
      now += 20;
      characters->Tick(now, true);
      ki.Think(now, 20);
    }
  };
  play(20);
  std::vector<TVec3> placed;
  for (int32_t b : bots) {
    const TCharacter& bot = *characters->At(b);
    EXPECT_FALSE(bot.Dead);
    EXPECT_TRUE(AtSpawn(bot, bot.Team == 1 ? level.TerSpawns : level.CTSpawns));
    placed.push_back(bot.Position());
  }
  play(10000);
  EXPECT_FALSE(characters->RoundOver);
  EXPECT_EQ(characters->RoundTimeLeft(), 180000);
  for (size_t i = 0; i < placed.size(); ++i)
    EXPECT_EQ(VecLength(VecSub(characters->At(bots[i])->Position(), placed[i])), 0.0f);

  TCharacter& host = *characters->LocalCharacter;
  const int32_t money = host.Money;
  const uint32_t ended = characters->RoundsEnded;
  host.SetModel(0);
  play(20);
  EXPECT_FALSE(host.Dead) << "alive on the next tick";
  EXPECT_FALSE(characters->RoundOver) << "the choice ends no round";
  EXPECT_EQ(host.Money, money + 1000) << "the first round's gold";
  EXPECT_EQ(characters->RoundsEnded, ended + 1) << "the bots are paid it too";
  for (int32_t b : bots) EXPECT_GT(characters->At(b)->PistolShots + characters->At(b)->RifleShots, 0) << "armed";
  EXPECT_TRUE(AtSpawn(host, level.CTSpawns));
  EXPECT_EQ(characters->RoundStart, now);
  play(3000);
  EXPECT_EQ(characters->RoundTimeLeft(), 177000);
  float moved = 0;
  for (size_t i = 0; i < placed.size(); ++i)
    moved += VecLength(VecSub(characters->At(bots[i])->Position(), placed[i]));
  EXPECT_GT(moved, 1.0f) << "the bots play once the round runs";
}

INSTANTIATE_TEST_SUITE_P(Shipped, FirstRoundTest, testing::ValuesIn(ListedMaps()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// A client that chooses a side in the round's join time spawns at once, by
// the health and position messages a restart sends; a later one is told
// when it plays and is revived with everybody at the next restart.
TEST_F(RoundTest, ASideChosenInTheJoinTimeSpawnsAtOnceALaterOneWaitsAndIsTold) {
  struct Case {
    int32_t JoinTime;
    uint32_t ChosenAfterMs;
    bool Spawns;
    std::string Told;
  } cases[] = {
      {15, 5000, true, ""},
      {15, 20000, false, "You join the next round (this one has 2:40 left)."},
      {0, 1000, false, "You join the next round (this one has 2:59 left)."},
  };
  TLevel& arena = ShippedLevel("arena");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ChosenAfterMs);
    sent.clear();
    Network->Close();
    StartServer();
    Network->Server->RoundTime = 180;
    Network->Server->JoinTime = c.JoinTime;
    const int32_t slot = AddStartedClient();
    MakeCharacters();
    characters->LocalCharacter->SetInUse(false);  // a dedicated server
    uint32_t now = 100000;
    characters->Tick(now, true);
    TCharacter& joiner = *characters->At(characters->Add(-1, 0, 0, 0));
    ASSERT_EQ(joiner.Id, slot + 1);
    Player(10, {5, 1, 5});
    Player(0, {-5, 1, -5});
    characters->RestartRound();
    for (const uint32_t end = now + c.ChosenAfterMs; now < end;) characters->Tick(now += 10, true);
    sent.clear();

    joiner.SetModel(0);
    EXPECT_FALSE(characters->RoundOver);
    EXPECT_EQ(joiner.Dead, !c.Spawns);
    const std::vector<uint8_t> codes = CodesTo(slot);
    if (c.Spawns) {
      EXPECT_TRUE(AtSpawn(joiner, arena.CTSpawns));
      EXPECT_EQ(characters->CountersAlive, 2);
      ASSERT_GE(codes.size(), 2u);
      EXPECT_EQ(codes[0], ServerMsg::Health);
      EXPECT_EQ(codes[1], ServerMsg::Position);
      EXPECT_EQ(SentTo(slot).back().Code, ServerMsg::Money) << "a newcomer gets the round's gold";
      EXPECT_EQ(SentTo(slot).back().S1, "1000");
    } else {
      ASSERT_FALSE(codes.empty());
      const TNetMessage told = SentTo(slot).back();
      EXPECT_EQ(told.Code, ServerMsg::Chat);
      EXPECT_EQ(told.S1 + told.S2 + told.S3, c.Told);
      EXPECT_EQ(characters->CountersAlive, 1);
      characters->EndRound();
      characters->Tick(now + 5000, true);
      EXPECT_FALSE(joiner.Dead) << "revived with everybody";
    }
  }
}

}  // namespace
