// The 3DS chunk reader and the steps after a 3DS load.
//
// A 3DS file is a tree of chunks, each with a 6-byte header: u16 id, u32
// length counting the header, little-endian. Containers hold only chunks;
// data chunks start with their fields, and a few (face list, opacity and bump
// maps) continue with sub-chunks. What is read here:
//   4D4D main                        container
//   0002 version                     u32
//   3D3D mesh data                   container
//   0100 master scale                f32
//   4000 named object                cstring name, then sub-chunks
//   4100 triangle object             container
//   4600 light, 4700 camera          skipped (each still counts as a mesh)
//   4110 vertex list                 u16 n, n x (f32 x, y, z)
//   4120 face list                   u16 f, f x (u16 a, b, c, flags), then sub-chunks
//   4130 material group              cstring name, u16 c, c x u16 face number
//   4140 texture coordinates         u16 n, n x (f32 u, v)
//   AFFF material block              container
//   A000 material name               cstring
//   A010/A020/A030 ambient/diffuse/specular   container of a colour chunk
//   0010 colour                      3 x f32
//   0011 colour                      3 x u8
//   A050 transparency                percentage chunk
//   A081 two-sided                   empty
//   A200 texture map                 container
//   A210 opacity map, A230 bump map  percentage chunk, then sub-chunks
//   A300 map file name               cstring
//   A354/A356/A358/A35A/A35C         f32 v scale, u scale, u offset, v offset, angle
//   B000 keyframe data, B002 object node   containers
//   B013 pivot                       3 x f32
// A percentage chunk is 0030 (u16) or 0031 (f32). Everything else is skipped
// by its length. A chunk shorter than its header, or running past its parent,
// ends the read; what was read stays. In a file cut short, the containers
// around the cut are read up to it and the chunk at the cut ends the read.
#include <algorithm>

#include "render/model.h"
#include "render/model_bytes.h"

namespace {

enum : uint16_t {
  kMain = 0x4D4D,
  kVersion = 0x0002,
  kMeshData = 0x3D3D,
  kMasterScale = 0x0100,
  kNamedObject = 0x4000,
  kTriangleObject = 0x4100,
  kLight = 0x4600,
  kCamera = 0x4700,
  kVertexList = 0x4110,
  kFaceList = 0x4120,
  kMaterialGroup = 0x4130,
  kTexCoords = 0x4140,
  kMaterialBlock = 0xAFFF,
  kMaterialName = 0xA000,
  kAmbient = 0xA010,
  kDiffuse = 0xA020,
  kSpecular = 0xA030,
  kColorFloat = 0x0010,
  kColorBytes = 0x0011,
  kPercentInt = 0x0030,
  kPercentFloat = 0x0031,
  kTransparency = 0xA050,
  kTwoSided = 0xA081,
  kTextureMap = 0xA200,
  kOpacityMap = 0xA210,
  kBumpMap = 0xA230,
  kMapFileName = 0xA300,
  kVScale = 0xA354,
  kUScale = 0xA356,
  kUOffset = 0xA358,
  kVOffset = 0xA35A,
  kMapAngle = 0xA35C,
  kKeyframes = 0xB000,
  kObjectNode = 0xB002,
  kPivot = 0xB013,
};

enum class MapTarget { Texture, Opacity, Bump };

bool IsContainer(uint16_t id) {
  switch (id) {
    case kMain:
    case kMeshData:
    case kNamedObject:
    case kTriangleObject:
    case kMaterialBlock:
    case kKeyframes:
    case kObjectNode:
      return true;
    default:
      return false;
  }
}

class T3dsReader {
 public:
  T3dsReader(TAll3dsMesh& model, const std::string& bytes, const std::string& fileName)
      : model(model), bytes(bytes), fileName(fileName) {}

  void Run();

