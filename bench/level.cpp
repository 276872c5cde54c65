// Levels at scale, on a generated scene of about 505 000 triangles (a ground
// grid and 4200 boxes whose faces are split 3 x 3): compiling map.lvl,
// loading it, drawing a frame at 800 x 600 under the frustum looking into the
// level and looking away against one display list of every triangle, and a
// character-sized sphere query over the octree against a loop over every
// triangle. The ratios are printed after the runs.
//
// The scene is measured twice (benchmark argument): centred on the origin,
// where the root cube's middle plane is the ground, so the ground and every
// triangle touching it stay in the root; and shifted to positive coordinates,
// where the ground is the root's bottom face.
#include "bench_support.h"
#include "core/gl_api.h"
#include "render/image_writers.h"
#include "render/level_scene_reader.h"
#include "render/model_3ds_writer.h"
#include "world/frustum.h"
#include "world/level.h"

#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

namespace {

constexpr float kHalfExtent = 250;

struct BenchMap {
  const char* name;
  float offset;  // added to x and z
};
const BenchMap kMaps[2] = {{"centred", 0}, {"shifted", kHalfExtent}};

std::string Key(const char* what, int map) { return std::string(what) + "/" + kMaps[map].name; }

// A box of the given size standing on the ground, each side split 3 x 3 and
// facing outwards.
void AddBox(T3dsSceneMesh& mesh, TVec3 low, TVec3 high) {
  const int n = 3;
  struct Side {
    TVec3 origin, u, v;
  };
  TVec3 size = VecSub(high, low);
  const Side sides[6] = {
      {{low.x, low.y, high.z}, {size.x, 0, 0}, {0, size.y, 0}},   // +z
      {{high.x, low.y, low.z}, {-size.x, 0, 0}, {0, size.y, 0}},  // -z
      {{high.x, low.y, high.z}, {0, 0, -size.z}, {0, size.y, 0}}, // +x
      {{low.x, low.y, low.z}, {0, 0, size.z}, {0, size.y, 0}},    // -x
      {{low.x, high.y, high.z}, {size.x, 0, 0}, {0, 0, -size.z}}, // top
      {{low.x, low.y, low.z}, {size.x, 0, 0}, {0, 0, size.z}},    // bottom
  };
  for (const Side& s : sides) {
    uint16_t first = static_cast<uint16_t>(mesh.Vertices.size());
    for (int i = 0; i <= n; ++i)
      for (int j = 0; j <= n; ++j) {
        mesh.Vertices.push_back(VecAdd(s.origin, VecAdd(VecScale(s.u, double(i) / n), VecScale(s.v, double(j) / n))));
        mesh.TexCoords.push_back({float(i) / n, float(j) / n});
      }
    auto at = [&](int i, int j) { return static_cast<uint16_t>(first + i * (n + 1) + j); };
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        mesh.Faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
        mesh.Faces.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
      }
  }
}

void Group(T3dsSceneMesh& mesh, const std::string& material) {
  T3dsSceneGroup group{material, {}};
  for (size_t i = 0; i < mesh.Faces.size(); ++i) group.Faces.push_back(static_cast<uint16_t>(i));
  mesh.Groups.push_back(group);
}

void WriteTexture(const std::string& path, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> bgra;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t shade = ((x / 8 + y / 8) % 2) ? 255 : 160;
      bgra.insert(bgra.end(), {uint8_t(b * shade / 255), uint8_t(g * shade / 255), uint8_t(r * shade / 255), 255});
    }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::string bytes = BMPFileBytes(64, 64, bgra);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

