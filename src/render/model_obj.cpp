// OBJ/MTL import into a 3DS scene; see model_obj.h for what is read.
#include "render/model_obj.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "core/convert.h"
#include "core/paths.h"
#include "render/model_bytes.h"
#include "core/binary_file.h"

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

int Percent(float fraction) { return std::clamp(static_cast<int>(std::lround(fraction * 100)), 0, 100); }

// Names may contain blanks: everything after the keyword.
std::string RestOf(const std::string& line, const std::string& keyword) {
  size_t at = line.find(keyword);
  return Trim(line.substr(at + keyword.size()));
}

class TObjImporter {
 public:
  TObjImporter(std::string baseDir, std::string sourceName)
      : baseDir(std::move(baseDir)), sourceName(std::move(sourceName)) {}

  T3dsScene Run(const std::string& text);

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EObjImportError(sourceName + ":" + std::to_string(lineNumber) + ": " + what);
  }
  float Number(const std::string& word) const {
    std::optional<double> value = TryStrToFloat(word);
    if (!value) Fail("\"" + word + "\" is not a number");
    return static_cast<float>(*value);
  }
  // 1-based, or negative counting back from the end; 0-based on return, -1
  // when the reference is empty.
  int Resolve(const std::string& text, size_t count) const {
    if (text.empty()) return -1;
    std::optional<int32_t> value = TryStrToInt(text);
    if (!value || *value == 0) Fail("bad index \"" + text + "\"");
    int64_t index = *value > 0 ? *value - 1 : static_cast<int64_t>(count) + *value;
    if (index < 0 || index >= static_cast<int64_t>(count)) Fail("index " + text + " out of range");
    return static_cast<int>(index);
  }
  void ReadMaterialLibrary(const std::string& name);
  T3dsSceneMaterial& MaterialNamed(const std::string& name);
  void StartMesh(const std::string& name);
  void AddFace(const std::vector<std::string>& words);
  uint16_t VertexFor(int position, int texCoord);
  void FinishMesh();

  std::string baseDir, sourceName;
  int lineNumber = 0;
  std::vector<TVec3> positions;
  std::vector<TTexCoord> texCoords;
  T3dsScene scene;
  std::string meshName = "object";
  int meshPart = 0;
  T3dsSceneMesh mesh;
  std::map<std::pair<int, int>, uint16_t> meshVertices;
  std::vector<std::string> faceMaterials;  // per face of the open mesh
  std::string currentMaterial;
};

T3dsSceneMaterial& TObjImporter::MaterialNamed(const std::string& name) {
  for (T3dsSceneMaterial& material : scene.Materials)
    if (material.Name == name) return material;
  T3dsSceneMaterial material;
  material.Name = name;
  material.Diffuse = {0.8f, 0.8f, 0.8f};
  scene.Materials.push_back(material);
  return scene.Materials.back();
}

void TObjImporter::ReadMaterialLibrary(const std::string& name) {
  std::string text;
  std::string path = HostPath(baseDir + name);
  if (!ReadWholeFile(path, text)) Fail("cannot read material library " + path);
  T3dsSceneMaterial* material = nullptr;
  for (const std::string& line : SplitLines(text)) {
    std::vector<std::string> w = Words(line);
    if (w.empty() || w[0][0] == '#') continue;
    auto colour = [&](TColor3& c) {
      if (w.size() >= 4) c = {Number(w[1]), Number(w[2]), Number(w[3])};
    };
    if (w[0] == "newmtl") {
      material = &MaterialNamed(RestOf(line, "newmtl"));
      continue;
    }
    if (!material) continue;
    if (w[0] == "Ka") colour(material->Ambient);
    if (w[0] == "Kd") colour(material->Diffuse);
    if (w[0] == "Ks") colour(material->Specular);
    if (w[0] == "d" && w.size() >= 2) material->Transparency = Percent(1 - Number(w[1]));
    if (w[0] == "Tr" && w.size() >= 2) material->Transparency = Percent(Number(w[1]));
    // Map options come before the file name; the name is the last word.
    if (w[0] == "map_Kd" && w.size() >= 2) material->TextureMap = w.back();
    if (w[0] == "map_d" && w.size() >= 2) material->OpacityMap = w.back();
    if ((w[0] == "map_bump" || w[0] == "bump" || w[0] == "map_Bump") && w.size() >= 2) {
      material->BumpMap = w.back();
      material->BumpPercent = 100;
    }
  }
}

