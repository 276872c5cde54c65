// The text model format (".txt"), read line by line. Items are separated by
// blanks and commas; quoted items keep their blanks. Sections start at a line
// beginning with their keyword; other lines are passed over.
//
//   Meshes: <count>
//     per mesh:  "name" <flags> <material index, -1 = none>
//                <vertex count>, then per vertex: <flags> x y z u v <bone>
//                <normal count>, then per normal: x y z
//                <face count>, then per face: <flags> v1 v2 v3 n1 n2 n3 [...]
//   Materials: <count>
//     per material: "name" / ambient r g b a / diffuse r g b alpha /
//                   specular r g b a / two lines passed over / bump amount /
//                   "texture file" / "bump file"
//   Bones: <count>   (read by the skeleton; see skeleton.cpp)
//
// v is stored as 1 - v. Counts larger than the lines left are cut to them;
// faces with an index outside their lists are dropped.
#include <algorithm>

#include "core/convert.h"
#include "render/model.h"
#include "render/model_bytes.h"
#include "render/skeleton.h"

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    size_t cut = end;
    if (cut > start && bytes[cut - 1] == '\r') --cut;
    lines.emplace_back(bytes, start, cut - start);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> SplitItems(const std::string& line) {
  std::vector<std::string> items;
  size_t i = 0, n = line.size();
  auto separator = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; };
  while (i < n) {
    while (i < n && separator(line[i])) ++i;
    if (i >= n) break;
    if (line[i] == '"') {
      size_t close = line.find('"', i + 1);
      if (close == std::string::npos) close = n;
      items.emplace_back(line, i + 1, close - i - 1);
      i = close + 1;
    } else {
      size_t start = i;
      while (i < n && !separator(line[i])) ++i;
      items.emplace_back(line, start, i - start);
    }
  }
  return items;
}

namespace {

class TTextLines {
 public:
  TTextLines(std::vector<std::string> lines, const std::string& fileName)
      : lines(std::move(lines)), fileName(fileName) {}

  bool AtEnd() const { return next >= lines.size(); }
  size_t Left() const { return lines.size() - next; }
  std::vector<std::string> Items() { return AtEnd() ? std::vector<std::string>{} : SplitItems(lines[next++]); }
  const std::string& Peek() const { return lines[next]; }
  void Skip() { ++next; }
  // A count line; cut to the lines left (each entry takes at least one).
  size_t Count(const char* what) {
    std::vector<std::string> items = Items();
    int value = items.empty() ? 0 : StrToIntDef(items[0], 0);
    size_t count = value > 0 ? static_cast<size_t>(value) : 0;
    if (count > Left()) {
      ModelLog(fileName + ": " + what + " count " + std::to_string(count) + " is more than the " +
               std::to_string(Left()) + " lines left");
      count = Left();
    }
    return count;
  }

