// The depot: a freight yard of 120 x 48 under a grey sky, built for long
// sightlines. From south to north: two tracks with box wagons on them, an
// open lane, a field of containers (single and stacked, three colours) with
// gaps across it, a second open lane, and a loading dock 1.2 high under a
// canopy along the warehouse wall with its roller doors, reached by ramps at
// both ends and three flights of steps. Terrorists start at the west end,
// counter-terrorists at the east end, each looking down a lane.
#include "map_parts.h"

namespace {

constexpr float kX0 = -60, kX1 = 60, kZ0 = -24, kZ1 = 24;
constexpr float kDockY = 1.2f, kDockZ = 16;
constexpr float kContainerH = 2.6f;  // also the container texture's repeat, so stacked ribs line up

void DepotMaterials(TSceneBuilder& s) {
  LevelMaterials(s);
  s.AddMaterial("asphalt", "asphalt.jpg", 8);
  s.AddMaterial("corrugated", "corrugated.jpg", 4);
  s.AddMaterial("track", "track.bmp", 3);
  s.AddMaterial("door", "rollerdoor.tga", 1);
  for (const char* paint : {"red", "blue", "green"})
    s.AddMaterial(paint, "container_" + std::string(paint) + ".tga", kContainerH);
  s.AddMaterial("wagon", "container_brown.tga", 3.5f);
}

// A track from end to end with its centre at z: the bed's texture shows the
// ballast and sleepers, two steel rails lie on it. z - 1.5 must be a
// multiple of the track texture's repeat (3) for the rails to meet their
// tie plates.
void Track(TSceneBuilder& s, float z) {
  s.Quad("track", {kX0, 0.02f, z - 1.5f}, {kX0, 0.02f, z + 1.5f}, {kX1, 0.02f, z + 1.5f}, {kX1, 0.02f, z - 1.5f});
  for (float rail : {z - 0.75f, z + 0.75f}) s.Box("metal", {kX0, 0, rail - 0.07f}, {kX1, 0.16f, rail + 0.07f}, false);
}

// A box wagon on the track at z from x0 to x1: body over an undercarriage.
void Wagon(TSceneBuilder& s, float z, float x0, float x1) {
  s.Box("metal", {x0 + 1, 0, z - 1}, {x1 - 1, 0.7f, z + 1}, false);
  s.Box("wagon", "metal", {x0, 0.7f, z - 1.4f}, {x1, 4.2f, z + 1.4f});
}

// A 6 x 2.5 container centred on (x, z), its long side along x or z,
// `levels` high.
void Container(TSceneBuilder& s, const char* colour, float x, float z, bool alongX, int levels) {
  const float hx = alongX ? 3 : 1.25f, hz = alongX ? 1.25f : 3;
  for (int i = 0; i < levels; ++i)
    s.Box(colour, {x - hx, i * kContainerH, z - hz}, {x + hx, (i + 1) * kContainerH, z + hz}, false);
}

}  // namespace

void BuildDepot(TDataTree& tree) {
  TSceneBuilder s;
  DepotMaterials(s);
  s.Grid("asphalt", kX0, kZ0, kX1, kZ1, 12, [](float, float) { return 0.0f; });
  Perimeter(s, "corrugated", kX0, kZ0, kX1, kZ1, 7, 1);

  // The tracks along the south wall, a lane free between them.
  Track(s, -19.5f);
  Track(s, -13.5f);
  Wagon(s, -19.5f, -30, -18);
  Wagon(s, -19.5f, 8, 20);
  Wagon(s, -13.5f, -8, 4);
  Wagon(s, -13.5f, 30, 42);

  // The container field between z = -4 and 11, mirrored about x = 0 so
  // neither end has the better cover; its gaps run north to south.
  struct TBox {
    const char* Colour;
    float X, Z;
    bool AlongX;
    int Levels;
  };
  const TBox containers[] = {{"blue", 40, 0, true, 1}, {"red", 40, 6.5f, true, 2}, {"green", 26, 3, false, 1},
                             {"blue", 14, -1, true, 2}, {"red", 14, 8, true, 1},   {"green", 0, 3.5f, false, 2}};
  for (const TBox& b : containers) {
    Container(s, b.Colour, b.X, b.Z, b.AlongX, b.Levels);
    if (b.X != 0) Container(s, b.Colour, -b.X, b.Z, b.AlongX, b.Levels);
  }
  // Crates at the lanes' edges: somewhere to duck without closing the view.
  const float crates[][3] = {{-22, -10.6f, 1.4f}, {22, -5.4f, 1.4f}, {-8, 13, 1.2f}, {8, 13.2f, 1.2f},
                             {-46, -5.5f, 1.5f}, {46, -10.5f, 1.5f}, {-33, 12.6f, 1.2f}, {33, 12.6f, 1.2f}};
  for (const auto& c : crates) Crate(s, c[0], 0, c[1], c[2]);

  // The loading dock, its ramps and steps, and the canopy over it.
  s.Box("concrete", {-44, 0, kDockZ}, {44, kDockY, kZ1}, false);
  s.Ramp("concrete", {-52, 0, kDockZ}, {-44, kDockY, kZ1}, 0);
  s.Ramp("concrete", {44, 0, kDockZ}, {52, kDockY, kZ1}, 1);
  for (float x : {-24.0f, 0.0f, 24.0f}) s.Stairs("concrete", {x - 3, 0, kDockZ - 3}, {x + 3, kDockY, kDockZ}, 2, 5);
  for (float x : {-36.0f, -12.0f, 12.0f, 36.0f})
    s.Box("metal", {x - 0.3f, kDockY, kDockZ + 0.3f}, {x + 0.3f, 6, kDockZ + 0.9f}, false);
  s.Box("corrugated", {-46, 6, kDockZ - 0.5f}, {46, 6.3f, kZ1});
  Crate(s, -18, kDockY, 22, 1.5f);
  Crate(s, -16.5f, kDockY, 22.3f, 1.2f);
  Crate(s, -18, kDockY + 1.5f, 22, 1.0f);
  Crate(s, 30, kDockY, 21, 1.5f);
  // Roller doors on the warehouse wall behind the dock, each showing its
  // whole texture (the wall faces -z, so its left is +x).
  const TTexCoord uv[4] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};
  for (float x : {-30.0f, -6.0f, 18.0f, 40.0f}) {
    const float z = kZ1 - 0.03f;
    s.Quad("door", {x - 2.5f, kDockY, z}, {x - 2.5f, 5, z}, {x + 2.5f, 5, z}, {x + 2.5f, kDockY, z}, uv);
  }

  TSpawns spawns;
  for (float z : {-16.5f, -7.5f, 3.5f, 14.0f}) {  // off the ground grid's edges
    spawns.Ter.push_back({{-56, kStand, z}, 0});
    spawns.CT.push_back({{56, kStand, z}, 180});
  }
  tree.Add("maps/depot/map.3ds", Encode3ds(s.Scene("depot_")));
  tree.Add("maps/depot/config.ini", Config("overcast", spawns));
}