void TObjImporter::StartMesh(const std::string& name) {
  FinishMesh();
  meshName = name.empty() ? "object" : name;
  meshPart = 0;
}

uint16_t TObjImporter::VertexFor(int position, int texCoord) {
  auto key = std::make_pair(position, texCoord);
  auto found = meshVertices.find(key);
  if (found != meshVertices.end()) return found->second;
  uint16_t index = static_cast<uint16_t>(mesh.Vertices.size());
  mesh.Vertices.push_back(positions[position]);
  mesh.TexCoords.push_back(texCoord >= 0 ? texCoords[texCoord] : TTexCoord{});
  meshVertices.emplace(key, index);
  return index;
}

void TObjImporter::AddFace(const std::vector<std::string>& words) {
  if (words.size() < 4) Fail("a face needs three corners");
  std::vector<std::pair<int, int>> corners;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& ref = words[i];
    size_t slash = ref.find('/');
    std::string v = ref.substr(0, slash);
    std::string vt;
    if (slash != std::string::npos) {
      size_t second = ref.find('/', slash + 1);
      vt = ref.substr(slash + 1, second == std::string::npos ? std::string::npos : second - slash - 1);
    }
    int position = Resolve(v, positions.size());
    if (position < 0) Fail("a corner without a vertex");
    corners.emplace_back(position, Resolve(vt, texCoords.size()));
  }
  for (size_t k = 1; k + 1 < corners.size(); ++k) {
    // Room for three new vertices and one face, or the mesh goes on in a new part.
    if (mesh.Vertices.size() + 3 > 0xFFFF || mesh.Faces.size() + 1 > 0xFFFF) {
      FinishMesh();
      ++meshPart;
    }
    std::array<uint16_t, 3> face = {VertexFor(corners[0].first, corners[0].second),
                                    VertexFor(corners[k].first, corners[k].second),
                                    VertexFor(corners[k + 1].first, corners[k + 1].second)};
    mesh.Faces.push_back(face);
    faceMaterials.push_back(currentMaterial);
  }
}

void TObjImporter::FinishMesh() {
  if (!mesh.Faces.empty()) {
    mesh.Name = meshPart == 0 ? meshName : meshName + "_" + std::to_string(meshPart + 1);
    std::map<std::string, size_t> groupOf;
    for (size_t f = 0; f < faceMaterials.size(); ++f) {
      const std::string& name = faceMaterials[f];
      if (name.empty()) continue;
      if (!groupOf.count(name)) {
        groupOf[name] = mesh.Groups.size();
        mesh.Groups.push_back({name, {}});
      }
      mesh.Groups[groupOf[name]].Faces.push_back(static_cast<uint16_t>(f));
    }
    scene.Meshes.push_back(std::move(mesh));
  }
  mesh = T3dsSceneMesh{};
  meshVertices.clear();
  faceMaterials.clear();
}

T3dsScene TObjImporter::Run(const std::string& text) {
  for (const std::string& line : SplitLines(text)) {
    ++lineNumber;
    std::vector<std::string> w = Words(line);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0] == "v") {
      if (w.size() < 4) Fail("a vertex needs x, y and z");
      positions.push_back({Number(w[1]), Number(w[2]), Number(w[3])});
    } else if (w[0] == "vt") {
      if (w.size() < 3) Fail("a texture coordinate needs u and v");
      texCoords.push_back({Number(w[1]), Number(w[2])});
    } else if (w[0] == "f") {
      AddFace(w);
    } else if (w[0] == "o" || w[0] == "g") {
      StartMesh(RestOf(line, w[0]));
    } else if (w[0] == "usemtl") {
      currentMaterial = RestOf(line, "usemtl");
      if (!currentMaterial.empty()) MaterialNamed(currentMaterial);
    } else if (w[0] == "mtllib") {
      ReadMaterialLibrary(RestOf(line, "mtllib"));
    }
  }
  FinishMesh();
  return std::move(scene);
}

}  // namespace

T3dsScene ImportObjText(const std::string& objText, const std::string& baseDir, const std::string& sourceName) {
  return TObjImporter(baseDir, sourceName).Run(objText);
}

T3dsScene ImportObj(const std::string& objPath) {
  std::string text;
  std::string path = HostPath(objPath);
  if (!ReadWholeFile(path, text)) throw EFileOpenError("Cannot open file " + objPath);
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  return ImportObjText(text, dir, objPath);
}
