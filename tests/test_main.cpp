// Shared main of every test binary: a logger writing into a temporary
// directory, message boxes captured instead of shown, the level loaders (in
// suites that reach the renderer), and the floating-point environment the game
// runs with.
#include "core/logger.h"
#include "core/platform.h"
#include "net/discovery.h"
#include "test_support.h"
#ifdef GRIMVALE_TEST_LEVEL_LOADERS
#include "render/level_scene_reader.h"
#endif

#include <gtest/gtest.h>

#include <cfenv>
#include <cstdlib>

void InstallMessageBoxCapture();

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // No test shows a dialog: one would wait for a person, and one started by a
  // crashing child would hold a death test's pipe open. (Set here rather than
  // in CTest's environment, which takes one variable through test discovery.)
  setenv("GRIMVALE_NO_DIALOG", "1", 0);
  // No test may send a discovery query beyond this machine's loopback
  // addresses, whatever targets it sets; the games tests start inherit it.
  setenv(kDiscoveryLoopbackOnlyVariable, "1", 1);
  MarkMainThread();
  fedisableexcept(FE_ALL_EXCEPT);
  // Each test process logs into a directory of its own: test binaries run in parallel.
  TempDir logDir;
  Logger = new TLogger(logDir.Path());
  InstallMessageBoxCapture();
#ifdef GRIMVALE_TEST_LEVEL_LOADERS
  InstallLevelLoaders();
#endif
  int result = RUN_ALL_TESTS();
  delete Logger;
  Logger = nullptr;
  return result;
}
