// Building the octree, its file body, and the queries that walk it.
//
// Octree body of map.lvl (after the level header; little-endian, see
// binary_file.h for the primitives):
//   string   TextureDir
//   integer  MaxTriangles
//   word     node count N (1 .. 32767)
//   N node records, parents before children:
//     3 singles Centre, single HalfSize
//     integer   triangle count T, then T raw 104-byte triangles (geometry.h)
//     byte      child count (<= 8; must equal the nodes naming this one parent)
//     byte      IsLeaf (0 or 1)
//     word      link count K, then K smallints (node indices)
//     smallint  own index (its position), smallint parent index (-1 for node 0,
//               otherwise an earlier node)
//   word     material count M, then M material records:
//     byte HasTexture, string TextureName, byte TwoSided, byte HasBump,
//     single BumpAmount, bytes HasDiffuse HasAmbient HasSpecular,
//     single Shininess, single Colour alpha, 4 singles each Ambient, Diffuse,
//     Specular, Emission (r g b a), 3 singles Colour r g b
// Every triangle's material index must be below M. Anything else is refused
// as a whole (ELevelFileError); nothing of a refused body is kept.
#include "world/octree.h"

#include "core/binary_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <type_traits>

static_assert(std::endian::native == std::endian::little, "triangles are copied raw");
static_assert(std::is_trivially_copyable_v<TTriangle>);

bool UseLists = true;
bool ShowNodes = false;

void TBounds::Add(const TVec3& p) {
  if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) {
    Min = {-kInf, -kInf, -kInf};
    Max = {kInf, kInf, kInf};
    return;
  }
  Min = {std::min(Min.x, p.x), std::min(Min.y, p.y), std::min(Min.z, p.z)};
  Max = {std::max(Max.x, p.x), std::max(Max.y, p.y), std::max(Max.z, p.z)};
}

void TBounds::Add(const TBounds& b) {
  if (b.Empty()) return;
  Add(b.Min);
  Add(b.Max);
}

bool TNode::SphereTouches(const TVec3& centre, float radius) const {
  return Centre.x - HalfSize - radius < centre.x && centre.x < Centre.x + HalfSize + radius &&
         Centre.y - HalfSize - radius < centre.y && centre.y < Centre.y + HalfSize + radius &&
         Centre.z - HalfSize - radius < centre.z && centre.z < Centre.z + HalfSize + radius;
}

// ---------------------------------------------------------------- building

struct TOctree::BuildState {
  std::vector<TTriangle>& triangles;
};

TOctree::TOctree(int32_t maxTriangles) : MaxTriangles(maxTriangles) {}

TOctree::TOctree(std::vector<TTriangle> triangles, int32_t maxTriangles) : MaxTriangles(maxTriangles) {
  // The root is a cube over the smallest and largest coordinate of any axis.
  float smallest = TBounds::kInf, largest = -TBounds::kInf;
  for (TTriangle& t : triangles) {
    t.Padding = 0;
    for (const TVertex& v : t.Vertices)
      for (float c : {v.Position.x, v.Position.y, v.Position.z}) {
        if (c < smallest) smallest = c;
        if (c > largest) largest = c;
      }
  }
  float centre = 0, half = 0;
  if (smallest <= largest) {
    centre = (largest + smallest) / 2;
    half = (largest - smallest) / 2;
  }
  Root = &AddNode({centre, centre, centre}, half, nullptr);
  std::vector<uint32_t> all(triangles.size());
  std::iota(all.begin(), all.end(), 0u);
  BuildState state{triangles};
  Subdivide(*Root, all, 0, state);
  ComputeBounds();
}

TNode& TOctree::AddNode(const TVec3& centre, float halfSize, TNode* parent) {
  auto node = std::make_unique<TNode>();
  node->Centre = centre;
  node->HalfSize = halfSize;
  node->Parent = parent;
  node->NodeIndex = static_cast<int16_t>(Nodes.size());
  Nodes.push_back(std::move(node));
  return *Nodes.back();
}

// Children in the order of the file format: the upper four, then the lower.
static constexpr int kChildSigns[8][3] = {{-1, 1, -1}, {1, 1, -1}, {1, 1, 1},   {-1, 1, 1},
                                          {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}};

