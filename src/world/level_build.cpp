// Compiling a 3DS scene into a level file.
#include "world/level.h"

#include "core/logger.h"
#include "core/paths.h"
#include "render/model.h"
#include "world/binary_file.h"

#include <cstdio>
#include <sys/stat.h>

std::string TLevelBuildReport::LogLine() const {
  return std::to_string(Triangles) + " Triangles in " + std::to_string(Meshes) + " Meshes found! With " +
         std::to_string(WithoutMaterials) + " polys without Mats (" + std::to_string(WithMaterials) + " with)";
}

static void CopyColour(const TColor3& from, float alpha, float to[4]) {
  to[0] = from.r;
  to[1] = from.g;
  to[2] = from.b;
  to[3] = alpha;
}

void MakeLevelGeometry(const TAll3dsMesh& model, std::vector<TTriangle>& triangles,
                       std::vector<TOctreeMaterial>& materials, TLevelBuildReport& report) {
  if (model.Materials.size() + 1 > TOctree::kMaxMaterials)
    throw ELevelFileError(model.ModelFile + ": " + std::to_string(model.Materials.size()) +
                          " materials are more than a level file holds");
  const size_t sceneMaterials = model.Materials.size();
  report.Meshes = model.MeshCount;
  for (const auto& meshPtr : model.Meshes) {
    const T3dsMesh& mesh = *meshPtr;
    if (mesh.Vertices.empty() || mesh.Faces.empty()) continue;
    const bool hasMaterials = !mesh.FaceMaterials.empty();
    for (size_t f = 0; f < mesh.Faces.size(); ++f) {
      TTriangle t;
      bool valid = true;
      for (int k = 0; k < 3; ++k) {
        uint16_t index = mesh.Faces[f].Vertex[k];
        if (index >= mesh.Vertices.size()) {
          valid = false;
          break;
        }
        t.Vertices[k].Position = mesh.Vertices[index];
        if (index < mesh.TexCoords.size()) {
          t.Vertices[k].TexCoord[0] = mesh.TexCoords[index].u;
          t.Vertices[k].TexCoord[1] = mesh.TexCoords[index].v;
        }
      }
      if (!valid) continue;
      if (hasMaterials) {
        // The scene's "no such material" (0xFFFF) wraps to 0, the default
        // material, as does any index the scene does not have.
        uint16_t material = f < mesh.FaceMaterials.size() ? static_cast<uint16_t>(mesh.FaceMaterials[f] + 1) : 0;
        t.Material = material <= sceneMaterials ? material : 0;
        ++report.WithMaterials;
      } else {
        ++report.WithoutMaterials;
      }
      TrianglePlane(t);
      triangles.push_back(t);
    }
  }
  report.Triangles = static_cast<int32_t>(triangles.size());

  materials.assign(1, TOctreeMaterial());
  for (const auto& source : model.Materials) {
    const T3dsMaterial& s = *source;
    TOctreeMaterial m;
    m.HasTexture = s.HasTexture;
    m.TextureName = s.TextureName;
    m.HasDiffuse = s.HasDiffuse;
    m.HasAmbient = s.HasAmbient;
    m.HasSpecular = s.HasSpecular;
    m.HasBump = s.HasBump;
    m.TwoSided = s.TwoSided;
    if (s.HasDiffuse) CopyColour(s.Diffuse, s.Alpha, m.Diffuse);
    if (s.HasSpecular) CopyColour(s.Specular, 1, m.Specular);
    if (s.HasAmbient) CopyColour(s.Ambient, 1, m.Ambient);
    if (s.HasBump) m.BumpAmount = s.BumpAmount;
    materials.push_back(m);
  }
}

static uint64_t FileSizeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

TLevelBuildReport BuildLevelFile(const std::string& sceneFile, const std::string& levelFile, int32_t maxTriangles) {
  TAll3dsMesh model;
  model.TextureDir = kMapTextureDir;
  // The level keeps only texture names; its own materials load the images.
  model.BuildTextures = false;
  model.Load3ds(sceneFile);

  TLevelBuildReport report;
  std::vector<TTriangle> triangles;
  std::vector<TOctreeMaterial> materials;
  MakeLevelGeometry(model, triangles, materials, report);
  TLevel level("", false);
  level.Octree = std::make_unique<TOctree>(std::move(triangles), maxTriangles);
  level.Octree->TextureDir = model.TextureDir;
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

void BuildLevel(const std::string& mapName, int32_t maxTriangles) {
  std::string base = "data\\maps\\" + mapName + "\\map";
  TLevelBuildReport report = BuildLevelFile(base + ".3ds", base + ".lvl", maxTriangles);
  if (Logger) Logger->LogInfo(report.LogLine(), "ULevels");
}
