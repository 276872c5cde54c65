// Polygon models: a model (TAll3dsMesh) owns its meshes, materials and
// skeletons. Three file formats load into it: 3DS chunk files (".3ds",
// model_3ds.cpp), the line-oriented text format (".txt", model_text.cpp) and
// the compact binary format (".bin", model_bin.cpp). Reading turns bytes into
// these objects without touching OpenGL; the layout for vertex arrays is
// model_arrays.h; building textures and drawing live in model_draw.cpp and
// need a current context.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/gl_bitmap.h"
#include "world/geometry.h"

class TSkeleton;
struct TModelArrays;

struct TColor3 {
  float r = 0, g = 0, b = 0;
};

struct TTexCoord {
  float u = 0, v = 0;
};

// Three vertex indices and three normal indices (3DS files store the vertex
// indices in both triples).
struct T3dsFace {
  uint16_t Vertex[3] = {0, 0, 0};
  uint16_t Normal[3] = {0, 0, 0};
};

class T3dsMaterial {
 public:
  T3dsMaterial() = default;
  ~T3dsMaterial();  // deletes TextureId when HasTexture
  T3dsMaterial(const T3dsMaterial&) = delete;
  T3dsMaterial& operator=(const T3dsMaterial&) = delete;

  // Builds Texture from the map names (each looked up as textureDir + name,
  // lower-cased) and uploads it. Needs a current OpenGL context. An image
  // that cannot be read is logged and leaves the material without it.
  void LoadTextures(const std::string& textureDir);

  TColor3 Ambient;
  std::string BumpName;
  float BumpAmount = 0;  // 3DS: bump percentage / 10000
  TColor3 Diffuse;
  std::string TextureName;
  bool HasBump = false;
  bool HasColor = false;  // an ambient, diffuse or specular chunk was met
  bool HasOpacity = false;
  bool HasTexture = false;
  // The file gives this colour (text and binary models: it is not black).
  bool HasAmbient = false;
  bool HasDiffuse = false;
  bool HasSpecular = false;
  std::string Name;
  std::string OpacityName;
  float MapAngle = 0;
  TColor3 Specular;
  unsigned TextureId = 0;
  std::unique_ptr<TglBitmap2D> Texture;  // its pixels are freed after upload
  float Alpha = 1;  // 1 = opaque
  bool TwoSided = false;
  // 3DS map offset and scale; stored, not applied.
  float UOffset = 0, UScale = 0, VOffset = 0, VScale = 0;
};

class T3dsMesh {
 public:
  std::vector<int32_t> BoneIndices;  // per vertex; -1 = none
  std::vector<T3dsFace> Faces;
  int MeshNumber = 0;  // 1-based position in the model
  std::vector<TTexCoord> TexCoords;  // per vertex
  std::vector<std::string> MaterialNames;
  TVec3 BoxMax, BoxMin;
  std::string Name;
  std::vector<uint16_t> NormalIndices;  // per face corner, into Normals
  int IndexCount = 0;                   // 3 x faces
  int VertexCount = 0;
  TVec3 Pivot;
  std::vector<TVec3> Vertices;
  std::vector<TVec3> Normals;
  // Material index per face, or empty when the mesh has no material groups.
  // NoMaterial (or any index past the model's materials) keeps the material
  // of the face drawn before it.
  std::vector<uint16_t> FaceMaterials;
  std::vector<uint16_t> Indices;  // 3 per face: vertex index of each corner

  static constexpr uint16_t NoMaterial = 0xFFFF;
};

class TAll3dsMesh {
 public:
  TAll3dsMesh();
  ~TAll3dsMesh();
  TAll3dsMesh(const TAll3dsMesh&) = delete;
  TAll3dsMesh& operator=(const TAll3dsMesh&) = delete;

  // Dispatches on the extension, compared case-sensitively: ".3ds", ".txt",
  // ".bin"; anything else loads nothing. A file that cannot be opened throws
  // EFileOpenError. The path is a game path (see HostPath).
  void LoadFromFile(const std::string& fileName);
  void Load3ds(const std::string& fileName);
  void LoadText(const std::string& fileName);
  void LoadBin(const std::string& fileName);

  // Keeps the layout Draw uses (model_arrays.h). Without it every Draw lays
  // the faces out anew, so tools and tests may change a model between draws.
  void Prepare();
  // One draw call per material run, from vertex arrays; leaves the texture
  // state as it found it.
  void Draw() const;

  T3dsMesh& GetMesh(int index) { return *Meshes[index]; }
  T3dsMaterial& GetMaterial(int index) { return *Materials[index]; }
  // First material whose name equals name ignoring case; -1 when none.
  int FindMaterial(const std::string& name) const;
  // Moves every vertex that follows a bone into that bone's space, using the
  // active skeleton.
  void ApplySkeleton();
  // Appends an owned mesh (numbered, added to DrawOrder) or material.
  T3dsMesh& AddMesh();
  T3dsMaterial& AddMaterial();

  int ActiveSkeleton = 0;
  bool HasBones = false;
  float Scale = 1;
  std::vector<std::unique_ptr<T3dsMaterial>> Materials;
  TVec3 BoxMax, BoxMin;
  std::string ModelFile;
  int MaterialCount = 0;
  int MeshCount = 0;
  int SkeletonCount = 0;
  std::vector<int> DrawOrder;
  std::vector<std::unique_ptr<TSkeleton>> Skeletons;
  std::string TextureDir;  // with trailing '\', put before every texture name
  int FormatKind = 0;      // 1 after 3DS, 8 after text, 64 after binary
  int Version3ds = 0;
  std::vector<std::unique_ptr<T3dsMesh>> Meshes;
  std::unique_ptr<TModelArrays> Prepared;  // set by Prepare

  // False lets tools, tests and fuzzers load a model without an OpenGL
  // context: the loaders then skip building material textures.
  bool BuildTextures = true;

  static constexpr int Kind3ds = 1, KindBvh = 4, KindText = 8, KindBin = 64;

 private:
  void Clear();
  void DropBadFaces(const std::string& fileName, bool normalsFromFile);
  void ComputeNormals();
  void ComputeBoxes();
  void LoadMaterialTextures();
  void NumberMeshes();
};
