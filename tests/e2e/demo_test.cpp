// Demos with the real binary: --timedemo of the standard demo prints its
// figures and exits 0, a dedicated server records from its command input
// what the game then plays, a demo the game cannot play is refused with a
// line and exit 1, never a crash, and one cut short plays to the cut.
#include "dedicated_process.h"
#include "e2e_support.h"
#include "net/demo_file.h"
#include "screen_positions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

const std::string kStandardDemo = std::string(GRIMVALE_BIN_DIR) + "/data/demos/standard.dem";

// Where the record `share` of the way through a demo's records starts.
size_t RecordOffset(const std::string& bytes, double share) {
  TDemo demo;
  std::string error;
  EXPECT_TRUE(ParseDemo({bytes.begin(), bytes.end()}, demo, error)) << error;
  size_t at = demo.FirstRecord;
  TDemoRecord r;
  for (size_t i = 0; i < static_cast<size_t>(static_cast<double>(demo.Records) * share); ++i) NextRecord(demo, at, r);
  return at;
}

TEST(Demo, TimedemoOfTheStandardDemoPrintsItsFiguresAndExitsZero) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TGameProcess game(x, "timedemo", {"--timedemo", kStandardDemo});
  EXPECT_EQ(game.WaitForExit(240000), 0) << game.Log();
  // The demo lasts 12 s; a timedemo frame moves it on by 1/60 s.
  const std::regex figures(R"(timedemo: 720 frames, [0-9]+\.[0-9]+ seconds, [0-9]+\.[0-9]+ ms average \([0-9.]+ fps\), [0-9]+\.[0-9]+ ms 99th percentile)");
  EXPECT_TRUE(std::regex_search(game.Log(), figures)) << game.Log();
}

// A listen server's match with bots, recorded from the console and played
// back from it: the level comes back, pauses, lets the free camera fly, ends,
// and the menu returns.
TEST(Demo, AMatchRecordedFromTheConsolePlaysBack) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TGameProcess game(x, "console_demo");
  ASSERT_TRUE(game.WaitForLog("The Initialization has been done")) << game.Log();
  const TScreen dialog = ClickAndWaitForChange(game, kNewGameX, kNewGameY, WaitForMainMenu(game), 0.2, "new-game");
  game.ReplaceField(kHostPortX, kHostPortY, std::to_string(FreePort()));
  game.Click(kStartX, kStartY);
  ASSERT_TRUE(game.WaitForLog("has been loaded", 60000)) << game.Log();
  TScreen choice;
  game.WaitForScreen("choice", [&](const TScreen& s) { return s.DifferenceTo(dialog) > 0.3; }, choice);
  game.Click(kTerroristX, kTerroristY);
  ASSERT_TRUE(game.WaitForLog("Round started: ", 10000)) << game.Log();

  game.Console({"record match1"});
  ASSERT_TRUE(game.WaitForLog("Recording demos/match1.dem")) << game.Log();
  // Recorded until the file holds a few seconds of play, however fast the
  // game runs.
  const std::filesystem::path file = game.Dir() / "demos/match1.dem";
  auto size = [&] {
    std::error_code error;
    const auto n = std::filesystem::file_size(file, error);
    return error ? 0 : n;
  };
  EXPECT_TRUE(WaitUntil([&] { return size() > 25000; }, 60000)) << "the recording grows";
  game.Console({"stoprecord"});
  ASSERT_TRUE(game.WaitForLog("Recorded demos/match1.dem")) << game.Log();

  // Playing closes the console.
  game.Key("grave");
  game.Type("demo match1");
  game.Key("Return");
  ASSERT_TRUE(game.WaitForLog("Playing demos/match1.dem (arena, ")) << game.Log();
  TScreen playing;
  EXPECT_TRUE(game.WaitForScreen("playing", [&](const TScreen& s) { return s.DifferenceTo(dialog) > 0.3; }, playing))
      << "the level is shown, not the menu";
  // Paused, the picture stands; the free camera still flies.
  game.Key("p");
  ASSERT_TRUE(game.WaitForLog("Demo paused")) << game.Log();
  // Two pictures in a row alike: the pause has reached the screen.
  TScreen paused;
  EXPECT_TRUE(WaitForStillScreen(game, "still-paused", paused));
  game.Key("f");
  ASSERT_TRUE(game.WaitForLog("Free camera")) << game.Log();
  game.KeyDown("w");
  TScreen flown;
  EXPECT_TRUE(game.WaitForScreen("flown", [&](const TScreen& s) { return s.DifferenceTo(paused) > 0.05; }, flown));
  game.KeyUp("w");
  game.Key("p");
  EXPECT_TRUE(game.WaitForLog("The demo has ended.", 60000)) << game.Log();
  const TScreen menu = WaitForMainMenu(game);
  EXPECT_GT(menu.MenuRed(), 2000) << "back in the main menu";
  EXPECT_GT(playing.DifferenceTo(menu), 0.3) << "the level was shown, not the menu";
  game.Console({"quit"});
  EXPECT_EQ(game.WaitForExit(20000), 0) << game.Log();
}

