// The real executable from start to SIGTERM, on a fresh directory.
#include "test_support.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

// Starts a copy of the game in dir (its own directory is where it writes).
static pid_t StartGame(const TempDir& dir, bool withDisplay) {
  std::filesystem::copy_file(GRIMVALE_BIN_DIR "/grimvale", dir / "grimvale");
  std::filesystem::create_directory_symlink(GRIMVALE_BIN_DIR "/data", dir / "data");
  pid_t pid = fork();
  if (pid == 0) {
    if (!withDisplay) unsetenv("DISPLAY");
    std::string exe = dir / "grimvale";
    execl(exe.c_str(), "grimvale", (char*)nullptr);
    _exit(127);
  }
  return pid;
}

TEST(Startup, WithoutAWindowReportsAndEndsWithAnError) {
  TempDir dir;
  pid_t pid = StartGame(dir, false);
  ASSERT_GT(pid, 0);
  int status = -1;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 0);
  std::string log = ReadFile(dir / "grimvale.log");
  EXPECT_NE(log.find("ERROR Unit_SDL: Initalisierung von SDL schlug fehl: "), std::string::npos) << log;
  EXPECT_NE(log.find("INFO Finalization: Terminating Application"), std::string::npos) << log;
  EXPECT_NE(ReadFile(dir / "config.ini").find("[TMiscConfig]"), std::string::npos);
}

TEST(Startup, RunsFramesAndSavesDefaultsOnSigterm) {
  if (!std::getenv("DISPLAY")) {
    if (std::getenv("GRIMVALE_REQUIRE_DISPLAY")) FAIL() << "no display";
    GTEST_SKIP() << "no display";
  }
  TempDir dir;
  pid_t pid = StartGame(dir, true);
  ASSERT_GT(pid, 0);
  // Wait until start-up is complete and a few frames ran.
  std::string log;
  int status = -1;
  bool ended = false;
  for (int i = 0; i < 300 && !ended && log.find("The Initialization has been done") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    log = ReadFile(dir / "grimvale.log");
    ended = waitpid(pid, &status, WNOHANG) == pid;
  }
  ASSERT_FALSE(ended) << "the game ended by itself:\n" << log;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kill(pid, SIGTERM);
  for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (!WIFEXITED(status)) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << "the game did not end after SIGTERM";
  }
  EXPECT_EQ(WEXITSTATUS(status), 0);

  log = ReadFile(dir / "grimvale.log");
  size_t last = 0;
  for (const char* line : {"INFO Initialization: Starting Application", "INFO Unit_SDL: Startet Initializing of SDL",
                           "INFO Unit_SDL: SDLNet_Init was successful", "INFO Main: The Initialization has been done",
                           "INFO Main: Deinitialization has been started",
                           "INFO Finalization: Terminating Application"}) {
    size_t at = log.find(line);
    ASSERT_NE(at, std::string::npos) << line << "\n" << log;
    EXPECT_GE(at, last) << line;
    last = at;
  }
  EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;

  std::string config = ReadFile(dir / "config.ini");
  last = 0;
  for (const char* part : {"[game.gameVar]\ngravity=100\ncammode=0\ncams=3\nSpeed=0.5\n", "[game.gameVar.Fog]\n",
                           "[TVideoConfig]\n", "ResolutionX=800\nResolutionY=600\nGraphicQuality=1\nBitDepth=1\n",
                           "[TAudioConfig]\nSound=1\nMusic=1\nSoundVolume=0.75\nMusicVolume=0.75\n",
                           "[TMouseConfig]\n", "[TMiscConfig]\nShowDebug=0\nSleep=5\n"}) {
    size_t at = config.find(part);
    ASSERT_NE(at, std::string::npos) << part << "\n" << config;
    EXPECT_GE(at, last) << part;
    last = at;
  }
}
