// The scene of the game-rule tests: a scratch game directory with the shipped
// characters and weapons (and maps copied on demand, since playing one writes
// map.lvl beside it), a network session object, the weapons loaded without
// graphics, a fixed random seed, the console lines and every message that
// leaves the session recorded.
#pragma once
#include "core/console_sink.h"
#include "core/platform.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "net/network.h"
#include "test_support.h"
#include "world/level.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// One message as it left: to the slot (-1 broadcast is not recorded as such;
// every client gets its own copy), or to the server (slot -2).
struct TSent {
  int32_t Slot;
  TNetMessage Message;
};

// Counts the effects the characters trigger.
struct TEffectLog {
  std::vector<TVec3> Deaths;
  int MuzzleRestarts = 0, MuzzleDraws = 0;
};

class TRecordingEffects : public TCharacterEffects {
 public:
  explicit TRecordingEffects(TEffectLog& log) : log(log) {}
  void Death(const TVec3& where) override { log.Deaths.push_back(where); }
  void RestartMuzzleFlash() override { ++log.MuzzleRestarts; }
  void DrawMuzzleFlash() override { ++log.MuzzleDraws; }

 private:
  TEffectLog& log;
};

class GameTest : public testing::Test {
 protected:
  void SetUp() override {
    previous = std::filesystem::current_path();
    std::filesystem::create_directories(dir / "data/maps");
    for (const char* shared : {"characters", "weapons", "MapTextures"})
      std::filesystem::create_directory_symlink(std::string(GRIMVALE_BIN_DIR) + "/data/" + shared,
                                                dir / (std::string("data/") + shared));
    std::filesystem::current_path(dir.Path());
    RandomSeed(1234);
    SetConsoleSink([this](const std::string& line) { console.push_back(line); });
    GameHooks = {};
    GameHooks.MakeEffects = [this] { return std::make_unique<TRecordingEffects>(effects); };
    Network = new TNetwork();
    Network->DiscoveryPort = 0;  // a server answers searches on a free port, never the default
    Weapons = new TWeapons(false);
  }
  void TearDown() override {
    characters.reset();
    level.reset();
    delete Weapons;
    Weapons = nullptr;
    delete Network;
    Network = nullptr;
    GameHooks = {};
    SetConsoleSink(nullptr);
    std::filesystem::current_path(previous);
  }

  // A server without sockets whose messages are recorded.
  void StartServer(int32_t gold = 1000, bool friendlyFire = false) {
    Network->StartServer(8, 0, 0, gold, friendlyFire, "test");
    Network->Server->Transmit = [this](const TServerClient& to, const TNetMessage& m) { sent.push_back({to.Index, m}); };
  }
  // A client slot that has started; it plays character slot + 1.
  int32_t AddStartedClient() {
    int32_t slot = Network->Server->AddClient();
    Network->Server->Slot(slot)->Started = true;
    return slot;
  }

  // The shipped map's level (map.lvl built once into the scratch tree).
  TLevel& ShippedLevel(const std::string& name) {
    std::filesystem::copy(std::string(GRIMVALE_BIN_DIR) + "/data/maps/" + name, dir / ("data/maps/" + name),
                          std::filesystem::copy_options::recursive);
    BuildLevel(name, 500);
    level = std::make_unique<TLevel>(name, false);
    level->LoadData();
    return *level;
  }
  // A level of the given triangles and no spawn points.
  TLevel& LevelOf(std::vector<TTriangle> triangles) {
    level = std::make_unique<TLevel>("none", false);
    level->Octree = std::make_unique<TOctree>(std::move(triangles), 500);
    return *level;
  }

  TCharacters& MakeCharacters() {
    characters = std::make_unique<TCharacters>(level.get(), false);
    return *characters;
  }
  // A living character with model n whose bounding-sphere centre is at p.
  TCharacter& Player(int32_t model, TVec3 p) {
    TCharacter& c = *characters->At(characters->Add(model, 0, 0, 0));
    c.MoveCentreTo(p);
    c.SetHealth(100);
    return c;
  }

  std::vector<TNetMessage> SentTo(int32_t slot) const {
    std::vector<TNetMessage> out;
    for (const TSent& s : sent)
      if (s.Slot == slot) out.push_back(s.Message);
    return out;
  }
  std::vector<uint8_t> CodesTo(int32_t slot) const {
    std::vector<uint8_t> out;
    for (const TNetMessage& m : SentTo(slot)) out.push_back(m.Code);
    return out;
  }

  TempDir dir;
  std::filesystem::path previous;
  std::vector<std::string> console;
  std::vector<TSent> sent;
  TEffectLog effects;
  std::unique_ptr<TLevel> level;
  std::unique_ptr<TCharacters> characters;
};

// Heights of the hit zones above the bounding-sphere centre of a shipped
// figure (radius 0.9).
constexpr float kHeadY = 0.765f, kChestY = 0.225f, kLegsY = -0.54f;

// A ray along +x at height y, from beside `from`.
inline TRay Horizontal(TVec3 from, float y) { return {{from.x, y, from.z}, {1, 0, 0}}; }

// The two triangles of the quad p0 p1 p2 p3, with their planes.
inline std::vector<TTriangle> Quad(const TVec3 (&p)[4]) {
  TTriangle a, b;
  a.Vertices[0].Position = p[0];
  a.Vertices[1].Position = p[1];
  a.Vertices[2].Position = p[2];
  b.Vertices[0].Position = p[0];
  b.Vertices[1].Position = p[2];
  b.Vertices[2].Position = p[3];
  TrianglePlane(a);
  TrianglePlane(b);
  return {a, b};
}

// A vertical wall square in the plane x = x0, facing -x, covering y and z in
// [-h, h].
inline std::vector<TTriangle> Wall(float x0, float h) {
  return Quad({{x0, -h, -h}, {x0, h, -h}, {x0, h, h}, {x0, -h, h}});
}
