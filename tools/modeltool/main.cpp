// modeltool: makes the game's 3DS models and shows what the game reads from
// a model file.
//
//   modeltool convert <in.obj> <out.3ds> [--scale <master scale>]
//       OBJ (and its MTL files) to 3DS. The game multiplies every vertex by
//       master scale / 10; the default master scale 10 keeps OBJ units.
//   modeltool info <model.3ds|.txt|.bin>
//       meshes, materials and the bounding box as the game loads them.
#include <cstdio>
#include <exception>
#include <string>

#include "core/convert.h"
#include "manual.h"
#include "render/model.h"
#include "render/model_3ds_writer.h"
#include "render/model_obj.h"

namespace {

int Usage() {
  std::fputs(HelpText(ModeltoolManual()).c_str(), stderr);
  return 2;
}

std::string Colour(const TColor3& c) {
  return FloatToStr(c.r) + " " + FloatToStr(c.g) + " " + FloatToStr(c.b);
}

int Convert(int argc, char** argv) {
  if (argc != 4 && argc != 6) return Usage();
  float scale = 10;
  if (argc == 6) {
    std::optional<double> value = TryStrToFloat(argv[5]);
    if (std::string(argv[4]) != "--scale" || !value || *value <= 0) return Usage();
    scale = static_cast<float>(*value);
  }
  T3dsScene scene = ImportObj(argv[2]);
  scene.MasterScale = scale;
  Save3ds(scene, argv[3]);
  size_t faces = 0;
  for (const T3dsSceneMesh& mesh : scene.Meshes) faces += mesh.Faces.size();
  std::printf("%s: %zu meshes, %zu faces, %zu materials\n", argv[3], scene.Meshes.size(), faces,
              scene.Materials.size());
  return 0;
}

int Info(int argc, char** argv) {
  if (argc != 3) return Usage();
  TAll3dsMesh model;
  model.BuildTextures = false;
  model.LoadFromFile(argv[2]);
  if (model.FormatKind == 0) {
    std::fprintf(stderr, "%s: not a model file the game reads (.3ds, .txt or .bin, in lower case)\n", argv[2]);
    return 1;
  }
  std::printf("meshes %d, materials %d, box %s .. %s\n", model.MeshCount, model.MaterialCount,
              Vec3ToString(model.BoxMin).c_str(), Vec3ToString(model.BoxMax).c_str());
  for (const auto& mesh : model.Meshes)
    std::printf("  mesh \"%s\": %d vertices, %zu faces, %zu material groups\n", mesh->Name.c_str(), mesh->VertexCount,
                mesh->Faces.size(), mesh->FaceMaterials.empty() ? 0 : mesh->MaterialNames.size());
  for (const auto& material : model.Materials) {
    std::printf("  material \"%s\": diffuse %s, alpha %s%s", material->Name.c_str(), Colour(material->Diffuse).c_str(),
                FloatToStr(material->Alpha).c_str(), material->TwoSided ? ", two-sided" : "");
    if (material->HasTexture) std::printf(", texture \"%s\"", material->TextureName.c_str());
    if (material->HasOpacity) std::printf(", opacity \"%s\"", material->OpacityName.c_str());
    if (material->HasBump) std::printf(", bump \"%s\"", material->BumpName.c_str());
    std::printf("\n");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "--help" && argc == 2) return std::fputs(HelpText(ModeltoolManual()).c_str(), stdout) < 0;
  try {
    if (command == "convert") return Convert(argc, argv);
    if (command == "info") return Info(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "modeltool: %s\n", e.what());
    return 1;
  }
  return Usage();
}
