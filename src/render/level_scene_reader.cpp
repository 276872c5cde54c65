// A 3DS scene as level geometry: the scene reader and texture loader that
// levels reach through world/level_loaders.h.
#include "render/level_scene_reader.h"

#include "render/model.h"
#include "render/textures.h"
#include "world/level.h"
#include "world/level_loaders.h"

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

static void ReadScene(const std::string& sceneFile, std::vector<TTriangle>& triangles,
                      std::vector<TOctreeMaterial>& materials, TLevelBuildReport& report) {
  TAll3dsMesh model;
  model.TextureDir = kMapTextureDir;
  // The level keeps only texture names; its own materials load the images.
  model.BuildTextures = false;
  model.Load3ds(sceneFile);
  MakeLevelGeometry(model, triangles, materials, report);
}

void InstallLevelLoaders() {
  LevelLoaders.Texture = [](const std::string& fileName, unsigned& texture) { LoadTexture(fileName, texture); };
  LevelLoaders.Scene = ReadScene;
}
