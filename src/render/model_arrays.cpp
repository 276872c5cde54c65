// Laying a model's faces out as corners and material runs.
#include "render/model_arrays.h"

namespace {

// Bump materials shift the second unit's coordinates by the bump amount
// towards the light at the origin, per vertex.
TTexCoord SecondUv(const TVec3& vertex, TTexCoord uv, const T3dsMaterial* bump) {
  if (!bump) return uv;
  const TVec3 toLight = VecNormalize({-vertex.x, -vertex.y, -vertex.z});
  return {uv.u + toLight.x * bump->BumpAmount, uv.v + toLight.y * bump->BumpAmount};
}

}  // namespace

TModelArrays LayOutModel(const TAll3dsMesh& model) {
  TModelArrays arrays;
  uint16_t inEffect = T3dsMesh::NoMaterial;
  for (int slot = 0; slot < model.MeshCount && slot < static_cast<int>(model.DrawOrder.size()); ++slot) {
    const int index = model.DrawOrder[slot];
    if (index < 0 || index >= static_cast<int>(model.Meshes.size())) continue;
    const T3dsMesh& mesh = *model.Meshes[index];
    // The bump shift follows the material this mesh's own groups set.
    const T3dsMaterial* meshMaterial = nullptr;
    for (size_t f = 0; f < mesh.Faces.size(); ++f) {
      if (!mesh.FaceMaterials.empty() && mesh.FaceMaterials[f] < model.Materials.size()) {
        meshMaterial = model.Materials[mesh.FaceMaterials[f]].get();
        if (mesh.FaceMaterials[f] != inEffect || arrays.Runs.empty()) {
          inEffect = mesh.FaceMaterials[f];
          arrays.Runs.push_back({static_cast<uint32_t>(arrays.Corners.size()), 0, inEffect});
        }
      }
      if (arrays.Runs.empty()) arrays.Runs.push_back({});
      const T3dsMaterial* bump = meshMaterial && meshMaterial->HasBump ? meshMaterial : nullptr;
      for (int k = 0; k < 3; ++k) {
        const uint16_t vertex = mesh.Indices[3 * f + k];
        const TTexCoord uv = vertex < mesh.TexCoords.size() ? mesh.TexCoords[vertex] : TTexCoord{};
        arrays.Corners.push_back({mesh.Vertices[vertex], mesh.Normals[mesh.NormalIndices[3 * f + k]], uv,
                                  SecondUv(mesh.Vertices[vertex], uv, bump)});
      }
      arrays.Runs.back().Count += 3;
    }
  }
  return arrays;
}
