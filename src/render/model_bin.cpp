// The binary model format (".bin"). All integers are i32, all reals f32,
// little-endian, nothing aligned:
//
//   3 bytes "nsk"
//   mesh count
//   per mesh:  name length L, L bytes
//              material index (superseded by the face materials below)
//              vertex count n, n x (x, y, z, u, v, bone index as i32)
//              normal count (not used: n normals follow), n x (x, y, z)
//              index count k, k x (vertex index, normal index)
//              k / 3 x face material index
//   material count
//   per material: name length L, L bytes
//              ambient r g b, diffuse r g b, alpha, specular r g b
//              texture name length L, L bytes (a name only when L > 1)
//              bump name length L, L bytes (a name only when L > 1)
//              bump amount
//
// Names end at their first 0 byte. Every count is checked against the bytes
// left before anything is allocated; a file cut short keeps what was read.
#include "render/model.h"
#include "render/model_bytes.h"

namespace {

bool Fits(TByteCursor& in, int64_t count, int64_t recordSize, const std::string& fileName, const char* what) {
  if (count >= 0 && count <= static_cast<int64_t>(in.Remaining()) / recordSize) return true;
  ModelLog(fileName + ": " + what + " count " + std::to_string(count) + " does not fit in the " +
           std::to_string(in.Remaining()) + " bytes left");
  return false;
}

// Index lists are 16-bit; anything else names no vertex and the face is dropped.
uint16_t Index16(int32_t value) { return value >= 0 && value < 0xFFFF ? static_cast<uint16_t>(value) : 0xFFFF; }

bool ReadBinMesh(TByteCursor& in, T3dsMesh& mesh, const std::string& fileName) {
  int32_t nameLength = in.I32();
  if (!Fits(in, nameLength, 1, fileName, "mesh name")) return false;
  mesh.Name = in.Text(static_cast<size_t>(nameLength));
  in.I32();  // material index
  int32_t n = in.I32();
  if (!Fits(in, n, 24 + 12, fileName, "vertex")) return false;
  mesh.Vertices.resize(n);
  mesh.TexCoords.resize(n);
  mesh.BoneIndices.resize(n);
  for (int32_t i = 0; i < n; ++i) {
    mesh.Vertices[i] = {in.F32(), in.F32(), in.F32()};
    mesh.TexCoords[i] = {in.F32(), in.F32()};
    mesh.BoneIndices[i] = in.I32();
  }
  mesh.VertexCount = n;
  in.I32();  // normal count
  mesh.Normals.resize(n);
  for (TVec3& normal : mesh.Normals) normal = {in.F32(), in.F32(), in.F32()};

  int32_t k = in.I32();
  if (!Fits(in, k, 8, fileName, "index")) return false;
  int32_t faceCount = k / 3;
  if (static_cast<int64_t>(k) * 8 + static_cast<int64_t>(faceCount) * 4 > static_cast<int64_t>(in.Remaining()))
    return Fits(in, -1, 1, fileName, "face material");
  mesh.Faces.resize(faceCount);
  mesh.Indices.resize(3 * faceCount);
  mesh.NormalIndices.resize(3 * faceCount);
  for (int32_t i = 0; i < k; ++i) {
    uint16_t vertex = Index16(in.I32());
    uint16_t normal = Index16(in.I32());
    if (i >= 3 * faceCount) continue;  // the corners of an incomplete last face
    mesh.Indices[i] = mesh.Faces[i / 3].Vertex[i % 3] = vertex;
    mesh.NormalIndices[i] = mesh.Faces[i / 3].Normal[i % 3] = normal;
  }
  mesh.IndexCount = 3 * faceCount;
  mesh.FaceMaterials.resize(faceCount);
  for (uint16_t& material : mesh.FaceMaterials) material = Index16(in.I32());
  return !in.Overread();
}

// A length of 1 holds just the terminator; its byte is consumed all the same
// so that the fields after it stay in place.
bool ReadMapName(TByteCursor& in, std::string& name, bool& has, const std::string& fileName) {
  int32_t length = in.I32();
  if (!Fits(in, length, 1, fileName, "map name")) return false;
  std::string text = in.Text(static_cast<size_t>(length));
  if (length > 1) {
    name = text;
    has = true;
  }
  return true;
}

TColor3 ReadColor(TByteCursor& in, bool& given) {
  TColor3 color{in.F32(), in.F32(), in.F32()};
  given = color.r != 0 || color.g != 0 || color.b != 0;
  return color;
}

bool ReadBinMaterial(TByteCursor& in, T3dsMaterial& material, const std::string& fileName) {
  int32_t nameLength = in.I32();
  if (!Fits(in, nameLength, 1, fileName, "material name")) return false;
  material.Name = in.Text(static_cast<size_t>(nameLength));
  material.Ambient = ReadColor(in, material.HasAmbient);
  material.Diffuse = ReadColor(in, material.HasDiffuse);
  material.Alpha = in.F32();
  material.Specular = ReadColor(in, material.HasSpecular);
  if (!ReadMapName(in, material.TextureName, material.HasTexture, fileName)) return false;
  if (!ReadMapName(in, material.BumpName, material.HasBump, fileName)) return false;
  material.BumpAmount = in.F32();
  return !in.Overread();
}

}  // namespace

void TAll3dsMesh::LoadBin(const std::string& fileName) {
  std::string bytes = ReadModelFile(fileName);
  Clear();
  ModelFile = fileName;
  if (bytes.compare(0, 3, "nsk") != 0) return;
  FormatKind = KindBin;
  TByteCursor in(bytes, 3, bytes.size());
  bool complete = true;
  int32_t meshCount = in.I32();
  for (int32_t m = 0; complete && m < meshCount && !in.Overread(); ++m) complete = ReadBinMesh(in, AddMesh(), fileName);
  MeshCount = static_cast<int>(Meshes.size());
  if (complete) {
    int32_t materialCount = in.I32();
    for (int32_t m = 0; complete && m < materialCount && !in.Overread(); ++m)
      complete = ReadBinMaterial(in, AddMaterial(), fileName);
  }
  if (!complete || in.Overread()) ModelLog(fileName + ": binary model cut short; the rest is ignored");
  DropBadFaces(fileName, true);
  ComputeBoxes();
  LoadMaterialTextures();
}
