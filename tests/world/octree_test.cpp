// Octree building, its file body with every refusal of a damaged body, and
// the node-limited queries against walks over every triangle.
#include "level_scene.h"
#include "test_support.h"
#include "core/binary_file.h"
#include "world/octree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>

namespace {

std::string SaveBody(const TOctree& octree, const std::string& path);
void LoadBody(TOctree& octree, const std::string& path);

std::string Bytes(const TTriangle& t) { return std::string(reinterpret_cast<const char*>(&t), sizeof t); }

// Every triangle of the tree, as bytes, with its count.
std::map<std::string, int> Contents(const TOctree& octree) {
  std::map<std::string, int> all;
  for (const auto& node : octree.Nodes)
    for (const TTriangle& t : node->Triangles) ++all[Bytes(t)];
  return all;
}

std::map<std::string, int> Contents(const std::vector<TTriangle>& triangles) {
  std::map<std::string, int> all;
  for (const TTriangle& t : triangles) ++all[Bytes(t)];
  return all;
}

// Small triangles scattered in a cube, a few large ones across it and a floor.
std::vector<TTriangle> RandomScene(std::mt19937& rng, int count) {
  std::uniform_real_distribution<float> pos(-50, 50), edge(-3, 3), big(-40, 40);
  std::vector<TTriangle> out;
  for (int i = 0; i < count; ++i) {
    TVec3 a{pos(rng), pos(rng), pos(rng)};
    bool large = i % 17 == 0;
    auto corner = [&] {
      return large ? TVec3{a.x + big(rng), a.y + big(rng), a.z + big(rng)}
                   : TVec3{a.x + edge(rng), a.y + edge(rng), a.z + edge(rng)};
    };
    out.push_back(MakeTriangle(a, corner(), corner(), static_cast<uint16_t>(i % 3)));
  }
  AddFloor(out, -50, -50, 50, 50, -20, 1);
  return out;
}

void CheckStructure(const TOctree& octree, size_t inputTriangles) {
  ASSERT_FALSE(octree.Nodes.empty());
  EXPECT_EQ(octree.Root, octree.Nodes[0].get());
  EXPECT_EQ(octree.Root->Parent, nullptr);
  size_t total = 0;
  for (size_t i = 0; i < octree.Nodes.size(); ++i) {
    const TNode& node = *octree.Nodes[i];
    EXPECT_EQ(node.NodeIndex, static_cast<int>(i));
    total += node.Triangles.size();
    if (i > 0) {
      ASSERT_NE(node.Parent, nullptr);
      EXPECT_LT(node.Parent->NodeIndex, node.NodeIndex);
      EXPECT_FLOAT_EQ(node.HalfSize, node.Parent->HalfSize / 2);
      // Empty octants are never kept: every subtree holds triangles.
      EXPECT_FALSE(node.SubtreeBounds.Empty()) << "node " << i;
    }
    EXPECT_LE(node.ChildCount(), 8);
    if (node.IsLeaf) {
      EXPECT_EQ(node.ChildCount(), 0);
    }
  }
  EXPECT_EQ(total, inputTriangles);
}

}  // namespace

TEST(OctreeBuild, SceneBelowThresholdGivesLeavesUnderTheRootAndStraddlersInIt) {
  std::vector<TTriangle> scene;
  // One small triangle in each of four octants, and one across the centre.
  scene.push_back(MakeTriangle({-9, 9, -9}, {-8, 9, -9}, {-8, 8, -9}));
  scene.push_back(MakeTriangle({9, 9, 9}, {8, 9, 9}, {8, 8, 9}));
  scene.push_back(MakeTriangle({-9, -9, -9}, {-8, -9, -9}, {-8, -8, -9}));
  scene.push_back(MakeTriangle({9, -9, 9}, {8, -9, 9}, {8, -8, 9}));
  scene.push_back(MakeTriangle({-1, -1, -1}, {1, 1, 1}, {1, -1, 1}));
  TOctree octree(scene, 500);
  CheckStructure(octree, scene.size());
  ASSERT_EQ(octree.Nodes.size(), 5u);
  EXPECT_FALSE(octree.Root->IsLeaf);
  EXPECT_EQ(octree.Root->Centre.x, 0);
  EXPECT_EQ(octree.Root->HalfSize, 9);
  ASSERT_EQ(octree.Root->Triangles.size(), 1u);
  EXPECT_EQ(Bytes(octree.Root->Triangles[0]), Bytes(scene[4]));
  // Octants in the order upper (-x -z, +x -z, +x +z, -x +z), then lower.
  const float expected[4][3] = {{-4.5f, 4.5f, -4.5f}, {4.5f, 4.5f, 4.5f}, {-4.5f, -4.5f, -4.5f}, {4.5f, -4.5f, 4.5f}};
  for (int k = 0; k < 4; ++k) {
    const TNode& child = *octree.Root->Children[k];
    EXPECT_TRUE(child.IsLeaf);
    EXPECT_EQ(child.NodeIndex, k + 1);
    EXPECT_EQ(child.Centre.x, expected[k][0]);
    EXPECT_EQ(child.Centre.y, expected[k][1]);
    EXPECT_EQ(child.Centre.z, expected[k][2]);
    ASSERT_EQ(child.Triangles.size(), 1u);
    EXPECT_EQ(Bytes(child.Triangles[0]), Bytes(scene[k]));
  }
}

