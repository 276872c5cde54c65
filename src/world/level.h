// A playable level: the map directory "data\maps\<name>\" with its scene
// map.3ds, the compiled map.lvl (header, then the octree body of octree.h) and
// config.ini (skybox name and both teams' spawn points, each with an optional
// view direction "yaw" in degrees). One TLevel exists
// while a level is played. Lighting, skybox and drawing live in level_draw.cpp.
//
// map.lvl: header strings "Level", "Orvel Mandra", "0.2.5" (binary_file.h),
// then the octree body. A file with another version, another file type, or a
// body that cannot be used is rebuilt from map.3ds once and read again.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "world/geometry.h"
#include "world/octree.h"

class TBinaryFile;
class TFrustum;

inline constexpr const char* kLevelVersion = "0.2.5";
inline constexpr const char* kLevelFileType = "Level";
inline constexpr const char* kMapTextureDir = "data\\MapTextures\\";

// Where a player (re)spawns: the bounding-sphere centre and the yaw, in
// degrees, the view turns to (the direction (cos yaw, 0, sin yaw)).
struct TSpawnPoint {
  TVec3 Position;
  float Yaw = 0;
};

class TLevel {
 public:
  // With load false, an empty level (the level build fills its octree). With
  // load true, everything of LoadData, then lighting, skybox and material
  // textures (needs an OpenGL context). Throws EFileOpenError when map.lvl
  // cannot be opened, ELevelFileError when it cannot be used or rebuilt.
  TLevel(const std::string& mapName, bool load);
  ~TLevel();  // frees the octree and the skybox's GL objects
  TLevel(const TLevel&) = delete;
  TLevel& operator=(const TLevel&) = delete;

  // The loading that needs no OpenGL: opens map.lvl (throwing when it cannot),
  // reads config.ini (skybox name, spawn points), then LoadFromFile.
  void LoadData();
  // Reads an open level file. An outdated or unusable one is closed, rebuilt
  // from map.3ds with threshold 300 and read once more; nothing of a refused
  // file is kept. Closes the file.
  void LoadFromFile(TBinaryFile& file);
  void SaveToFile(TBinaryFile& file) const;

  // Loads the six skybox faces and compiles SkyboxList (level_draw.cpp).
  void LoadSkybox(const std::string& skyboxName);
  // The skybox around the eye of the current projection (drawn first, it
  // fills every direction at any clipping planes), then the level culled by
  // the frustum. Expects an identity model-view matrix (the camera lives in
  // the projection).
  void Render(const TFrustum& frustum);
  // The two halves of Render, for a frame that draws what stands in the
  // level between them: the sky writes no depth, and the level's pixels
  // behind what was drawn before it then fail the depth test before they
  // are textured.
  void RenderSky();
  void RenderGeometry(const TFrustum& frustum);

  // A random spawn point of the team (true = terrorists) with its view;
  // (0, 1, 0) when the team has none.
  TSpawnPoint ChooseSpawn(bool terrorist) const;
  // The view of a player placed with its bounding-sphere centre at p: the
  // yaw config.ini gives the spawn point there, else OpenYaw(p). A client
  // learns only where the server put it, and finds its view this way.
  float SpawnYaw(const TVec3& p) const;
  // The yaw, in steps of 5 degrees, whose horizontal line of sight from eye
  // height above p runs farthest before it meets the level; the first of
  // equals, so the same level always gives the same answer.
  float OpenYaw(const TVec3& p) const;
  TTriangle* Pick(const TVec3& origin, const TVec3& direction);
  // Appends the point with its view and writes both to config.ini at once.
  // Throws EIniWriteError when the file cannot be written.
  void AddTerSpawn(const TVec3& point, float yaw);
  void AddCTSpawn(const TVec3& point, float yaw);

  // "data\maps\" + MapName + "\"
  std::string Directory() const;

  std::unique_ptr<TOctree> Octree;
  std::string MapName;
  std::string SkyboxName = "default";
  unsigned SkyboxList = 0;
  unsigned SkyboxTextures[6] = {0, 0, 0, 0, 0, 0};
  std::vector<TVec3> TerSpawns;
  std::vector<TVec3> CTSpawns;
  // The yaw config.ini gives each spawn point, by index; NaN (or no entry)
  // where it gives none, and OpenYaw decides.
  std::vector<float> TerYaws;
  std::vector<float> CTYaws;

 private:
  void SetUpLighting();
  void ReleaseGraphics();
  void ReadSettings();
  void AddSpawn(bool terrorist, const TVec3& point, float yaw);
  float YawOf(bool terrorist, size_t index) const;
};

// Reads the header and the octree body of an open level file into the octree
// (left unchanged unless the whole body was read). Returns why the file cannot
// be used ("of version ...", "damaged: ..."), or "" when it was read.
std::string ReadLevelFile(TBinaryFile& file, TOctree& octree);

// What a level build found, for the log line and the level tool.
struct TLevelBuildReport {
  int32_t Triangles = 0;
  int32_t Meshes = 0;
  int32_t WithoutMaterials = 0;
  int32_t WithMaterials = 0;
  int32_t Nodes = 0;
  // "<n> Triangles in <m> Meshes found! With <a> polys without Mats (<b> with)"
  std::string LogLine() const;
};

// Compiles a scene file into a level file (replacing it only once complete).
TLevelBuildReport BuildLevelFile(const std::string& sceneFile, const std::string& levelFile, int32_t maxTriangles);
// Compiles "data\maps\<name>\map.3ds" into map.lvl and logs the build line.
// The file goes beside the scene while the game writes beside itself, else
// into the user's cache (UserPath in core/paths.h): an installed game leaves
// its data tree as the package made it.
void BuildLevel(const std::string& mapName, int32_t maxTriangles);
// The map.lvl a map loads from: the one BuildLevel wrote into the cache when
// there is one (the data tree's was missing or unusable), else the data tree's.
std::string LevelFilePath(const std::string& mapName);
