// The navigation graph: floor sampling, clearance, edges, components and A*.
#include "world/nav_graph.h"

#include <algorithm>
#include <cmath>

#include "world/octree.h"

namespace {

struct TSample {
  int64_t Cell;
  float X, Y, Z;
};

// The grid point (x, z) lies in the triangle's projection onto the floor
// (either winding; points on an edge count, so shared edges leave no gap).
bool InsideXZ(const TTriangle& t, float x, float z) {
  const TVec3& a = t.Vertices[0].Position;
  const TVec3& b = t.Vertices[1].Position;
  const TVec3& c = t.Vertices[2].Position;
  const float e0 = (b.x - a.x) * (z - a.z) - (b.z - a.z) * (x - a.x);
  const float e1 = (c.x - b.x) * (z - b.z) - (c.z - b.z) * (x - b.x);
  const float e2 = (a.x - c.x) * (z - c.z) - (a.z - c.z) * (x - c.x);
  constexpr float eps = 1e-5f;
  return (e0 >= -eps && e1 >= -eps && e2 >= -eps) || (e0 <= eps && e1 <= eps && e2 <= eps);
}

float Distance(const TVec3& a, const TVec3& b) { return VecLength(VecSub(a, b)); }

}  // namespace

int64_t TNavGraph::CellOf(float x, float z) const {
  const int64_t i = static_cast<int64_t>(std::lround((x - originX) / Cell));
  const int64_t j = static_cast<int64_t>(std::lround((z - originZ) / Cell));
  if (i < 0 || j < 0 || i >= columns || j >= rows) return -1;
  return j * columns + i;
}

// Edges between neighbouring cells whose heights the walk can climb; a
// diagonal also needs both cells beside it, so no edge cuts a wall's corner.
static void LinkNeighbours(std::vector<TNavNode>& nodes, std::vector<int32_t>& edges,
                           const std::vector<int32_t>& cellStart, int32_t columns, int32_t rows, float cell,
                           float originX, float originZ) {
  edges.clear();
  auto cellNodes = [&](int32_t i, int32_t j, float y, auto&& each) {
    if (i < 0 || j < 0 || i >= columns || j >= rows) return;
    const size_t c = static_cast<size_t>(j) * static_cast<size_t>(columns) + static_cast<size_t>(i);
    for (int32_t m = cellStart[c]; m < cellStart[c + 1]; ++m)
      if (std::fabs(nodes[static_cast<size_t>(m)].Centre.y - y) <= TNavGraph::kMaxStep) each(m);
  };
  for (size_t n = 0; n < nodes.size(); ++n) {
    TNavNode& node = nodes[n];
    node.FirstEdge = static_cast<int32_t>(edges.size());
    const int32_t i = static_cast<int32_t>(std::lround((node.Centre.x - originX) / cell));
    const int32_t j = static_cast<int32_t>(std::lround((node.Centre.z - originZ) / cell));
    for (int32_t dj = -1; dj <= 1; ++dj)
      for (int32_t di = -1; di <= 1; ++di) {
        if (di == 0 && dj == 0) continue;
        if (di != 0 && dj != 0) {
          bool sideA = false, sideB = false;
          cellNodes(i + di, j, node.Centre.y, [&](int32_t) { sideA = true; });
          cellNodes(i, j + dj, node.Centre.y, [&](int32_t) { sideB = true; });
          if (!sideA || !sideB) continue;
        }
        cellNodes(i + di, j + dj, node.Centre.y, [&](int32_t m) { edges.push_back(m); });
      }
    node.EdgeCount = static_cast<int32_t>(edges.size()) - node.FirstEdge;
  }
}