// `candidates` are the triangles (indices into the input, in input order) that
// reached this node; no other triangle can touch its children, so scanning
// only these gives the same tree as scanning every triangle still unplaced.
void TOctree::Subdivide(TNode& node, std::vector<uint32_t>& candidates, int depth, BuildState& state) {
  auto take = [&state](TNode& target, const std::vector<uint32_t>& which) {
    target.Triangles.reserve(target.Triangles.size() + which.size());
    for (uint32_t i : which) target.Triangles.push_back(state.triangles[i]);
  };
  if (Nodes.size() + 8 > kMaxNodes) {
    // No room for children in the file: keep everything here.
    node.IsLeaf = true;
    take(node, candidates);
    return;
  }
  float q = node.HalfSize / 2;
  TVec3 centres[8];
  float low[8][3], high[8][3];
  for (int k = 0; k < 8; ++k) {
    centres[k] = {node.Centre.x + kChildSigns[k][0] * q, node.Centre.y + kChildSigns[k][1] * q,
                  node.Centre.z + kChildSigns[k][2] * q};
    const float c[3] = {centres[k].x, centres[k].y, centres[k].z};
    for (int a = 0; a < 3; ++a) {
      low[k][a] = c[a] - q;
      high[k][a] = c[a] + q;
    }
  }
  std::vector<uint32_t> perChild[8];
  for (uint32_t index : candidates) {
    const TTriangle& t = state.triangles[index];
    unsigned touched = 0;
    for (const TVertex& v : t.Vertices) {
      const float p[3] = {v.Position.x, v.Position.y, v.Position.z};
      for (int k = 0; k < 8; ++k)
        if (low[k][0] <= p[0] && p[0] <= high[k][0] && low[k][1] <= p[1] && p[1] <= high[k][1] &&
            low[k][2] <= p[2] && p[2] <= high[k][2])
          touched |= 1u << k;
    }
    // A triangle straddling octants stays here. One touching none (a corner
    // on a cube face lost to rounding, or NaN corners) stays here as well,
    // so that no triangle is dropped.
    if (std::popcount(touched) == 1)
      perChild[std::countr_zero(touched)].push_back(index);
    else
      node.Triangles.push_back(t);
  }
  candidates.clear();
  candidates.shrink_to_fit();

  struct Pending {
    TNode* child;
    int octant;
  };
  std::vector<Pending> toSplit;
  for (int k = 0; k < 8; ++k) {
    if (perChild[k].empty()) continue;
    TNode& child = AddNode(centres[k], q, &node);
    node.Children.push_back(&child);
    bool leaf = perChild[k].size() < static_cast<size_t>(std::max(MaxTriangles, 0)) || depth + 1 >= kMaxDepth ||
                q < kMinHalfSize;
    if (leaf) {
      child.IsLeaf = true;
      take(child, perChild[k]);
      perChild[k] = {};
    } else {
      toSplit.push_back({&child, k});
    }
  }
  for (const Pending& p : toSplit) Subdivide(*p.child, perChild[p.octant], depth + 1, state);
}

// Bounds of a run of triangles, in one tight pass; a NaN anywhere makes them
// unlimited, as TBounds::Add does.
static TBounds BoundsOf(const TTriangle* triangles, size_t count) {
  float lo[3] = {TBounds::kInf, TBounds::kInf, TBounds::kInf};
  float hi[3] = {-TBounds::kInf, -TBounds::kInf, -TBounds::kInf};
  bool nan = false;
  for (size_t k = 0; k < count; ++k)
    for (const TVertex& v : triangles[k].Vertices) {
      const float p[3] = {v.Position.x, v.Position.y, v.Position.z};
      for (int a = 0; a < 3; ++a) {
        nan |= p[a] != p[a];
        lo[a] = p[a] < lo[a] ? p[a] : lo[a];
        hi[a] = p[a] > hi[a] ? p[a] : hi[a];
      }
    }
  TBounds b;
  if (nan) {
    b.Add(TVec3{NAN, NAN, NAN});
  } else if (count > 0) {
    b.Min = {lo[0], lo[1], lo[2]};
    b.Max = {hi[0], hi[1], hi[2]};
  }
  return b;
}