TEST(Demo, ADedicatedServersRecordingPlaysInTheGame) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  std::string demo;
  {
    TDedicatedProcess server({"--map", "arena", "--tcpport", "0", "--udpport", "0", "--bots", "4", "--discoveryport",
                              "-1"});
    ASSERT_TRUE(server.WaitForOutput("type help for the commands")) << server.Output();
    server.Input("record night_1");
    ASSERT_TRUE(server.WaitForOutput("Recording ")) << server.Output();
    // A few seconds of the bots' play, however fast the server runs.
    const std::filesystem::path file = server.Dir() / "demos/night_1.dem";
    EXPECT_TRUE(WaitUntil([&] {
      std::error_code error;
      const auto n = std::filesystem::file_size(file, error);
      return !error && n > 6000;
    }, 60000));
    server.Input("stoprecord");
    ASSERT_TRUE(server.WaitForOutput("Recorded ")) << server.Output();
    server.Input("quit");
    EXPECT_EQ(server.WaitForExit(), 0);
    demo = ReadFile(server.Dir() / "demos/night_1.dem");
  }
  ASSERT_GT(demo.size(), 1000u);
  TempDir files;
  WriteFile(files / "night_1.dem", demo);
  TGameProcess game(x, "dedicated_demo", {"--timedemo", files / "night_1.dem"});
  EXPECT_EQ(game.WaitForExit(120000), 0) << game.Log();
  EXPECT_NE(game.Log().find("Timedemo " + (files / "night_1.dem") + " (arena, "), std::string::npos) << game.Log();
  EXPECT_NE(game.Log().find("timedemo: "), std::string::npos) << game.Log();
}

TEST(Demo, ADemoThatCannotBePlayedIsRefusedWithALine) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TempDir files;
  const std::string standard = ReadFile(kStandardDemo);
  ASSERT_GT(standard.size(), 1000u);
  // The level's name, "compound", turned into one of the same length that no map has.
  std::string elsewhere = standard;
  elsewhere.replace(11, 8, "atlantis");
  std::string damaged = standard;
  damaged[RecordOffset(standard, 0.5) + 4] = 9;  // a kind no record has
  struct TCase {
    const char* Name;
    std::string Bytes;
    const char* Line;
  };
  const TCase cases[] = {
      {"damaged", damaged, "unknown record kind 9 at byte"},
      {"elsewhere", elsewhere, "the level \"atlantis\" does not exist"},
  };
  for (const TCase& c : cases) {
    const std::string path = files / (std::string(c.Name) + ".dem");
    WriteFile(path, c.Bytes);
    TGameProcess game(x, std::string("refused_") + c.Name, {"--timedemo", path});
    EXPECT_EQ(game.WaitForExit(60000), 1) << c.Name << "\n" << game.Log();
    EXPECT_NE(game.Log().find("Demo refused: " + path + ": "), std::string::npos) << c.Name << "\n" << game.Log();
    EXPECT_NE(game.Log().find(c.Line), std::string::npos) << c.Name << "\n" << game.Log();
  }
}

// A recording killed a fifth of the way through, in the middle of a record:
// the timedemo plays to the last whole record, says so, and exits 0.
TEST(Demo, ADemoCutShortPlaysToTheCutWithAWarning) {
  TXServer x;
  E2E_REQUIRE_X(x.Running());
  TempDir files;
  const std::string standard = ReadFile(kStandardDemo);
  const size_t cut = RecordOffset(standard, 0.2);
  const std::string path = files / "cut.dem";
  WriteFile(path, standard.substr(0, cut + 10));
  TDemo demo;
  std::string error;
  ASSERT_TRUE(ReadDemo(path, demo, error)) << error;
  TGameProcess game(x, "cut_demo", {"--timedemo", path});
  EXPECT_EQ(game.WaitForExit(120000), 0) << game.Log();
  EXPECT_NE(game.Log().find("Demo warning: " + path + ": cut short at byte " + std::to_string(cut) +
                            " (no end record): it plays to "),
            std::string::npos)
      << game.Log();
  EXPECT_NE(game.Log().find("timedemo: "), std::string::npos) << game.Log();
}

}  // namespace