static void LabelComponents(std::vector<TNavNode>& nodes, const std::vector<int32_t>& edges) {
  for (TNavNode& n : nodes) n.Component = -1;
  std::vector<int32_t> stack;
  int32_t next = 0;
  for (size_t s = 0; s < nodes.size(); ++s) {
    if (nodes[s].Component >= 0) continue;
    nodes[s].Component = next;
    stack.push_back(static_cast<int32_t>(s));
    while (!stack.empty()) {
      const TNavNode& n = nodes[static_cast<size_t>(stack.back())];
      stack.pop_back();
      for (int32_t e = n.FirstEdge; e < n.FirstEdge + n.EdgeCount; ++e) {
        TNavNode& m = nodes[static_cast<size_t>(edges[static_cast<size_t>(e)])];
        if (m.Component < 0) {
          m.Component = next;
          stack.push_back(edges[static_cast<size_t>(e)]);
        }
      }
    }
    ++next;
  }
}

void TNavGraph::Build(TOctree& octree, const std::vector<TVec3>& spawns) {
  Nodes.clear();
  Edges.clear();
  SpawnNodes.assign(spawns.size(), -1);
  cellStart.clear();
  columns = rows = 0;

  std::vector<const TTriangle*> floors;
  float minX = TBounds::kInf, minZ = TBounds::kInf, maxX = -TBounds::kInf, maxZ = -TBounds::kInf;
  for (const auto& node : octree.Nodes)
    for (const TTriangle& t : node->Triangles) {
      const TVec3& n = t.Vertices[0].Normal;
      if (!(n.y >= 0.5f) || !std::isfinite(t.D)) continue;
      bool finite = true;
      for (const TVertex& v : t.Vertices)
        finite = finite && std::isfinite(v.Position.x) && std::isfinite(v.Position.y) && std::isfinite(v.Position.z);
      if (!finite) continue;
      floors.push_back(&t);
      for (const TVertex& v : t.Vertices) {
        minX = std::min(minX, v.Position.x);
        maxX = std::max(maxX, v.Position.x);
        minZ = std::min(minZ, v.Position.z);
        maxZ = std::max(maxZ, v.Position.z);
      }
    }
  if (floors.empty()) return;

  Cell = kCell;
  const double area = (static_cast<double>(maxX) - minX + kCell) * (static_cast<double>(maxZ) - minZ + kCell);
  if (area / (Cell * Cell) > static_cast<double>(kMaxCells)) Cell = static_cast<float>(std::sqrt(area / kMaxCells));
  // Grid points at whole multiples of the cell, so a node's grid column is
  // round(x / Cell) whatever the level's extent.
  originX = std::floor(minX / Cell) * Cell;
  originZ = std::floor(minZ / Cell) * Cell;
  columns = static_cast<int32_t>(std::ceil((maxX - originX) / Cell)) + 1;
  rows = static_cast<int32_t>(std::ceil((maxZ - originZ) / Cell)) + 1;

  // Every grid point over a floor triangle, at the triangle's height.
  std::vector<TSample> samples;
  samples.reserve(floors.size() * 2);
  for (const TTriangle* t : floors) {
    float x0 = TBounds::kInf, x1 = -TBounds::kInf, z0 = TBounds::kInf, z1 = -TBounds::kInf;
    for (const TVertex& v : t->Vertices) {
      x0 = std::min(x0, v.Position.x);
      x1 = std::max(x1, v.Position.x);
      z0 = std::min(z0, v.Position.z);
      z1 = std::max(z1, v.Position.z);
    }
    const TVec3& n = t->Vertices[0].Normal;
    for (int64_t j = static_cast<int64_t>(std::ceil((z0 - originZ) / Cell)); originZ + j * Cell <= z1; ++j)
      for (int64_t i = static_cast<int64_t>(std::ceil((x0 - originX) / Cell)); originX + i * Cell <= x1; ++i) {
        const float x = originX + static_cast<float>(i) * Cell, z = originZ + static_cast<float>(j) * Cell;
        if (i < 0 || j < 0 || i >= columns || j >= rows || !InsideXZ(*t, x, z)) continue;
        samples.push_back({j * columns + i, x, (t->D - n.x * x - n.z * z) / n.y, z});
      }
  }
  std::sort(samples.begin(), samples.end(), [](const TSample& a, const TSample& b) {
    return a.Cell != b.Cell ? a.Cell < b.Cell : a.Y < b.Y;
  });

  // One node per floor height in a cell, where a standing body touches nothing.
  std::vector<TTriangle*> touching;
  std::vector<int64_t> nodeCells;
  for (size_t s = 0; s < samples.size(); ++s) {
    if (s > 0 && samples[s].Cell == samples[s - 1].Cell && samples[s].Y - samples[s - 1].Y < 0.25f) continue;
    const TSphere body{{samples[s].X, samples[s].Y + kStandHeight, samples[s].Z}, kRadius};
    touching.clear();
    octree.TrianglesTouchingSphere(body, touching);
    if (!touching.empty()) continue;
    TNavNode node;
    node.Centre = body.Centre;
    Nodes.push_back(node);
    nodeCells.push_back(samples[s].Cell);
  }

  auto index = [&] {
    const size_t cells = static_cast<size_t>(columns) * static_cast<size_t>(rows);
    cellStart.assign(cells + 1, 0);
    for (int64_t c : nodeCells) cellStart[static_cast<size_t>(c) + 1] += 1;
    for (size_t c = 0; c < cells; ++c) cellStart[c + 1] += cellStart[c];
    LinkNeighbours(Nodes, Edges, cellStart, columns, rows, Cell, originX, originZ);
    LabelComponents(Nodes, Edges);
  };
  auto tieSpawns = [&] {
    for (size_t s = 0; s < spawns.size(); ++s) {
      SpawnNodes[s] = -1;
      float best = TBounds::kInf;
      const int64_t c = CellOf(spawns[s].x, spawns[s].z);
      if (c < 0) continue;
      const int32_t ci = static_cast<int32_t>(c % columns), cj = static_cast<int32_t>(c / columns);
      for (int32_t j = std::max(0, cj - 2); j <= std::min(rows - 1, cj + 2); ++j)
        for (int32_t i = std::max(0, ci - 2); i <= std::min(columns - 1, ci + 2); ++i) {
          const size_t cell = static_cast<size_t>(j) * static_cast<size_t>(columns) + static_cast<size_t>(i);
          for (int32_t m = cellStart[cell]; m < cellStart[cell + 1]; ++m) {
            const TVec3& p = Nodes[static_cast<size_t>(m)].Centre;
            const float d = Distance(p, spawns[s]);
            if (d >= best || std::fabs(p.y - spawns[s].y) > 1.5f) continue;
            const TRay sight{spawns[s], VecNormalize(VecSub(p, spawns[s]))};
            if (d > 1e-4f && octree.SegmentBlocked(sight, d)) continue;
            best = d;
            SpawnNodes[s] = m;
          }
        }
    }
  };
  index();
  tieSpawns();

  // Keep only what a spawn point reaches.
  std::vector<char> keepComponent(Nodes.size(), 0);
  bool anySpawn = false;
  for (int32_t n : SpawnNodes)
    if (n >= 0) {
      keepComponent[static_cast<size_t>(Nodes[static_cast<size_t>(n)].Component)] = 1;
      anySpawn = true;
    }
  if (anySpawn) {
    size_t kept = 0;
    for (size_t n = 0; n < Nodes.size(); ++n)
      if (keepComponent[static_cast<size_t>(Nodes[n].Component)]) {
        Nodes[kept] = Nodes[n];
        nodeCells[kept] = nodeCells[n];
        ++kept;
      }
    Nodes.resize(kept);
    nodeCells.resize(kept);
    index();
    tieSpawns();
  }

  EdgeBlocked.assign(Edges.size(), 0);
  cost.assign(Nodes.size(), 0);
  parent.assign(Nodes.size(), -1);
  seen.assign(Nodes.size(), 0);
  open.clear();
  open.reserve(Edges.size() + Nodes.size() + 1);
  search = 0;
}

