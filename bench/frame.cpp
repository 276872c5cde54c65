// A game frame at 800 x 600 on each map New Game offers: the level drawn
// from the local player's eye with 16 and 32 characters (models and weapons)
// standing in view, against the same frame without them. The figures, wall
// and main-thread CPU time, are printed side by side after the runs.
// "faults" counts the main thread's page faults per frame: on a software
// renderer in a virtual machine each costs microseconds, and memory the
// driver allocates anew every frame shows there first. "all_threads_ms" is
// the CPU time of every thread, the renderer's included, per frame: the wall
// time it would take on one free core, less moved by other load.
#include "app/camera.h"
#include "bench_support.h"
#include "core/gl_api.h"
#include "core/paths.h"
#include "core/platform.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "world/frustum.h"

#include <SDL/SDL.h>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>

namespace {

const char* const kMapNames[] = {"arena", "compound", "depot", "tower"};
constexpr int kMaps = sizeof(kMapNames) / sizeof(kMapNames[0]);
constexpr int kCharacters = 32;
const int kShown[3] = {0, 16, 32};

// Main-thread CPU seconds per frame of each timed loop, by the same names.
std::map<std::string, double> gCpuPerIteration;

double CpuSeconds(clockid_t clock) {
  timespec t;
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long ThreadPageFaults() {
  rusage usage;
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_minflt + usage.ru_majflt;
}

std::string Key(int map, int shown) {
  return std::string(kMapNames[map]) + (shown ? " with " + std::to_string(shown) + " characters" : " level only");
}

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
      glext::LoadGLExtensions();
      glViewport(0, 0, 800, 600);
      glEnable(GL_DEPTH_TEST);
      glDepthFunc(GL_LEQUAL);
      glEnable(GL_TEXTURE_2D);
    }
  }
  return state == 1;
}

// The level with its textures, and its characters: the local player at the
// first spawn point looking along +x, the others in a fan before it, three to
// a row.
struct TScene {
  std::unique_ptr<TLevel> Level;
  std::unique_ptr<TCharacters> Characters;
};

TScene& Scene(int map) {
  static TScene scenes[kMaps];
  TScene& scene = scenes[map];
  if (scene.Level) return scene;
  scene.Level = std::make_unique<TLevel>(kMapNames[map], true);
  scene.Characters = std::make_unique<TCharacters>(scene.Level.get(), true);
  TCharacters& list = *scene.Characters;
  const TVec3 eye = scene.Level->ChooseSpawn(true).Position;
  const int32_t models[4] = {0, 1, 10, 11};
  for (int i = 0; i < kCharacters; ++i) {
    TCharacter& c = i == 0 ? *list.LocalCharacter : *list.At(list.Add(-1, 0, 0, 0));
    c.SetModel(models[i % 4]);
    c.SetHealth(100);
    c.SetWeaponSlot(1);
    if (i == 0) {
      c.SetPosition(eye.x, eye.y, eye.z);
      continue;
    }
    const float ahead = 4.0f + 1.5f * static_cast<float>(i / 3), side = static_cast<float>(i % 3 - 1) * 1.5f;
    c.SetPosition(eye.x + ahead, eye.y, eye.z + side);
    c.SetView(180, 0);
  }
  return scene;
}

// The first `shown` characters alive, the rest dead (not drawn).
void Show(TScene& scene, int shown) {
  for (int i = 1; i < kCharacters; ++i) {
    TCharacter& c = *scene.Characters->At(i);
    if (i < shown)
      c.SetHealth(100);
    else
      c.SetDead(true);
  }
}

void Frame(TScene& scene, bool withCharacters) {
  static TFrustum frustum;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60, 800.0 / 600.0, 0.5, 300);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const TCharacter& eye = *scene.Characters->LocalCharacter;
  TCam::Apply(TCamPose{eye.Position(), eye.HeadSphere.Centre.y, eye.Yaw, eye.Pitch}, 0);
  frustum.Update();
  glLoadIdentity();
  // In the game's order (Tgame::DrawScene).
  scene.Level->RenderSky();
  glLoadIdentity();
  if (withCharacters) scene.Characters->DrawAll(0);
  glLoadIdentity();
  scene.Level->RenderGeometry(frustum);
  glFinish();
}

void BM_Frame(benchmark::State& state) {
  if (!OpenWindow()) return state.SkipWithError("no display");
  const int map = static_cast<int>(state.range(0));
  const int shown = static_cast<int>(state.range(1));
  TScene& scene = Scene(map);
  Show(scene, shown);
  Frame(scene, shown > 0);  // builds the level's display lists
  const double cpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID), all = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const long faults = ThreadPageFaults();
  Timed(state, Key(map, shown), [&] { Frame(scene, shown > 0); });
  if (state.iterations() == 0) return;
  const double frames = static_cast<double>(state.iterations());
  gCpuPerIteration[Key(map, shown)] = (CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpu) / frames;
  state.counters["faults"] = static_cast<double>(ThreadPageFaults() - faults) / frames;
  state.counters["all_threads_ms"] = (CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - all) * 1e3 / frames;
}
BENCHMARK(BM_Frame)
    ->ArgsProduct({benchmark::CreateDenseRange(0, kMaps - 1, 1), {kShown[0], kShown[1], kShown[2]}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const std::string data = StartShippedBenchmark(&argc, argv, "arena");
  if (data.empty()) return 1;
  TBenchDir work("frame");
  StageShippedData(data, {}, {"characters", "weapons", "MapTextures", "skyboxes"});
  for (const char* map : kMapNames) StageShippedData(data, {map}, {});
  if (OpenWindow()) Weapons = new TWeapons();

  benchmark::RunSpecifiedBenchmarks();
  std::printf("\n");
  for (int map = 0; map < kMaps; ++map) {
    const std::string level = Key(map, 0);
    if (!gSecondsPerIteration.count(level) || !gCpuPerIteration.count(level)) continue;
    const double wall = gSecondsPerIteration[level], cpu = gCpuPerIteration[level];
    std::printf("%s: %.2f ms per frame, %.2f ms main-thread CPU\n", level.c_str(), wall * 1e3, cpu * 1e3);
    for (int shown : {kShown[1], kShown[2]}) {
      const std::string key = Key(map, shown);
      if (!gSecondsPerIteration.count(key) || !gCpuPerIteration.count(key)) continue;
      const double w = gSecondsPerIteration[key], c = gCpuPerIteration[key];
      std::printf("%s: %.2f ms per frame (%.2fx), %.2f ms main-thread CPU (%.2fx)\n", key.c_str(), w * 1e3, w / wall,
                  c * 1e3, c / cpu);
    }
  }
  delete Weapons;
  Weapons = nullptr;
  benchmark::Shutdown();
  return 0;
}
