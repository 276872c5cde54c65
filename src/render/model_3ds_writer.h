// Writes 3DS files holding exactly what the game's 3DS reader uses: meshes
// with vertices, texture coordinates, faces and material groups; materials
// with colours, transparency, two-sidedness and texture, opacity and bump
// map names; the master scale; and pivots. The game's models are built with
// it (tools/modeltool).
#pragma once
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/model.h"

struct T3dsSceneMaterial {
  std::string Name;
  TColor3 Ambient, Diffuse, Specular;
  int Transparency = 0;  // percent; 0 = opaque
  bool TwoSided = false;
  std::string TextureMap;  // file names below the model's texture directory
  std::string OpacityMap;
  std::string BumpMap;
  int BumpPercent = 0;  // the reader's BumpAmount is BumpPercent / 10000
};

// Faces of a mesh drawn with one material.
struct T3dsSceneGroup {
  std::string Material;
  std::vector<uint16_t> Faces;
};

struct T3dsSceneMesh {
  std::string Name;
  std::vector<TVec3> Vertices;     // at most 65535
  std::vector<TTexCoord> TexCoords;  // empty, or one per vertex
  std::vector<std::array<uint16_t, 3>> Faces;  // at most 65535
  std::vector<T3dsSceneGroup> Groups;
  TVec3 Pivot;  // subtracted from the vertices by the reader
};

struct T3dsScene {
  float MasterScale = 1;  // the reader multiplies vertices by MasterScale / 10
  std::vector<T3dsSceneMaterial> Materials;
  std::vector<T3dsSceneMesh> Meshes;
};

// The scene cannot be stored in a 3DS file: too many vertices or faces in a
// mesh, an index past a mesh's vertices, a group naming an unknown material
// or a face past the mesh's faces, a name holding a 0 byte.
class E3dsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file's bytes. Throws E3dsWriteError.
std::string Encode3ds(const T3dsScene& scene);
// Encodes and writes the file (replacing it atomically). Throws
// E3dsWriteError, or EFileOpenError when the file cannot be written.
void Save3ds(const T3dsScene& scene, const std::string& fileName);
