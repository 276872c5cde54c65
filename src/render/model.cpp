// The model container and the steps every loader shares: dispatch by
// extension, material lookup, dropping faces that point past their lists,
// normals, boxes and numbering.
#include "render/model.h"

#include <algorithm>

#include "core/convert.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/paths.h"
#include "render/model_arrays.h"
#include "render/model_bytes.h"
#include "render/skeleton.h"
#include "core/binary_file.h"


void ModelLog(const std::string& message) {
  if (Logger) Logger->LogError(message, LogSource::Models);
}

std::string ReadModelFile(const std::string& fileName) {
  std::string bytes;
  if (!ReadWholeFile(HostPath(fileName), bytes)) throw EFileOpenError("Cannot open file " + fileName);
  return bytes;
}

TAll3dsMesh::TAll3dsMesh() = default;
TAll3dsMesh::~TAll3dsMesh() = default;

void TAll3dsMesh::Prepare() { Prepared = std::make_unique<TModelArrays>(LayOutModel(*this)); }

void TAll3dsMesh::LoadFromFile(const std::string& fileName) {
  ModelFile = fileName;
  size_t dot = fileName.find_last_of('.');
  size_t slash = fileName.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return;
  std::string extension = fileName.substr(dot);
  if (extension == ".3ds")
    Load3ds(fileName);
  else if (extension == ".txt")
    LoadText(fileName);
  else if (extension == ".bin")
    LoadBin(fileName);
}

int TAll3dsMesh::FindMaterial(const std::string& name) const {
  for (size_t i = 0; i < Materials.size(); ++i)
    if (SameText(Materials[i]->Name, name)) return static_cast<int>(i);
  return -1;
}

void TAll3dsMesh::Clear() {
  Prepared.reset();
  Meshes.clear();
  Materials.clear();
  Skeletons.clear();
  DrawOrder.clear();
  MeshCount = MaterialCount = SkeletonCount = 0;
  HasBones = false;
  Scale = 1;
  BoxMin = BoxMax = TVec3{};
}

T3dsMesh& TAll3dsMesh::AddMesh() {
  Meshes.push_back(std::make_unique<T3dsMesh>());
  T3dsMesh& mesh = *Meshes.back();
  mesh.MeshNumber = static_cast<int>(Meshes.size());
  DrawOrder.push_back(static_cast<int>(Meshes.size()) - 1);
  return mesh;
}

T3dsMaterial& TAll3dsMesh::AddMaterial() {
  Materials.push_back(std::make_unique<T3dsMaterial>());
  MaterialCount = static_cast<int>(Materials.size());
  return *Materials.back();
}

// Drawing, normals and the level build index Vertices and Normals by the
// face's indices, so a face that points past them cannot be kept.
void TAll3dsMesh::DropBadFaces(const std::string& fileName, bool normalsFromFile) {
  for (auto& meshPtr : Meshes) {
    T3dsMesh& mesh = *meshPtr;
    size_t faceCount = mesh.Faces.size();
    size_t vertexCount = mesh.Vertices.size();
    // 3DS normals are computed later, one per vertex.
    size_t normalCount = normalsFromFile ? mesh.Normals.size() : vertexCount;
    size_t kept = 0;
    for (size_t f = 0; f < faceCount; ++f) {
      bool good = true;
      for (int k = 0; k < 3; ++k)
        if (mesh.Indices[3 * f + k] >= vertexCount || mesh.NormalIndices[3 * f + k] >= normalCount) good = false;
      if (!good) continue;
      if (kept != f) {
        mesh.Faces[kept] = mesh.Faces[f];
        for (int k = 0; k < 3; ++k) {
          mesh.Indices[3 * kept + k] = mesh.Indices[3 * f + k];
          mesh.NormalIndices[3 * kept + k] = mesh.NormalIndices[3 * f + k];
        }
        if (!mesh.FaceMaterials.empty()) mesh.FaceMaterials[kept] = mesh.FaceMaterials[f];
      }
      ++kept;
    }
    if (kept == faceCount) continue;
    ModelLog(fileName + ": mesh \"" + mesh.Name + "\": dropped " + std::to_string(faceCount - kept) +
             " faces whose vertex or normal index is beyond the mesh's " + std::to_string(vertexCount) +
             " vertices");
    mesh.Faces.resize(kept);
    mesh.Indices.resize(3 * kept);
    mesh.NormalIndices.resize(3 * kept);
    if (!mesh.FaceMaterials.empty()) mesh.FaceMaterials.resize(kept);
    mesh.IndexCount = static_cast<int>(3 * kept);
  }
}

// Flat normals: each vertex keeps the normal of the last face that uses it.
void TAll3dsMesh::ComputeNormals() {
  for (auto& meshPtr : Meshes) {
    T3dsMesh& mesh = *meshPtr;
    if (mesh.Faces.empty()) continue;
    mesh.Normals.assign(mesh.Vertices.size(), TVec3{});
    mesh.NormalIndices.assign(mesh.Indices.begin(), mesh.Indices.end());
    for (size_t f = 0; f < mesh.Faces.size(); ++f) {
      const uint16_t* corner = &mesh.Indices[3 * f];
      TVec3 normal;  // a degenerate face keeps the zero vector
      NormalFromPoints(mesh.Vertices[corner[0]], mesh.Vertices[corner[1]], mesh.Vertices[corner[2]], normal);
      for (int k = 0; k < 3; ++k) mesh.Normals[corner[k]] = normal;
    }
  }
}

static void Widen(TVec3& boxMin, TVec3& boxMax, const TVec3& p) {
  boxMin = {std::min(boxMin.x, p.x), std::min(boxMin.y, p.y), std::min(boxMin.z, p.z)};
  boxMax = {std::max(boxMax.x, p.x), std::max(boxMax.y, p.y), std::max(boxMax.z, p.z)};
}

// The model box starts at the origin, so it always contains it.
void TAll3dsMesh::ComputeBoxes() {
  BoxMin = BoxMax = TVec3{};
  for (auto& meshPtr : Meshes) {
    T3dsMesh& mesh = *meshPtr;
    if (mesh.Faces.empty()) continue;
    mesh.BoxMin = mesh.BoxMax = mesh.Vertices[mesh.Indices[0]];
    for (uint16_t index : mesh.Indices) Widen(mesh.BoxMin, mesh.BoxMax, mesh.Vertices[index]);
    Widen(BoxMin, BoxMax, mesh.BoxMin);
    Widen(BoxMin, BoxMax, mesh.BoxMax);
  }
}

void TAll3dsMesh::LoadMaterialTextures() {
  if (!BuildTextures) return;
  for (auto& material : Materials) material->LoadTextures(TextureDir);
}

void TAll3dsMesh::NumberMeshes() {
  for (size_t i = 0; i < Meshes.size(); ++i) Meshes[i]->MeshNumber = static_cast<int>(i) + 1;
}