 private:
  bool Fail(const std::string& what, size_t at) {
    ModelLog(fileName + ": " + what + " at offset " + std::to_string(at) + "; the rest of the file is ignored");
    return false;
  }
  bool ReadChunk(size_t limit);
  void ReadVertices(TByteCursor& in);
  void ReadFaces(TByteCursor& in);
  void ReadMaterialGroup(TByteCursor& in);
  void ReadTexCoords(TByteCursor& in);
  void ReadColor(TByteCursor& in, bool bytesPerChannel);
  bool ReadPercentage(TByteCursor& in, float& percent);

  // Each named object counts once, whatever it holds, so MeshCount never
  // exceeds the meshes there are.
  void CountObject() {
    if (model.Meshes.empty() || objectCounted) return;
    objectCounted = true;
    ++model.MeshCount;
  }
  T3dsMesh* CurrentMesh() { return model.Meshes.empty() ? nullptr : model.Meshes.back().get(); }
  T3dsMaterial* CurrentMaterial() { return model.Materials.empty() ? nullptr : model.Materials.back().get(); }

  TAll3dsMesh& model;
  const std::string& bytes;
  const std::string& fileName;
  size_t pos = 0;
  std::vector<size_t> containerEnds;
  int groupCounter = 0;
  bool objectCounted = false;
  int nodeCounter = 0;
  MapTarget mapTarget = MapTarget::Texture;
  TColor3* colorTarget = nullptr;  // the colour a colour chunk fills
  size_t colorTargetEnd = 0;       // end of the chunk that chose it
};

void T3dsReader::Run() {
  for (;;) {
    while (!containerEnds.empty() && pos >= containerEnds.back()) {
      pos = containerEnds.back();
      containerEnds.pop_back();
    }
    if (pos >= bytes.size()) return;
    if (!ReadChunk(containerEnds.empty() ? bytes.size() : containerEnds.back())) return;
  }
}

// Reads one chunk header at pos and either consumes the chunk or enters it.
bool T3dsReader::ReadChunk(size_t limit) {
  size_t start = pos;
  if (limit - start < 6) return Fail("chunk header cut short", start);
  TByteCursor header(bytes, start, limit);
  uint16_t id = header.U16();
  uint32_t length = header.U32();
  if (length < 6) return Fail("chunk length " + std::to_string(length) + " below 6", start);
  size_t chunkEnd = start + length;
  if (length > limit - start) {
    // A file cut short still gives the chunks before the cut: a container
    // running past the end of the file is read up to it.
    if (!IsContainer(id) || limit != bytes.size()) return Fail("chunk running past its parent", start);
    ModelLog(fileName + ": file cut short inside the chunk at offset " + std::to_string(start));
    chunkEnd = limit;
  }
  TByteCursor in(bytes, start + 6, chunkEnd);
  pos = chunkEnd;  // a data chunk is always left at its end
  auto enter = [&](size_t from) {
    pos = from;
    containerEnds.push_back(chunkEnd);
  };
  T3dsMesh* mesh = CurrentMesh();
  T3dsMaterial* material = CurrentMaterial();

  switch (id) {
    case kMain:
    case kMeshData:
    case kMaterialBlock:
    case kKeyframes:
      enter(in.Position());
      break;
    case kVersion:
      model.Version3ds = static_cast<int>(in.U32());
      break;
    case kMasterScale:
      if (in.Remaining() >= 4) model.Scale = in.F32();
      break;
    case kNamedObject: {
      objectCounted = false;
      T3dsMesh& added = model.AddMesh();
      added.Name = in.CString();
      added.MaterialNames.assign(1, std::string());
      enter(in.Position());
      break;
    }
    case kTriangleObject:
      CountObject();
      groupCounter = 0;
      enter(in.Position());
      break;
    case kLight:
    case kCamera:
      CountObject();
      break;
    case kVertexList:
      if (mesh) ReadVertices(in);
      break;
    case kFaceList:
      if (mesh) {
        ReadFaces(in);
        enter(in.Position());
      }
      break;
    case kMaterialGroup:
      if (mesh) ReadMaterialGroup(in);
      break;
    case kTexCoords:
      if (mesh) ReadTexCoords(in);
      break;
    case kMaterialName: {
      T3dsMaterial& added = model.AddMaterial();
      added.Name = in.CString();
      mapTarget = MapTarget::Texture;
      colorTarget = nullptr;
      break;
    }
    case kAmbient:
    case kDiffuse:
    case kSpecular:
      if (material) {
        // The flags say which colours the file gives; the colour chunk inside
        // fills the one whose container it sits in.
        material->HasColor = true;
        bool& given = id == kAmbient   ? material->HasAmbient
                      : id == kDiffuse ? material->HasDiffuse
                                       : material->HasSpecular;
        given = true;
        colorTarget = id == kAmbient   ? &material->Ambient
                      : id == kDiffuse ? &material->Diffuse
                                       : &material->Specular;
        colorTargetEnd = chunkEnd;
      }
      enter(in.Position());
      break;
    case kColorFloat:
    case kColorBytes:
      ReadColor(in, id == kColorBytes);
      break;
    case kTransparency: {
      float percent = 0;
      if (!ReadPercentage(in, percent)) return false;
      if (material) material->Alpha = 1 - percent / 100;
      break;
    }
    case kTwoSided:
      if (material) material->TwoSided = true;
      break;
    case kTextureMap:
      if (material) {
        material->HasTexture = true;
        material->UOffset = material->UScale = material->VOffset = material->VScale = 0;
      }
      mapTarget = MapTarget::Texture;
      enter(in.Position());
      break;
    case kOpacityMap:
    case kBumpMap: {
      float percent = 0;
      if (!ReadPercentage(in, percent)) return false;
      if (id == kBumpMap && material) material->BumpAmount = percent / 10000;
      mapTarget = id == kBumpMap ? MapTarget::Bump : MapTarget::Opacity;
      enter(in.Position());
      break;
    }
    case kMapFileName:
      if (material) {
        std::string name = in.CString();
        if (mapTarget == MapTarget::Bump) {
          material->BumpName = name;
          material->HasBump = true;
        } else if (mapTarget == MapTarget::Opacity) {
          material->OpacityName = name;
          material->HasOpacity = true;
        } else {
          material->TextureName = name;
        }
      }
      break;
    case kVScale:
    case kUScale:
    case kUOffset:
    case kVOffset:
    case kMapAngle:
      if (material && in.Remaining() >= 4) {
        float value = in.F32();
        float* target[] = {&material->VScale, &material->UScale, &material->UOffset, &material->VOffset,
                           &material->MapAngle};
        *target[(id - kVScale) / 2] = value;
      }
      break;
    case kObjectNode:
      ++nodeCounter;
      enter(in.Position());
      break;
    case kPivot:
      if (in.Remaining() >= 12 && nodeCounter >= 1 && nodeCounter <= model.MeshCount &&
          nodeCounter <= static_cast<int>(model.Meshes.size())) {
        TVec3& pivot = model.Meshes[nodeCounter - 1]->Pivot;
        pivot.x = in.F32();
        pivot.y = in.F32();
        pivot.z = in.F32();
      }
      break;
    default:
      break;
  }
  return true;
}

// Counts are cut to what the chunk holds, so a lying count never allocates
// more than the file can fill.
static size_t FittingCount(TByteCursor& in, size_t count, size_t recordSize, const std::string& fileName,
                           const char* what) {
  size_t fits = in.Remaining() / recordSize;
  if (count <= fits) return count;
  ModelLog(fileName + ": " + what + " claims " + std::to_string(count) + " entries, the chunk holds " +
           std::to_string(fits));
  return fits;
}

void T3dsReader::ReadVertices(TByteCursor& in) {
  T3dsMesh& mesh = *CurrentMesh();
  size_t n = FittingCount(in, in.U16(), 12, fileName, "vertex list");
  mesh.Vertices.resize(n);
  for (TVec3& v : mesh.Vertices) {
    v.x = in.F32();
    v.y = in.F32();
    v.z = in.F32();
  }
  mesh.VertexCount = static_cast<int>(n);
  mesh.BoneIndices.assign(n, -1);
  mesh.TexCoords.assign(n, TTexCoord{});
}

void T3dsReader::ReadFaces(TByteCursor& in) {
  T3dsMesh& mesh = *CurrentMesh();
  size_t f = FittingCount(in, in.U16(), 8, fileName, "face list");
  mesh.Faces.resize(f);
  mesh.Indices.resize(3 * f);
  mesh.NormalIndices.resize(3 * f);
  mesh.FaceMaterials.clear();
  for (size_t i = 0; i < f; ++i) {
    T3dsFace& face = mesh.Faces[i];
    for (int k = 0; k < 3; ++k) {
      uint16_t index = in.U16();
      face.Vertex[k] = face.Normal[k] = index;
      mesh.Indices[3 * i + k] = mesh.NormalIndices[3 * i + k] = index;
    }
    in.U16();  // face flags
  }
  mesh.IndexCount = static_cast<int>(3 * f);
}

void T3dsReader::ReadMaterialGroup(TByteCursor& in) {
  T3dsMesh& mesh = *CurrentMesh();
  std::string name = in.CString();
  if (mesh.MaterialNames.size() <= static_cast<size_t>(groupCounter)) mesh.MaterialNames.resize(groupCounter + 1);
  mesh.MaterialNames[groupCounter++] = name;
  size_t count = FittingCount(in, in.U16(), 2, fileName, "material group");
  if (count == 0) return;
  mesh.FaceMaterials.resize(mesh.Faces.size(), 0);
  // -1 (no such material) becomes NoMaterial in 16 bits.
  uint16_t material = static_cast<uint16_t>(model.FindMaterial(name));
  for (size_t i = 0; i < count; ++i) {
    uint16_t face = in.U16();
    if (face < mesh.FaceMaterials.size()) mesh.FaceMaterials[face] = material;
  }
}

void T3dsReader::ReadTexCoords(TByteCursor& in) {
  T3dsMesh& mesh = *CurrentMesh();
  size_t n = FittingCount(in, in.U16(), 8, fileName, "texture coordinates");
  if (mesh.TexCoords.size() < n) mesh.TexCoords.resize(n);
  for (size_t i = 0; i < n; ++i) {
    mesh.TexCoords[i].u = in.F32();
    mesh.TexCoords[i].v = in.F32();
  }
}

void T3dsReader::ReadColor(TByteCursor& in, bool bytesPerChannel) {
  float c[3];
  for (float& channel : c) channel = bytesPerChannel ? in.U8() / 255.0f : in.F32();
  if (in.Overread() || !colorTarget || in.Position() > colorTargetEnd) return;
  *colorTarget = {c[0], c[1], c[2]};
}

// A map or transparency chunk starts with a percentage sub-chunk; in is left
// after it. Anything else there is left to be read as a chunk.
bool T3dsReader::ReadPercentage(TByteCursor& in, float& percent) {
  percent = 0;
  size_t start = in.Position();
  if (in.Remaining() < 6) return in.Remaining() == 0 || Fail("percentage chunk cut short", start);
  uint16_t id = in.U16();
  uint32_t length = in.U32();
  if (id != kPercentInt && id != kPercentFloat) {
    in.Seek(start);
    return true;
  }
  if (length < 6 || length > in.End() - start) return Fail("percentage chunk running past its parent", start);
  percent = id == kPercentFloat && length >= 10 ? in.F32() : in.U16();
  in.Seek(start + length);
  return true;
}

}  // namespace

void TAll3dsMesh::Load3ds(const std::string& fileName) {
  std::string bytes = ReadModelFile(fileName);
  Clear();
  ModelFile = fileName;
  T3dsReader(*this, bytes, fileName).Run();
  FormatKind = Kind3ds;
  DropBadFaces(fileName, false);

  for (auto& mesh : Meshes)
    for (TVec3& v : mesh->Vertices) v = VecSub(v, mesh->Pivot);
  // A master scale of 1 shrinks the model tenfold: the game's units.
  Scale = Scale / 10;
  for (auto& mesh : Meshes)
    for (TVec3& v : mesh->Vertices) v = {v.x * Scale, v.y * Scale, v.z * Scale};
  ComputeNormals();
  ComputeBoxes();
  LoadMaterialTextures();
  NumberMeshes();
}
