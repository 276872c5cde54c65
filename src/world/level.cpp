// Loading, saving and the settings of a level: map.lvl with its rebuild
// rule, spawn points in config.ini, picking.
#include "world/level.h"

#include "core/ini_file.h"
#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/binary_file.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// A spawn count beyond this in config.ini is taken as this many, so a broken
// count cannot keep the level start busy for hours.
static constexpr int32_t kMaxSpawnPoints = 1000;

TLevel::TLevel(const std::string& mapName, bool load) : Octree(std::make_unique<TOctree>()), MapName(mapName) {
  if (!load) return;
  LoadData();
  try {
    SetUpLighting();
    LoadSkybox(SkyboxName);
    Octree->LoadTextures();
  } catch (...) {
    ReleaseGraphics();
    throw;
  }
}

std::string TLevel::Directory() const { return "data\\maps\\" + MapName + "\\"; }

void TLevel::LoadData() {
  TBinaryFile file(LevelFilePath(MapName), false);
  Octree = std::make_unique<TOctree>(500);
  Octree->LevelFile = MapName + "map.lvl";
  ReadSettings();
  LoadFromFile(file);
}

namespace {
constexpr const char* kTerCount = "TerSpawnPoints";
constexpr const char* kCTCount = "CTSpawnPoints";
constexpr const char* kTerSection = "TerSpawn";
constexpr const char* kCTSection = "CTSpawn";
// Eye height above a spawn point (a bounding-sphere centre), and how far a
// line of sight is followed: farther than any level is wide.
constexpr float kEyeLift = 0.6f;
constexpr float kSightLimit = 1000;
// A spawn point given in config.ini within this distance is the one a
// client was placed at (the server's position arrives as singles).
constexpr float kSameSpawn = 0.01f;
}  // namespace

static std::vector<TVec3> ReadSpawns(const TIniFile& ini, const char* countKey, const std::string& section,
                                     std::vector<float>& yaws) {
  int32_t count = ini.ReadInteger("config", countKey, 0);
  if (count > kMaxSpawnPoints) {
    if (Logger)
      Logger->LogError(ini.FileName() + ": " + countKey + " = " + std::to_string(count) + ", reading the first " +
                           std::to_string(kMaxSpawnPoints),
                       "ULevels");
    count = kMaxSpawnPoints;
  }
  std::vector<TVec3> points;
  yaws.clear();
  for (int32_t i = 0; i < count; ++i) {
    std::string name = section + std::to_string(i);
    points.push_back({static_cast<float>(ini.ReadFloat(name, "x", 0)), static_cast<float>(ini.ReadFloat(name, "y", 0)),
                      static_cast<float>(ini.ReadFloat(name, "z", 0))});
    const double yaw = ini.ReadFloat(name, "yaw", NAN);
    yaws.push_back(std::isfinite(yaw) ? static_cast<float>(std::fmod(yaw, 360.0)) : NAN);
  }
  return points;
}

void TLevel::ReadSettings() {
  TIniFile ini(HostPath(Directory() + "config.ini"));
  SkyboxName = ini.ReadString("config", "Skybox", "default");
  TerSpawns = ReadSpawns(ini, kTerCount, kTerSection, TerYaws);
  CTSpawns = ReadSpawns(ini, kCTCount, kCTSection, CTYaws);
}

std::string ReadLevelFile(TBinaryFile& file, TOctree& octree) {
  file.ReadHeader();
  if (file.Overread()) return "cut short in its header";
  if (file.FileType != kLevelFileType) return "not a level file (type \"" + file.FileType + "\")";
  if (file.Version != kLevelVersion) return "of version \"" + file.Version + "\"";
  try {
    octree.LoadFromFile(file);
  } catch (const ELevelFileError& e) {
    return std::string("damaged: ") + e.what();
  }
  return "";
}

