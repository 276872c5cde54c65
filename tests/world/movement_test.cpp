// Movement on the shipped maps and on small fixtures: walking, walls,
// jumping, falling off ledges and out of the world, fall damage, the
// headings of the movement keys, and the collision query's list.
#include "level_scene.h"
#include "test_support.h"
#include "world/level.h"
#include "world/level_loaders.h"
#include "world/movement.h"
#include "world/octree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <random>

namespace {

// A body shaped like a character with the shipped models: the reference
// point at head height, the bounding sphere (radius 0.9) 0.765 below it. It
// records its landings and deaths.
class TTestBody : public TSphereBody {
 public:
  static constexpr float kRadius = 0.9f;

  explicit TTestBody(TVec3 centre, float yaw = 0, bool model = true) : TSphereBody(centre, kRadius, 0.765f, yaw, model) {}
  void FallDamage(float v) override { landings.push_back(v); }
  void FellOutOfWorld() override { ++deaths; }
  TVec3 Centre() const { return Bounds().Centre; }

  std::vector<float> landings;  // every FallDamage call
  int deaths = 0;
};

// The map's octree as the first build of its level makes it, or with
// another threshold.
TOctree& ShippedMap(const std::string& name, int32_t maxTriangles = 500) {
  static std::map<std::pair<std::string, int32_t>, std::unique_ptr<TOctree>> maps;
  auto& octree = maps[{name, maxTriangles}];
  if (!octree) {
    std::vector<TTriangle> triangles;
    std::vector<TOctreeMaterial> materials;
    TLevelBuildReport report;
    ReadLevelScene(std::string(GRIMVALE_BIN_DIR) + "/data/maps/" + name + "/map.3ds", triangles, materials, report);
    octree = std::make_unique<TOctree>(std::move(triangles), maxTriangles);
    octree->Materials = std::move(materials);
  }
  return *octree;
}

struct TRun {
  TMovement movement;
  TMoveInput input;

  void Ticks(TMovingBody& body, TOctree& octree, int count, int32_t ms = 50) {
    for (int i = 0; i < count; ++i) movement.Update(body, input, octree, ms);
  }
};

float Horizontal(TVec3 a, TVec3 b) { return std::hypot(a.x - b.x, a.z - b.z); }

}  // namespace

// ---------------------------------------------------------------- the collision query

TEST(MovementCollision, ListsEveryTouchedTriangleInTreeOrderAndMarksThem) {
  std::mt19937 rng(5);
  // As built for play, and split finely enough that a node's children's
  // subtrees interleave differently in Nodes order and in tree order.
  for (const auto& [map, threshold] : {std::pair{"arena", 500}, {"compound", 500}, {"arena", 12}, {"compound", 12}}) {
    SCOPED_TRACE(testing::Message() << map << " split below " << threshold);
    TOctree& octree = ShippedMap(map, threshold);
    std::vector<const TTriangle*> all;
    for (auto& node : octree.Nodes)
      for (const TTriangle& t : node->Triangles) all.push_back(&t);
    std::uniform_real_distribution<float> xz(-45, 45), y(-2, 9), radius(0.2f, 4), unit(0, 1);
    int touching = 0, several = 0;
    for (int i = 0; i < 2000; ++i) {
      // Every other sphere anywhere, the others close to a point of some
      // triangle, most of them within reach of its plane.
      TVec3 centre{xz(rng), y(rng), xz(rng)};
      const float r = radius(rng);
      if (i % 2) {
        const TTriangle& t = *all[rng() % all.size()];
        float a = unit(rng), b = unit(rng) * (1 - a);
        centre = VecAdd(VecAdd(VecScale(t.Vertices[0].Position, 1 - a - b), VecScale(t.Vertices[1].Position, a)),
                        VecScale(t.Vertices[2].Position, b));
        centre = VecAdd(centre, VecScale(t.Vertices[0].Normal, r * (2.4 * unit(rng) - 1.2)));
      }
      TTestBody body(centre);
      body.SetRadius(r);
      std::vector<TTriangle*> expected;
      TouchingInTreeOrder(*octree.Root, body.Bounds(), expected);
      TPolyList list{nullptr};  // appended to, never cleared
      ASSERT_EQ(TMovement::CollectCollisions(octree, body, list), !expected.empty());
      expected.insert(expected.begin(), nullptr);
      ASSERT_EQ(list, expected) << "sphere " << i;
      for (size_t k = 1; k < list.size(); ++k) EXPECT_EQ(list[k]->Material, 0);
      touching += list.size() > 1;
      several += list.size() > 2;
    }
    EXPECT_GT(touching, 800);
    EXPECT_GT(several, 200);
  }
}

