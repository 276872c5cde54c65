// Shared by the harnesses: the input written to a private temporary file, for
// parsers that read from disk.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

inline std::string FuzzInputFile(const uint8_t* data, size_t size, const char* suffix) {
  static std::string path = "/tmp/grimvale-fuzz-" + std::to_string(getpid()) + suffix;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  return path;
}
