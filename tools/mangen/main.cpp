// mangen: writes the manual pages of the game and its tools, from the same
// descriptions their --help prints, into a directory (at build time).
//   mangen OUTDIR VERSION
#include "../grimvale-master/manual.h"
#include "../guitool/manual.h"
#include "../lvltool/manual.h"
#include "../modeltool/manual.h"
#include "app/game_manual.h"
#include "core/paths.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: mangen OUTDIR VERSION\n", stderr);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  for (const TManual& manual : {GameManual(), LvltoolManual(), GuitoolManual(), ModeltoolManual(), MasterManual()}) {
    const std::string file = dir + manual.Name + "." + std::to_string(manual.Section);
    std::string current;
    // Rewritten only when it changes, so the pages built from it stay put.
    const std::string page = ManPage(manual, argv[2]);
    if (ReadWholeFile(file, current) && current == page) continue;
    if (!WriteFileAtomic(file, page)) {
      std::fprintf(stderr, "mangen: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
