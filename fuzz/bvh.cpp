// The BVH skeleton reader on arbitrary bytes: no crash, no unbounded
// allocation, and key lists as long as their counts say.
#include "fuzz_support.h"
#include "render/skeleton.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = FuzzInputFile(data, size, ".bvh");
  TSkeleton skeleton;
  skeleton.LoadFromFile(path);
  if (skeleton.BoneCount != static_cast<int>(skeleton.Bones.size())) __builtin_trap();
  for (const auto& bone : skeleton.Bones)
    if (bone->PosKeys.size() != static_cast<size_t>(bone->PosKeyCount) ||
        bone->RotKeys.size() != static_cast<size_t>(bone->RotKeyCount))
      __builtin_trap();
  return 0;
}