TEST(MovementCollision, TouchedTrianglesTakeTheDefaultMaterialOthersKeepTheirs) {
  std::vector<TTriangle> scene;
  AddFloor(scene, -5, -5, 5, 5, 0, 3);
  AddFloor(scene, 20, -5, 30, 5, 0, 3);
  TOctree octree(scene, 500);
  TTestBody body({1, 0.5f, -1});
  TPolyList list;
  ASSERT_TRUE(TMovement::CollectCollisions(octree, body, list));
  ASSERT_EQ(list.size(), 1u);
  int marked = 0, kept = 0;
  for (auto& node : octree.Nodes)
    for (const TTriangle& t : node->Triangles) (t.Material == 0 ? marked : kept) += 1;
  EXPECT_EQ(marked, 1);
  EXPECT_EQ(kept, 3);
  EXPECT_EQ(list[0]->Material, 0);
}

// ---------------------------------------------------------------- walking

TEST(MovementWalk, TwoSecondsForwardOnTheArenaWalkTwoAndAHalfUnits) {
  TOctree& arena = ShippedMap("arena");
  TTestBody body({-17, 1, -5});
  TRun run;
  run.Ticks(body, arena, 10);  // settle onto the floor
  ASSERT_EQ(run.movement.VerticalVelocity, 0);
  const TVec3 start = body.Position();
  run.input.Forward = true;
  run.Ticks(body, arena, 40);
  EXPECT_NEAR(body.Position().x - start.x, 2.5f, 1e-3f);
  EXPECT_NEAR(body.Position().z, start.z, 1e-4f);
  EXPECT_NEAR(body.Position().y, start.y, 1e-4f);
  // A long frame moves no further than the step cap.
  const TVec3 before = body.Position();
  run.Ticks(body, arena, 1, 200);
  EXPECT_NEAR(Horizontal(body.Position(), before), 0.0625f, 1e-4f);
}

// Every combination of the four keys, as an offset from the yaw in degrees.
TEST(MovementWalk, HeadingsOfEveryKeyCombination) {
  struct Case {
    bool f, b, l, r;
    double degrees;
  };
  const Case cases[] = {
      {1, 0, 0, 0, 0},   {0, 1, 0, 0, 180}, {0, 0, 1, 0, 270}, {0, 0, 0, 1, 90},  {1, 0, 1, 0, 315},
      {1, 0, 0, 1, 45},  {0, 1, 1, 0, 225}, {0, 1, 0, 1, 135}, {0, 0, 1, 1, 0},   {1, 1, 0, 0, 180},
      {1, 1, 1, 0, 270}, {1, 1, 0, 1, 90},  {1, 0, 1, 1, 0},   {0, 1, 1, 1, 180}, {1, 1, 1, 1, 180},
  };
  TOctree empty(std::vector<TTriangle>{}, 500);
  for (float yaw : {0.0f, 30.0f, -100.0f})
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "yaw " << yaw << " keys F" << c.f << " B" << c.b << " L" << c.l << " R" << c.r);
      TTestBody body({0, 0, 0}, yaw);
      TRun run;
      run.input.Forward = c.f, run.input.Backward = c.b, run.input.Left = c.l, run.input.Right = c.r;
      run.Ticks(body, empty, 1);
      const double h = (yaw + c.degrees) * std::numbers::pi / 180;
      EXPECT_NEAR(body.Position().x, std::cos(h) * 0.0625, 1e-5);
      EXPECT_NEAR(body.Position().z, std::sin(h) * 0.0625, 1e-5);
    }
  TTestBody still({0, 0, 0});
  TRun run;
  run.Ticks(still, empty, 1);
  EXPECT_EQ(still.Position().x, 0);
  EXPECT_EQ(still.Position().z, 0);
}

// The arena's east wall has its inner face at x = 20, its north wall at z = 20.
TEST(MovementWalk, WallsStopTheBodyAndNeverLetItThrough) {
  TOctree& arena = ShippedMap("arena");
  const float r = TTestBody::kRadius;
  struct Case {
    const char* what;
    TVec3 start;
    bool right;
  };
  for (const Case& c : {Case{"straight at the east wall", {16, 1, 5}, false},
                        Case{"diagonally into the north-east corner", {16, 1, 16}, true}}) {
    SCOPED_TRACE(c.what);
    TTestBody body(c.start);
    TRun run;
    run.Ticks(body, arena, 10);
    run.input.Forward = true;
    run.input.Right = c.right;
    TVec3 last = body.Position();
    int still = 0;
    for (int i = 0; i < 100; ++i) {
      run.Ticks(body, arena, 1);
      ASSERT_LE(body.Centre().x, 20 - r) << "tick " << i;
      ASSERT_LE(body.Centre().z, 20 - r) << "tick " << i;
      still = Horizontal(body.Position(), last) < 1e-6f ? still + 1 : 0;
      last = body.Position();
    }
    EXPECT_GT(still, 20) << "stopped at the wall";
    EXPECT_GT(body.Centre().x, 20 - r - 0.07f);
    if (c.right) {
      EXPECT_GT(body.Centre().z, 20 - r - 0.07f);
    }
  }
}

