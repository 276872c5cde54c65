// Shared by the model harnesses: the bytes loaded as a model file with the
// given extension, without OpenGL, and what every load must leave behind,
// whatever the bytes were, so that drawing and the level build can index
// freely.
#pragma once
#include "fuzz_support.h"
#include "render/model.h"

inline void CheckModelInvariants(const TAll3dsMesh& model) {
  if (model.MaterialCount != static_cast<int>(model.Materials.size())) __builtin_trap();
  if (model.MeshCount > static_cast<int>(model.Meshes.size())) __builtin_trap();
  for (const auto& mesh : model.Meshes) {
    size_t faces = mesh->Faces.size();
    if (mesh->Indices.size() != 3 * faces || mesh->NormalIndices.size() != 3 * faces) __builtin_trap();
    if (mesh->IndexCount != static_cast<int>(3 * faces)) __builtin_trap();
    if (!mesh->FaceMaterials.empty() && mesh->FaceMaterials.size() != faces) __builtin_trap();
    if (faces && mesh->TexCoords.size() < mesh->Vertices.size()) __builtin_trap();
    for (size_t i = 0; i < 3 * faces; ++i) {
      if (mesh->Indices[i] >= mesh->Vertices.size()) __builtin_trap();
      if (mesh->NormalIndices[i] >= mesh->Normals.size()) __builtin_trap();
    }
  }
}

inline int FuzzModelFile(const uint8_t* data, size_t size, const char* extension) {
  std::string path = FuzzInputFile(data, size, extension);
  TAll3dsMesh model;
  model.BuildTextures = false;
  model.LoadFromFile(path);
  CheckModelInvariants(model);
  return 0;
}
