// guitool: the readable text form of .gui window files.
//   guitool dump FILE.gui          prints every window and widget as text
//   guitool build FILE.txt OUT.gui compiles that text back into a .gui file
// A dump built back gives the file byte for byte.
#include "core/paths.h"
#include "gui/gui_text.h"
#include "manual.h"

#include <cstdio>
#include <string>

static int Usage() {
  std::fputs(HelpText(GuitoolManual()).c_str(), stderr);
  return 2;
}

static int Fail(const std::string& file, const std::string& why) {
  std::fprintf(stderr, "guitool: %s: %s\n", file.c_str(), why.c_str());
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "--help" && argc == 2) return std::fputs(HelpText(GuitoolManual()).c_str(), stdout) < 0;
  std::string input, output, error;
  if (command == "dump" && argc == 3) {
    if (!ReadWholeFile(argv[2], input)) return Fail(argv[2], "cannot be read");
    if (!GuiDump(input, output, error)) return Fail(argv[2], error);
    std::fwrite(output.data(), 1, output.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (command == "build" && argc == 4) {
    if (!ReadWholeFile(argv[2], input)) return Fail(argv[2], "cannot be read");
    if (!GuiBuild(input, output, error)) return Fail(argv[2], error);
    if (!WriteFileAtomic(argv[3], output)) return Fail(argv[3], "cannot be written");
    return 0;
  }
  return Usage();
}