void TOctree::ComputeBounds() {
  constexpr size_t group = TNode::kGroupSize;
  for (auto& node : Nodes) {
    node->GroupBounds.clear();
    const size_t count = node->Triangles.size();
    if (count > group) {
      const size_t runs = std::bit_ceil((count + group - 1) / group);
      std::vector<TBounds>& tree = node->GroupBounds;
      tree.assign(2 * runs, TBounds());
      for (size_t begin = 0; begin < count; begin += group)
        tree[runs + begin / group] = BoundsOf(&node->Triangles[begin], std::min(group, count - begin));
      for (size_t i = runs; i-- > 1;) {
        tree[i].Add(tree[2 * i]);
        tree[i].Add(tree[2 * i + 1]);
      }
      node->OwnBounds = tree[1];
    } else {
      node->OwnBounds = BoundsOf(node->Triangles.data(), count);
    }
    node->SubtreeBounds = node->OwnBounds;
  }
  // Children come after their parents, so a backward pass sees each subtree
  // complete before it is added to its parent.
  for (size_t i = Nodes.size(); i-- > 1;)
    if (Nodes[i]->Parent) Nodes[i]->Parent->SubtreeBounds.Add(Nodes[i]->SubtreeBounds);
  sceneExtent = 0;
  if (Root && !Root->SubtreeBounds.Empty()) {
    const TBounds& b = Root->SubtreeBounds;
    for (float c : {b.Min.x, b.Min.y, b.Min.z, b.Max.x, b.Max.y, b.Max.z})
      sceneExtent = std::max(sceneExtent, std::fabs(c));
  }
}

int32_t TOctree::TotalTriangles() const {
  int64_t total = 0;
  for (const auto& node : Nodes) total += node->TriangleCount();
  return static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
}

int TOctree::Depth() const {
  std::vector<int> depth(Nodes.size(), 0);
  int deepest = 0;
  for (size_t i = 1; i < Nodes.size(); ++i) {
    depth[i] = depth[Nodes[i]->Parent->NodeIndex] + 1;
    deepest = std::max(deepest, depth[i]);
  }
  return deepest;
}

// ---------------------------------------------------------------- file body

static void WriteColour(TBinaryFile& file, const float colour[4]) {
  for (int i = 0; i < 4; ++i) file.WriteSingle(colour[i]);
}

static void ReadColour(TBinaryFile& file, float colour[4]) {
  for (int i = 0; i < 4; ++i) file.ReadSingle(colour[i]);
}

static bool ReadFlag(TBinaryFile& file) {
  uint8_t b = 0;
  file.ReadByte(b);
  return b != 0;
}

void TOctree::SaveToFile(TBinaryFile& file) const {
  if (Nodes.empty() || Nodes.size() > kMaxNodes || Materials.size() > kMaxMaterials)
    throw ELevelFileError(file.FileName + ": an octree of " + std::to_string(Nodes.size()) + " nodes and " +
                          std::to_string(Materials.size()) + " materials does not fit the level file");
  file.WriteString(TextureDir);
  file.WriteInteger(MaxTriangles);
  file.WriteWord(static_cast<uint16_t>(Nodes.size()));
  for (const auto& node : Nodes) {
    file.WriteSingle(node->Centre.x);
    file.WriteSingle(node->Centre.y);
    file.WriteSingle(node->Centre.z);
    file.WriteSingle(node->HalfSize);
    file.WriteInteger(node->TriangleCount());
    for (TTriangle t : node->Triangles) {
      t.Padding = 0;
      file.WriteBlock(&t, sizeof t);
    }
    file.WriteByte(static_cast<uint8_t>(node->ChildCount()));
    file.WriteByte(node->IsLeaf ? 1 : 0);
    file.WriteWord(static_cast<uint16_t>(node->Links.size()));
    for (const TNode* link : node->Links) file.WriteSmallInt(link ? link->NodeIndex : -1);
    file.WriteSmallInt(node->NodeIndex);
    file.WriteSmallInt(node->Parent ? node->Parent->NodeIndex : -1);
  }
  file.WriteWord(static_cast<uint16_t>(Materials.size()));
  for (const TOctreeMaterial& m : Materials) {
    file.WriteByte(m.HasTexture);
    file.WriteString(m.TextureName);
    file.WriteByte(m.TwoSided);
    file.WriteByte(m.HasBump);
    file.WriteSingle(m.BumpAmount);
    file.WriteByte(m.HasDiffuse);
    file.WriteByte(m.HasAmbient);
    file.WriteByte(m.HasSpecular);
    file.WriteSingle(m.Shininess);
    file.WriteSingle(m.Colour[3]);
    WriteColour(file, m.Ambient);
    WriteColour(file, m.Diffuse);
    WriteColour(file, m.Specular);
    WriteColour(file, m.Emission);
    for (int i = 0; i < 3; ++i) file.WriteSingle(m.Colour[i]);
  }
}

