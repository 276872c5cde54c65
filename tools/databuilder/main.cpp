// databuilder: generates the game's data tree from the sources in assets/.
//   databuilder ASSETS_DIR DATA_DIR
// Everything is made in memory first and a file is written only when its
// bytes change, so repeated runs leave the tree (and its dates) alone. The
// output depends on nothing but the sources and the installed fonts: no
// clocks, no unseeded randomness.
#include "data_tree.h"
#include "generators.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: databuilder ASSETS_DIR DATA_DIR\n");
    return 2;
  }
  TDataTree tree(argv[1]);
  try {
    for (auto build : {BuildMapTextures, BuildSkyboxes, BuildPictures, BuildSounds, BuildCopiedAssets,
                       BuildParticles, BuildFonts, BuildSkins, BuildWindows, BuildMaps, BuildCharacters, BuildWeapons})
      build(tree);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "databuilder: %s\n", e.what());
    return 1;
  }
  const TDataTree::TCommitResult result = tree.Commit(argv[2]);
  std::printf("databuilder: %zu files, %d written, %d unchanged\n", tree.Files().size(), result.Written,
              result.Unchanged);
  return result.Failed == 0 ? 0 : 1;
}