TEST(OctreeBuild, TinyTriangleAcrossTheCentreStaysInTheRoot) {
  std::vector<TTriangle> scene;
  AddFloor(scene, 8, 8, 10, 10, 10);  // in one octant; keeps the root cube at [0, 10]
  scene.push_back(MakeTriangle({0, 0, 0}, {0.1f, 0, 0}, {0, 0.1f, 0}));
  scene.push_back(MakeTriangle({4.999f, 5.001f, 5}, {5.001f, 5.001f, 5}, {5.001f, 4.999f, 5}));
  TOctree octree(scene, 1);  // everything would be split as far as it can
  CheckStructure(octree, scene.size());
  ASSERT_EQ(octree.Root->Triangles.size(), 1u);
  EXPECT_EQ(Bytes(octree.Root->Triangles[0]), Bytes(scene.back()));
}

TEST(OctreeBuild, RandomScenesKeepEveryTriangleOnce) {
  std::mt19937 rng(7);
  for (int threshold : {1, 8, 60, 500}) {
    std::vector<TTriangle> scene = RandomScene(rng, 700);
    TOctree octree(scene, threshold);
    CheckStructure(octree, scene.size());
    EXPECT_EQ(Contents(octree), Contents(scene));
    for (const auto& node : octree.Nodes)
      if (node->IsLeaf) {
        EXPECT_LT(node->TriangleCount(), threshold);
      }
  }
}

TEST(OctreeBuild, CoincidentTrianglesStopAtTheDepthGuard) {
  struct Case {
    const char* what;
    std::vector<TTriangle> scene;
  } cases[] = {{"coincident triangles with a spread-out scene", {}}, {"a scene smaller than the guard", {}}};
  for (int i = 0; i < 2000; ++i) cases[0].scene.push_back(MakeTriangle({1, 1, 1}, {1.5f, 1, 1}, {1, 1.5f, 1}));
  cases[0].scene.push_back(MakeTriangle({-100, -100, -100}, {-99, -100, -100}, {-100, -99, -100}));
  for (int i = 0; i < 2000; ++i) cases[1].scene.push_back(MakeTriangle({0, 0, 0}, {1e-5f, 0, 0}, {0, 1e-5f, 0}));
  for (const Case& c : cases) {
    TOctree octree(c.scene, 10);
    SCOPED_TRACE(c.what);
    CheckStructure(octree, c.scene.size());
    EXPECT_LE(octree.Depth(), TOctree::kMaxDepth);
    EXPECT_EQ(Contents(octree), Contents(c.scene));
  }
}

TEST(OctreeBuild, StopsSplittingWhereTheFileHasNoRoomForMoreNodes) {
  std::mt19937 rng(21);
  std::uniform_real_distribution<float> pos(-1000, 1000);
  std::vector<TTriangle> scene;
  for (int i = 0; i < 60000; ++i) {
    TVec3 a{pos(rng), pos(rng), pos(rng)};
    scene.push_back(MakeTriangle(a, {a.x + 0.01f, a.y, a.z}, {a.x, a.y + 0.01f, a.z}));
  }
  TOctree octree(scene, 1);
  EXPECT_LE(octree.Nodes.size(), TOctree::kMaxNodes);
  EXPECT_GT(octree.Nodes.size(), TOctree::kMaxNodes - 8);
  EXPECT_EQ(octree.TotalTriangles(), 60000);
  octree.Materials.resize(1);
  TempDir dir;
  SaveBody(octree, dir / "full.body");
  TOctree loaded;
  LoadBody(loaded, dir / "full.body");
  EXPECT_EQ(loaded.Nodes.size(), octree.Nodes.size());
}

