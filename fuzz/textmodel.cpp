// The .txt model reader on arbitrary bytes, without OpenGL: no crash, no
// unbounded allocation, and a model whose every index is in range.
#include "fuzz_support.h"
#include "model_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = FuzzInputFile(data, size, ".txt");
  TAll3dsMesh model;
  model.BuildTextures = false;
  model.LoadFromFile(path);
  CheckModelInvariants(model);
  return 0;
}
