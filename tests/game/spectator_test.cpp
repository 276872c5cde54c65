// Whom a dead player watches: only living team mates in play, in index order
// with wrap-around, the nearest first, the next when the watched one dies, a
// free camera when none lives; a remote mate is seen from its smoothed
// picture; the free camera flies along the view and stays in the level.
#include "game/spectator.h"
#include "game_fixture.h"

namespace {

class SpectatorTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    MakeCharacters();
    me = characters->LocalCharacter;
    me->SetModel(0);
    me->SetHealth(100);
  }
  // A living character of the model (0, 1: counter-terrorists; 10, 11:
  // terrorists) standing at x along the x axis.
  int32_t At(int32_t model, float x) { return Player(model, {x, 1, 0}).Id; }
  void Die(int32_t id) { characters->At(id)->SetHealth(0); }
  void Kill() {
    characters->Now = 10000;
    me->SetHealth(0);
  }

  TCharacter* me = nullptr;
  TSpectator spectator;
};

TEST_F(SpectatorTest, OnlyLivingMatesInPlayAreChosenInIndexOrderWrappingRound) {
  const int32_t a = At(0, 9), enemy = At(10, 1), dead = At(1, 2), b = At(1, 5);
  const int32_t choosing = characters->Add(-1, 3, 0, 0);  // still in the character choice
  Die(dead);
  ASSERT_TRUE(characters->At(choosing)->InUse);
  struct Case {
    int32_t From;
    int Step;
    int32_t Next;
  } cases[] = {{-1, 1, a}, {a, 1, b}, {b, 1, a}, {a, -1, b}, {b, -1, a}, {enemy, 1, b}, {choosing, 1, a}};
  for (const Case& c : cases)
    EXPECT_EQ(NextLivingMate(*characters, *me, c.From, c.Step), c.Next) << c.From << " " << c.Step;
  EXPECT_EQ(NearestLivingMate(*characters, *me, {0, 1, 0}), b) << "the enemy and the dead stand nearer";
  EXPECT_EQ(NearestLivingMate(*characters, *me, {20, 1, 0}), a);
  Die(a);
  EXPECT_EQ(NextLivingMate(*characters, *me, b, 1), b) << "the only one left comes round again";
  Die(b);
  EXPECT_EQ(NextLivingMate(*characters, *me, b, 1), -1);
  EXPECT_EQ(NearestLivingMate(*characters, *me, {}), -1);
}

TEST_F(SpectatorTest, AfterAMomentOnTheOwnBodyTheNearestMateThenTheNextThenTheFreeCamera) {
  const int32_t far = At(1, 8), near = At(0, 3);
  At(10, 1);  // an enemy nearer still
  characters->At(near)->SetView(30, 10);
  spectator.Update(*characters, 10000);
  EXPECT_EQ(spectator.Mode(), TWatch::Self) << "alive";
  Kill();
  spectator.Update(*characters, 10000 + TSpectator::kOwnBodyMs - 1);
  EXPECT_EQ(spectator.Mode(), TWatch::Self);
  EXPECT_EQ(spectator.View(*characters).CharacterId, me->Id);
  spectator.Update(*characters, 10000 + TSpectator::kOwnBodyMs);
  EXPECT_EQ(spectator.WatchedId(), near);
  const TSpectatorView view = spectator.View(*characters);
  EXPECT_EQ(view.CharacterId, near);
  EXPECT_EQ(view.Pose.Position.x, 3);
  EXPECT_EQ(view.Pose.EyeHeight, characters->At(near)->HeadSphere.Centre.y);
  EXPECT_EQ(view.Pose.Yaw, 30);
  EXPECT_EQ(view.Pose.Pitch, 10);

  spectator.Cycle(*characters, 1);
  EXPECT_EQ(spectator.WatchedId(), far);
  spectator.Cycle(*characters, 1);
  EXPECT_EQ(spectator.WatchedId(), near);
  Die(near);
  spectator.Update(*characters, 20000);
  EXPECT_EQ(spectator.WatchedId(), far) << "the watched mate died";

  const TCamPose last = spectator.View(*characters).Pose;
  Die(far);
  spectator.Update(*characters, 20001);
  EXPECT_EQ(spectator.Mode(), TWatch::Free);
  const TSpectatorView free = spectator.View(*characters);
  EXPECT_EQ(free.CharacterId, -1);
  EXPECT_EQ(free.Pose.Position.x, last.Position.x) << "the free camera starts where the view was";
  EXPECT_EQ(free.Pose.EyeHeight, last.EyeHeight);
  spectator.Cycle(*characters, 1);
  EXPECT_EQ(spectator.Mode(), TWatch::Free) << "a click finds nobody";

  me->SetHealth(100);  // the respawn
  spectator.Update(*characters, 30000);
  EXPECT_EQ(spectator.Mode(), TWatch::Self);
  EXPECT_EQ(spectator.View(*characters).CharacterId, me->Id);
}