TEST(OctreeNode, SphereTouchesIsStrictOnEveryAxis) {
  TNode node;
  node.Centre = {10, 0, 0};
  node.HalfSize = 2;
  EXPECT_TRUE(node.SphereTouches({13.9f, 0, 0}, 2));
  EXPECT_FALSE(node.SphereTouches({14, 0, 0}, 2));
  EXPECT_FALSE(node.SphereTouches({6, 0, 0}, 2));
  EXPECT_FALSE(node.SphereTouches({10, 4, 0}, 2));
  EXPECT_FALSE(node.SphereTouches({10, 0, -4}, 2));
  EXPECT_TRUE(node.SphereTouches({10, 3.5f, -3.5f}, 2));  // the grown box, not a sphere test
}

// ---------------------------------------------------------------- file body

namespace {

TOctreeMaterial TexturedMaterial() {
  TOctreeMaterial m;
  m.HasTexture = true;
  m.TextureName = "floor.bmp";
  m.TwoSided = true;
  m.HasDiffuse = true;
  m.Diffuse[0] = 0.25f;
  m.Diffuse[3] = 0.5f;
  m.HasBump = true;
  m.BumpAmount = 0.03f;
  m.Colour[3] = 0.75f;
  return m;
}

std::string SaveBody(const TOctree& octree, const std::string& path) {
  {
    TBinaryFile out(path, true);
    octree.SaveToFile(out);
  }
  return ReadFile(path);
}

void LoadBody(TOctree& octree, const std::string& path) {
  TBinaryFile in(path, false);
  octree.LoadFromFile(in);
}

std::unique_ptr<TOctree> SmallTree(int triangles = 60) {
  std::mt19937 rng(3);
  auto octree = std::make_unique<TOctree>(RandomScene(rng, triangles), 10);
  octree->TextureDir = "data\\MapTextures\\";
  octree->Materials = {TOctreeMaterial(), TexturedMaterial(), TOctreeMaterial()};
  return octree;
}

}  // namespace

TEST(OctreeFile, SaveLoadSaveGivesTheSameTreeAndBytes) {
  TempDir dir;
  std::unique_ptr<TOctree> built = SmallTree();
  ASSERT_GT(built->Nodes.size(), 9u);
  std::string bytes = SaveBody(*built, dir / "a.body");

  TOctree loaded;
  LoadBody(loaded, dir / "a.body");
  ASSERT_EQ(loaded.Nodes.size(), built->Nodes.size());
  EXPECT_EQ(loaded.TextureDir, built->TextureDir);
  EXPECT_EQ(loaded.MaxTriangles, 10);
  for (size_t i = 0; i < built->Nodes.size(); ++i) {
    const TNode& a = *built->Nodes[i];
    const TNode& b = *loaded.Nodes[i];
    EXPECT_EQ(b.NodeIndex, a.NodeIndex);
    EXPECT_EQ(b.Parent ? b.Parent->NodeIndex : -1, a.Parent ? a.Parent->NodeIndex : -1);
    ASSERT_EQ(b.ChildCount(), a.ChildCount());
    for (int k = 0; k < a.ChildCount(); ++k) EXPECT_EQ(b.Children[k]->NodeIndex, a.Children[k]->NodeIndex);
    EXPECT_EQ(b.IsLeaf, a.IsLeaf);
    ASSERT_EQ(b.Triangles.size(), a.Triangles.size());
    for (size_t t = 0; t < a.Triangles.size(); ++t) EXPECT_EQ(Bytes(b.Triangles[t]), Bytes(a.Triangles[t]));
  }
  ASSERT_EQ(loaded.Materials.size(), 3u);
  const TOctreeMaterial& m = loaded.Materials[1];
  EXPECT_TRUE(m.HasTexture && m.TwoSided && m.HasDiffuse && m.HasBump);
  EXPECT_FALSE(m.HasAmbient || m.HasSpecular);
  EXPECT_EQ(m.TextureName, "floor.bmp");
  EXPECT_EQ(m.Diffuse[0], 0.25f);
  EXPECT_EQ(m.Diffuse[3], 0.5f);
  EXPECT_EQ(m.BumpAmount, 0.03f);
  EXPECT_EQ(m.Colour[3], 0.75f);
  EXPECT_EQ(m.Colour[0], 1.0f);
  EXPECT_EQ(m.Shininess, 1.0f);

  EXPECT_EQ(SaveBody(loaded, dir / "b.body"), bytes);

  // The root's record: centre, half-size, triangle count, its triangles,
  // child count, leaf flag, link count, own index 0, then parent FF FF.
  size_t root = 2 + built->TextureDir.size() + 4 + 2;
  size_t parentAt = root + 16 + 4 + 104 * built->Root->Triangles.size() + 4 + 2;
  EXPECT_EQ(bytes.substr(parentAt - 2, 4), std::string("\0\0\xFF\xFF", 4));
}

