// Compiling a scene into a level file (the scene reader is the renderer's, level_loaders.h).
#include "core/binary_file.h"

#include "core/logger.h"
#include "core/paths.h"
#include "world/level.h"
#include "world/level_loaders.h"

#include <cstdio>
#include <sys/stat.h>

std::string TLevelBuildReport::LogLine() const {
  return std::to_string(Triangles) + " Triangles in " + std::to_string(Meshes) + " Meshes found! With " +
         std::to_string(WithoutMaterials) + " polys without Mats (" + std::to_string(WithMaterials) + " with)";
}

static uint64_t FileSizeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

TLevelBuildReport BuildLevelFile(const std::string& sceneFile, const std::string& levelFile, int32_t maxTriangles) {
  TLevelBuildReport report;
  std::vector<TTriangle> triangles;
  std::vector<TOctreeMaterial> materials;
  ReadLevelScene(sceneFile, triangles, materials, report);
  TLevel level("", false);
  level.Octree = std::make_unique<TOctree>(std::move(triangles), maxTriangles);
  level.Octree->TextureDir = kMapTextureDir;
  level.Octree->Materials = std::move(materials);
  report.Nodes = static_cast<int32_t>(level.Octree->Nodes.size());

  // Written beside the target and renamed over it, so a failed build never
  // leaves a half-written map.lvl behind.
  std::string target = HostPath(levelFile);
  std::string temporary = target + ".tmp";
  try {
    TBinaryFile out(temporary, true);
    level.SaveToFile(out);
    uint64_t written = out.Position();
    out.Close();
    if (FileSizeOf(temporary) != written || std::rename(temporary.c_str(), target.c_str()) != 0)
      throw EFileOpenError("Cannot write file \"" + levelFile + "\"");
  } catch (...) {
    std::remove(temporary.c_str());
    throw;
  }
  return report;
}

static std::string TreeMapBase(const std::string& mapName) { return "data\\maps\\" + mapName + "\\map"; }

std::string LevelFilePath(const std::string& mapName) {
  const std::string tree = TreeMapBase(mapName) + ".lvl";
  const std::string built = UserPath(TUserDir::Cache, tree);
  return built != tree && FileExists(HostPath(built)) ? built : tree;
}

void BuildLevel(const std::string& mapName, int32_t maxTriangles) {
  const std::string tree = TreeMapBase(mapName) + ".lvl";
  const std::string target = UserPath(TUserDir::Cache, tree);
  if (target != tree) {
    const std::string path = HostPath(target);
    MakeDirectories(path.substr(0, path.rfind('/')));
  }
  TLevelBuildReport report = BuildLevelFile(TreeMapBase(mapName) + ".3ds", target, maxTriangles);
  if (Logger) Logger->LogInfo(report.LogLine() + (target != tree ? " (" + HostPath(target) + ")" : ""), "ULevels");
}
