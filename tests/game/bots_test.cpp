// Bots: a headless match on the shipped maps with a fixed seed and a
// replaceable clock (kills, rounds ending by wipe-out and restarting, money
// spent at the shop, nobody lost below the world or stuck), bots that never
// fire at a target behind a wall, and the slot and team bookkeeping.
#include "game/ki.h"
#include "game_fixture.h"

#include <cmath>
#include <map>

namespace {

class BotTest : public GameTest {
 protected:
  void TearDown() override {
    SetTickSource(nullptr);
    GameTest::TearDown();
  }
};

struct TMatchCase {
  const char* Map;
  uint32_t Seed;
};
// How a case is named in the test list and in failures.
void PrintTo(const TMatchCase& c, std::ostream* os) { *os << c.Map << "_seed" << c.Seed; }

class BotMatch : public BotTest, public testing::WithParamInterface<TMatchCase> {};

struct TMatchLog {
  int32_t RoundsEnded = 0, Kills = 0;
  int64_t GoldGiven = 0, MoneyLeft = 0;
  bool RifleBought = false, WipedEveryTime = true;
  std::string Fault;
  uint32_t Elapsed = 0;
};

// One human slot (character 0, standing idle at its spawn) and 7 bots play
// until 5 rounds have ended after the first restart, or 15 simulated minutes.
TMatchLog PlayMatch(TCharacters& characters, TKI& ki, uint32_t start, int32_t gold) {
  TMatchLog log;
  uint32_t now = start;
  SetTickSource([&now] { return now; });
  struct TWatch {
    TVec3 Anchor;
    uint32_t Since = 0;
    bool Alive = false;
  };
  std::map<int32_t, TWatch> watch;
  bool wasOver = false, restarted = false;
  constexpr uint32_t kStep = 20, kLimit = 15 * 60 * 1000;
  while (now - start < kLimit && log.RoundsEnded < 5 && log.Fault.empty()) {
    now += kStep;
    characters.Tick(now, true);
    ki.Think(now, kStep);
    if (characters.RoundOver && !wasOver) {
      log.GoldGiven += gold;
      if (restarted) {
        ++log.RoundsEnded;
        // Ended by a wipe-out: one team has nobody alive.
        int32_t alive[2] = {0, 0};
        for (int32_t i = 0; i < characters.Count; ++i)
          if (const TCharacter* c = characters.At(i); c->InUse && !c->Dead) ++alive[c->Team];
        log.WipedEveryTime = log.WipedEveryTime && (alive[0] == 0 || alive[1] == 0);
      }
    }
    if (!characters.RoundOver && wasOver) restarted = true;
    wasOver = characters.RoundOver;
    for (int32_t i = 1; i < characters.Count; ++i) {
      const TCharacter& c = *characters.At(i);
      log.RifleBought = log.RifleBought || c.RifleIndex >= 0;
      TWatch& w = watch[i];
      if (c.Dead) {
        w.Alive = false;
        continue;
      }
      if (c.Y < -50) log.Fault = c.Name + " fell out of the world";
      const TVec3 p = c.Position();
      if (!w.Alive || std::hypot(p.x - w.Anchor.x, p.z - w.Anchor.z) > 0.5f) {
        w = {p, now, true};
      } else if (now - w.Since > 10000) {
        log.Fault = c.Name + " stuck at " + Vec3ToString(p);
      }
    }
  }
  log.Elapsed = now - start;
  for (int32_t i = 0; i < characters.Count; ++i) log.Kills += characters.At(i)->Kills;
  for (int32_t i = 1; i < characters.Count; ++i) log.MoneyLeft += characters.At(i)->Money;
  return log;
}

TEST_P(BotMatch, SevenBotsAndAnIdlePlayerPlayFiveRoundsToTheirEnd) {
  ShippedLevel(GetParam().Map);
  const int32_t gold = 1000;
  StartServer(gold);
  RandomSeed(GetParam().Seed);
  MakeCharacters();
  const uint32_t start = 100000;
  characters->Tick(start, true);
  characters->LocalCharacter->SetModel(0);  // the human: team 0, never moves
  TKI ki(characters.get());
  ki.SetSkill(TBotSkill::Normal);
  for (int i = 0; i < 7; ++i) ASSERT_EQ(ki.AddBot(), i + 1);
  EXPECT_EQ(ki.AddBot(), -1);  // 8 players: the server is full
  EXPECT_EQ(characters->TerroristCount, 4);
  EXPECT_EQ(characters->CounterCount, 4);

  const TMatchLog log = PlayMatch(*characters, ki, start, gold);
  EXPECT_EQ(log.Fault, "");
  EXPECT_EQ(log.RoundsEnded, 5) << "after " << log.Elapsed / 1000 << " s";
  EXPECT_LE(log.Elapsed, 15u * 60 * 1000);
  EXPECT_TRUE(log.WipedEveryTime);
  EXPECT_GE(log.Kills, 5);
  // Money spent by the shop's rules: bots paid for what they hold.
  EXPECT_LT(log.MoneyLeft, log.GoldGiven * 7);
  EXPECT_TRUE(log.RifleBought);
}

// The compound's seeds beside the fixture's are matches whose last players
// once stood facing each other across a ledge, out of range, for good.
INSTANTIATE_TEST_SUITE_P(Shipped, BotMatch,
                         testing::Values(TMatchCase{"arena", 1234}, TMatchCase{"compound", 1234},
                                         TMatchCase{"compound", 2}, TMatchCase{"compound", 4},
                                         TMatchCase{"compound", 11}, TMatchCase{"compound", 14},
                                         TMatchCase{"depot", 1234}, TMatchCase{"tower", 1234}));

TEST_F(BotTest, TheSameSeedAndClockReplayTheSameMatch) {
  ShippedLevel("arena");
  StartServer(1000);
  std::vector<float> first;
  for (int run = 0; run < 2; ++run) {
    RandomSeed(77);
    MakeCharacters();
    characters->Tick(100000, true);
    characters->LocalCharacter->SetModel(0);
    TKI ki(characters.get());
    for (int i = 0; i < 5; ++i) ki.AddBot();
    std::vector<float> trace;
    for (uint32_t now = 100000; now < 140000; now += 20) {
      characters->Tick(now, true);
      ki.Think(now, 20);
    }
    for (int32_t i = 0; i < characters->Count; ++i) {
      const TCharacter& c = *characters->At(i);
      trace.insert(trace.end(), {c.X, c.Y, c.Z, c.Yaw, static_cast<float>(c.Health), static_cast<float>(c.Kills)});
    }
    ki.KickBots();
    if (run == 0) first = trace;
    else EXPECT_EQ(trace, first);
  }
}

// A floor of 20 x 20 at y = 0, with or without a wall across it at x = 0.
std::vector<TTriangle> Floor(bool wall) {
  std::vector<TTriangle> t = Quad({{-10, 0, -10}, {-10, 0, 10}, {10, 0, 10}, {10, 0, -10}});
  if (wall) {
    std::vector<TTriangle> w = Wall(0, 10);
    t.insert(t.end(), w.begin(), w.end());
  }
  return t;
}

TEST_F(BotTest, ABotFiresAtAnEnemyInTheOpenAndNeverThroughAWall) {
  for (bool wall : {false, true}) {
    SCOPED_TRACE(wall ? "behind a wall" : "in the open");
    characters.reset();
    LevelOf(Floor(wall));
    Network->Close();
    StartServer(1000);
    MakeCharacters();
    characters->Tick(100000, true);
    TKI ki(characters.get());
    ki.SetSkill(TBotSkill::Hard);
    TCharacter& bot = *characters->At(ki.AddBot(1));
    bot.Money = 5000;
    bot.MoveCentreTo({-3, 1, 0});
    bot.SetHealth(100);
    TCharacter& enemy = Player(0, {3, 1, 0});
    const TCharacter& mate = Player(10, {-3, 1, 5});
    int32_t shotsBefore = -1, fewest = 1 << 30;
    for (uint32_t now = 100020; now < 104000; now += 20) {
      characters->Tick(now, true);
      ki.Think(now, 20);
      if (shotsBefore < 0) shotsBefore = bot.RifleShots;  // bought on the first think
      fewest = std::min(fewest, bot.RifleShots);
    }
    ASSERT_GE(bot.RifleIndex, 0);
    EXPECT_EQ(mate.Health, 100);
    if (wall) {
      EXPECT_EQ(fewest, shotsBefore) << "fired at a target behind a wall";
      EXPECT_EQ(enemy.Health, 100);
    } else {
      EXPECT_LT(fewest, shotsBefore);
      EXPECT_LT(enemy.Health, 100);
    }
  }
}

TEST_F(BotTest, BotsFillTheSmallerTeamAndLeaveTheirSlotsAndCharactersTogether) {
  LevelOf({});
  EXPECT_EQ(TKI(nullptr).AddBot(), -1);  // no characters
  MakeCharacters();
  {
    TKI noServer(characters.get());
    EXPECT_EQ(noServer.AddBot(), -1);  // bots play only on a server
  }
  StartServer();
  TKI ki(characters.get());
  const int32_t human = AddStartedClient();  // slot 0, character 1
  ASSERT_EQ(characters->Add(-1, 0, 0, 0), human + 1);
  // The host's player and the client have chosen no character yet: they
  // count on neither team.
  EXPECT_EQ(ki.AddBot(), 2);
  EXPECT_EQ(characters->At(2)->Team, 1);
  EXPECT_EQ(ki.AddBot(), 3);
  EXPECT_EQ(characters->At(3)->Team, 0);
  EXPECT_EQ(ki.AddBot(0), 4);
  EXPECT_EQ(characters->At(4)->Team, 0);
  EXPECT_NE(characters->At(2)->Name, characters->At(3)->Name);
  EXPECT_TRUE(ki.IsBot(3));
  EXPECT_FALSE(ki.IsBot(1));

  // A joining human takes the slot of the bot added last.
  EXPECT_EQ(ki.RemoveBotForJoin(), 3);
  EXPECT_EQ(Network->Server->Slot(3), nullptr);
  EXPECT_FALSE(characters->At(4)->InUse);
  EXPECT_EQ(characters->CounterCount, 1);  // the freed character and the players still choosing are on no team
  EXPECT_TRUE(ki.KickBot());
  ki.KickBots();
  EXPECT_EQ(ki.BotCount(), 0);
  EXPECT_FALSE(ki.KickBot());
  EXPECT_EQ(ki.RemoveBotForJoin(), -1);
  EXPECT_EQ(Network->Server->ConnectedCount(), 1);  // the human client stays
}

TEST_F(BotTest, AfterTheHumanChoseASideDeadBotsEvenTheTeamsInTheRoundsPause) {
  LevelOf({});
  StartServer();
  MakeCharacters();
  characters->Tick(100000, true);
  TKI ki(characters.get());
  for (int i = 0; i < 3; ++i) ki.AddBot();
  characters->LocalCharacter->SetModel(10);  // the host joins the terrorists: 3 against 1
  ASSERT_EQ(characters->TerroristCount, 3);
  for (int32_t i = 0; i < characters->Count; ++i) characters->At(i)->SetHealth(100);
  ki.Think(100020, 20);  // no pause: nobody moves over
  EXPECT_EQ(characters->TerroristCount, 3);
  for (int32_t i = 0; i < characters->Count; ++i)
    if (characters->At(i)->Team == 1) characters->At(i)->SetDead(true);
  characters->Tick(100040, true);
  ASSERT_TRUE(characters->RoundOver);
  ki.Think(100040, 20);
  EXPECT_EQ(characters->TerroristCount, 2);
  EXPECT_EQ(characters->CounterCount, 2);
  EXPECT_EQ(characters->LocalCharacter->Team, 1);  // never the human
}

TEST_F(BotTest, BotsAddedToKeepTheirTeamStayOnItInThePause) {
  LevelOf({});
  StartServer();
  MakeCharacters();
  characters->Tick(100000, true);
  TKI ki(characters.get());
  for (int i = 0; i < 3; ++i) ki.AddBot(1, true);
  characters->LocalCharacter->SetModel(10);
  for (int32_t i = 0; i < characters->Count; ++i) characters->At(i)->SetHealth(100);
  for (int32_t i = 0; i < characters->Count; ++i) characters->At(i)->SetDead(true);
  characters->Tick(100040, true);
  ASSERT_TRUE(characters->RoundOver);
  ki.Think(100040, 20);
  EXPECT_EQ(characters->TerroristCount, 4);
  EXPECT_EQ(characters->CounterCount, 0);
}

// A fresh server ends its empty round as the first bot arrives; should the
// restart come before the bots next think, they are still paid and armed.
TEST_F(BotTest, BotsArePaidForARoundThatEndedAndRestartedBetweenTwoThinks) {
  LevelOf({});
  StartServer(1000);
  MakeCharacters();
  characters->Tick(100000, true);
  TKI ki(characters.get());
  const TCharacter& bot = *characters->At(ki.AddBot());
  ASSERT_TRUE(characters->RoundOver);
  characters->Tick(105000, true);
  ASSERT_FALSE(characters->RoundOver);
  ki.Think(105000, 20);
  EXPECT_GT(bot.PistolShots + bot.RifleShots, 0);
  EXPECT_LT(bot.Money, 1000);
}

TEST(BotSkill, ParsesTheThreeSkillsInAnyCase) {
  TBotSkill s = TBotSkill::Normal;
  EXPECT_TRUE(ParseBotSkill("EASY", s));
  EXPECT_EQ(s, TBotSkill::Easy);
  EXPECT_TRUE(ParseBotSkill("hard", s));
  EXPECT_EQ(s, TBotSkill::Hard);
  EXPECT_FALSE(ParseBotSkill("insane", s));
  EXPECT_EQ(s, TBotSkill::Hard);
}

}  // namespace
