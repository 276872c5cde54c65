// Where a body can walk on a level, derived from the level itself so any map
// works without hand-placed waypoints: points on a square grid over the
// floor triangles (normal y >= 0.5, as movement counts ground) where a
// character's bounding sphere stands clear of every triangle, joined to
// their grid neighbours when the height step is one the movement climbs
// (stair treads, ramps, terrain). Points no spawn point can reach (inside
// solid blocks, on crate tops) are dropped. Paths are found with A* on
// scratch storage made at build time, so a search allocates nothing.
#pragma once
#include <cstdint>
#include <vector>

#include "world/geometry.h"

class TOctree;

struct TNavNode {
  TVec3 Centre;             // where the bounding-sphere centre stands
  int32_t FirstEdge = 0;    // into TNavGraph::Edges
  int32_t EdgeCount = 0;
  int32_t Component = 0;    // nodes with the same number reach each other
};

class TNavGraph {
 public:
  // A character's bounding sphere: its radius and its centre's height above
  // the floor when standing (spawn points are given at that height).
  static constexpr float kRadius = 0.9f;
  static constexpr float kStandHeight = 1.0f;
  // The largest height difference between neighbouring points that the
  // walk climbs (stair treads of 0.25 give 0.5 per cell).
  static constexpr float kMaxStep = 0.6f;
  // Grid spacing; bigger levels get a coarser grid so the node count stays
  // bounded (kMaxCells).
  static constexpr float kCell = 1.0f;
  static constexpr int64_t kMaxCells = 1 << 20;

  // Replaces the graph with the one of this octree. Spawn points are
  // bounding-sphere centres; each is tied to the nearest node it sees
  // (SpawnNodes, -1 where none is near).
  void Build(TOctree& octree, const std::vector<TVec3>& spawns);

  // The nearest node to a bounding-sphere centre within two cells and 1.5
  // units of height, preferring ones in `component` when it is >= 0; -1
  // when none is there.
  int32_t Nearest(const TVec3& p, int32_t component = -1) const;
  // Fills `path` with the nodes from `from` to `to` (both included); false
  // (and `path` empty) when they are not connected. `path` should have
  // capacity for NodeCount() entries to stay free of allocation.
  bool FindPath(int32_t from, int32_t to, std::vector<int32_t>& path);

  // Takes the edge from `from` to `to` out of later searches: a body that
  // tried it could not follow it (only the walk itself knows every such
  // place, like a stair entered from its side).
  void BlockEdge(int32_t from, int32_t to);

  int32_t NodeCount() const { return static_cast<int32_t>(Nodes.size()); }
  bool Connected(int32_t a, int32_t b) const;

  std::vector<TNavNode> Nodes;
  std::vector<int32_t> Edges;       // neighbour node numbers
  std::vector<uint8_t> EdgeBlocked; // per edge: 1 once BlockEdge took it out
  std::vector<int32_t> SpawnNodes;  // one per spawn point given to Build
  float Cell = kCell;

 private:
  int64_t CellOf(float x, float z) const;

  // The grid: nodes sorted by cell; CellStart[c] .. CellStart[c + 1] are the
  // nodes of cell c.
  float originX = 0, originZ = 0;
  int32_t columns = 0, rows = 0;
  std::vector<int32_t> cellStart;

  // A* scratch, sized at build time.
  struct TOpen {
    float F;
    int32_t Node;
  };
  std::vector<float> cost;
  std::vector<int32_t> parent;
  std::vector<uint32_t> seen;  // == search: cost and parent are this search's
  std::vector<TOpen> open;
  uint32_t search = 0;
};