TEST(OctreeFile, DamagedBodiesAreRefusedWhole) {
  TempDir dir;
  std::unique_ptr<TOctree> built = SmallTree();
  const std::string good = SaveBody(*built, dir / "good.body");
  const size_t nodesAt = 2 + built->TextureDir.size() + 4;  // the node count word
  const size_t rootTriangles = built->Root->Triangles.size();
  const size_t rootEnd = nodesAt + 2 + 28 + 104 * rootTriangles;
  const size_t node1 = rootEnd;  // the second node's record
  const size_t node1Parent = node1 + 28 + 104 * built->Nodes[1]->Triangles.size() - 2;
  const size_t firstMaterialIndex = nodesAt + 2 + 20 + 100;  // root triangle 0, material field

  auto patch = [&](size_t at, std::string bytes) {
    std::string s = good;
    s.replace(at, bytes.size(), bytes);
    return s;
  };
  ASSERT_GT(rootTriangles, 0u);
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"node count beyond the file", patch(nodesAt, "\xFF\x7F")},
      {"node count 0", patch(nodesAt, std::string("\0\0", 2))},
      {"negative triangle count", patch(nodesAt + 2 + 16, "\xFF\xFF\xFF\xFF")},
      {"triangle count beyond the file", patch(nodesAt + 2 + 16, std::string("\0\0\0\x10", 4))},
      {"root with a parent", patch(rootEnd - 2, std::string("\0\0", 2))},
      {"parent that is not an earlier node", patch(node1Parent, std::string("\x01\0", 2))},
      {"parent index beyond the nodes", patch(node1Parent, std::string("\x50\x00", 2))},
      {"own index not its position", patch(node1Parent - 2, std::string("\x07\0", 2))},
      {"material index beyond the list", patch(firstMaterialIndex, std::string("\x03\0", 2))},
      {"child count that no node matches",
       patch(rootEnd - 8, std::string(1, static_cast<char>(built->Root->ChildCount() - 1)))},
      {"leaf flag 2", patch(rootEnd - 7, std::string("\x02", 1))},
      {"link count beyond the file", patch(rootEnd - 6, "\xFF\xFF")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "bad.body", c.bytes);
    std::unique_ptr<TOctree> octree = SmallTree();
    const auto before = Contents(*octree);
    EXPECT_THROW(LoadBody(*octree, dir / "bad.body"), ELevelFileError);
    EXPECT_EQ(Contents(*octree), before);  // left as it was
    EXPECT_EQ(octree->Materials.size(), 3u);
  }
  // Every cut-short file, at every length.
  const std::string whole = SaveBody(*SmallTree(12), dir / "cut.body");
  for (size_t length = whole.size(); length-- > 0;) {
    std::filesystem::resize_file(dir / "cut.body", length);
    TOctree octree;
    EXPECT_THROW(LoadBody(octree, dir / "cut.body"), ELevelFileError) << "length " << length;
  }
}

TEST(OctreeFile, RefusesTreesDeeperThanTheGuard) {
  TempDir dir;
  // A chain of nodes, each the only child of the one before.
  TOctree chain;
  chain.Materials.resize(1);
  for (int i = 0; i <= TOctree::kMaxDepth + 1; ++i) {
    auto node = std::make_unique<TNode>();
    node->NodeIndex = static_cast<int16_t>(i);
    node->HalfSize = 1;
    if (i > 0) {
      node->Parent = chain.Nodes.back().get();
      node->Parent->Children.push_back(node.get());
    }
    chain.Nodes.push_back(std::move(node));
  }
  chain.Root = chain.Nodes[0].get();
  SaveBody(chain, dir / "deep.body");
  TOctree loaded;
  EXPECT_THROW(LoadBody(loaded, dir / "deep.body"), ELevelFileError);
}

