// The octree over a level's triangles: cubes (TNode) that drawing skips when
// they are outside the view and that queries skip when a ray or sphere cannot
// reach their triangles, plus the level's materials. Built once when a level
// is compiled, stored in map.lvl and read back at every level start. Drawing
// (display lists per node, immediate mode, node boxes, material textures)
// lives in octree_draw.cpp.
#pragma once
#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "world/geometry.h"

class TBinaryFile;
class TFrustum;
class TOctree;

// A level file whose octree body cannot be used: truncated, or counts and
// indices that do not fit. The message names the file, the byte offset and
// what was wrong.
class ELevelFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TOctreeMaterial {
 public:
  // Sets the OpenGL state for this material, changing only what differs from
  // the material drawn before (none: everything), and opens a triangle batch.
  void Apply(TOctree& owner) const;

  bool HasTexture = false;
  unsigned TextureId = 0;  // OpenGL texture name once loaded
  std::string TextureName; // below the octree's TextureDir
  bool TwoSided = false;   // culling off
  bool HasBump = false;
  float BumpAmount = 0;
  bool HasDiffuse = false, HasAmbient = false, HasSpecular = false;
  float Ambient[4] = {0, 0, 0, 1};
  float Diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
  float Specular[4] = {0, 0, 0, 1};
  float Emission[4] = {0, 0, 0, 1};
  float Shininess = 1;
  float Colour[4] = {1, 1, 1, 1};  // r, g, b, a: the current colour while in use
};

// Axis-aligned bounds of triangle corners; empty while min > max. Not stored
// in the file: queries use them because a triangle may reach far outside the
// cube of the node that holds it.
struct TBounds {
  static constexpr float kInf = std::numeric_limits<float>::infinity();
  TVec3 Min{kInf, kInf, kInf};
  TVec3 Max{-kInf, -kInf, -kInf};
  bool Empty() const { return Min.x > Max.x; }
  // A corner with a NaN coordinate makes the bounds unlimited, so no query
  // can skip the triangle.
  void Add(const TVec3& p);
  void Add(const TBounds& b);
};

class TNode {
 public:
  int32_t TriangleCount() const { return static_cast<int32_t>(Triangles.size()); }
  int ChildCount() const { return static_cast<int>(Children.size()); }

  // The collision pre-test: the sphere centre lies strictly inside the cube
  // grown by the radius on every axis.
  bool SphereTouches(const TVec3& centre, float radius) const;

  // Drawing (octree_draw.cpp).
  void Render(TOctree& owner, const TFrustum& frustum, bool useLists);
  void DrawTriangles(TOctree& owner) const;
  void DrawBox(const TFrustum& frustum) const;

  TVec3 Centre;
  float HalfSize = 0;
  std::vector<TTriangle> Triangles;
  std::vector<TNode*> Children;  // owned by the octree's Nodes
  bool IsLeaf = false;
  // Read from and written to the file; empty in every tree built here. A
  // link to a node not read yet stays null.
  std::vector<TNode*> Links;
  int16_t NodeIndex = 0;  // position in the octree's Nodes
  TNode* Parent = nullptr;
  unsigned ListId = 0;    // display list of this node's own triangles

  TBounds OwnBounds;      // of this node's triangles
  TBounds SubtreeBounds;  // of this node's and all its descendants' triangles
  // A node holding many triangles (a floor lying on a splitting plane stays
  // in the root) keeps bounds of each run of kGroupSize consecutive
  // triangles, as a binary tree in an array: entry 1 covers them all, entry
  // i has children 2i and 2i + 1, the runs are the second half. Empty for
  // nodes of kGroupSize triangles or fewer.
  std::vector<TBounds> GroupBounds;
  static constexpr size_t kGroupSize = 16;
};

