// The binary model reader on arbitrary bytes, without OpenGL: no crash, no
// unbounded allocation, and a model whose every index is in range.
#include "model_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzModelFile(data, size, ".bin"); }