TEST(MovementWalk, WithoutAModelTheBodyWalksButNeitherFallsNorLands) {
  TOctree& arena = ShippedMap("arena");
  TTestBody body({0, 8, 10}, 0, false);
  TRun run;
  run.Ticks(body, arena, 20);
  EXPECT_EQ(body.Centre().y, 8);
  EXPECT_EQ(run.movement.VerticalVelocity, 0);
  run.input.Forward = true;
  run.Ticks(body, arena, 8);
  EXPECT_NEAR(body.Centre().x, 0.5f, 1e-4f);
  EXPECT_EQ(body.Centre().y, 8);
  EXPECT_TRUE(body.landings.empty());
  EXPECT_EQ(body.deaths, 0);
}

TEST(MovementWalk, WithTheCursorShownTheBodyDoesNotWalkButStillFalls) {
  TOctree& arena = ShippedMap("arena");
  TTestBody body({0, 8, 10});
  TRun run;
  run.input.Forward = run.input.Left = true;
  run.input.CursorVisible = true;
  run.Ticks(body, arena, 30);
  EXPECT_EQ(body.Centre().x, 0);
  EXPECT_EQ(body.Centre().z, 10);
  EXPECT_LT(body.Centre().y, 1.2f);
  EXPECT_EQ(run.movement.VerticalVelocity, 0) << "landed on the floor";
}

// ---------------------------------------------------------------- jumping and falling

// The rise of a jump at 4 units per second under gravity 100 is 0.8 units
// in the limit; whole steps of gravity take a little less.
TEST(MovementFall, AJumpRisesAndLandsWhereItStarted) {
  TOctree& arena = ShippedMap("arena");
  for (const auto& [ms, rise] : {std::pair{50, 0.70f}, {10, 0.78f}, {1, 0.798f}}) {
    SCOPED_TRACE(testing::Message() << ms << " ms ticks");
    TTestBody body({5, 1, -5});
    TRun run;
    run.Ticks(body, arena, 10);
    const float ground = body.Centre().y;
    body.landings.clear();
    ASSERT_TRUE(run.movement.Jump());
    EXPECT_FALSE(run.movement.Jump()) << "no second jump while rising";
    float top = ground;
    int ticks = 0;
    while (body.landings.empty() && ticks < 2000 / ms) {
      run.Ticks(body, arena, 1, ms);
      top = std::max(top, body.Centre().y);
      ++ticks;
    }
    EXPECT_NEAR(top - ground, rise, 0.005f);
    EXPECT_NEAR(ticks * ms, 800, 60) << "up and down take 0.8 s";
    EXPECT_NEAR(body.Centre().y, ground, 0.03f);
    ASSERT_FALSE(body.landings.empty());
    EXPECT_NEAR(body.landings.back(), -4, ms / 100.0f + 1e-3f) << "lands as fast as it left, within a tick's gravity";
    EXPECT_TRUE(run.movement.Jump()) << "standing again";
  }
}

// The compound's deck is 3 units high; its east end at x = 30 drops to the
// ground.
TEST(MovementFall, WalkingOffTheDeckFallsAndLandsOnTheGround) {
  TOctree& compound = ShippedMap("compound");
  TTestBody body({27, 4, 24});
  TRun run;
  run.Ticks(body, compound, 10);
  EXPECT_NEAR(body.Centre().y, 3 + TTestBody::kRadius, 0.05f) << "stands on the deck";
  run.input.Forward = true;
  float lowest = body.Centre().y;
  for (int i = 0; i < 80; ++i) {
    run.Ticks(body, compound, 1);
    lowest = std::min(lowest, body.Centre().y);
  }
  EXPECT_GT(body.Centre().x, 32);
  EXPECT_NEAR(body.Centre().y, TTestBody::kRadius, 0.05f) << "stands on the ground";
  EXPECT_GT(lowest, TTestBody::kRadius - 0.01f) << "never sank into it";
  EXPECT_EQ(run.movement.VerticalVelocity, 0);
  // A drop of 3 units lands at about -7.7 units per second.
  ASSERT_FALSE(body.landings.empty());
  EXPECT_LT(*std::min_element(body.landings.begin(), body.landings.end()), -7);
  EXPECT_GT(*std::min_element(body.landings.begin(), body.landings.end()), -8.2f);
}

