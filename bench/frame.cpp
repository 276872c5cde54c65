// A game frame at 800 x 600 on the shipped arena and compound maps: the
// level drawn from the local player's eye with 16 characters (models and
// weapons) standing in view, against the same frame without them. The
// figures are printed side by side after the runs.
#include "app/camera.h"
#include "bench_support.h"
#include "core/gl_api.h"
#include "core/paths.h"
#include "core/platform.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "world/frustum.h"

#include <SDL/SDL.h>

#include <cstdio>

namespace {

const char* const kMapNames[2] = {"arena", "compound"};
constexpr int kCharacters = 16;

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
// first spawn point looking along +x, fifteen others in a fan before it.
struct TScene {
  std::unique_ptr<TLevel> Level;
  std::unique_ptr<TCharacters> Characters;
};

TScene& Scene(int map) {
  static TScene scenes[2];
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
  scene.Level->Render(eye.Position(), frustum);
  glLoadIdentity();
  if (withCharacters) scene.Characters->DrawAll(0);
  glFinish();
}

void BM_Frame(benchmark::State& state) {
  if (!OpenWindow()) return state.SkipWithError("no display");
  const int map = static_cast<int>(state.range(0));
  const bool withCharacters = state.range(1) != 0;
  TScene& scene = Scene(map);
  Frame(scene, withCharacters);  // builds the display lists
  Timed(state, std::string(kMapNames[map]) + (withCharacters ? " with characters" : " level only"),
        [&] { Frame(scene, withCharacters); });
}
BENCHMARK(BM_Frame)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  const std::string data = StartShippedBenchmark(&argc, argv, "arena");
  if (data.empty()) return 1;
  TBenchDir work("frame");
  StageShippedData(data, {"arena", "compound"}, {"characters", "weapons", "MapTextures", "skyboxes"});
  if (OpenWindow()) Weapons = new TWeapons();

  benchmark::RunSpecifiedBenchmarks();
  std::printf("\n");
  for (const char* map : kMapNames) {
    auto with = gSecondsPerIteration.find(std::string(map) + " with characters");
    auto without = gSecondsPerIteration.find(std::string(map) + " level only");
    if (with != gSecondsPerIteration.end() && without != gSecondsPerIteration.end())
      std::printf("%s: %.2f ms with %d characters, %.2f ms level only: %.2fx\n", map, with->second * 1e3, kCharacters,
                  without->second * 1e3, with->second / without->second);
  }
  delete Weapons;
  Weapons = nullptr;
  benchmark::Shutdown();
  return 0;
}
