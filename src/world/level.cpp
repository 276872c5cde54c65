// Loading, saving and the settings of a level: map.lvl with its rebuild
// rule, spawn points in config.ini, picking.
#include "world/level.h"

#include "core/ini_file.h"
#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/binary_file.h"

#include <algorithm>

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

static std::vector<TVec3> ReadSpawns(const TIniFile& ini, const char* countKey, const std::string& section) {
  int32_t count = ini.ReadInteger("config", countKey, 0);
  if (count > kMaxSpawnPoints) {
    if (Logger)
      Logger->LogError(ini.FileName() + ": " + countKey + " = " + std::to_string(count) + ", reading the first " +
                           std::to_string(kMaxSpawnPoints),
                       "ULevels");
    count = kMaxSpawnPoints;
  }
  std::vector<TVec3> points;
  for (int32_t i = 0; i < count; ++i) {
    std::string name = section + std::to_string(i);
    points.push_back({static_cast<float>(ini.ReadFloat(name, "x", 0)), static_cast<float>(ini.ReadFloat(name, "y", 0)),
                      static_cast<float>(ini.ReadFloat(name, "z", 0))});
  }
  return points;
}

void TLevel::ReadSettings() {
  TIniFile ini(HostPath(Directory() + "config.ini"));
  SkyboxName = ini.ReadString("config", "Skybox", "default");
  TerSpawns = ReadSpawns(ini, "TerSpawnPoints", "TerSpawn");
  CTSpawns = ReadSpawns(ini, "CTSpawnPoints", "CTSpawn");
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

TVec3 TLevel::ChooseSpawn(bool terrorist) const {
  const std::vector<TVec3>& list = terrorist ? TerSpawns : CTSpawns;
  if (list.empty()) return {0, 1, 0};
  return list[static_cast<size_t>(Random(static_cast<int32_t>(list.size())))];
}

TTriangle* TLevel::Pick(const TVec3& origin, const TVec3& direction) { return Octree->Pick({origin, direction}); }

void TLevel::AddSpawn(std::vector<TVec3>& list, const char* countKey, const char* section, const TVec3& point) {
  list.push_back(point);
  TIniFile ini(HostPath(Directory() + "config.ini"));
  std::string name = section + std::to_string(list.size() - 1);
  ini.WriteInteger("config", countKey, static_cast<int32_t>(list.size()));
  ini.WriteFloat(name, "x", point.x);
  ini.WriteFloat(name, "y", point.y);
  ini.WriteFloat(name, "z", point.z);
}

void TLevel::AddTerSpawn(const TVec3& point) { AddSpawn(TerSpawns, "TerSpawnPoints", "TerSpawn", point); }
void TLevel::AddCTSpawn(const TVec3& point) { AddSpawn(CTSpawns, "CTSpawnPoints", "CTSpawn", point); }