bool TNavGraph::Connected(int32_t a, int32_t b) const {
  if (a < 0 || b < 0 || a >= NodeCount() || b >= NodeCount()) return false;
  return Nodes[static_cast<size_t>(a)].Component == Nodes[static_cast<size_t>(b)].Component;
}

int32_t TNavGraph::Nearest(const TVec3& p, int32_t component) const {
  const int64_t c = CellOf(p.x, p.z);
  if (c < 0 || Nodes.empty()) return -1;
  const int32_t ci = static_cast<int32_t>(c % columns), cj = static_cast<int32_t>(c / columns);
  int32_t best = -1;
  float bestD = TBounds::kInf;
  for (int32_t j = std::max(0, cj - 2); j <= std::min(rows - 1, cj + 2); ++j)
    for (int32_t i = std::max(0, ci - 2); i <= std::min(columns - 1, ci + 2); ++i) {
      const size_t cell = static_cast<size_t>(j) * static_cast<size_t>(columns) + static_cast<size_t>(i);
      for (int32_t m = cellStart[cell]; m < cellStart[cell + 1]; ++m) {
        const TNavNode& n = Nodes[static_cast<size_t>(m)];
        if (std::fabs(n.Centre.y - p.y) > 1.5f || (component >= 0 && n.Component != component)) continue;
        const float d = Distance(n.Centre, p);
        if (d < bestD) {
          bestD = d;
          best = m;
        }
      }
    }
  return best;
}