// Smallest sizes of the records, for checking counts against the bytes left.
static constexpr uint64_t kNodeRecordMin = 28;
static constexpr uint64_t kMaterialRecordMin = 96;

[[noreturn]] static void Refuse(const TBinaryFile& file, const std::string& what) {
  throw ELevelFileError(file.FileName + ": " + what + " (byte " + std::to_string(file.Position()) + ")");
}

static void CheckRoom(const TBinaryFile& file, uint64_t bytes, const std::string& what) {
  if (bytes > file.Remaining()) Refuse(file, what + " run past the end of the file");
}

void TOctree::LoadFromFile(TBinaryFile& file) {
  std::string textureDir;
  int32_t maxTriangles = 0;
  uint16_t nodeCount = 0;
  file.ReadString(textureDir);
  file.ReadInteger(maxTriangles);
  file.ReadWord(nodeCount);
  if (file.Overread()) Refuse(file, "the octree header is cut short");
  if (nodeCount == 0 || nodeCount > kMaxNodes) Refuse(file, "node count " + std::to_string(nodeCount));
  CheckRoom(file, nodeCount * kNodeRecordMin, std::to_string(nodeCount) + " nodes");

  std::vector<std::unique_ptr<TNode>> nodes;
  nodes.reserve(nodeCount);
  std::vector<uint8_t> declaredChildren(nodeCount);
  std::vector<int> depth(nodeCount, 0);
  for (int i = 0; i < nodeCount; ++i) {
    auto node = std::make_unique<TNode>();
    std::string which = "node " + std::to_string(i);
    file.ReadSingle(node->Centre.x);
    file.ReadSingle(node->Centre.y);
    file.ReadSingle(node->Centre.z);
    file.ReadSingle(node->HalfSize);
    int32_t triangleCount = -1;
    file.ReadInteger(triangleCount);
    if (triangleCount < 0) Refuse(file, which + ": triangle count " + std::to_string(triangleCount));
    CheckRoom(file, static_cast<uint64_t>(triangleCount) * sizeof(TTriangle),
              which + ": " + std::to_string(triangleCount) + " triangles");
    node->Triangles.resize(static_cast<size_t>(triangleCount));
    file.ReadBlock(node->Triangles.data(), node->Triangles.size() * sizeof(TTriangle));
    uint8_t childCount = 0, isLeaf = 0;
    uint16_t linkCount = 0;
    file.ReadByte(childCount);
    file.ReadByte(isLeaf);
    file.ReadWord(linkCount);
    if (childCount > 8) Refuse(file, which + ": child count " + std::to_string(childCount));
    if (isLeaf > 1) Refuse(file, which + ": leaf flag " + std::to_string(isLeaf));
    CheckRoom(file, linkCount * 2ull, which + ": " + std::to_string(linkCount) + " links");
    for (int l = 0; l < linkCount; ++l) {
      int16_t link = -1;
      file.ReadSmallInt(link);
      node->Links.push_back(link >= 0 && link < i ? nodes[static_cast<size_t>(link)].get() : nullptr);
    }
    int16_t own = -1, parent = -1;
    file.ReadSmallInt(own);
    file.ReadSmallInt(parent);
    if (file.Overread()) Refuse(file, which + " is cut short");
    if (own != i) Refuse(file, which + " gives itself the index " + std::to_string(own));
    if (i == 0 ? parent != -1 : (parent < 0 || parent >= i))
      Refuse(file, which + ": parent index " + std::to_string(parent) + " is not an earlier node");
    node->NodeIndex = own;
    node->IsLeaf = isLeaf != 0;
    declaredChildren[static_cast<size_t>(i)] = childCount;
    if (i > 0) {
      TNode* p = nodes[static_cast<size_t>(parent)].get();
      depth[static_cast<size_t>(i)] = depth[static_cast<size_t>(parent)] + 1;
      if (depth[static_cast<size_t>(i)] > kMaxDepth) Refuse(file, which + " lies deeper than " + std::to_string(kMaxDepth));
      if (p->Children.size() >= 8) Refuse(file, which + ": its parent has more than eight children");
      node->Parent = p;
      p->Children.push_back(node.get());
    }
    nodes.push_back(std::move(node));
  }
  for (size_t i = 0; i < nodes.size(); ++i)
    if (nodes[i]->Children.size() != declaredChildren[i])
      Refuse(file, "node " + std::to_string(i) + " declares " + std::to_string(declaredChildren[i]) +
                       " children but " + std::to_string(nodes[i]->Children.size()) + " nodes name it as parent");

  uint16_t materialCount = 0;
  file.ReadWord(materialCount);
  if (file.Overread()) Refuse(file, "the material count is missing");
  CheckRoom(file, materialCount * kMaterialRecordMin, std::to_string(materialCount) + " materials");
  std::vector<TOctreeMaterial> materials(materialCount);
  for (TOctreeMaterial& m : materials) {
    m.HasTexture = ReadFlag(file);
    file.ReadString(m.TextureName);
    m.TwoSided = ReadFlag(file);
    m.HasBump = ReadFlag(file);
    file.ReadSingle(m.BumpAmount);
    m.HasDiffuse = ReadFlag(file);
    m.HasAmbient = ReadFlag(file);
    m.HasSpecular = ReadFlag(file);
    file.ReadSingle(m.Shininess);
    file.ReadSingle(m.Colour[3]);
    ReadColour(file, m.Ambient);
    ReadColour(file, m.Diffuse);
    ReadColour(file, m.Specular);
    ReadColour(file, m.Emission);
    for (int i = 0; i < 3; ++i) file.ReadSingle(m.Colour[i]);
    if (file.Overread()) Refuse(file, "the materials are cut short");
  }
  for (const auto& node : nodes)
    for (TTriangle& t : node->Triangles) {
      if (t.Material >= materialCount)
        Refuse(file, "a triangle of node " + std::to_string(node->NodeIndex) + " uses material " +
                         std::to_string(t.Material) + " of " + std::to_string(materialCount));
      t.Padding = 0;
    }

  ReleaseGraphics();
  Nodes = std::move(nodes);
  Root = Nodes.front().get();
  Materials = std::move(materials);
  TextureDir = std::move(textureDir);
  MaxTriangles = maxTriangles;
  BatchOpen = false;
  CurrentMaterial = nullptr;
  ComputeBounds();
}

