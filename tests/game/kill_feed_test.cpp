// The kill feed: the server's lines from the shot itself, a client's from the
// death and the score that follow it.
#include "game/kill_feed.h"
#include "game_fixture.h"

namespace {

class KillFeedTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    MakeCharacters();
    shooter = &Player(0, {-10, 1, 0});
    victim = &Player(10, {0, 1, 0});
    shooter->SetName("Rex");
    victim->SetName("Vera");
  }
  const std::deque<TKillLine>& Lines() const { return characters->KillFeed.Lines(); }
  TCharacter* shooter = nullptr;
  TCharacter* victim = nullptr;
};

TEST_F(KillFeedTest, TheServerNamesKillerVictimAndHeadShotFromTheShot) {
  const TWeapon& rifle = *Weapons->Rifles[1];
  shooter->FireRay(Horizontal(shooter->BoundSphere.Centre, 1 + kHeadY), rifle);
  ASSERT_EQ(Lines().size(), 1u);
  EXPECT_EQ(Lines()[0].Killer, "Rex");
  EXPECT_EQ(Lines()[0].Victim, "Vera");
  EXPECT_TRUE(Lines()[0].HeadShot);

  // A kill through the legs carries no mark; a fall names no killer.
  characters->Now = 2000;
  victim->SetHealth(5);
  shooter->FireRay(Horizontal(shooter->BoundSphere.Centre, 1 + kLegsY), rifle);
  shooter->FellOutOfWorld();
  ASSERT_EQ(Lines().size(), 3u);
  EXPECT_EQ(Lines()[1].Killer, "Rex");
  EXPECT_FALSE(Lines()[1].HeadShot);
  EXPECT_EQ(Lines()[2].KillerId, -1);
  EXPECT_EQ(Lines()[2].Victim, "Rex");

  // Only the last five deaths are kept.
  for (int i = 0; i < 6; ++i) {
    victim->SetHealth(100);
    victim->SetHealth(0);
  }
  EXPECT_EQ(Lines().size(), TKillFeed::kMaxLines);
}

// A client learns of a kill as the death of the victim and then the killer's
// score one higher; a head shot shows where the victim's last known health
// was beyond what any other shot of the killer's weapon takes.
TEST_F(KillFeedTest, AClientPiecesTheLineTogetherFromDeathAndScore) {
  const int32_t body = MaxBodyShotDamage(*Weapons->Rifles[1]);
  struct {
    int32_t HealthBefore;
    int32_t MaxBody;
    uint32_t ScoreAfterMs;
    bool Attached, HeadShot;
  } cases[] = {
      {100, body, 0, true, true},      // more than a body shot can take
      {body, body, 20, true, false},   // a chest shot could have done it
      {100, -1, 0, true, false},       // the killer's weapon is not known
      {100, body, 1500, false, false}, // too late: not this death's score
  };
  for (const auto& c : cases) {
    TKillFeed feed;
    feed.Died(*victim, c.HealthBefore, 1000);
    feed.Scored(*shooter, 1000 + c.ScoreAfterMs, c.MaxBody);
    EXPECT_EQ(feed.Lines().back().KillerId >= 0, c.Attached) << c.HealthBefore << " " << c.ScoreAfterMs;
    EXPECT_EQ(feed.Lines().back().HeadShot, c.HeadShot) << c.HealthBefore << " " << c.MaxBody;
  }
  // A score never claims the killer's own death, nor one already claimed.
  TKillFeed feed;
  feed.Died(*shooter, 50, 0);
  feed.Scored(*shooter, 0, body);
  EXPECT_EQ(feed.Lines().back().KillerId, -1);
  feed.Scored(*victim, 0, body);
  feed.Scored(*victim, 0, body);
  EXPECT_EQ(feed.Lines().back().KillerId, victim->Id);
  EXPECT_EQ(feed.Lines().size(), 1u);
  // The weapon's limit is what the damage rule can give, so a head shot
  // from full health with the shop's rifles is always told apart.
  EXPECT_GT(100, body);
}

}  // namespace
