// The OBJ importer on arbitrary text: the bytes up to the first 0 byte are the
// OBJ file, those after it the material library "lib.mtl" beside it. An
// import either fails with its own error naming the line, or gives a scene
// that a 3DS file can hold and that the game's 3DS reader loads with every
// index in range.
#include <sys/stat.h>

#include "model_invariants.h"
#include "render/model_obj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    std::string path = "/tmp/grimvale-fuzz-obj-" + std::to_string(getpid()) + "/";
    mkdir(path.c_str(), 0700);
    return path;
  }();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const std::string obj = input.substr(0, split);
  // Material libraries are named relative to the OBJ file; a name climbing out
  // of the harness's directory could reach /dev/zero and read forever.
  if (obj.find("..") != std::string::npos) return 0;
  std::string mtl = split == std::string::npos ? "" : input.substr(split + 1);
  // A name holding a 0 byte is refused by the 3DS writer, not the importer.
  mtl = mtl.substr(0, mtl.find('\0'));
  const std::string mtlPath = dir + "lib.mtl";
  std::FILE* f = std::fopen(mtlPath.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(mtl.data(), 1, mtl.size(), f);
  std::fclose(f);

  T3dsScene scene;
  try {
    scene = ImportObjText(obj, dir, "fuzz.obj");
  } catch (const EObjImportError&) {
    return 0;
  }
  std::string bytes;
  try {
    bytes = Encode3ds(scene);
  } catch (const E3dsWriteError&) {
    __builtin_trap();
  }
  std::string path = FuzzInputFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), ".3ds");
  TAll3dsMesh model;
  model.BuildTextures = false;
  model.LoadFromFile(path);
  CheckModelInvariants(model);
  return 0;
}