// ---------------------------------------------------------------- queries

template <typename Self, typename BoundsTest, typename Visit>
void TOctree::ForEachCandidate(Self& self, TQueryOrder order, BoundsTest test, Visit visit) {
  if (!self.Root) return;
  std::vector<int> nodes;
  // Children go on the stack last first, so nodes come off it depth first:
  // a node, then each child's subtree in order.
  std::vector<const TNode*> pending{self.Root};
  while (!pending.empty()) {
    const TNode* node = pending.back();
    pending.pop_back();
    if (node->SubtreeBounds.Empty() || !test(node->SubtreeBounds)) continue;
    if (!node->OwnBounds.Empty() && test(node->OwnBounds)) nodes.push_back(node->NodeIndex);
    for (auto child = node->Children.rbegin(); child != node->Children.rend(); ++child) pending.push_back(*child);
  }
  if (order == TQueryOrder::Nodes) std::sort(nodes.begin(), nodes.end());

  std::vector<size_t> runs;
  for (int index : nodes) {
    auto& node = *self.Nodes[static_cast<size_t>(index)];
    auto& triangles = node.Triangles;
    if (node.GroupBounds.empty()) {
      for (auto& t : triangles)
        if (!visit(t)) return;
      continue;
    }
    // Depth first, left before right, so runs come in stored order.
    const size_t first = node.GroupBounds.size() / 2;
    runs.assign(1, 1);
    while (!runs.empty()) {
      size_t i = runs.back();
      runs.pop_back();
      const TBounds& b = node.GroupBounds[i];
      if (b.Empty() || !test(b)) continue;
      if (i < first) {
        runs.push_back(2 * i + 1);
        runs.push_back(2 * i);
        continue;
      }
      size_t begin = (i - first) * TNode::kGroupSize, end = std::min(triangles.size(), begin + TNode::kGroupSize);
      for (size_t k = begin; k < end; ++k)
        if (!visit(triangles[k])) return;
    }
  }
}