// ---------------------------------------------------------------- queries

namespace {

// Part of the contract: the first hit in Nodes order wins whatever its
// parameter; later ones only with 0 < t < best.
TTriangle* PickEveryNode(TOctree& octree, const TRay& ray) {
  TTriangle* best = nullptr;
  float bestT = 0;
  for (auto& node : octree.Nodes)
    for (TTriangle& t : node->Triangles) {
      float param;
      if (!RayTriangle(t, ray, param)) continue;
      if (!best || (param > 0 && param < bestT)) {
        best = &t;
        bestT = param;
      }
    }
  return best;
}

TVec3 RandomDirection(std::mt19937& rng) {
  std::normal_distribution<float> n;
  return VecNormalize({n(rng), n(rng), n(rng)});
}

}  // namespace

TEST(OctreeQueries, NodeLimitedWalksAnswerLikeTheFullWalks) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> pos(-70, 70), unit(0, 1);
  int hits = 0, blocked = 0, touching = 0;
  for (int level = 0; level < 6; ++level) {
    std::vector<TTriangle> scene = RandomScene(rng, 300 + 200 * level);
    if (level >= 4) {
      // A floor on the root's middle plane: thousands of triangles that stay
      // in the root, found through the bounds of runs of them.
      scene.push_back(MakeTriangle({-200, -200, -200}, {-199, -200, -200}, {-200, -199, -200}));
      scene.push_back(MakeTriangle({200, 200, 200}, {199, 200, 200}, {200, 199, 200}));
      for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j) AddFloor(scene, -60 + 3.0f * i, -60 + 3.0f * j, -57 + 3.0f * i, -57 + 3.0f * j, 0);
    }
    TOctree octree(scene, level % 2 ? 6 : 40);
    if (level >= 4) {
      ASSERT_GT(octree.Root->Triangles.size(), 3200u);
    }
    for (int r = 0; r < 500; ++r) {
      TRay ray{{pos(rng), pos(rng), pos(rng)}, RandomDirection(rng)};
      // Most rays aim at a point of some triangle; some graze its plane.
      const TNode& node = *octree.Nodes[rng() % octree.Nodes.size()];
      if (!node.Triangles.empty() && r % 5 != 0) {
        const TTriangle& t = node.Triangles[rng() % node.Triangles.size()];
        float a = unit(rng), b = unit(rng) * (1 - a);
        TVec3 p = VecAdd(VecAdd(VecScale(t.Vertices[0].Position, 1 - a - b), VecScale(t.Vertices[1].Position, a)),
                         VecScale(t.Vertices[2].Position, b));
        ray.Direction = VecNormalize(VecSub(p, ray.Origin));
        if (r % 7 == 0) {
          TVec3 n = t.Vertices[0].Normal;
          ray.Origin = VecAdd(p, VecScale(n, 1e-3 * (unit(rng) - 0.5)));
          ray.Direction = VecNormalize(VecAdd(VecCross(n, RandomDirection(rng)), VecScale(n, 2e-6)));
        }
      }
      TTriangle* expected = PickEveryNode(octree, ray);
      ASSERT_EQ(octree.Pick(ray), expected) << "level " << level << " ray " << r;
      hits += expected != nullptr;

      float limit = unit(rng) * 80;
      bool full = false;
      for (auto& n : octree.Nodes)
        for (const TTriangle& t : n->Triangles) full = full || RayTriangleWithin(t, ray, limit);
      ASSERT_EQ(octree.SegmentBlocked(ray, limit), full) << "level " << level << " ray " << r;
      blocked += full;

      TSphere sphere{ray.Origin, unit(rng) * 8};
      std::vector<TTriangle*> found, all;
      octree.TrianglesTouchingSphere(sphere, found);
      TouchingInTreeOrder(*octree.Root, sphere, all);
      ASSERT_EQ(found, all);
      touching += !all.empty();
    }
  }
  // The rays must have exercised both answers.
  EXPECT_GT(hits, 1000);
  EXPECT_GT(blocked, 500);
  EXPECT_GT(touching, 300);
}
