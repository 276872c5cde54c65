// The level file reader (header and octree body) on arbitrary bytes. A body
// that is read must answer queries, and saving it must give a file that reads
// back and saves to the same bytes.
#include "fuzz_support.h"
#include "core/binary_file.h"
#include "world/level.h"

#include <fstream>
#include <sstream>

static std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

static std::string Save(const TOctree& octree, const std::string& path) {
  {
    TBinaryFile out(path, true);
    out.WriteHeader(kLevelVersion, kLevelFileType);
    octree.SaveToFile(out);
  }
  return Contents(path);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = FuzzInputFile(data, size, ".lvl");
  TOctree octree;
  {
    TBinaryFile file(path, false);
    if (!ReadLevelFile(file, octree).empty()) {
      if (!octree.Nodes.empty()) __builtin_trap();  // a refused file must leave nothing behind
      return 0;
    }
  }
  octree.Pick({{0, 0, 0}, {0, 0, -1}});
  octree.SegmentBlocked({{1, 2, 3}, {0.6f, 0, 0.8f}}, 50);
  std::vector<TTriangle*> touching;
  octree.TrianglesTouchingSphere({{0, 0, 0}, 10}, touching);
  for (const auto& node : octree.Nodes) node->SphereTouches({0, 0, 0}, 1);

  std::string saved = Save(octree, path);
  TOctree again;
  TBinaryFile file(path, false);
  if (!ReadLevelFile(file, again).empty()) __builtin_trap();
  file.Close();
  if (Save(again, path) != saved) __builtin_trap();
  return 0;
}