class TOctree {
 public:
  // A node at this depth (the root has depth 0) or with a half-size below
  // kMinHalfSize is a leaf whatever it holds, so coincident triangles cannot
  // split forever. Loaded trees deeper than this are refused.
  static constexpr int kMaxDepth = 24;
  static constexpr float kMinHalfSize = 1e-4f;
  // Node indices are 16-bit signed in the file.
  static constexpr size_t kMaxNodes = 32767;
  static constexpr size_t kMaxMaterials = 65535;

  // An empty octree to be filled by LoadFromFile.
  explicit TOctree(int32_t maxTriangles = 500);
  // Builds the tree from the triangles, which it takes.
  TOctree(std::vector<TTriangle> triangles, int32_t maxTriangles);
  ~TOctree();  // frees display lists and textures (octree_draw.cpp)
  TOctree(const TOctree&) = delete;
  TOctree& operator=(const TOctree&) = delete;

  // The body of map.lvl after the header.
  void SaveToFile(TBinaryFile& file) const;
  // Reads the body and replaces this tree with it. Throws ELevelFileError
  // when it is truncated or inconsistent; the tree is then left unchanged.
  void LoadFromFile(TBinaryFile& file);

  // Loads each textured material's texture from TextureDir + TextureName.
  // Needs an OpenGL context.
  void LoadTextures();
  // Draws the level (frustum-culled) and, when asked, the node boxes.
  void Render(const TFrustum& frustum, bool drawLevel, bool showNodes);
  void BuildLists();

  // The triangle the line through ray.Origin along ray.Direction hits, with
  // the choice of a walk over every node in Nodes order: the first hit wins
  // whatever its parameter, later hits only with 0 < t < the best so far.
  // Visits only the nodes whose triangles the line can reach. Null on a miss.
  TTriangle* Pick(const TRay& ray);
  // Whether any triangle is hit at a parameter in [0, limit] (the blocking
  // test of shots and sight lines), visiting only the nodes the segment reaches.
  bool SegmentBlocked(const TRay& ray, float limit) const;
  // The parameter of the nearest triangle the ray meets in [0, limit]
  // (ray.Direction of unit length makes it a distance); limit on a miss.
  float FirstHit(const TRay& ray, float limit) const;
  // Every triangle the sphere touches, in tree order: a node's own triangles
  // in stored order, then each child's subtree in Children order. That is the
  // order collision walks the tree in, which decides its "first" and "last"
  // triangle. It differs from Nodes order, where a node's children all come
  // before any grandchild.
  void TrianglesTouchingSphere(const TSphere& sphere, std::vector<TTriangle*>& out);

  int32_t TotalTriangles() const;
  int Depth() const;

  TNode* Root = nullptr;
  std::vector<std::unique_ptr<TNode>> Nodes;  // parents before children
  int32_t MaxTriangles = 500;
  std::vector<TOctreeMaterial> Materials;     // entry 0 is the default material
  bool BatchOpen = false;                     // a glBegin(GL_TRIANGLES) is open
  const TOctreeMaterial* CurrentMaterial = nullptr;
  bool ListsBuilt = false;
  std::string LevelFile;                      // informational
  std::string TextureDir;                     // put before each material's texture name

 private:
  struct BuildState;
  void Subdivide(TNode& node, std::vector<uint32_t>& candidates, int depth, BuildState& state);
  TNode& AddNode(const TVec3& centre, float halfSize, TNode* parent);
  void ComputeBounds();
  enum class TQueryOrder { Nodes, Tree };
  // Calls visit for each triangle that the bounds test cannot rule out, in
  // Nodes or tree order of the nodes and stored order within a node, until
  // visit returns false. Subtrees, nodes and runs of triangles whose bounds
  // fail are skipped.
  template <typename Self, typename BoundsTest, typename Visit>
  static void ForEachCandidate(Self& self, TQueryOrder order, BoundsTest test, Visit visit);
  float QueryTolerance(const TVec3& origin) const;
  void ReleaseGraphics();

  float sceneExtent = 0;  // largest absolute corner coordinate
};

// Console flags (whole run): draw with display lists (else immediate mode),
// draw the node boxes.
extern bool UseLists;
extern bool ShowNodes;
