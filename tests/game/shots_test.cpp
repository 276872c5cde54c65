// Shots at a placed target: which zone a ray hits, the damage and armour that
// follow, walls that block, team mates, kills and deaths, and the messages
// the server sends the victim.
#include "game_fixture.h"

#include <cmath>
#include <random>

namespace {

int32_t Rounded(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

class ShotsTest : public GameTest {};

TEST_F(ShotsTest, ZonesDamageAndArmour) {
  struct Case {
    const char* name;
    float y;  // ray height above the target's centre
    int32_t armour;
    int32_t zone;
  };
  const Case cases[] = {
      {"head", kHeadY, 0, kZoneHead},          {"head, armour 66 never cancels", kHeadY, 66, kZoneHead},
      {"head, armour 100", kHeadY, 100, kZoneHead}, {"chest", kChestY, 0, kZoneChest},
      {"chest, armour 100", kChestY, 100, kZoneChest}, {"legs", kLegsY, 0, kZoneLegs},
      {"chest and legs: legs win", -0.2f, 0, kZoneLegs}, {"above the head", 1.0f, 0, kZoneMiss},
  };
  MakeCharacters();
  const TWeapon& w = *Weapons->Pistols[0];
  for (const Case& c : cases) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
      SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
      characters = std::make_unique<TCharacters>(nullptr, false);
      TCharacter& shooter = Player(0, {-10, 1, 0});
      TCharacter& target = Player(10, {0, 1, 0});
      characters->LocalCharacter = &shooter;
      target.SetArmour(c.armour);
      TRay ray = Horizontal(shooter.BoundSphere.Centre, 1 + c.y);
      ASSERT_EQ(HitZone(ray, target, nullptr), c.zone);

      // The same draws as the rules make, in the same order.
      RandomSeed(seed);
      int32_t damage = 0, armour = c.armour;
      const double factor[] = {0, 6, 2.5, 1};
      if (c.zone != kZoneMiss) damage = Rounded(Random(10) + factor[c.zone] * w.Damage - 5);
      if (c.zone == kZoneHead && Random(c.armour) > 65) damage = 0;
      if (c.zone == kZoneChest) {
        damage = Rounded(damage - c.armour * damage / 200.0);
        armour = Random(damage);
      }
      RandomSeed(seed);
      console.clear();
      shooter.FireRay(ray, w);
      EXPECT_EQ(target.Health, 100 - damage);
      EXPECT_EQ(target.Armour, armour);
      if (c.zone == kZoneHead && c.armour <= 66) {
        EXPECT_GT(damage, 0);
      }
      if (c.zone == kZoneChest) {
        EXPECT_LT(target.Armour, std::max(damage, 1));
      }
      static const char* kLines[] = {"", "Hit, Head", "Hit, Chest", "Hit, Legs"};
      std::vector<std::string> lines;
      if (c.zone != kZoneMiss) lines = {kLines[c.zone], std::to_string(damage) + " DMG!"};
      EXPECT_EQ(console, lines);

      // The same shot by somebody else hits as hard, but the lines are the
      // shooter's own: the player here is not told.
      console.clear();
      characters->LocalCharacter = &target;
      target.SetHealth(100);
      target.SetArmour(c.armour);
      RandomSeed(seed);
      shooter.FireRay(ray, w);
      EXPECT_EQ(target.Health, 100 - damage);
      EXPECT_EQ(console, std::vector<std::string>{});
    }
  }
}

TEST_F(ShotsTest, ChestArmourHalvesDamage) {
  // With armour 100 the chest takes half the unarmoured damage, rounded to even.
  MakeCharacters();
  const TWeapon& w = *Weapons->Pistols[0];
  TCharacter& shooter = Player(0, {-10, 1, 0});
  TCharacter& bare = Player(10, {0, 1, 0});
  TCharacter& armoured = Player(10, {0, 1, 5});
  armoured.SetArmour(100);
  RandomSeed(7);
  shooter.FireRay(Horizontal(shooter.BoundSphere.Centre, 1 + kChestY), w);
  RandomSeed(7);
  shooter.FireRay(Horizontal({-10, 1, 5}, 1 + kChestY), w);
  EXPECT_EQ(100 - armoured.Health, Rounded((100 - bare.Health) / 2.0));
}

TEST_F(ShotsTest, AWallBetweenBlocksAndOneBehindDoesNot) {
  MakeCharacters();
  const TWeapon& w = *Weapons->Pistols[0];
  for (float wallX : {-5.0f, 5.0f}) {
    SCOPED_TRACE(wallX);
    LevelOf(Wall(wallX, 20));
    characters = std::make_unique<TCharacters>(level.get(), false);
    TCharacter& shooter = Player(0, {-10, 1, 0});
    TCharacter& target = Player(10, {0, 1, 0});
    shooter.FireRay(Horizontal(shooter.BoundSphere.Centre, 1 + kChestY), w);
    EXPECT_EQ(target.Health < 100, wallX > 0);
  }
}

TEST_F(ShotsTest, FriendlyFireDecidesWhetherTeamMatesAreHit) {
  for (bool friendlyFire : {false, true}) {
    SCOPED_TRACE(friendlyFire);
    Network->Close();
    StartServer(1000, friendlyFire);
    MakeCharacters();
    TCharacter& shooter = Player(0, {-10, 1, 0});
    TCharacter& mate = Player(1, {0, 1, 0});
    TCharacter& enemy = Player(10, {5, 1, 0});
    shooter.FireRay(Horizontal(shooter.BoundSphere.Centre, 1 + kLegsY), *Weapons->Pistols[0]);
    EXPECT_EQ(mate.Health < 100, friendlyFire);
    EXPECT_LT(enemy.Health, 100);  // the ray goes on through the mate
  }
}