TEST_F(SpectatorTest, AClickOnTheOwnBodyMovesOnAtOnceAndWithoutMatesFliesFree) {
  Kill();
  spectator.Cycle(*characters, 1);
  EXPECT_EQ(spectator.Mode(), TWatch::Free);
  spectator.Update(*characters, 10000 + TSpectator::kOwnBodyMs);
  EXPECT_EQ(spectator.Mode(), TWatch::Free) << "no mate lives";

  TSpectator other;
  const int32_t mate = At(0, 4);
  other.Cycle(*characters, 1);
  EXPECT_EQ(other.WatchedId(), mate);
  TSpectator alive;
  me->SetHealth(100);
  alive.Cycle(*characters, 1);
  EXPECT_EQ(alive.Mode(), TWatch::Self) << "the living do not spectate";
}

TEST_F(SpectatorTest, ARemoteMateIsSeenWhereItIsDrawnNotWhereItsLastDatagramPutIt) {
  TCharacter& mate = *characters->At(At(0, 0));
  characters->Now = 1000;
  characters->ServerClock.Arrived(1000, 1000);
  mate.Remote.Add(1000, {{0, 1, 0}, 0, 0});
  mate.Remote.Add(1040, {{1, 1, 0}, 0, 0});
  mate.RemoteClock = &characters->ServerClock;
  mate.SetPosition(1, 1, 0);  // the newest datagram
  Kill();
  characters->Now = 1100;
  spectator.Cycle(*characters, 1);
  const TCamPose pose = spectator.View(*characters).Pose;
  EXPECT_EQ(pose.Position.x, mate.DrawnPose().Position.x);
  EXPECT_LT(pose.Position.x, 1);
}

TEST_F(SpectatorTest, TheFreeCameraFliesAlongTheViewAndStaysInsideTheLevel) {
  LevelOf(Wall(10, 10));  // a cube of half-size 10 around the wall
  const TOctree& octree = *level->Octree;
  Kill();
  spectator.Cycle(*characters, 1);
  ASSERT_EQ(spectator.Mode(), TWatch::Free);
  const TVec3 start = spectator.View(*characters).Pose.Position;
  TMoveInput keys;
  keys.Speed = 0.5;
  keys.Forward = true;
  spectator.SetFreeView(0, -90);  // straight up
  spectator.Fly(keys, 40, &octree);
  const TVec3 up = spectator.View(*characters).Pose.Position;
  const float step = static_cast<float>(0.5 * 40 / 400 * TSpectator::kFlySpeedFactor);
  EXPECT_NEAR(up.y - start.y, step, 1e-4f);
  EXPECT_NEAR(up.x, start.x, 1e-4f);
  spectator.SetFreeView(90, 0);
  keys.Forward = false;
  keys.Left = true;  // facing +z, the left hand points to +x
  spectator.Fly(keys, 40, &octree);
  EXPECT_NEAR(spectator.View(*characters).Pose.Position.x - up.x, step, 1e-4f);
  keys.CursorVisible = true;  // a dialog is open
  spectator.Fly(keys, 40, &octree);
  EXPECT_NEAR(spectator.View(*characters).Pose.Position.x - up.x, step, 1e-4f);
  keys.CursorVisible = false;
  for (int i = 0; i < 1000; ++i) spectator.Fly(keys, 50, &octree);
  const TNode& root = *octree.Root;
  EXPECT_EQ(spectator.View(*characters).Pose.Position.x, root.Centre.x + root.HalfSize);
}

}  // namespace
