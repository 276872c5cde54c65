// Chunk layout written (ids as documented in model_3ds.cpp):
//   4D4D main
//     0002 version (3)
//     3D3D mesh data
//       3D3E mesh version (3)
//       AFFF material block, per material:
//         A000 name, A010/A020/A030 { 0011 colour bytes, 0012 same },
//         A050 { 0030 transparency }, A081 two-sided,
//         A200 { 0030 100, A300 name }, A210 { 0030 100, A300 name },
//         A230 { 0030 percent, A300 name }
//       0100 master scale
//       4000 named object, per mesh:
//         4100 { 4110 vertices, 4140 texture coordinates, 4160 local axes,
//                4120 faces { 4130 groups } }
//     B000 keyframes, when any pivot is set:
//       B002 per mesh in order { B010 name, flags, parent -1; B013 pivot }
// Colours go as bytes so that every reader gets the same values back.
#include "render/model_3ds_writer.h"

#include <bit>
#include <cmath>
#include <set>

#include "core/paths.h"
#include "core/binary_file.h"

namespace {

class TChunkWriter {
 public:
  std::string bytes;

  size_t Open(uint16_t id) {
    U16(id);
    size_t at = bytes.size();
    U32(0);  // patched by Close
    return at - 2;
  }
  void Close(size_t start) {
    uint32_t length = static_cast<uint32_t>(bytes.size() - start);
    for (int i = 0; i < 4; ++i) bytes[start + 2 + i] = static_cast<char>(length >> (8 * i));
  }
  void U8(uint8_t v) { bytes.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void F32(float v) { U32(std::bit_cast<uint32_t>(v)); }
  void CString(const std::string& text) {
    bytes += text;
    U8(0);
  }
  void Percent(int percent) {
    size_t c = Open(0x0030);
    U16(static_cast<uint16_t>(percent));
    Close(c);
  }
};

uint8_t ColorByte(float channel) {
  float clamped = channel < 0 ? 0 : channel > 1 ? 1 : channel;
  return static_cast<uint8_t>(std::lround(clamped * 255));
}

void CheckName(const std::string& name, const std::string& what) {
  if (name.find('\0') != std::string::npos) throw E3dsWriteError(what + " \"" + name + "\" holds a 0 byte");
}

void Validate(const T3dsScene& scene) {
  std::set<std::string> materials;
  for (const T3dsSceneMaterial& material : scene.Materials) {
    CheckName(material.Name, "material");
    for (const std::string* map : {&material.TextureMap, &material.OpacityMap, &material.BumpMap})
      CheckName(*map, "map name");
    if (material.Transparency < 0 || material.Transparency > 100 || material.BumpPercent < 0 ||
        material.BumpPercent > 0xFFFF)
      throw E3dsWriteError("material \"" + material.Name + "\": percentage out of range");
    materials.insert(material.Name);
  }
  for (const T3dsSceneMesh& mesh : scene.Meshes) {
    CheckName(mesh.Name, "mesh");
    std::string where = "mesh \"" + mesh.Name + "\": ";
    if (mesh.Vertices.size() > 0xFFFF) throw E3dsWriteError(where + "more than 65535 vertices");
    if (mesh.Faces.size() > 0xFFFF) throw E3dsWriteError(where + "more than 65535 faces");
    if (!mesh.TexCoords.empty() && mesh.TexCoords.size() != mesh.Vertices.size())
      throw E3dsWriteError(where + "texture coordinates must be one per vertex");
    for (const auto& face : mesh.Faces)
      for (uint16_t index : face)
        if (index >= mesh.Vertices.size()) throw E3dsWriteError(where + "face index past the vertices");
    for (const T3dsSceneGroup& group : mesh.Groups) {
      if (!materials.count(group.Material))
        throw E3dsWriteError(where + "group names unknown material \"" + group.Material + "\"");
      for (uint16_t face : group.Faces)
        if (face >= mesh.Faces.size()) throw E3dsWriteError(where + "group names a face past the faces");
    }
  }
}

void WriteColor(TChunkWriter& out, uint16_t id, const TColor3& color) {
  size_t c = out.Open(id);
  for (uint16_t colorId : {0x0011, 0x0012}) {
    size_t inner = out.Open(colorId);
    out.U8(ColorByte(color.r));
    out.U8(ColorByte(color.g));
    out.U8(ColorByte(color.b));
    out.Close(inner);
  }
  out.Close(c);
}

void WriteMap(TChunkWriter& out, uint16_t id, int percent, const std::string& name) {
  if (name.empty()) return;
  size_t c = out.Open(id);
  out.Percent(percent);
  size_t n = out.Open(0xA300);
  out.CString(name);
  out.Close(n);
  out.Close(c);
}

void WriteMaterial(TChunkWriter& out, const T3dsSceneMaterial& material) {
  size_t block = out.Open(0xAFFF);
  size_t name = out.Open(0xA000);
  out.CString(material.Name);
  out.Close(name);
  WriteColor(out, 0xA010, material.Ambient);
  WriteColor(out, 0xA020, material.Diffuse);
  WriteColor(out, 0xA030, material.Specular);
  size_t transparency = out.Open(0xA050);
  out.Percent(material.Transparency);
  out.Close(transparency);
  if (material.TwoSided) out.Close(out.Open(0xA081));
  WriteMap(out, 0xA200, 100, material.TextureMap);
  WriteMap(out, 0xA210, 100, material.OpacityMap);
  WriteMap(out, 0xA230, material.BumpPercent, material.BumpMap);
  out.Close(block);
}

void WriteMesh(TChunkWriter& out, const T3dsSceneMesh& mesh) {
  size_t object = out.Open(0x4000);
  out.CString(mesh.Name);
  size_t triangles = out.Open(0x4100);
  size_t vertices = out.Open(0x4110);
  out.U16(static_cast<uint16_t>(mesh.Vertices.size()));
  for (const TVec3& v : mesh.Vertices) {
    out.F32(v.x);
    out.F32(v.y);
    out.F32(v.z);
  }
  out.Close(vertices);
  if (!mesh.TexCoords.empty()) {
    size_t coords = out.Open(0x4140);
    out.U16(static_cast<uint16_t>(mesh.TexCoords.size()));
    for (const TTexCoord& t : mesh.TexCoords) {
      out.F32(t.u);
      out.F32(t.v);
    }
    out.Close(coords);
  }
  // Identity local axes: other readers expect them, this game ignores them.
  size_t axes = out.Open(0x4160);
  const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  for (float f : identity) out.F32(f);
  out.Close(axes);
  size_t faces = out.Open(0x4120);
  out.U16(static_cast<uint16_t>(mesh.Faces.size()));
  for (const auto& face : mesh.Faces) {
    for (uint16_t index : face) out.U16(index);
    out.U16(7);  // all edges visible
  }
  for (const T3dsSceneGroup& group : mesh.Groups) {
    size_t g = out.Open(0x4130);
    out.CString(group.Material);
    out.U16(static_cast<uint16_t>(group.Faces.size()));
    for (uint16_t face : group.Faces) out.U16(face);
    out.Close(g);
  }
  out.Close(faces);
  out.Close(triangles);
  out.Close(object);
}

void WriteKeyframes(TChunkWriter& out, const T3dsScene& scene) {
  bool anyPivot = false;
  for (const T3dsSceneMesh& mesh : scene.Meshes)
    if (mesh.Pivot.x != 0 || mesh.Pivot.y != 0 || mesh.Pivot.z != 0) anyPivot = true;
  if (!anyPivot) return;
  size_t keyframes = out.Open(0xB000);
  for (const T3dsSceneMesh& mesh : scene.Meshes) {
    size_t node = out.Open(0xB002);
    size_t header = out.Open(0xB010);
    out.CString(mesh.Name);
    out.U16(0);
    out.U16(0);
    out.U16(0xFFFF);  // no parent
    out.Close(header);
    size_t pivot = out.Open(0xB013);
    out.F32(mesh.Pivot.x);
    out.F32(mesh.Pivot.y);
    out.F32(mesh.Pivot.z);
    out.Close(pivot);
    out.Close(node);
  }
  out.Close(keyframes);
}

}  // namespace

std::string Encode3ds(const T3dsScene& scene) {
  Validate(scene);
  TChunkWriter out;
  size_t main = out.Open(0x4D4D);
  size_t version = out.Open(0x0002);
  out.U32(3);
  out.Close(version);
  size_t data = out.Open(0x3D3D);
  size_t meshVersion = out.Open(0x3D3E);
  out.U32(3);
  out.Close(meshVersion);
  for (const T3dsSceneMaterial& material : scene.Materials) WriteMaterial(out, material);
  size_t scale = out.Open(0x0100);
  out.F32(scene.MasterScale);
  out.Close(scale);
  for (const T3dsSceneMesh& mesh : scene.Meshes) WriteMesh(out, mesh);
  out.Close(data);
  WriteKeyframes(out, scene);
  out.Close(main);
  return std::move(out.bytes);
}

void Save3ds(const T3dsScene& scene, const std::string& fileName) {
  if (!WriteFileAtomic(HostPath(fileName), Encode3ds(scene))) throw EFileOpenError("Cannot write file " + fileName);
}