void TLevel::LoadFromFile(TBinaryFile& file) {
  std::string problem = ReadLevelFile(file, *Octree);
  file.Close();
  if (!problem.empty()) {
    std::string base = Directory() + "map";
    if (Logger) Logger->LogInfo(base + ".lvl is " + problem + "; rebuilding it", "ULevels");
    if (!FileExists(HostPath(base + ".3ds")))
      throw ELevelFileError(base + ".lvl is " + problem + ", and there is no " + base + ".3ds to rebuild it from");
    BuildLevel(MapName, 300);
    TBinaryFile again(LevelFilePath(MapName), false);
    problem = ReadLevelFile(again, *Octree);
    if (!problem.empty()) throw ELevelFileError(base + ".lvl is still " + problem + " after rebuilding it");
  }
  if (Logger) Logger->LogInfo("Loaded Level " + MapName, "ULevels");
}

void TLevel::SaveToFile(TBinaryFile& file) const {
  file.WriteHeader(kLevelVersion, kLevelFileType);
  Octree->SaveToFile(file);
}

TSpawnPoint TLevel::ChooseSpawn(bool terrorist) const {
  const std::vector<TVec3>& list = terrorist ? TerSpawns : CTSpawns;
  if (list.empty()) return {{0, 1, 0}, OpenYaw({0, 1, 0})};
  const auto i = static_cast<size_t>(Random(static_cast<int32_t>(list.size())));
  const float given = YawOf(terrorist, i);
  return {list[i], std::isfinite(given) ? given : OpenYaw(list[i])};
}

float TLevel::YawOf(bool terrorist, size_t index) const {
  const std::vector<float>& yaws = terrorist ? TerYaws : CTYaws;
  return index < yaws.size() ? yaws[index] : NAN;
}

float TLevel::SpawnYaw(const TVec3& p) const {
  for (bool terrorist : {true, false}) {
    const std::vector<TVec3>& list = terrorist ? TerSpawns : CTSpawns;
    for (size_t i = 0; i < list.size(); ++i)
      if (VecLength(VecSub(list[i], p)) < kSameSpawn && std::isfinite(YawOf(terrorist, i))) return YawOf(terrorist, i);
  }
  return OpenYaw(p);
}

float TLevel::OpenYaw(const TVec3& p) const {
  constexpr int kSteps = 72;
  float bestYaw = 0, bestReach = -1;
  for (int step = 0; step < kSteps; ++step) {
    const float yaw = step * (360.0f / kSteps);
    const double a = yaw * std::numbers::pi / 180;
    const TRay sight{{p.x, p.y + kEyeLift, p.z}, {static_cast<float>(std::cos(a)), 0, static_cast<float>(std::sin(a))}};
    const float reach = Octree ? Octree->FirstHit(sight, kSightLimit) : kSightLimit;
    if (reach > bestReach) {
      bestReach = reach;
      bestYaw = yaw;
    }
  }
  return bestYaw;
}

TTriangle* TLevel::Pick(const TVec3& origin, const TVec3& direction) { return Octree->Pick({origin, direction}); }

void TLevel::AddSpawn(bool terrorist, const TVec3& point, float yaw) {
  std::vector<TVec3>& list = terrorist ? TerSpawns : CTSpawns;
  std::vector<float>& yaws = terrorist ? TerYaws : CTYaws;
  yaw = std::fmod(yaw, 360.0f);  // a player's yaw is unbounded
  list.push_back(point);
  yaws.resize(list.size() - 1, NAN);
  yaws.push_back(yaw);
  TIniFile ini(HostPath(Directory() + "config.ini"));
  std::string name = (terrorist ? kTerSection : kCTSection) + std::to_string(list.size() - 1);
  ini.WriteInteger("config", terrorist ? kTerCount : kCTCount, static_cast<int32_t>(list.size()));
  ini.WriteFloat(name, "x", point.x);
  ini.WriteFloat(name, "y", point.y);
  ini.WriteFloat(name, "z", point.z);
  ini.WriteFloat(name, "yaw", yaw);
}

void TLevel::AddTerSpawn(const TVec3& point, float yaw) { AddSpawn(true, point, yaw); }
void TLevel::AddCTSpawn(const TVec3& point, float yaw) { AddSpawn(false, point, yaw); }
