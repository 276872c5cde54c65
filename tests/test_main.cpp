// Shared main of every test binary: a logger writing into a temporary
// directory, message boxes captured instead of shown, and the floating-point
// environment the game runs with.
#include "core/logger.h"
#include "core/platform.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <filesystem>

void InstallMessageBoxCapture();

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  MarkMainThread();
  fedisableexcept(FE_ALL_EXCEPT);
  std::string logDir = (std::filesystem::temp_directory_path() / "grimvale-test-log").string();
  std::filesystem::create_directories(logDir);
  Logger = new TLogger(logDir);
  InstallMessageBoxCapture();
  int result = RUN_ALL_TESTS();
  delete Logger;
  Logger = nullptr;
  return result;
}
