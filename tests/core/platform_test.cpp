// Log file, paths and message boxes.
#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

TEST(Logger, WritesOneLinePerCallAndKeepsThePreviousRun) {
  TempDir dir;
  {
    TLogger first(dir.Path());
    first.LogInfo("first run", "Main");
  }
  TLogger log(dir.Path());
  log.LogError("it broke", "UNetwork");
  // Error lines reach the disk before the logger is flushed or freed.
  std::string text = ReadFile(dir / "grimvale.log");
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z ERROR UNetwork: it broke\n)")))
      << text;
  EXPECT_NE(ReadFile(dir / "grimvale.log.1").find("INFO Main: first run"), std::string::npos);
  log.LogDebug("", "");
  log.Flush();
  EXPECT_NE(ReadFile(dir / "grimvale.log").find("DEBUG : \n"), std::string::npos);
}

TEST(Paths, GamePathsResolveWhateverTheCase) {
  TempDir dir;
  std::filesystem::create_directories(dir / "Data/Maps/Arena");
  WriteFile(dir / "Data/Maps/Arena/Map.3DS", "x");
  std::string base = dir.Path();
  struct Case {
    std::string in, out;
  } cases[] = {
      {base + "data\\maps\\arena\\map.3ds", base + "Data/Maps/Arena/Map.3DS"},
      {base + "Data/Maps/Arena/Map.3DS", base + "Data/Maps/Arena/Map.3DS"},
      {base + "data\\maps\\arena\\map.lvl", base + "Data/Maps/Arena/map.lvl"},  // new file in a found directory
      {base + "nothing\\here.txt", base + "nothing/here.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(HostPath(c.in), c.out);
}

// A game that cannot write beside itself puts each kind of file into its XDG
// directory; a variable that is unset or not an absolute path gives the
// default under the home. Relative game paths then move there too.
TEST(Paths, FilesGoToTheXdgDirectoriesWhenTheGameDirectoryIsReadOnly) {
  TempDir dir;
  TScopedEnv home("HOME", dir.Path().c_str());
  TScopedEnv config("XDG_CONFIG_HOME", (dir / "conf").c_str());
  TScopedEnv state("XDG_STATE_HOME", nullptr);
  TScopedEnv cache("XDG_CACHE_HOME", "relative/cache");
  TScopedEnv data("XDG_DATA_HOME", (dir / "share").c_str());
  {
    TUnwritableBase base;
    struct Case {
      TUserDir kind;
      std::string dir;
    } cases[] = {
        {TUserDir::Config, dir / "conf/grimvale/"},
        {TUserDir::State, dir / ".local/state/grimvale/"},
        {TUserDir::Cache, dir / ".cache/grimvale/"},
        {TUserDir::Data, dir / "share/grimvale/"},
    };
    for (const Case& c : cases) {
      EXPECT_EQ(UserDir(c.kind), c.dir);
      EXPECT_TRUE(DirectoryExists(c.dir)) << c.dir;
    }
    EXPECT_EQ(WritableDir(), dir / "conf/grimvale/");
    EXPECT_EQ(UserPath(TUserDir::Data, "Screenshots\\Screen0.jpg"), dir / "share/grimvale/Screenshots\\Screen0.jpg");
  }
  // Beside a writable game, as always.
  EXPECT_EQ(UserPath(TUserDir::Data, "Screenshots\\Screen0.jpg"), "Screenshots\\Screen0.jpg");
  EXPECT_EQ(UserDir(TUserDir::State), BaseDir());
}

TEST(MessageBox, TextAndCaptionReachTheLogAndTheSink) {
  ClearMessageBoxes();
  ShowMessageBox("Error opening x.bmp", "BMP Unit");
  ASSERT_EQ(MessageBoxes().size(), 1u);
  EXPECT_EQ(MessageBoxes()[0].first, "Error opening x.bmp");
  EXPECT_EQ(MessageBoxes()[0].second, "BMP Unit");
  Logger->Flush();
  EXPECT_NE(ReadFile(Logger->LogPath()).find("Error opening x.bmp"), std::string::npos);
}