TEST_F(ShotsTest, AKillCountsForTheShooterAndTheVictimIsTold) {
  StartServer();
  MakeCharacters();
  AddStartedClient();  // plays character 1
  AddStartedClient();  // plays character 2
  TCharacter& shooter = Player(0, {-10, 1, 0});
  TCharacter& victim = Player(10, {0, 1, 0});
  ASSERT_EQ(victim.Id, 2);
  victim.SetHealth(10);
  victim.RifleIndex = 1;
  sent.clear();
  shooter.FireRay(Horizontal(shooter.BoundSphere.Centre, 1 + kChestY), *Weapons->Pistols[0]);

  EXPECT_TRUE(victim.Dead);
  EXPECT_EQ(victim.Health, 0);
  EXPECT_EQ(victim.Deaths, 1);
  EXPECT_EQ(shooter.Kills, 1);
  EXPECT_EQ(shooter.Deaths, 0);
  EXPECT_EQ(victim.PistolIndex, 2);
  EXPECT_EQ(victim.PistolShots, 0);
  EXPECT_EQ(victim.RifleIndex, -1);
  // The victim's client: armour, the death and score broadcasts, the
  // shooter's score, its health. The shooter's client only the broadcasts.
  EXPECT_EQ(CodesTo(1), (std::vector<uint8_t>{ServerMsg::Armour, ServerMsg::Died, ServerMsg::Score, ServerMsg::Score,
                                              ServerMsg::Health}));
  EXPECT_EQ(SentTo(1).back().S1, "0");
  EXPECT_EQ(CodesTo(0), (std::vector<uint8_t>{ServerMsg::Died, ServerMsg::Score, ServerMsg::Score}));
  EXPECT_EQ(SentTo(0)[2].S1, "1");  // the shooter's score: index 1, one kill
  EXPECT_EQ(SentTo(0)[2].S2, "1");
  ASSERT_EQ(effects.Deaths.size(), 1u);
  EXPECT_FLOAT_EQ(effects.Deaths[0].y, victim.LegsSphere.Centre.y);

  // The dead are not hit again, and the dead do not shoot.
  sent.clear();
  shooter.FireRay(Horizontal(shooter.BoundSphere.Centre, 1 + kChestY), *Weapons->Pistols[0]);
  victim.FireRay({victim.BoundSphere.Centre, {-1, 0, 0}}, *Weapons->Pistols[0]);
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(shooter.Health, 100);
}

TEST_F(ShotsTest, RaysThatAreNotFiniteHitNothing) {
  MakeCharacters();
  TCharacter& shooter = Player(0, {-10, 1, 0});
  TCharacter& target = Player(10, {0, 1, 0});
  const float nan = std::nanf(""), inf = INFINITY;
  for (TRay ray : {TRay{{nan, 1, 0}, {1, 0, 0}}, TRay{{-10, 1, 0}, {nan, 0, 0}}, TRay{{-10, 1, 0}, {inf, 0, 0}},
                   TRay{{-10, 1, 0}, {0, 0, 0}}})
    shooter.FireRay(ray, *Weapons->Pistols[0]);
  EXPECT_EQ(target.Health, 100);
}

// The blocking test goes through the octree; it must answer exactly as a walk
// over every node and triangle of the level would.
int32_t HitZoneByWalk(const TRay& ray, const TCharacter& target, const TOctree& octree) {
  int32_t zone = HitZone(ray, target, nullptr);
  if (zone == kZoneMiss) return zone;
  float distance = VecLength(VecSub(target.BoundSphere.Centre, ray.Origin));
  for (const auto& node : octree.Nodes)
    for (const TTriangle& t : node->Triangles)
      if (RayTriangleWithin(t, ray, distance)) return kZoneMiss;
  return zone;
}

TEST_F(ShotsTest, OctreeBlockingAnswersAsTheWalkOverEveryTriangle) {
  for (const char* map : {"arena", "compound"}) {
    SCOPED_TRACE(map);
    TLevel& lvl = ShippedLevel(map);
    MakeCharacters();
    TCharacter& target = Player(10, {0, 1, 0});
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> xz(-30, 30), y(-1, 8), aim(-0.6f, 0.6f);
    int hits = 0, blocked = 0;
    for (int i = 0; i < 3000; ++i) {
      target.MoveCentreTo({xz(rng), y(rng), xz(rng)});
      TVec3 from{xz(rng), y(rng), xz(rng)};
      TVec3 at = VecAdd(target.BoundSphere.Centre, {0, aim(rng), 0});
      TRay ray{from, VecNormalize(VecSub(at, from))};
      int32_t expected = HitZoneByWalk(ray, target, *lvl.Octree);
      ASSERT_EQ(HitZone(ray, target, lvl.Octree.get()), expected) << "ray " << i;
      hits += expected != kZoneMiss;
      blocked += expected == kZoneMiss && HitZone(ray, target, nullptr) != kZoneMiss;
    }
    EXPECT_GT(hits, 300);
    EXPECT_GT(blocked, 300);
  }
}

}  // namespace
