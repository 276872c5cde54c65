// guitool's documentation: its usage text and its manual page.
#pragma once
#include "core/manual.h"

inline TManual GuitoolManual() {
  return {"guitool",
          1,
          "turns Grimvale's window files into text and back",
          {"dump FILE.gui", "build FILE.txt OUT.gui", "--help"},
          {"Grimvale's windows, their widgets and skins are stored in binary .gui files. guitool writes such a file "
           "as readable text and compiles that text back; a dump built back gives the file byte for byte, so window "
           "layouts can be written and reviewed as text."},
          {{"Commands",
            "",
            {{"dump FILE.gui", "prints every window and widget of FILE.gui as text on standard output"},
             {"build FILE.txt OUT.gui", "compiles the text form into OUT.gui, replacing it only once complete"},
             {"--help", "prints this text and exits"}}},
           {"Exit status", "", {{"0", "done"}, {"1", "a file could not be read, parsed or written"}, {"2", "bad usage"}}},
           {"See also", "grimvale(6), lvltool(1), modeltool(1)", {}}}};
}
