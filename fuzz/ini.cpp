// The INI layer on arbitrary bytes: reads of every kind, then a rewrite, which
// must keep every other line.
#include "core/ini_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = FuzzInputFile(data, size, ".ini");
  TIniFile ini(path);
  for (const std::string& section : ini.ReadSections()) {
    for (const std::string& key : ini.ReadSectionKeys(section)) {
      ini.ReadString(section, key, "");
      ini.ReadInteger(section, key, 7);
      ini.ReadFloat(section, key, 0.5);
    }
  }
  ini.ReadBool("TVideoConfig", "GoWindowMode", false);
  ini.WriteFloat("TAudioConfig", "SoundVolume", 0.25);
  TIniFile again(path);
  if (again.ReadFloat("TAudioConfig", "SoundVolume", 0) != 0.25) __builtin_trap();
  return 0;
}
