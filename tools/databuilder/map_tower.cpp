// The tower: a cobbled square of 72 x 72 inside sandstone walls, with
// covered walks along its north and south sides, and in its middle a
// sandstone tower of three floors: a hall with a door on each side (floor
// at 0), an upper room with windows (4), and a roof behind a parapet (8).
// Stairs inside climb to each floor through a railed stairwell. Terrorists
// start on the west side facing the tower, counter-terrorists on the east
// side and in the tower.
#include "map_parts.h"

#include <vector>

namespace {

constexpr float kHalf = 36;       // the square
constexpr float kTower = 10;      // the tower's half width
constexpr float kWall = 0.5f;     // its walls' thickness
constexpr float kStorey = 4;      // floor to floor
constexpr float kSlab = 0.3f;     // floor thickness
constexpr float kParapet = 1.1f;  // a body's centre (kStand) stays below it: nobody walks off the roof

void TowerMaterials(TSceneBuilder& s) {
  LevelMaterials(s);
  s.AddMaterial("sandstone", "sandstone.jpg", 4);
  s.AddMaterial("cobbles", "cobbles.bmp", 3);
}

// An opening in a wall: from a to b along it, from `bottom` to `top`.
struct TOpening {
  float A, B, Bottom, Top;
};

// A wall from `from` to `to` along x (alongX) or z, between y0 and y1, with
// its thickness on [across0, across1] of the other axis, and openings.
void WallWithOpenings(TSceneBuilder& s, bool alongX, float from, float to, float across0, float across1, float y0,
                      float y1, const std::vector<TOpening>& openings) {
  auto piece = [&](float a, float b, float bottom, float top) {
    if (b <= a || top <= bottom) return;
    if (alongX)
      s.Box("sandstone", {a, bottom, across0}, {b, top, across1}, false);
    else
      s.Box("sandstone", {across0, bottom, a}, {across1, top, b}, false);
  };
  float at = from;
  for (const TOpening& o : openings) {
    piece(at, o.A, y0, y1);
    piece(o.A, o.B, y0, o.Bottom);
    piece(o.A, o.B, o.Top, y1);
    at = o.B;
  }
  piece(at, to, y0, y1);
}

// The tower's four walls on one storey, the same openings on each side.
void TowerWalls(TSceneBuilder& s, float y0, float y1, const std::vector<TOpening>& openings) {
  const float t = kTower, w = kWall;
  WallWithOpenings(s, true, -t, t, -t, -t + w, y0, y1, openings);
  WallWithOpenings(s, true, -t, t, t - w, t, y0, y1, openings);
  WallWithOpenings(s, false, -t + w, t - w, -t, -t + w, y0, y1, openings);
  WallWithOpenings(s, false, -t + w, t - w, t - w, t, y0, y1, openings);
}

// A floor slab over the tower's inside with its top at y and a stairwell
// [hx0, hx1] x [hz0, hz1] left open.
void SlabWithHole(TSceneBuilder& s, float y, float hx0, float hx1, float hz0, float hz1) {
  const float in = kTower - kWall, y0 = y - kSlab;
  auto part = [&](float x0, float z0, float x1, float z1) {
    if (x1 > x0 && z1 > z0) s.Box("sandstone", "tiles", {x0, y0, z0}, {x1, y, z1});
  };
  part(-in, -in, hx0, in);
  part(hx1, -in, in, in);
  part(hx0, -in, hx1, hz0);
  part(hx0, hz1, hx1, in);
}

// A railing one unit high on a floor at y along a stairwell's open edge,
// from (x0, z0) to (x1, z1) along x or z.
void Railing(TSceneBuilder& s, float y, float x0, float z0, float x1, float z1) {
  s.Box("metal", {x0 - 0.05f, y, z0 - 0.05f}, {x1 + 0.05f, y + 1, z1 + 0.05f});
}

}  // namespace