void WriteScene(const BenchMap& map) {
  std::filesystem::create_directories(std::string("data/maps/") + map.name);
  std::filesystem::create_directories("data/MapTextures");
  const float o = map.offset;
  WriteTexture("data/MapTextures/ground.bmp", 90, 160, 70);
  WriteTexture("data/MapTextures/crate.bmp", 180, 130, 60);
  T3dsScene scene;
  scene.MasterScale = 10;
  for (const char* name : {"ground", "crate"}) {
    T3dsSceneMaterial m;
    m.Name = name;
    m.Diffuse = {1, 1, 1};
    m.TextureMap = std::string(name) + ".bmp";
    scene.Materials.push_back(m);
  }
  T3dsSceneMesh ground;
  ground.Name = "ground";
  const int cells = 160;
  for (int i = 0; i <= cells; ++i)
    for (int j = 0; j <= cells; ++j) {
      ground.Vertices.push_back(
          {o - kHalfExtent + 2 * kHalfExtent * i / cells, 0, o - kHalfExtent + 2 * kHalfExtent * j / cells});
      ground.TexCoords.push_back({float(i), float(j)});
    }
  for (int i = 0; i < cells; ++i)
    for (int j = 0; j < cells; ++j) {
      auto at = [&](int a, int b) { return static_cast<uint16_t>(a * (cells + 1) + b); };
      ground.Faces.push_back({at(i, j), at(i, j + 1), at(i + 1, j + 1)});
      ground.Faces.push_back({at(i, j), at(i + 1, j + 1), at(i + 1, j)});
    }
  Group(ground, "ground");
  scene.Meshes.push_back(ground);
  std::mt19937 rng(42);
  std::uniform_real_distribution<float> place(-kHalfExtent + 10, kHalfExtent - 10), width(2, 8), height(2, 12);
  for (int m = 0; m < 7; ++m) {
    T3dsSceneMesh boxes;
    boxes.Name = "boxes" + std::to_string(m);
    for (int b = 0; b < 600; ++b) {
      float x = o + place(rng), z = o + place(rng), w = width(rng), d = width(rng), h = height(rng);
      AddBox(boxes, {x, 0, z}, {x + w, h, z + d});
    }
    Group(boxes, "crate");
    scene.Meshes.push_back(boxes);
  }
  Save3ds(scene, std::string("data/maps/") + map.name + "/map.3ds");
}