 private:
  std::vector<std::string> lines;
  const std::string& fileName;
  size_t next = 0;
};

const std::string& Item(const std::vector<std::string>& items, size_t i) {
  static const std::string empty;
  return i < items.size() ? items[i] : empty;
}
float FloatItem(const std::vector<std::string>& items, size_t i) {
  return static_cast<float>(StrToFloatDef(Item(items, i), 0));
}
int IntItem(const std::vector<std::string>& items, size_t i, int def) { return StrToIntDef(Item(items, i), def); }

// An index that does not fit in 16 bits cannot name a vertex.
uint16_t IndexItem(const std::vector<std::string>& items, size_t i) {
  int value = IntItem(items, i, -1);
  return value >= 0 && value < 0xFFFF ? static_cast<uint16_t>(value) : 0xFFFF;
}

TColor3 ColorFrom(const std::vector<std::string>& items, bool& given) {
  TColor3 color{FloatItem(items, 0), FloatItem(items, 1), FloatItem(items, 2)};
  given = color.r != 0 || color.g != 0 || color.b != 0;
  return color;
}

void ReadTextMesh(TTextLines& in, T3dsMesh& mesh, int& materialIndex) {
  std::vector<std::string> header = in.Items();
  mesh.Name = Item(header, 0);
  materialIndex = IntItem(header, 2, -1);

  size_t vertexCount = in.Count("vertex");
  mesh.Vertices.resize(vertexCount);
  mesh.TexCoords.resize(vertexCount);
  mesh.BoneIndices.resize(vertexCount);
  for (size_t i = 0; i < vertexCount; ++i) {
    std::vector<std::string> items = in.Items();
    mesh.Vertices[i] = {FloatItem(items, 1), FloatItem(items, 2), FloatItem(items, 3)};
    mesh.TexCoords[i] = {FloatItem(items, 4), 1 - FloatItem(items, 5)};
    mesh.BoneIndices[i] = IntItem(items, 6, -1);
  }
  mesh.VertexCount = static_cast<int>(vertexCount);

  size_t normalCount = in.Count("normal");
  mesh.Normals.resize(normalCount);
  for (TVec3& normal : mesh.Normals) {
    std::vector<std::string> items = in.Items();
    normal = {FloatItem(items, 0), FloatItem(items, 1), FloatItem(items, 2)};
  }

  size_t faceCount = in.Count("face");
  mesh.Faces.resize(faceCount);
  mesh.Indices.resize(3 * faceCount);
  mesh.NormalIndices.resize(3 * faceCount);
  for (size_t f = 0; f < faceCount; ++f) {
    std::vector<std::string> items = in.Items();
    for (int k = 0; k < 3; ++k) {
      mesh.Faces[f].Vertex[k] = mesh.Indices[3 * f + k] = IndexItem(items, 1 + k);
      mesh.Faces[f].Normal[k] = mesh.NormalIndices[3 * f + k] = IndexItem(items, 4 + k);
    }
  }
  mesh.IndexCount = static_cast<int>(3 * faceCount);
  uint16_t material = materialIndex == -1 ? 0 : static_cast<uint16_t>(std::clamp(materialIndex, -1, 0xFFFF));
  mesh.FaceMaterials.assign(faceCount, material);
}

void ReadTextMaterial(TTextLines& in, T3dsMaterial& material) {
  material.Name = Item(in.Items(), 0);
  std::vector<std::string> ambient = in.Items();
  material.Ambient = ColorFrom(ambient, material.HasAmbient);
  std::vector<std::string> diffuse = in.Items();
  material.Diffuse = ColorFrom(diffuse, material.HasDiffuse);
  material.Alpha = FloatItem(diffuse, 3);
  std::vector<std::string> specular = in.Items();
  material.Specular = ColorFrom(specular, material.HasSpecular);
  in.Items();  // emissive
  in.Items();  // shininess
  material.BumpAmount = FloatItem(in.Items(), 0);
  material.TextureName = Item(in.Items(), 0);
  material.HasTexture = !material.TextureName.empty();
  material.BumpName = Item(in.Items(), 0);
  material.HasBump = !material.BumpName.empty();
}

}  // namespace

void TAll3dsMesh::LoadText(const std::string& fileName) {
  TTextLines in(SplitLines(ReadModelFile(fileName)), fileName);
  Clear();
  ModelFile = fileName;
  FormatKind = KindText;
  std::vector<int> meshMaterials;
  while (!in.AtEnd()) {
    const std::string line = in.Peek();
    if (StartsWith(line, "Meshes: ")) {
      in.Skip();
      size_t count = static_cast<size_t>(std::max(0, StrToIntDef(Trim(line.substr(8)), 0)));
      for (size_t m = 0; m < count && !in.AtEnd(); ++m) {
        meshMaterials.push_back(-1);
        ReadTextMesh(in, AddMesh(), meshMaterials.back());
      }
      MeshCount = static_cast<int>(Meshes.size());
    } else if (StartsWith(line, "Materials: ")) {
      in.Skip();
      size_t count = static_cast<size_t>(std::max(0, StrToIntDef(Trim(line.substr(11)), 0)));
      for (size_t m = 0; m < count && !in.AtEnd(); ++m) ReadTextMaterial(in, AddMaterial());
    } else {
      if (StartsWith(line, "Bones: ") && StrToIntDef(Trim(line.substr(7)), 0) != 0) HasBones = true;
      in.Skip();
    }
  }
  for (size_t m = 0; m < Meshes.size(); ++m) {
    int index = meshMaterials[m];
    if (index >= 0 && index < MaterialCount) Meshes[m]->MaterialNames.assign(1, Materials[index]->Name);
  }
  DropBadFaces(fileName, true);
  ComputeBoxes();
  LoadMaterialTextures();
  if (!HasBones) return;
  Skeletons.push_back(std::make_unique<TSkeleton>());
  SkeletonCount = static_cast<int>(Skeletons.size());
  Skeletons.back()->LoadFromFile(ModelFile);
  ApplySkeleton();
}