// How far a hit point may stray from its triangle's bounds through rounding;
// generous, since a node wrongly skipped would change a query's answer.
float TOctree::QueryTolerance(const TVec3& origin) const {
  float reach = std::max({std::fabs(origin.x), std::fabs(origin.y), std::fabs(origin.z)});
  return 1e-4f * (1 + sceneExtent + reach);
}

// Whether the line origin + t direction, t in [tMin, tMax], passes through the
// bounds grown by tolerance. Written so that NaNs answer true.
static bool LineMeetsBounds(const TRay& ray, const TBounds& b, float tolerance, double tMin, double tMax) {
  const float o[3] = {ray.Origin.x, ray.Origin.y, ray.Origin.z};
  const float d[3] = {ray.Direction.x, ray.Direction.y, ray.Direction.z};
  const float lo[3] = {b.Min.x, b.Min.y, b.Min.z};
  const float hi[3] = {b.Max.x, b.Max.y, b.Max.z};
  for (int a = 0; a < 3; ++a) {
    double low = static_cast<double>(lo[a]) - tolerance, high = static_cast<double>(hi[a]) + tolerance;
    if (d[a] == 0) {
      if (o[a] < low || o[a] > high) return false;
      continue;
    }
    double t1 = (low - o[a]) / d[a], t2 = (high - o[a]) / d[a];
    if (t1 > t2) std::swap(t1, t2);
    if (t1 > tMin) tMin = t1;
    if (t2 < tMax) tMax = t2;
    if (tMin > tMax) return false;
  }
  return true;
}

TTriangle* TOctree::Pick(const TRay& ray) {
  float tolerance = QueryTolerance(ray.Origin);
  TTriangle* best = nullptr;
  float bestT = 0;
  ForEachCandidate(
      *this, TQueryOrder::Nodes, [&](const TBounds& b) { return LineMeetsBounds(ray, b, tolerance, -HUGE_VAL, HUGE_VAL); },
      [&](TTriangle& t) {
        float param = 0;
        if (RayTriangle(t, ray, param) && (!best || (param > 0 && param < bestT))) {
          best = &t;
          bestT = param;
        }
        return true;
      });
  return best;
}

bool TOctree::SegmentBlocked(const TRay& ray, float limit) const {
  float tolerance = QueryTolerance(ray.Origin);
  bool blocked = false;
  ForEachCandidate(
      *this, TQueryOrder::Tree, [&](const TBounds& b) { return LineMeetsBounds(ray, b, tolerance, 0, limit); },
      [&](const TTriangle& t) {
        blocked = RayTriangleWithin(t, ray, limit);
        return !blocked;
      });
  return blocked;
}

float TOctree::FirstHit(const TRay& ray, float limit) const {
  float tolerance = QueryTolerance(ray.Origin);
  float best = limit;
  // The bounds test reads best as it shrinks: runs of triangles beyond a hit are skipped.
  ForEachCandidate(
      *this, TQueryOrder::Tree, [&](const TBounds& b) { return LineMeetsBounds(ray, b, tolerance, 0, best); },
      [&](const TTriangle& t) {
        float param = 0;
        if (RayTriangle(t, ray, param) && param >= 0 && param < best) best = param;
        return true;
      });
  return best;
}

void TOctree::TrianglesTouchingSphere(const TSphere& sphere, std::vector<TTriangle*>& out) {
  out.clear();
  float tolerance = QueryTolerance(sphere.Centre);
  double reach = static_cast<double>(sphere.Radius) + tolerance;
  auto near = [&](const TBounds& b) {
    const float c[3] = {sphere.Centre.x, sphere.Centre.y, sphere.Centre.z};
    const float lo[3] = {b.Min.x, b.Min.y, b.Min.z};
    const float hi[3] = {b.Max.x, b.Max.y, b.Max.z};
    double distance2 = 0;
    for (int a = 0; a < 3; ++a) {
      double gap = c[a] < lo[a] ? static_cast<double>(lo[a]) - c[a] : c[a] > hi[a] ? static_cast<double>(c[a]) - hi[a] : 0;
      distance2 += gap * gap;
    }
    return !(distance2 > reach * reach);
  };
  ForEachCandidate(*this, TQueryOrder::Tree, near, [&](TTriangle& t) {
    if (SphereTouchesTriangle(t, sphere)) out.push_back(&t);
    return true;
  });
}
