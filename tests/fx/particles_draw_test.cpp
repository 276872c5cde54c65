// Particle effects on screen (Xvfb, the shipped settings and sprites): the
// death effect as a red burst where it was placed whatever the camera's yaw,
// the muzzle flash for 300 ms after a shot, and the 25 ms timer on SDL's
// timer thread against drawing, restarting and tearing down.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "../data/data_tree.h"
#include "core/gl_api.h"
#include "core/platform.h"
#include "fx/partikel.h"
#include "test_support.h"

// Reports from inside the libraries, on their own objects: SDL 1.2 starts its
// timer thread before it creates the mutex that thread locks, and Mesa's
// software rasteriser synchronises its worker threads in ways
// ThreadSanitizer cannot see into.
extern "C" const char* __tsan_default_suppressions() { return "race:SDL_mutexP\nrace:swrast_dri.so\n"; }

namespace {

constexpr int kWidth = 320, kHeight = 240;
// The window is opened at the size other tests of this binary ask for, since
// growing it later leaves the new part undrawable; the tests draw in its
// lower left corner.
constexpr int kWindowWidth = 800, kWindowHeight = 600;

struct TEye {
  float X = 10, Y = 1.5f, Z = -4;
};

// The game's frame: a 60 degree perspective with the first-person camera
// (pitch 0) on the projection matrix, a fresh model-view matrix.
void BeginFrame(const TEye& eye, float yaw) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0, 0, 0, 1);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60, static_cast<double>(kWidth) / kHeight, 0.1, 600);
  glRotatef(yaw + 90, 0, 1, 0);
  glTranslatef(-eye.X, -eye.Y, -eye.Z);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// A point `distance` ahead of the eye along the view direction of yaw.
void Ahead(const TEye& eye, float yaw, float distance, double out[3]) {
  const double r = yaw * M_PI / 180;
  out[0] = eye.X + distance * std::cos(r);
  out[1] = eye.Y;
  out[2] = eye.Z + distance * std::sin(r);
}

struct TPicture {
  std::vector<unsigned char> rgb;  // bottom row first
  int Lit = 0;                     // pixels with any channel above 40
  double Red = 0, Green = 0, Blue = 0;  // summed over lit pixels
  double CentreX = 0, CentreY = 0;      // of lit pixels, from the lower left
  int LitInCorners = 0;                 // within 24 pixels of a corner
};

// Reads the frame; with GRIMVALE_TEST_SHOTS set, also saves it there as a PPM
// file for a person to look at.
TPicture ReadPicture(const std::string& name) {
  TPicture p;
  p.rgb.resize(kWidth * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const unsigned char* c = &p.rgb[(y * kWidth + x) * 3];
      if (c[0] <= 40 && c[1] <= 40 && c[2] <= 40) continue;
      ++p.Lit;
      p.Red += c[0];
      p.Green += c[1];
      p.Blue += c[2];
      p.CentreX += x;
      p.CentreY += y;
      const bool cornerX = x < 24 || x >= kWidth - 24, cornerY = y < 24 || y >= kHeight - 24;
      if (cornerX && cornerY) ++p.LitInCorners;
    }
  if (p.Lit) {
    p.CentreX /= p.Lit;
    p.CentreY /= p.Lit;
  }
  if (const char* dir = std::getenv("GRIMVALE_TEST_SHOTS")) {
    if (std::FILE* f = std::fopen((std::string(dir) + "/" + name + ".ppm").c_str(), "wb")) {
      std::fprintf(f, "P6 %d %d 255\n", kWidth, kHeight);
      for (int y = kHeight - 1; y >= 0; --y) std::fwrite(&p.rgb[y * kWidth * 3], 1, kWidth * 3, f);
      std::fclose(f);
    }
  }
  return p;
}

class ParticleDraw : public testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_GL_WINDOW(kWindowWidth, kWindowHeight);
    system.Load();
  }
  TInBinDir inBin;
  TPartikel system{false};
  TEye eye;
};

// Both effects of the characters: settings record 1, as the game makes them.
int32_t AddDeathEffect(TPartikel& system) { return system.AddEffect(1, 3000, 0, 0, 0, 5, 5, 5, 1, 1, 1, 0); }
int32_t AddMuzzleFlash(TPartikel& system) { return system.AddEffect(1, 300, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0); }

