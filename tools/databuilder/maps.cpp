// The maps: a small arena and a larger compound with two floor heights for
// play (the depot and the tower have files of their own), and a stress map
// of a quarter-million triangles for benchmarks (not in the map list). Each
// gets its scene "map.3ds" and its "config.ini" with the skybox and the
// spawn points. Collision is against a character's bounding sphere (radius
// 0.9, its centre kStand above the floor) and counts a face only where
// the centre projects inside it: stair risers of 0.25 stay below the centre,
// so players step onto each tread, walls and cover reach above it, and
// passages are at least 3 units wide.
#include "canvas.h"
#include "generators.h"
#include "map_parts.h"

#include <cmath>
#include <cstdio>
#include <vector>

void LevelMaterials(TSceneBuilder& s) {
  s.AddMaterial("brick", "brick.bmp", 3);
  s.AddMaterial("concrete", "concrete.jpg", 4);
  s.AddMaterial("wood", "wood.tga", 2);
  s.AddMaterial("crate", "crate.tga", 1.5f);
  s.AddMaterial("metal", "metal.jpg", 2);
  s.AddMaterial("tiles", "floortiles.bmp", 4);
  s.AddMaterial("ground", "ground.jpg", 6);
}

void Crate(TSceneBuilder& s, float x, float floorY, float z, float size) {
  s.TexturedBox("crate", {x - size / 2, floorY, z - size / 2}, {x + size / 2, floorY + size, z + size / 2}, false);
}

void Perimeter(TSceneBuilder& s, const std::string& m, float x0, float z0, float x1, float z1, float h, float t) {
  s.Box(m, {x0 - t, 0, z0 - t}, {x1 + t, h, z0}, false);
  s.Box(m, {x0 - t, 0, z1}, {x1 + t, h, z1 + t}, false);
  s.Box(m, {x0 - t, 0, z0}, {x0, h, z1}, false);
  s.Box(m, {x1, 0, z0}, {x1 + t, h, z1}, false);
}

std::string Config(const std::string& skybox, const TSpawns& spawns) {
  std::string s = "[config]\r\nSkybox=" + skybox + "\r\nTerSpawnPoints=" + std::to_string(spawns.Ter.size()) +
                  "\r\nCTSpawnPoints=" + std::to_string(spawns.CT.size()) + "\r\n";
  auto add = [&](const char* section, const std::vector<TSpawn>& list) {
    for (size_t i = 0; i < list.size(); ++i) {
      char buf[200];
      const TSpawn& p = list[i];
      std::snprintf(buf, sizeof buf, "[%s%zu]\r\nx=%g\r\ny=%g\r\nz=%g\r\nyaw=%g\r\n", section, i, p.At.x, p.At.y,
                    p.At.z, p.Yaw);
      s += buf;
    }
  };
  add("TerSpawn", spawns.Ter);
  add("CTSpawn", spawns.CT);
  return s;
}