void BuildTower(TDataTree& tree) {
  TSceneBuilder s;
  TowerMaterials(s);
  // The square's cobbles around the tower and tiles inside it, all at 0: a
  // floor laid over another would hide the first stair's tread from the
  // navigation graph, which takes floors closer than a tread as one.
  auto floor = [&](const char* m, float x0, float z0, float x1, float z1) {
    s.Quad(m, {x0, 0, z0}, {x0, 0, z1}, {x1, 0, z1}, {x1, 0, z0});
  };
  floor("cobbles", -kHalf, -kHalf, kHalf, -kTower);
  floor("cobbles", -kHalf, kTower, kHalf, kHalf);
  floor("cobbles", -kHalf, -kTower, -kTower, kTower);
  floor("cobbles", kTower, -kTower, kHalf, kTower);
  floor("tiles", -kTower, -kTower, kTower, kTower);
  Perimeter(s, "sandstone", -kHalf, -kHalf, kHalf, kHalf, 6, 1);

  // The tower. Ground floor: a door in the middle of each side.
  const float in = kTower - kWall, l1 = kStorey, l2 = 2 * kStorey;
  TowerWalls(s, 0, l1, {{-2, 2, 0, 3}});
  // Upper room: two windows a side, sills at chest height for cover.
  TowerWalls(s, l1, l2, {{-7, -3, l1 + 1.1f, l1 + 3}, {3, 7, l1 + 1.1f, l1 + 3}});
  TowerWalls(s, l2, l2 + kParapet, {});
  // Merlons along the parapet's top: a tower's outline from afar.
  for (float a = -kTower; a < kTower; a += 2.5f)
    for (float side : {-kTower, kTower - kWall}) {
      const float y = l2 + kParapet;
      s.Box("sandstone", {a, y, side}, {a + 1.25f, y + 0.6f, side + kWall}, false);
      s.Box("sandstone", {side, y, a}, {side + kWall, y + 0.6f, a + 1.25f}, false);
    }
  // First flight along the north wall, rising east to the upper room; the
  // second along the south wall from the upper room, rising west to the
  // roof. Each stairwell reaches a unit past its flight's foot, so a head
  // never meets the floor above on the way up.
  s.Stairs("wood", {-8, 0, in - 4}, {0, l1, in}, 0, 16);
  SlabWithHole(s, l1, -9, 0, in - 4, in);
  Railing(s, l1, -9, in - 4, 0, in - 4);
  Railing(s, l1, -9, in - 4, -9, in);
  s.Stairs("wood", {0, l1, -in}, {8, l2, -in + 4}, 1, 16);
  SlabWithHole(s, l2, 0, 9, -in, -in + 4);
  Railing(s, l2, 0, -in + 4, 9, -in + 4);
  Railing(s, l2, 9, -in, 9, -in + 4);
  // Cover inside and on the roof.
  Crate(s, 4, 0, 4, 1.5f);
  Crate(s, 5.4f, 0, 4.3f, 1.2f);
  Crate(s, -5, 0, -5, 1.4f);
  Crate(s, -4, l1, -3, 1.5f);
  Crate(s, 5, l1, 3, 1.4f);
  Crate(s, -5, l2, 5, 1.5f);
  Crate(s, -6.2f, l2, 3.6f, 1.1f);

  // Covered walks along the north and south walls: pillars and a wooden roof.
  for (float side : {-1.0f, 1.0f}) {
    const float inner = side * (kHalf - 6);
    for (float x = -28; x <= 28; x += 8)
      s.Box("sandstone", {x - 0.4f, 0, inner - 0.4f}, {x + 0.4f, 4, inner + 0.4f}, false);
    const float z0 = side < 0 ? -kHalf : inner - 0.6f, z1 = side < 0 ? inner + 0.6f : kHalf;
    s.Box("wood", {-kHalf, 4, z0}, {kHalf, 4.3f, z1});
  }

  // The square: low walls before the doors, planters, crates.
  for (float side : {-1.0f, 1.0f}) {
    s.Box("sandstone", {side * 20 - 0.4f, 0, -6}, {side * 20 + 0.4f, 1.3f, 6}, false);
    for (float z : {-16.0f, 16.0f})
      s.Box("sandstone", "ground", {side * 20 - 1.5f, 0, z - 1.5f}, {side * 20 + 1.5f, 1.2f, z + 1.5f}, false);
  }
  const float crates[][3] = {{-24, -20, 1.5f}, {24, 20, 1.5f}, {-14, 26, 1.4f}, {14, -26, 1.4f},
                             {0, 17, 1.5f},    {1.4f, 17.3f, 1.2f}, {0, -17, 1.5f}, {-1.4f, -17.3f, 1.2f}};
  for (const auto& c : crates) Crate(s, c[0], 0, c[1], c[2]);

  // The counter-terrorists hold the tower: two of them start in it, so the
  // other side's way to them leads up the stairs.
  TSpawns spawns;
  for (float z : {-24.0f, -12.0f, 0.0f, 12.0f, 24.0f}) spawns.Ter.push_back({{-32, kStand, z}, 0});
  for (float z : {-24.0f, 0.0f, 24.0f}) spawns.CT.push_back({{32, kStand, z}, 180});
  spawns.CT.push_back({{6, l1 + kStand, 0}, 180});
  spawns.CT.push_back({{4, l2 + kStand, 2}, 180});  // looking west through a crenel
  tree.Add("maps/tower/map.3ds", Encode3ds(s.Scene("tower_")));
  tree.Add("maps/tower/config.ini", Config("default", spawns));
}