TEST(MovementFall, LandingReportsTheSpeedFromBeforeTheTicksGravity) {
  TOctree& arena = ShippedMap("arena");
  TTestBody body({5, TTestBody::kRadius + 0.1f, 5});
  TRun run;
  run.movement.VerticalVelocity = -8;
  run.Ticks(body, arena, 1);
  ASSERT_EQ(body.landings, std::vector<float>{-8});
  EXPECT_EQ(run.movement.VerticalVelocity, 0);
  EXPECT_NEAR(body.Centre().y, TTestBody::kRadius + 0.1f, 1e-6f) << "the step into the floor is cancelled";
}

TEST(MovementFall, FallingBelowMinusOneHundredKills) {
  TOctree& arena = ShippedMap("arena");
  TTestBody body({100, 0, 100});  // outside the arena's walls
  TRun run;
  int ticks = 0;
  while (body.deaths == 0 && ticks < 400) {
    const float before = body.Position().y;
    run.Ticks(body, arena, 1);
    ++ticks;
    if (body.deaths) {
      EXPECT_GE(before, -100);
      EXPECT_LT(body.Position().y, -100);
    }
  }
  EXPECT_EQ(body.deaths, 1);
  EXPECT_NEAR(ticks * 0.05, std::sqrt(2 * 100.0 / 10), 0.1) << "free fall at 10 units per second squared";
}

// Falling against a slope too steep to stand on: the body is pushed off it
// and gravity acts by cos(2 pi ny) of the slope's normal y; wedged between
// two such slopes it stops.
TEST(MovementFall, SteepSlopesScaleGravityAndAWedgeStopsTheFall) {
  // Two triangles of the plane through (x, 0, 0) whose normal
  // (-sign(x) sqrt(1 - ny^2), ny, 0) faces the origin's side; returns it.
  auto slope = [](std::vector<TTriangle>& scene, float ny, float x) {
    const TVec3 n = {-std::copysign(std::sqrt(1 - ny * ny), x), ny, 0}, along = {0, 0, 1}, up = VecCross(n, along);
    auto at = [&](float u, float v) { return VecAdd({x, 0, 0}, VecAdd(VecScale(along, u), VecScale(up, v))); };
    for (TTriangle t : {MakeTriangle(at(-50, -50), at(50, 50), at(50, -50)), MakeTriangle(at(-50, -50), at(-50, 50), at(50, 50))}) {
      if (VecDot(t.Vertices[0].Normal, n) < 0) {
        std::swap(t.Vertices[1], t.Vertices[2]);
        TrianglePlane(t);
      }
      scene.push_back(t);
    }
    return n;
  };
  for (const auto& [ny, factor] : {std::pair{0.0f, 1.0f}, {0.25f, 0.0f}, {0.4f, -0.809f}, {-0.4f, -0.809f}}) {
    SCOPED_TRACE(testing::Message() << "normal y " << ny);
    std::vector<TTriangle> scene;
    const TVec3 n = slope(scene, ny, 1);
    TOctree octree(scene, 500);
    TTestBody body(VecAdd({1, 0, 0}, VecScale(n, 0.8)));
    TRun run;
    run.movement.VerticalVelocity = -2;
    run.Ticks(body, octree, 1);
    EXPECT_NEAR(run.movement.VerticalVelocity, -2 - 0.5f * factor, 1e-3f);
    EXPECT_TRUE(body.landings.empty());
    EXPECT_NEAR(VecDot(n, body.Centre()) - VecDot(n, {1, 0, 0}), TTestBody::kRadius + 0.01f, 1e-4f) << "pushed off";
  }
  std::vector<TTriangle> funnel;
  slope(funnel, 0.3f, 0.8f);
  slope(funnel, 0.3f, -0.8f);
  TOctree octree(funnel, 500);
  TTestBody body({0, 0, 0});
  const TVec3 start = body.Position();
  TRun run;
  run.movement.VerticalVelocity = -2;
  run.Ticks(body, octree, 1);
  EXPECT_EQ(run.movement.VerticalVelocity, 0);
  EXPECT_EQ(body.landings, std::vector<float>{-2});
  EXPECT_EQ(body.Position().y, start.y);
  EXPECT_EQ(body.Position().x, start.x);
}
