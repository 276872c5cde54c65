// Sources that go into the tree as they are: shader programs, settings files
// and particle settings. Each directory of assets/ maps to one of data/.
#include "canvas.h"
#include "generators.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

namespace {

// Every file below assets/<from>/, in sorted order, to data/<to>/.
void CopyTree(TDataTree& tree, const std::string& from, const std::string& to) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(tree.Assets) / from;
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), root).generic_string());
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) tree.Add(to + name, tree.Asset(from + "/" + name));
}

// A soft round sprite: white core, falling off to transparent, with a hint
// of streaks so a cloud of them does not look like a grid of discs.
TCanvas Sprite(uint32_t seed, float core, float streaks) {
  TCanvas c(64, 64, {1, 1, 1, 0});
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const float dx = (x + 0.5f - 32) / 32, dy = (y + 0.5f - 32) / 32;
      const float r = std::sqrt(dx * dx + dy * dy);
      const float angle = std::atan2(dy, dx);
      const float streak = 1 + streaks * (ValueNoise(angle * 3 + 10, 0, 0, seed) - 0.5f);
      const float falloff = std::clamp(1 - r * streak, 0.0f, 1.0f);
      const float a = std::pow(falloff, 1.6f) + core * std::pow(std::clamp(1 - r * 3, 0.0f, 1.0f), 2.0f);
      c.At(x, y) = {1, 1, 1, std::clamp(a, 0.0f, 1.0f)};
    }
  return c;
}

}  // namespace

void BuildCopiedAssets(TDataTree& tree) {
  CopyTree(tree, "shaders", "shaders/");
  CopyTree(tree, "settings", "");
  CopyTree(tree, "particles", "particles/");
}

void BuildParticles(TDataTree& tree) {
  tree.Add("particles/flame.tga", Sprite(901, 0.4f, 0.3f).TGA32());
  tree.Add("particles/spark.tga", Sprite(902, 0.8f, 0.9f).TGA32());
}
