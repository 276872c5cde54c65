// The navigation graph: every spawn point of each listed map reaches every
// other along climbable steps, and walls split the floor where they should.
#include "core/platform.h"
#include "test_support.h"
#include "world/level.h"
#include "world/nav_graph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

// Each listed map's level, built in a scratch game directory.
class NavShippedMaps : public testing::Test {
 protected:
  void SetUp() override {
    previous = std::filesystem::current_path();
    std::filesystem::create_directories(dir / "data/maps");
    std::filesystem::current_path(dir.Path());
  }
  void TearDown() override { std::filesystem::current_path(previous); }
  std::unique_ptr<TLevel> Load(const std::string& name) {
    std::filesystem::copy(std::string(GRIMVALE_BIN_DIR) + "/data/maps/" + name, "data/maps/" + name,
                          std::filesystem::copy_options::recursive);
    BuildLevel(name, 500);
    auto level = std::make_unique<TLevel>(name, false);
    level->LoadData();
    return level;
  }
  TempDir dir;
  std::filesystem::path previous;
};

// The floors a map is built with are walkable: from its spawn points the
// graph climbs to the highest one (a stairwell too tight for a head, or a
// step too high, cuts it off).
TEST_F(NavShippedMaps, SpawnPointsReachTheHighestFloor) {
  for (const auto& [map, floor] : {std::pair{"compound", 3.0f}, {"depot", 1.2f}, {"tower", 8.0f}}) {
    SCOPED_TRACE(map);
    const std::unique_ptr<TLevel> level = Load(map);
    std::vector<TVec3> spawns = level->TerSpawns;
    spawns.insert(spawns.end(), level->CTSpawns.begin(), level->CTSpawns.end());
    TNavGraph nav;
    nav.Build(*level->Octree, spawns);
    float highest = -1e9f;
    for (const TNavNode& n : nav.Nodes) highest = std::max(highest, n.Centre.y - TNavGraph::kStandHeight);
    EXPECT_NEAR(highest, floor, 0.05f);
  }
}

TEST_F(NavShippedMaps, EverySpawnPointReachesEveryOtherOverClimbableSteps) {
  const std::vector<std::string> maps = ListedMaps();
  ASSERT_FALSE(maps.empty());
  for (const std::string& map : maps) {
    SCOPED_TRACE(map);
    const std::unique_ptr<TLevel> level = Load(map);
    std::vector<TVec3> spawns = level->TerSpawns;
    spawns.insert(spawns.end(), level->CTSpawns.begin(), level->CTSpawns.end());
    ASSERT_GE(spawns.size(), 2u);
    TNavGraph nav;
    nav.Build(*level->Octree, spawns);
    ASSERT_EQ(nav.SpawnNodes.size(), spawns.size());
    std::vector<int32_t> path;
    path.reserve(static_cast<size_t>(nav.NodeCount()));
    for (size_t a = 0; a < spawns.size(); ++a) {
      ASSERT_GE(nav.SpawnNodes[a], 0) << "spawn " << Vec3ToString(spawns[a]) << " is off the graph";
      EXPECT_LT(VecLength(VecSub(nav.Nodes[static_cast<size_t>(nav.SpawnNodes[a])].Centre, spawns[a])), 1.5f);
      for (size_t b = 0; b < spawns.size(); ++b) {
        ASSERT_TRUE(nav.FindPath(nav.SpawnNodes[a], nav.SpawnNodes[b], path))
            << Vec3ToString(spawns[a]) << " to " << Vec3ToString(spawns[b]);
        EXPECT_EQ(path.front(), nav.SpawnNodes[a]);
        EXPECT_EQ(path.back(), nav.SpawnNodes[b]);
        for (size_t i = 1; i < path.size(); ++i) {
          const TVec3 p = nav.Nodes[static_cast<size_t>(path[i - 1])].Centre;
          const TVec3 q = nav.Nodes[static_cast<size_t>(path[i])].Centre;
          ASSERT_LE(std::fabs(q.y - p.y), TNavGraph::kMaxStep);
          ASSERT_LT(std::hypot(q.x - p.x, q.z - p.z), 1.5f * nav.Cell);
          // No step goes through a wall at standing height.
          const TVec3 d = VecSub(q, p);
          ASSERT_FALSE(level->Octree->SegmentBlocked({p, VecNormalize(d)}, VecLength(d)));
        }
      }
    }
  }
}

