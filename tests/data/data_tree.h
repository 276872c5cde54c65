// Where the generated data tree is for the data tests: bin/data of the build
// the tests belong to. Tests that read it run with that directory as their
// working directory, since every game path is relative to it.
#pragma once
#include <filesystem>
#include <string>

inline std::string BinDir() { return GRIMVALE_BIN_DIR; }

class TInBinDir {
 public:
  TInBinDir() : previous(std::filesystem::current_path()) { std::filesystem::current_path(BinDir()); }
  ~TInBinDir() { std::filesystem::current_path(previous); }

 private:
  std::filesystem::path previous;
};

// Whether the file decodes with the texture reader its extension selects.
// (Kept out of line: the GUI's image widget and the decoders' image share a
// name, so no file can include both headers.)
bool DecodesAsTexture(const std::string& path, int* width = nullptr, int* height = nullptr);