void BM_BuildLevel(benchmark::State& state) {
  const int map = static_cast<int>(state.range(0));
  Timed(state, Key("build", map), [map] { BuildLevel(kMaps[map].name, 500); });
}
BENCHMARK(BM_BuildLevel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Only the load is timed; freeing the previous level is not.
void BM_LoadLevelFile(benchmark::State& state) {
  const int map = static_cast<int>(state.range(0));
  double total = 0;
  std::unique_ptr<TLevel> level;
  for (auto _ : state) {
    level.reset();
    auto start = std::chrono::steady_clock::now();
    level = LoadedLevel(kMaps[map].name);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  if (state.iterations() > 0) gSecondsPerIteration[Key("load", map)] = total / static_cast<double>(state.iterations());
  state.counters["triangles"] = level->Octree->TotalTriangles();
  state.counters["nodes"] = static_cast<double>(level->Octree->Nodes.size());
}
BENCHMARK(BM_LoadLevelFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();

// ---------------------------------------------------------------- drawing

bool OpenWindow() {
  static int state = 0;  // 0 untried, 1 open, -1 failed
  if (state == 0) {
    const char* display = std::getenv("DISPLAY");
    state = -1;
    if (display && *display && SDL_Init(SDL_INIT_VIDEO) == 0) {
      SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
      SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
      if (SDL_SetVideoMode(800, 600, 0, SDL_OPENGL)) state = 1;
    }
    if (state == 1) {
      glViewport(0, 0, 800, 600);
      glEnable(GL_DEPTH_TEST);
      glDepthFunc(GL_LEQUAL);
      glClearColor(0.4f, 0.6f, 0.9f, 1);
    }
  }
  return state == 1;
}

// The level with its textures and display lists, made once.
TLevel& DrawnLevel(int map) {
  static std::unique_ptr<TLevel> levels[2];
  if (!levels[map]) {
    levels[map] = LoadedLevel(kMaps[map].name);
    levels[map]->Octree->LoadTextures();
  }
  return *levels[map];
}

// The camera stands near the +z edge of the level; into = looking across it.
void SetCamera(int map, bool into) {
  const float o = kMaps[map].offset;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60, 800.0 / 600.0, 0.5, 300);
  gluLookAt(o, 2, o + kHalfExtent - 10, o, 2, into ? o : o + 2 * kHalfExtent, 0, 1, 0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// Triangles and nodes that pass the frustum walk of TNode::Render.
void CountVisible(const TNode& node, const TFrustum& frustum, double& triangles, double& nodes) {
  if (!frustum.BoxVisible(node.Centre.x, node.Centre.y, node.Centre.z, node.HalfSize, node.HalfSize, node.HalfSize))
    return;
  triangles += node.TriangleCount();
  nodes += 1;
  if (!node.IsLeaf)
    for (const TNode* child : node.Children) CountVisible(*child, frustum, triangles, nodes);
}

void RenderCulled(benchmark::State& state, bool into) {
  if (!OpenWindow()) return state.SkipWithError("no display");
  const int map = static_cast<int>(state.range(0));
  TLevel& level = DrawnLevel(map);
  TFrustum frustum;
  SetCamera(map, into);
  frustum.Update();
  level.Octree->Render(frustum, true, false);  // builds the display lists
  Timed(state, Key(into ? "render in" : "render away", map), [&] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    frustum.Update();
    level.Octree->Render(frustum, true, false);
    glFinish();
  });
  double triangles = 0, nodes = 0;
  CountVisible(*level.Octree->Root, frustum, triangles, nodes);
  state.counters["drawn_triangles"] = triangles;
  state.counters["drawn_nodes"] = nodes;
}

void BM_RenderCulledLookingIn(benchmark::State& state) { RenderCulled(state, true); }
void BM_RenderCulledLookingAway(benchmark::State& state) { RenderCulled(state, false); }
BENCHMARK(BM_RenderCulledLookingIn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderCulledLookingAway)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderOneListUnculled(benchmark::State& state) {
  if (!OpenWindow()) return state.SkipWithError("no display");
  const int map = static_cast<int>(state.range(0));
  TOctree& octree = *DrawnLevel(map).Octree;
  static unsigned lists[2] = {0, 0};
  unsigned& all = lists[map];
  if (!all) {
    all = glGenLists(1);
    glNewList(all, GL_COMPILE);
    octree.CurrentMaterial = nullptr;
    octree.BatchOpen = false;
    for (auto& node : octree.Nodes) node->DrawTriangles(octree);
    if (octree.BatchOpen) glEnd();
    octree.BatchOpen = false;
    glEndList();
  }
  SetCamera(map, true);
  Timed(state, Key("render one list", map), [&] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    glCallList(all);
    glFinish();
  });
}
BENCHMARK(BM_RenderOneListUnculled)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------- collision

std::vector<TSphere> CharacterSpheres(int map) {
  std::mt19937 rng(9);
  const float o = kMaps[map].offset;
  std::uniform_real_distribution<float> xz(o - kHalfExtent, o + kHalfExtent), y(0, 14);
  std::vector<TSphere> spheres;
  for (int i = 0; i < 256; ++i) spheres.push_back({{xz(rng), y(rng), xz(rng)}, 1.5f});
  return spheres;
}

TOctree& QueryOctree(int map) {
  static std::unique_ptr<TLevel> levels[2];
  if (!levels[map]) levels[map] = LoadedLevel(kMaps[map].name);
  return *levels[map]->Octree;
}

void BM_SphereQueryOctree(benchmark::State& state) {
  const int map = static_cast<int>(state.range(0));
  TOctree& octree = QueryOctree(map);
  std::vector<TSphere> spheres = CharacterSpheres(map);
  std::vector<TTriangle*> found;
  size_t next = 0;
  Timed(state, Key("sphere octree", map), [&] {
    octree.TrianglesTouchingSphere(spheres[next++ % spheres.size()], found);
    benchmark::DoNotOptimize(found.data());
  });
}
BENCHMARK(BM_SphereQueryOctree)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SphereQueryEveryTriangle(benchmark::State& state) {
  const int map = static_cast<int>(state.range(0));
  TOctree& octree = QueryOctree(map);
  std::vector<TSphere> spheres = CharacterSpheres(map);
  std::vector<TTriangle*> found;
  size_t next = 0;
  Timed(state, Key("sphere every triangle", map), [&] {
    found.clear();
    const TSphere& s = spheres[next++ % spheres.size()];
    for (auto& node : octree.Nodes)
      for (TTriangle& t : node->Triangles)
        if (SphereTouchesTriangle(t, s)) found.push_back(&t);
    benchmark::DoNotOptimize(found.data());
  });
}
BENCHMARK(BM_SphereQueryEveryTriangle)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

void PrintRatio(const char* what, const char* slow, const char* fast, int map) {
  auto a = gSecondsPerIteration.find(Key(slow, map)), b = gSecondsPerIteration.find(Key(fast, map));
  if (a == gSecondsPerIteration.end() || b == gSecondsPerIteration.end() || b->second <= 0) return;
  std::printf("%-8s %-58s %8.1f x  (%.3f ms / %.3f ms)\n", kMaps[map].name, what, a->second / b->second,
              a->second * 1e3, b->second * 1e3);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  InstallLevelLoaders();
  TBenchDir work("level");
  for (const BenchMap& map : kMaps) {
    WriteScene(map);
    BuildLevel(map.name, 500);  // so the load and query benchmarks can run alone
  }
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\n");
  for (int map = 0; map < 2; ++map) {
    PrintRatio("map.lvl load faster than BuildLevel (goal >= 10)", "build", "load", map);
    PrintRatio("one unculled list slower than culled, looking in", "render one list", "render in", map);
    PrintRatio("one unculled list slower than culled, looking away", "render one list", "render away", map);
    PrintRatio("sphere query over every triangle slower than the octree", "sphere every triangle", "sphere octree",
               map);
  }
  benchmark::Shutdown();
  return 0;
}
