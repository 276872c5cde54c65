// Test scenes: triangles made directly, and small 3DS files written chunk by
// chunk for the level build (master scale 10, so coordinates stay 1:1).
#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "world/geometry.h"

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

struct SceneMaterial {
  std::string name;
  std::string texture;  // empty: no texture map
  float r = 1, g = 1, b = 1;
};

struct SceneMesh {
  std::string name;
  std::vector<TVec3> vertices;
  std::vector<std::array<uint16_t, 3>> faces;
  std::string material;  // every face in one material group; empty: no groups
};

namespace scene_detail {
inline void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
inline void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void PutFloat(std::string& s, float f) {
  uint32_t bits;
  static_assert(sizeof bits == sizeof f);
  std::memcpy(&bits, &f, 4);
  Put32(s, bits);
}
inline std::string Chunk(uint16_t id, const std::string& payload) {
  std::string s;
  Put16(s, id);
  Put32(s, static_cast<uint32_t>(payload.size() + 6));
  return s + payload;
}
inline std::string CString(const std::string& text) { return text + std::string(1, '\0'); }
}  // namespace scene_detail

inline std::string Make3ds(const std::vector<SceneMaterial>& materials, const std::vector<SceneMesh>& meshes) {
  using namespace scene_detail;
  std::string data;
  std::string scale;
  PutFloat(scale, 10);
  data += Chunk(0x0100, scale);
  for (const SceneMaterial& m : materials) {
    std::string block = Chunk(0xA000, CString(m.name));
    std::string rgb;
    PutFloat(rgb, m.r);
    PutFloat(rgb, m.g);
    PutFloat(rgb, m.b);
    block += Chunk(0xA020, Chunk(0x0010, rgb));
    if (!m.texture.empty()) block += Chunk(0xA200, Chunk(0xA300, CString(m.texture)));
    data += Chunk(0xAFFF, block);
  }
  for (const SceneMesh& mesh : meshes) {
    std::string vertices;
    Put16(vertices, static_cast<uint16_t>(mesh.vertices.size()));
    for (const TVec3& v : mesh.vertices) {
      PutFloat(vertices, v.x);
      PutFloat(vertices, v.y);
      PutFloat(vertices, v.z);
    }
    std::string faces;
    Put16(faces, static_cast<uint16_t>(mesh.faces.size()));
    for (const auto& f : mesh.faces) {
      for (uint16_t i : f) Put16(faces, i);
      Put16(faces, 0);
    }
    if (!mesh.material.empty()) {
      std::string group = CString(mesh.material);
      Put16(group, static_cast<uint16_t>(mesh.faces.size()));
      for (size_t i = 0; i < mesh.faces.size(); ++i) Put16(group, static_cast<uint16_t>(i));
      faces += Chunk(0x4130, group);
    }
    std::string object = Chunk(0x4110, vertices) + Chunk(0x4120, faces);
    data += Chunk(0x4000, CString(mesh.name) + Chunk(0x4100, object));
  }
  return Chunk(0x4D4D, Chunk(0x3D3D, data));
}

// A flat square mesh of n x n quads (2 n n faces) spanning [x0, x1] x [z0, z1] at height y.
inline SceneMesh GridMesh(const std::string& name, int n, float x0, float z0, float x1, float z1, float y,
                          const std::string& material = "") {
  SceneMesh mesh{name, {}, {}, material};
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j)
      mesh.vertices.push_back({x0 + (x1 - x0) * i / n, y, z0 + (z1 - z0) * j / n});
  auto at = [n](int i, int j) { return static_cast<uint16_t>(i * (n + 1) + j); };
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      mesh.faces.push_back({at(i, j), at(i, j + 1), at(i + 1, j + 1)});
      mesh.faces.push_back({at(i, j), at(i + 1, j + 1), at(i + 1, j)});
    }
  return mesh;
}
