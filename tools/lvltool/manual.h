// lvltool's documentation: its usage text and its manual page.
#pragma once
#include "core/manual.h"

inline TManual LvltoolManual() {
  return {"lvltool",
          1,
          "compiles and inspects Grimvale's level files",
          {"build MAPDIR [--threshold N]", "info MAP.lvl", "--help"},
          {"A Grimvale map is a directory holding map.3ds (the scene), config.ini (spawn points, skybox) and the "
           "compiled map.lvl, an octree of the scene's triangles with their materials, which the game reads at every "
           "level start. The game builds a missing or outdated map.lvl itself; lvltool builds it ahead and shows "
           "what one holds."},
          {{"Commands",
            "",
            {{"build MAPDIR", "compiles MAPDIR/map.3ds into MAPDIR/map.lvl, replacing the file only once complete"},
             {"info MAP.lvl",
              "prints the header, the nodes, the depth, the triangles per node and the materials; exits with 1 when "
              "the game would rebuild the file"}}},
           {"Options",
            "",
            {{"--threshold N", "most triangles a node of the octree holds before it is split, N > 0 (500)"},
             {"--help", "prints this text and exits"}}},
           {"Exit status", "", {{"0", "done"}, {"1", "a file could not be read or written"}, {"2", "bad usage"}}},
           {"See also", "grimvale(6), modeltool(1), guitool(1)", {}}}};
}
