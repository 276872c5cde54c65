// Test scenes: triangles made directly, and 3DS scenes for the level build
// (written with master scale 10 so that coordinates stay 1:1).
#pragma once
#include <cstdint>
#include <string>

#include "render/model_3ds_writer.h"
#include "world/geometry.h"
#include "world/octree.h"

#include <vector>

inline TTriangle MakeTriangle(TVec3 a, TVec3 b, TVec3 c, uint16_t material = 0) {
  TTriangle t;
  t.Vertices[0].Position = a;
  t.Vertices[1].Position = b;
  t.Vertices[2].Position = c;
  t.Material = material;
  TrianglePlane(t);
  return t;
}

// Two triangles covering the square [x0, x1] x [z0, z1] at height y, facing up.
inline void AddFloor(std::vector<TTriangle>& out, float x0, float z0, float x1, float z1, float y,
                     uint16_t material = 0) {
  TTriangle a = MakeTriangle({x0, y, z0}, {x0, y, z1}, {x1, y, z1}, material);
  TTriangle b = MakeTriangle({x0, y, z0}, {x1, y, z1}, {x1, y, z0}, material);
  a.Vertices[0].TexCoord[0] = 0, a.Vertices[0].TexCoord[1] = 0;
  a.Vertices[1].TexCoord[0] = 0, a.Vertices[1].TexCoord[1] = 1;
  a.Vertices[2].TexCoord[0] = 1, a.Vertices[2].TexCoord[1] = 1;
  b.Vertices[0].TexCoord[0] = 0, b.Vertices[0].TexCoord[1] = 0;
  b.Vertices[1].TexCoord[0] = 1, b.Vertices[1].TexCoord[1] = 1;
  b.Vertices[2].TexCoord[0] = 1, b.Vertices[2].TexCoord[1] = 0;
  out.push_back(a);
  out.push_back(b);
}

// A flat square mesh of n x n quads (2 n n faces) spanning [x0, x1] x [z0, z1]
// at height y, facing up, textured once across.
inline T3dsSceneMesh GridMesh(const std::string& name, int n, float x0, float z0, float x1, float z1, float y) {
  T3dsSceneMesh mesh;
  mesh.Name = name;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) {
      mesh.Vertices.push_back({x0 + (x1 - x0) * i / n, y, z0 + (z1 - z0) * j / n});
      mesh.TexCoords.push_back({static_cast<float>(i) / n, static_cast<float>(j) / n});
    }
  auto at = [n](int i, int j) { return static_cast<uint16_t>(i * (n + 1) + j); };
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      mesh.Faces.push_back({at(i, j), at(i, j + 1), at(i + 1, j + 1)});
      mesh.Faces.push_back({at(i, j), at(i + 1, j + 1), at(i + 1, j)});
    }
  return mesh;
}

// All faces of the mesh in one material group.
inline void UseMaterial(T3dsSceneMesh& mesh, const std::string& material) {
  T3dsSceneGroup group{material, {}};
  for (size_t i = 0; i < mesh.Faces.size(); ++i) group.Faces.push_back(static_cast<uint16_t>(i));
  mesh.Groups.push_back(group);
}

// Every triangle of the subtree that touches the sphere, by a walk over all of
// them in tree order (a node's own triangles, then each child's subtree in
// order) without any pruning: what the collision queries must answer.
inline void TouchingInTreeOrder(TNode& node, const TSphere& sphere, std::vector<TTriangle*>& out) {
  for (TTriangle& t : node.Triangles)
    if (SphereTouchesTriangle(t, sphere)) out.push_back(&t);
  for (TNode* child : node.Children) TouchingInTreeOrder(*child, sphere, out);
}
