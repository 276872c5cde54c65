#include "scene_builder.h"

#include <cmath>
#include <stdexcept>

TV3 operator+(TV3 a, TV3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
TV3 operator-(TV3 a, TV3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TV3 operator*(TV3 a, float f) { return {a.x * f, a.y * f, a.z * f}; }

static TV3 Cross(TV3 a, TV3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

void TSceneBuilder::AddMaterial(const std::string& name, const std::string& textureFile, float tileSize, TColor3 diffuse) {
  TMat m;
  m.Material.Name = name;
  m.Material.Diffuse = diffuse;
  m.Material.Ambient = {diffuse.r * 0.6f, diffuse.g * 0.6f, diffuse.b * 0.6f};
  m.Material.Specular = {0.1f, 0.1f, 0.1f};
  m.Material.TextureMap = textureFile;
  m.Tile = tileSize;
  m.Textured = true;
  order.push_back(name);
  materials[name] = m;
}

void TSceneBuilder::AddMaterial(const std::string& name, TColor3 diffuse) {
  TMat m;
  m.Material.Name = name;
  m.Material.Diffuse = diffuse;
  m.Material.Ambient = {diffuse.r * 0.6f, diffuse.g * 0.6f, diffuse.b * 0.6f};
  m.Material.Specular = {0.2f, 0.2f, 0.2f};
  order.push_back(name);
  materials[name] = m;
}

void TSceneBuilder::SetTransform(TV3 o, float yawDegrees) {
  offset = o;
  cosYaw = std::cos(yawDegrees * 3.14159265f / 180);
  sinYaw = std::sin(yawDegrees * 3.14159265f / 180);
}

TV3 TSceneBuilder::Apply(TV3 p) const {
  return {p.x * cosYaw + p.z * sinYaw + offset.x, p.y + offset.y, -p.x * sinYaw + p.z * cosYaw + offset.z};
}

TTexCoord TSceneBuilder::Uv(const TMat& m, TV3 p, TV3 n) const {
  const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  if (ay >= ax && ay >= az) return {p.x / m.Tile, p.z / m.Tile};
  if (ax >= az) return {p.z / m.Tile, p.y / m.Tile};
  return {p.x / m.Tile, p.y / m.Tile};
}

void TSceneBuilder::Triangle(const std::string& material, TV3 a, TV3 b, TV3 c) { Emit(material, a, b, c, nullptr); }

// Texture coordinates come from `uv` when given, else from the planar mapping
// of the placed corners.
void TSceneBuilder::Emit(const std::string& material, TV3 a, TV3 b, TV3 c, const TTexCoord* uv) {
  auto found = materials.find(material);
  if (found == materials.end()) throw std::logic_error("unknown material " + material);
  a = Apply(a);
  b = Apply(b);
  c = Apply(c);
  const TV3 n = Cross(b - a, c - a);
  std::vector<TPending>& list = meshes[material];
  if (list.empty() || list.back().Vertices.size() + 3 > 60000) list.emplace_back();
  TPending& mesh = list.back();
  const uint16_t first = static_cast<uint16_t>(mesh.Vertices.size());
  const TV3 corners[3] = {a, b, c};
  for (int k = 0; k < 3; ++k) {
    const TV3 p = corners[k];
    mesh.Vertices.push_back({p.x, p.y, p.z});
    mesh.TexCoords.push_back(uv ? uv[k] : Uv(found->second, p, n));
  }
  mesh.Faces.push_back({first, static_cast<uint16_t>(first + 1), static_cast<uint16_t>(first + 2)});
  ++triangles;
}

void TSceneBuilder::Quad(const std::string& material, TV3 a, TV3 b, TV3 c, TV3 d) {
  Triangle(material, a, b, c);
  Triangle(material, a, c, d);
}

void TSceneBuilder::Quad(const std::string& material, TV3 a, TV3 b, TV3 c, TV3 d, const TTexCoord uv[4]) {
  const TTexCoord first[3] = {uv[0], uv[1], uv[2]}, second[3] = {uv[0], uv[2], uv[3]};
  Emit(material, a, b, c, first);
  Emit(material, a, c, d, second);
}

void TSceneBuilder::TexturedBox(const std::string& m, TV3 lo, TV3 hi, bool bottom) {
  const TV3 p000{lo.x, lo.y, lo.z}, p100{hi.x, lo.y, lo.z}, p010{lo.x, hi.y, lo.z}, p110{hi.x, hi.y, lo.z};
  const TV3 p001{lo.x, lo.y, hi.z}, p101{hi.x, lo.y, hi.z}, p011{lo.x, hi.y, hi.z}, p111{hi.x, hi.y, hi.z};
  // Side faces start at their bottom left seen from outside: (0,0), (0,1),
  // (1,1), (1,0) for corners that go up first; the caps go round the same way.
  const TTexCoord up[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  const TTexCoord across[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  Quad(m, p010, p011, p111, p110, up);
  if (bottom) Quad(m, p000, p100, p101, p001, across);
  Quad(m, p101, p100, p110, p111, across);  // +x, starting at its bottom left
  Quad(m, p000, p001, p011, p010, across);  // -x
  Quad(m, p001, p101, p111, p011, across);  // +z
  Quad(m, p100, p000, p010, p110, across);  // -z
}

void TSceneBuilder::Box(const std::string& material, TV3 lo, TV3 hi, bool bottom) { Box(material, material, lo, hi, bottom); }

void TSceneBuilder::Box(const std::string& sides, const std::string& top, TV3 lo, TV3 hi, bool bottom) {
  const TV3 p000{lo.x, lo.y, lo.z}, p100{hi.x, lo.y, lo.z}, p010{lo.x, hi.y, lo.z}, p110{hi.x, hi.y, lo.z};
  const TV3 p001{lo.x, lo.y, hi.z}, p101{hi.x, lo.y, hi.z}, p011{lo.x, hi.y, hi.z}, p111{hi.x, hi.y, hi.z};
  Quad(top, p010, p011, p111, p110);                // +y
  if (bottom) Quad(sides, p000, p100, p101, p001);  // -y
  Quad(sides, p100, p110, p111, p101);              // +x
  Quad(sides, p000, p001, p011, p010);              // -x
  Quad(sides, p001, p101, p111, p011);              // +z
  Quad(sides, p000, p010, p110, p100);              // -z
}

// Maps a wedge built rising towards +x in a local frame onto the requested
// direction by swapping and mirroring the horizontal axes.
void TSceneBuilder::Ramp(const std::string& material, TV3 lo, TV3 hi, int dir) {
  auto at = [&](float s, float y, float t) -> TV3 {  // s along the slope 0..1, t across 0..1
    switch (dir) {
      case 0: return {lo.x + s * (hi.x - lo.x), y, lo.z + t * (hi.z - lo.z)};
      case 1: return {hi.x - s * (hi.x - lo.x), y, hi.z - t * (hi.z - lo.z)};
      case 2: return {hi.x - t * (hi.x - lo.x), y, lo.z + s * (hi.z - lo.z)};
      default: return {lo.x + t * (hi.x - lo.x), y, hi.z - s * (hi.z - lo.z)};
    }
  };
  const float y0 = lo.y, y1 = hi.y;
  // In the local frame (s = x, t = z) the faces below are counter-clockwise
  // from outside; every mapping above keeps handedness.
  Quad(material, at(0, y0, 0), at(0, y0, 1), at(1, y1, 1), at(1, y1, 0));  // slope
  Quad(material, at(1, y0, 0), at(1, y1, 0), at(1, y1, 1), at(1, y0, 1));  // high end
  Triangle(material, at(0, y0, 0), at(1, y1, 0), at(1, y0, 0));            // side t = 0
  Triangle(material, at(0, y0, 1), at(1, y0, 1), at(1, y1, 1));            // side t = 1
}

void TSceneBuilder::Stairs(const std::string& material, TV3 lo, TV3 hi, int dir, int steps) {
  for (int i = 0; i < steps; ++i) {
    const float s0 = static_cast<float>(i) / steps, s1 = static_cast<float>(i + 1) / steps;
    const float top = lo.y + (hi.y - lo.y) * s1;
    TV3 a = lo, b = hi;
    b.y = top;
    switch (dir) {
      case 0: a.x = lo.x + (hi.x - lo.x) * s0; break;
      case 1: b.x = hi.x - (hi.x - lo.x) * s0; break;
      case 2: a.z = lo.z + (hi.z - lo.z) * s0; break;
      default: b.z = hi.z - (hi.z - lo.z) * s0; break;
    }
    Box(material, a, b, false);
  }
}

void TSceneBuilder::Grid(const std::string& material, float x0, float z0, float x1, float z1, int n,
                         const std::function<float(float, float)>& height) {
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const float xa = x0 + (x1 - x0) * i / n, xb = x0 + (x1 - x0) * (i + 1) / n;
      const float za = z0 + (z1 - z0) * j / n, zb = z0 + (z1 - z0) * (j + 1) / n;
      Quad(material, {xa, height(xa, za), za}, {xa, height(xa, zb), zb}, {xb, height(xb, zb), zb},
           {xb, height(xb, za), za});
    }
}

T3dsScene TSceneBuilder::Scene(const std::string& meshPrefix) const {
  T3dsScene scene;
  scene.MasterScale = 10;  // the reader divides by 10: coordinates stay as built
  for (const std::string& name : order) {
    const TMat& m = materials.at(name);
    scene.Materials.push_back(m.Material);
    auto found = meshes.find(name);
    if (found == meshes.end()) continue;
    int part = 0;
    for (const TPending& p : found->second) {
      T3dsSceneMesh mesh;
      mesh.Name = meshPrefix + name + (part ? std::to_string(part) : "");
      ++part;
      mesh.Vertices = p.Vertices;
      mesh.TexCoords = p.TexCoords;
      mesh.Faces = p.Faces;
      T3dsSceneGroup group;
      group.Material = name;
      for (size_t f = 0; f < p.Faces.size(); ++f) group.Faces.push_back(static_cast<uint16_t>(f));
      mesh.Groups.push_back(group);
      scene.Meshes.push_back(std::move(mesh));
    }
  }
  return scene;
}

void TSceneBuilder::ForEachTriangle(const std::function<void(const TVec3*, TColor3)>& visit) const {
  for (const auto& [name, list] : meshes) {
    const TColor3 colour = materials.at(name).Material.Diffuse;
    for (const TPending& p : list)
      for (const auto& f : p.Faces) {
        const TVec3 corners[3] = {p.Vertices[f[0]], p.Vertices[f[1]], p.Vertices[f[2]]};
        visit(corners, colour);
      }
  }
}
