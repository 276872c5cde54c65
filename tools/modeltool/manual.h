// modeltool's documentation: its usage text and its manual page.
#pragma once
#include "core/manual.h"

inline TManual ModeltoolManual() {
  return {"modeltool",
          1,
          "makes and inspects Grimvale's 3D models",
          {"convert IN.obj OUT.3ds [--scale S]", "info MODEL", "--help"},
          {"Grimvale reads its characters, weapons and levels from 3DS files, and characters also from its own text "
           "(.txt) and binary (.bin) model files. modeltool turns a Wavefront OBJ model with its MTL materials into a "
           "3DS file the game reads, and shows what the game reads from a model file."},
          {{"Commands",
            "",
            {{"convert IN.obj OUT.3ds", "converts the OBJ model and its MTL files into a 3DS file"},
             {"info MODEL", "prints the meshes, the materials and the bounding box of a .3ds, .txt or .bin model"}}},
           {"Options",
            "",
            {{"--scale S",
              "the master scale written into the 3DS file, S > 0; the game multiplies every vertex by S / 10, so the "
              "default 10 keeps the OBJ's units"},
             {"--help", "prints this text and exits"}}},
           {"Exit status", "", {{"0", "done"}, {"1", "a file could not be read or written"}, {"2", "bad usage"}}},
           {"See also", "grimvale(6), lvltool(1), guitool(1)", {}}}};
}