namespace {

// 40 x 40 arena: tiled floor, brick walls, a concrete block in the middle
// with a metal roof, pillars and crate stacks for cover.
void Arena(TDataTree& tree) {
  TSceneBuilder s;
  LevelMaterials(s);
  const float half = 20;
  s.Box("concrete", "tiles", {-half, -1, -half}, {half, 0, half}, false);
  Perimeter(s, "brick", -half, -half, half, half, 5, 1);
  s.Box("concrete", "metal", {-3, 0, -3}, {3, 2.5f, 3}, false);
  for (float px : {-10.0f, 10.0f})
    for (float pz : {-10.0f, 10.0f}) s.Box("concrete", {px - 0.8f, 0, pz - 0.8f}, {px + 0.8f, 5, pz + 0.8f}, false);
  // Crate clusters, a big one with a small one on top.
  const float crates[][3] = {{-6, 12, 1.5f}, {-4.4f, 12, 1.2f}, {6, -12, 1.5f}, {4.4f, -12.2f, 1.2f},
                             {13, 3, 1.4f},  {-13, -3, 1.4f},  {0, 16, 1.2f},  {0, -16, 1.2f}};
  for (const auto& c : crates) Crate(s, c[0], 0, c[1], c[2]);
  Crate(s, -6, 1.5f, 12, 1.0f);
  Crate(s, 6, 1.5f, -12, 1.0f);
  // Low wooden walls along the middle line for crouching cover.
  s.Box("wood", {-16, 0, -0.3f}, {-9, 1.2f, 0.3f}, false);
  s.Box("wood", {9, 0, -0.3f}, {16, 1.2f, 0.3f}, false);
  TSpawns spawns;
  for (float z : {-15.0f, -5.0f, 5.0f, 15.0f}) spawns.Ter.push_back({{-17, kStand, z}, 0});
  for (float z : {-15.0f, -5.0f, 5.0f, 15.0f}) spawns.CT.push_back({{17, kStand, z}, 180});
  tree.Add("maps/arena/map.3ds", Encode3ds(s.Scene("arena_")));
  tree.Add("maps/arena/config.ini", Config("default", spawns));
}

// 80 x 60 compound: open ground in the middle, a raised deck (floor at 3)
// along the north side reached by stairs at one end and a ramp at the other,
// a walled corridor along the south side, crates, and a small house.
void Compound(TDataTree& tree) {
  TSceneBuilder s;
  LevelMaterials(s);
  const float x0 = -40, x1 = 40, z0 = -30, z1 = 30, deckY = 3;
  s.Grid("ground", x0, z0, x1, z1, 16, [](float, float) { return 0.0f; });
  Perimeter(s, "brick", x0, z0, x1, z1, 7, 1);
  // The deck: a solid block from z = 16 to the north wall, from x = -30 to 30.
  s.Box("concrete", "tiles", {-30, 0, 16}, {30, deckY, z1}, false);
  // A parapet along the deck's front edge with gaps for the stairs and ramp.
  s.Box("concrete", {-22, deckY, 16}, {-4, deckY + 1.1f, 16.4f}, false);
  s.Box("concrete", {4, deckY, 16}, {22, deckY + 1.1f, 16.4f}, false);
  // Stairs at the west end (12 steps of 0.25) and a ramp at the east end.
  s.Stairs("concrete", {-30, 0, 10}, {-24, deckY, 16}, 2, 12);
  s.Ramp("metal", {24, 0, 4}, {30, deckY, 16}, 2);
  // Centre stairs down the middle gap of the parapet.
  s.Stairs("wood", {-4, 0, 12}, {4, deckY, 16}, 2, 12);
  // Crates on the deck.
  Crate(s, -11, deckY, 28.5f, 1.5f);
  Crate(s, -9.4f, deckY, 28.6f, 1.2f);
  Crate(s, 12, deckY, 20, 1.5f);
  Crate(s, 12, deckY + 1.5f, 20, 1.0f);
  // The corridor: two brick walls from x = -30 to 20 along the south wall
  // with a metal floor, open at both ends and through a door gap.
  s.Box("metal", {-30, 0, -29}, {20, 0.05f, -24}, false);
  s.Box("brick", {-30, 0, -24}, {-6, 4, -23.4f}, false);
  s.Box("brick", {-3, 0, -24}, {20, 4, -23.4f}, false);
  s.Box("concrete", {-30, 4, -30}, {20, 4.3f, -23.4f});  // the corridor's roof
  // A small house in the east: walls with a doorway and a flat roof.
  s.Box("brick", {26, 0, -16}, {36, 4, -15.5f}, false);
  s.Box("brick", {26, 0, -6.5f}, {29, 4, -6}, false);
  s.Box("brick", {32, 0, -6.5f}, {36, 4, -6}, false);
  s.Box("brick", {26, 0, -15.5f}, {26.5f, 4, -6.5f}, false);
  s.Box("brick", {35.5f, 0, -15.5f}, {36, 4, -6.5f}, false);
  s.Box("wood", "wood", {26, 4, -16}, {36, 4.3f, -6});
  s.Box("tiles", {26.5f, 0, -15.5f}, {35.5f, 0.05f, -6.5f}, false);
  // Cover on the open ground.
  const float crates[][3] = {{-18, 0, 1.5f}, {-16.5f, 0.3f, 1.2f}, {-6, -8, 1.5f}, {8, 4, 1.5f}, {9.4f, 4.2f, 1.2f},
                             {18, -10, 1.5f}, {-26, -14, 1.5f}, {0, -16, 1.2f}, {14, 10, 1.2f}, {-10, 8, 1.2f}};
  for (const auto& c : crates) Crate(s, c[0], 0, c[1], c[2]);
  Crate(s, -18, 1.5f, 0, 1.0f);
  s.Box("concrete", {-2, 0, -4}, {2, 1.2f, -3.4f}, false);  // a low barrier in the middle
  s.Box("metal", {20, 0, 6}, {22, 2.2f, 9}, false);       // a steel container
  TSpawns spawns;
  for (float z : {-18.0f, -10.0f, -2.0f, 6.0f}) spawns.Ter.push_back({{-36, kStand, z}, 0});
  // Over the parapet, across the open ground.
  for (float x : {-16.0f, -6.0f, 6.0f, 18.0f}) spawns.CT.push_back({{x, deckY + kStand, 24}, 270});
  tree.Add("maps/compound/map.3ds", Encode3ds(s.Scene("compound_")));
  tree.Add("maps/compound/config.ini", Config("dusk", spawns));
}

// Rolling terrain of 320 x 320 cells (204 800 triangles) with a ring of
// pillars: enough triangles to load and build the octree under stress.
void Stress(TDataTree& tree) {
  TSceneBuilder s;
  LevelMaterials(s);
  const float half = 100;
  s.Grid("ground", -half, -half, half, half, 320, [](float x, float z) {
    return 3.0f * (Fbm(x / 40 + 50, z / 40 + 50, 0, 4, 1301) - 0.5f) * std::min(1.0f, std::hypot(x, z) / 30);
  });
  for (int i = 0; i < 24; ++i) {
    const float a = i * 6.2831853f / 24;
    s.Box("brick", {60 * std::cos(a) - 1, -2, 60 * std::sin(a) - 1}, {60 * std::cos(a) + 1, 8, 60 * std::sin(a) + 1});
  }
  TSpawns spawns;
  for (float z : {-6.0f, -2.0f, 2.0f, 6.0f}) spawns.Ter.push_back({{-4, 1.5f, z}, 180});
  for (float z : {-6.0f, -2.0f, 2.0f, 6.0f}) spawns.CT.push_back({{4, 1.5f, z}, 0});
  tree.Add("maps/stress/map.3ds", Encode3ds(s.Scene("stress_")));
  tree.Add("maps/stress/config.ini", Config("default", spawns));
}

}  // namespace

void BuildMaps(TDataTree& tree) {
  Arena(tree);
  Compound(tree);
  BuildDepot(tree);
  BuildTower(tree);
  Stress(tree);
}