TEST_F(ParticleDraw, DeathEffectIsARedBurstWhereItWasPlacedForAnyYaw) {
  int32_t death = -1;
  for (float yaw : {0.0f, 90.0f, 217.5f}) {
    SCOPED_TRACE(testing::Message() << "yaw " << yaw);
    // The same burst each time: a fresh effect from the same seed.
    system.RemoveEffect(death);
    RandomSeed(7);
    death = AddDeathEffect(system);
    double at[3];
    Ahead(eye, yaw, 3, at);
    system.RestartEffectAt(death, at[0], at[1], at[2]);
    for (int tick = 0; tick < 12; ++tick) system.TimerTick();
    BeginFrame(eye, yaw);
    system.DrawAll(yaw);
    const TPicture p = ReadPicture("death_yaw" + std::to_string(static_cast<int>(yaw)));
    // A cloud of quads facing the camera (about 20000 pixels), not edge-on
    // slivers (about 6000) nor a screenful.
    EXPECT_GT(p.Lit, 12000);
    EXPECT_LT(p.Lit, kWidth * kHeight / 2);
    EXPECT_EQ(p.LitInCorners, 0);
    EXPECT_NEAR(p.CentreX, kWidth / 2.0, 40);
    EXPECT_NEAR(p.CentreY, kHeight / 2.0, 40);
    // Blood: red well above green, green above blue.
    EXPECT_GT(p.Red, 2 * p.Green);
    EXPECT_GT(p.Green, p.Blue);
  }
  // Once its 3000 ms are over nothing more is drawn.
  for (int tick = 0; tick < 120; ++tick) system.TimerTick();
  BeginFrame(eye, 0);
  system.DrawAll(0);
  EXPECT_EQ(ReadPicture("death_over").Lit, 0);
}

TEST_F(ParticleDraw, MuzzleFlashShowsFor300MsAfterEachShot) {
  RandomSeed(8);
  const int32_t death = AddDeathEffect(system);
  system.StopEffect(death);
  const int32_t muzzle = AddMuzzleFlash(system);
  system.StopEffect(muzzle);
  // The weapon's frame as the character's drawing leaves it: 1.5 ahead,
  // turned so the barrel points along -y of the flash's frame.
  auto frame = [&](float yaw) {
    double at[3];
    Ahead(eye, yaw, 1.5f, at);
    BeginFrame(eye, yaw);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    glTranslated(at[0], at[1], at[2]);
    glRotatef(90, 1, 0, 0);
    system.AdvanceAndDraw(muzzle, 25, yaw);
    glDepthMask(GL_TRUE);
    // The scene's own pass draws nothing for either effect meanwhile.
    glLoadIdentity();
    system.DrawAll(yaw);
  };
  frame(30);
  EXPECT_EQ(ReadPicture("muzzle_stopped").Lit, 0);

  system.RestartEffect(muzzle);
  for (int step = 1; step <= 12; ++step) {
    SCOPED_TRACE(testing::Message() << "frame " << step);
    frame(30);
    const TPicture p = ReadPicture("muzzle_" + std::to_string(step));
    EXPECT_GT(p.Lit, 300);  // edge-on quads would light a few dozen
    EXPECT_NEAR(p.CentreX, kWidth / 2.0, 40);
    // Between frames the flash is out, so the timer does not emit for it.
    bool active = true;
    ASSERT_TRUE(system.WithEffect(muzzle, [&](TExampleFX& fx) { active = fx.Active; }));
    EXPECT_FALSE(active);
  }
  frame(30);
  EXPECT_EQ(ReadPicture("muzzle_over").Lit, 0);
}

// The timer ticks on SDL's timer thread while the main thread draws,
// restarts, adds and removes effects and draws random numbers; then the
// system is torn down with the timer running. Run under ThreadSanitizer in CI.
TEST(ParticleThread, TimerAgainstDrawingAndRestarting) {
  REQUIRE_GL_WINDOW(kWindowWidth, kWindowHeight);
  TInBinDir inBin;
  const TEye eye;
  auto system = std::make_unique<TPartikel>(true);
  system->Load();
  const int32_t death = AddDeathEffect(*system);
  const int32_t muzzle = AddMuzzleFlash(*system);
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto lastAdd = start;
  int frames = 0;
  int32_t rolls = 0;
  // Frames take far longer under ThreadSanitizer: at least 1.5 s and 20 frames.
  while (Clock::now() - start < std::chrono::milliseconds(1500) || frames < 20) {
    const float yaw = static_cast<float>(frames % 360);
    double at[3];
    Ahead(eye, yaw, 3, at);
    if (frames % 7 == 0) system->RestartEffectAt(death, at[0], at[1], at[2]);
    if (frames % 5 == 0) system->RestartEffect(muzzle);
    BeginFrame(eye, yaw);
    system->DrawAll(yaw);
    system->AdvanceAndDraw(muzzle, 25, yaw);
    rolls += Random(6);
    // Adding restarts the timer; not so often that it never comes round.
    if (Clock::now() - lastAdd > std::chrono::milliseconds(200)) {
      system->RemoveEffect(system->AddEffect(0, 500, at[0], at[1], at[2], 1, 1, 1, 0, 1, 0, 45));
      lastAdd = Clock::now();
    }
    ++frames;
  }
  EXPECT_GE(rolls, 0);

  // The timer ages the death effect by itself.
  system->RestartEffectAt(death, 0, 0, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  int32_t age = 0;
  system->WithEffect(death, [&](TExampleFX& fx) { age = fx.Age; });
  EXPECT_GE(age, 150);
  EXPECT_LE(age, 1000);

  // Torn down while ticking, and again at once after a new start: no tick
  // reaches a freed system.
  system.reset();
  auto second = std::make_unique<TPartikel>(true);
  second->Load();
  AddDeathEffect(*second);
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  second.reset();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

}  // namespace