void TNavGraph::BlockEdge(int32_t from, int32_t to) {
  if (from < 0 || from >= NodeCount()) return;
  const TNavNode& n = Nodes[static_cast<size_t>(from)];
  for (int32_t e = n.FirstEdge; e < n.FirstEdge + n.EdgeCount; ++e)
    if (Edges[static_cast<size_t>(e)] == to) EdgeBlocked[static_cast<size_t>(e)] = 1;
}

bool TNavGraph::FindPath(int32_t from, int32_t to, std::vector<int32_t>& path) {
  path.clear();
  if (!Connected(from, to)) return false;
  if (++search == 0) {  // the counter wrapped: forget every earlier search
    std::fill(seen.begin(), seen.end(), 0);
    search = 1;
  }
  auto later = [](const TOpen& a, const TOpen& b) { return a.F > b.F; };
  const TVec3 goal = Nodes[static_cast<size_t>(to)].Centre;
  open.clear();
  seen[static_cast<size_t>(from)] = search;
  cost[static_cast<size_t>(from)] = 0;
  parent[static_cast<size_t>(from)] = -1;
  open.push_back({Distance(Nodes[static_cast<size_t>(from)].Centre, goal), from});
  while (!open.empty()) {
    std::pop_heap(open.begin(), open.end(), later);
    const TOpen top = open.back();
    open.pop_back();
    const size_t n = static_cast<size_t>(top.Node);
    if (top.Node == to) break;
    // A stale entry: the node was reached more cheaply since it was pushed.
    if (top.F - Distance(Nodes[n].Centre, goal) > cost[n] + 1e-3f) continue;
    for (int32_t e = Nodes[n].FirstEdge; e < Nodes[n].FirstEdge + Nodes[n].EdgeCount; ++e) {
      if (EdgeBlocked[static_cast<size_t>(e)]) continue;
      const size_t m = static_cast<size_t>(Edges[static_cast<size_t>(e)]);
      const float g = cost[n] + Distance(Nodes[n].Centre, Nodes[m].Centre);
      if (seen[m] == search && g >= cost[m]) continue;
      seen[m] = search;
      cost[m] = g;
      parent[m] = top.Node;
      if (open.size() == open.capacity()) continue;  // never grows: a full heap drops the entry
      open.push_back({g + Distance(Nodes[m].Centre, goal), static_cast<int32_t>(m)});
      std::push_heap(open.begin(), open.end(), later);
    }
  }
  if (seen[static_cast<size_t>(to)] != search) return false;
  for (int32_t n = to; n >= 0; n = parent[static_cast<size_t>(n)]) path.push_back(n);
  std::reverse(path.begin(), path.end());
  return true;
}
