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

TEST(Paths, ConfigGoesToXdgWhenTheGameDirectoryIsReadOnly) {
  TempDir dir;
  std::string oldBase = BaseDir();
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  std::string savedXdg = oldXdg ? oldXdg : "";
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  SetBaseDir("/nonexistent-grimvale-dir/");
  EXPECT_EQ(WritableDir(), dir.Path() + "grimvale/");
  EXPECT_TRUE(DirectoryExists(dir / "grimvale"));
  SetBaseDir(oldBase);
  if (oldXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
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