// Two triangles of the quad a b c d.
std::vector<TTriangle> Quad(TVec3 a, TVec3 b, TVec3 c, TVec3 d) {
  TTriangle t1, t2;
  t1.Vertices[0].Position = a;
  t1.Vertices[1].Position = b;
  t1.Vertices[2].Position = c;
  t2.Vertices[0].Position = a;
  t2.Vertices[1].Position = c;
  t2.Vertices[2].Position = d;
  TrianglePlane(t1);
  TrianglePlane(t2);
  return {t1, t2};
}

// A 20 x 10 floor split at x = 0 by a wall across it, with a gap of the given
// width in the middle (0: none), and a ledge 1 unit high in the east half.
TNavGraph SplitFloor(float gap, std::vector<TVec3> spawns) {
  std::vector<TTriangle> t = Quad({-10, 0, -5}, {-10, 0, 5}, {10, 0, 5}, {10, 0, -5});
  auto add = [&](const std::vector<TTriangle>& more) { t.insert(t.end(), more.begin(), more.end()); };
  const float g = gap / 2;
  // The wall reaches past the floor's edges, as a perimeter wall would.
  add(Quad({0, 0, -6}, {0, 4, -6}, {0, 4, -g}, {0, 0, -g}));
  add(Quad({0, 0, g}, {0, 4, g}, {0, 4, 6}, {0, 0, 6}));
  if (gap == 0) add(Quad({0, 0, -1}, {0, 4, -1}, {0, 4, 1}, {0, 0, 1}));
  for (TTriangle& tri : t)  // floors facing up
    if (tri.Vertices[0].Normal.y < -0.5f) {
      std::swap(tri.Vertices[1], tri.Vertices[2]);
      TrianglePlane(tri);
    }
  // The ledge: a block x 6..10, z -5..5, 1 high (its top and its west face).
  std::vector<TTriangle> top = Quad({6, 1, -5}, {6, 1, 5}, {10, 1, 5}, {10, 1, -5});
  for (TTriangle& tri : top)
    if (tri.Vertices[0].Normal.y < 0) {
      std::swap(tri.Vertices[1], tri.Vertices[2]);
      TrianglePlane(tri);
    }
  add(top);
  add(Quad({6, 0, -5}, {6, 1, -5}, {6, 1, 5}, {6, 0, 5}));
  TOctree octree(std::move(t), 500);
  TNavGraph nav;
  nav.Build(octree, spawns);
  return nav;
}

TEST(NavGraph, WallsSplitTheFloorAndGapsAndLedgesDecideWhatConnects) {
  const TVec3 west{-6, 1, 0}, east{3, 1, 0}, ledge{8, 2, 0};
  struct {
    float gap;
    bool westEast;
  } cases[] = {{0, false}, {3.0f, true}, {5.0f, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "gap " << c.gap);
    TNavGraph nav = SplitFloor(c.gap, {west, east, ledge});
    ASSERT_GE(nav.SpawnNodes[0], 0);
    ASSERT_GE(nav.SpawnNodes[1], 0);
    ASSERT_GE(nav.SpawnNodes[2], 0);
    EXPECT_EQ(nav.Connected(nav.SpawnNodes[0], nav.SpawnNodes[1]), c.westEast);
    // A step of a whole unit is more than the walk climbs.
    EXPECT_FALSE(nav.Connected(nav.SpawnNodes[1], nav.SpawnNodes[2]));
    EXPECT_GE(nav.Nearest(east), 0);
  }
}

TEST(NavGraph, ALevelWithoutFloorsHasNoNodes) {
  TOctree octree(Quad({0, 0, -5}, {0, 4, -5}, {0, 4, 5}, {0, 0, 5}), 500);
  TNavGraph nav;
  nav.Build(octree, {{-2, 1, 0}});
  EXPECT_EQ(nav.NodeCount(), 0);
  EXPECT_EQ(nav.SpawnNodes[0], -1);
  EXPECT_EQ(nav.Nearest({-2, 1, 0}), -1);
  std::vector<int32_t> path;
  EXPECT_FALSE(nav.FindPath(0, 0, path));
}

}  // namespace
