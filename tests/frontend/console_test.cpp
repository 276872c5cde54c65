// The console's output limits, its commands and their replies, the admin
// password, and the range checks of gravity and speed.
#include "console_fixture.h"

#include "core/convert.h"
#include "core/key_codes.h"
#include "world/octree.h"

#include <filesystem>
#include <functional>
#include <thread>

TEST_F(ConsoleTest, OutputKeepsTheLast26LinesAndTheHudTheNewestFive) {
  for (int i = 0; i < 30; ++i) ConsolePrint("line " + std::to_string(i));  // through the game's sink
  std::vector<std::string> expected;
  for (int i = 4; i < 30; ++i) expected.push_back("> line " + std::to_string(i));
  EXPECT_EQ(Output(), expected);
  EXPECT_EQ(con->MessageLines->Lines,
            (std::vector<std::string>{"line 29", "line 28", "line 27", "line 26", "line 25"}));
}

TEST_F(ConsoleTest, FewLinesLeaveTheRestOfTheHudLinesEmpty) {
  con->PrintSource("Pick :: triangle", "EventHandler");
  EXPECT_EQ(Output(), (std::vector<std::string>{"> EventHandler: Pick :: triangle"}));
  EXPECT_EQ(con->MessageLines->Lines, (std::vector<std::string>{"EventHandler: Pick :: triangle", "", "", "", ""}));
}

TEST_F(ConsoleTest, LinesFromAnotherThreadWaitForTheMainThread) {
  std::thread([] { ConsolePrint("from the packet thread"); }).join();
  EXPECT_TRUE(Output().empty());
  con->Print("next");
  EXPECT_EQ(Output(), (std::vector<std::string>{"> from the packet thread", "> next"}));
}

// Each command in any case, and what it changes; run one after another.
TEST_F(ConsoleTest, CommandsChangeTheGameWhateverTheirCase) {
  TCharacter& player = LocalPlayer();
  StartServer(800);
  levelRunning = true;
  TWeapons* oldWeapons = Weapons;
  struct Case {
    const char* Line;
    std::function<bool()> Done;
  } cases[] = {
      {"ShowDebug", [] { return GameVars->Misc->ShowDebug; }},
      {"HIDEDEBUG", [] { return !GameVars->Misc->ShowDebug; }},
      {"shownodes", [] { return ShowNodes; }},
      {"hideNodes", [] { return !ShowNodes; }},
      {"NotUseLists", [] { return !UseLists; }},
      {"uselists", [] { return UseLists; }},
      {"startstupid", [this] { return textureScroll; }},
      {"StopStupid", [this] { return !textureScroll; }},
      {"reinit_shader", [this] { return shaderInits == 1; }},
      {"EndLevel", [this] { return endLevels == 1; }},
      {"continue", [this] { return inGameCalls == std::vector<bool>{true}; }},
      {"Name MixedCase", [&] { return player.Name == "mixedcase"; }},
      {"reinit_weapons", [&] { return Weapons != oldWeapons && Weapons && weaponReloads == 1; }},
      {"respawn", [&] { return characters->RoundOver && SentTo(0).empty() && player.Money == 800; }},
      {"suicide", [&] { return player.Health == 0; }},
      {"zeduvivu", [this] { return LastOutput() == "> > Lol, you are my hero!"; }},
      {"QUIT", [] { return QuitFlag == -1; }},
  };
  player.Money = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Line);
    con->Execute(c.Line);
    EXPECT_TRUE(c.Done());
  }
}

TEST_F(ConsoleTest, ExitHidesTheConsoleAndEmptiesTheInput) {
  con->Toggle();
  con->Input->Text = "half typed";
  con->Execute("exit");
  EXPECT_FALSE(con->IsOpen());
  EXPECT_EQ(con->Input->Text, "");
}

TEST_F(ConsoleTest, WithoutLevelOrServerTheCommandsLeaveThingsAlone) {
  TCharacter& player = LocalPlayer();
  Network->StartClient("host", 5000, 5001, "me");
  for (const char* line : {"continue", "respawn", "addterspawn"}) con->Execute(line);
  EXPECT_TRUE(inGameCalls.empty());  // no level runs: "continue" would show an empty game view
  EXPECT_FALSE(characters->RoundOver);
  Characters = nullptr;  // no level at all: the player's commands find nobody
  for (const char* line : {"suicide", "name x", "addctspawn"}) con->Execute(line);
  EXPECT_EQ(player.Health, 100);
  EXPECT_TRUE(Output().empty());
}

TEST_F(ConsoleTest, SpawnPointsAtThePlayersCentreAreAddedAndNamed) {
  std::filesystem::create_directories(dir / "data/maps/none");
  LevelOf(Wall(10, 1));
  TCharacter& player = LocalPlayer();
  player.MoveCentreTo({1.5f, 2, -3});
  con->Execute("addterspawn");
  con->Execute("AddCTSpawn");
  ASSERT_EQ(level->TerSpawns.size(), 1u);
  ASSERT_EQ(level->CTSpawns.size(), 1u);
  EXPECT_EQ(Vec3ToString(level->TerSpawns[0]), Vec3ToString(player.BoundSphere.Centre));
  EXPECT_EQ(Output(), (std::vector<std::string>{"> GUIAdds: Added Terrorist Spawn Point: 1.5|2|-3",
                                                "> GUIAdds: Added CT Spawn Point: 1.5|2|-3"}));
}

TEST_F(ConsoleTest, AdminCommandsNeedThePassword) {
  TCharacter& player = LocalPlayer();
  player.SetHealth(40);
  player.Money = 10;
  for (const char* line : {"fullmoney", "fullhealth", "fullarmor", "w4tn8kqz2", "w4tn8kqz2rx"}) con->Execute(line);
  EXPECT_EQ(player.Money, 10);
  EXPECT_EQ(player.Health, 40);
  EXPECT_EQ(player.Armour, 0);
  EXPECT_TRUE(Output().empty());  // refused commands print nothing
  EXPECT_FALSE(isAdmin);

  con->Execute("W4TN8KQZ2R");
  EXPECT_TRUE(isAdmin);
  EXPECT_EQ(LastOutput(), "> You are now admin!");
  for (const char* line : {"fullmoney", "FullHealth", "fullarmor"}) con->Execute(line);
  EXPECT_EQ(player.Money, 16000);
  EXPECT_EQ(player.Health, 100);
  EXPECT_EQ(player.Armour, 100);
}

// Gravity and speed change only on a server, only to finite numbers in range,
// and reach every client in message 21; the reply always shows the value.
TEST_F(ConsoleTest, GravityAndSpeedTakeOnlySaneNumbersOnAServer) {
  struct Case {
    const char* Line;
    bool Server;
    int32_t Gravity;
    double Speed;
    const char* Reply;
  } cases[] = {
      {"grav 250", true, 250, 0.5, "> Gravity is now: 250"},
      {"GRAV -10000", true, -10000, 0.5, "> Gravity is now: -10000"},
      {"grav 10001", true, 100, 0.5, "> Gravity is now: 100"},
      {"grav abc", true, 100, 0.5, "> Gravity is now: 100"},
      {"grav", true, 100, 0.5, "> Gravity is now: 100"},
      {"grav 250", false, 100, 0.5, "> Gravity is now: 100"},
      {"speed 2.5", true, 100, 2.5, "> Speed is now: 2.5"},
      {"speed 100", true, 100, 100, "> Speed is now: 100"},
      {"speed 100.5", true, 100, 0.5, "> Speed is now: 0.5"},
      {"speed -1", true, 100, 0.5, "> Speed is now: 0.5"},
      {"speed 1e999", true, 100, 0.5, "> Speed is now: 0.5"},
      {"speed nan", true, 100, 0.5, "> Speed is now: 0.5"},
      {"speed inf", true, 100, 0.5, "> Speed is now: 0.5"},
      {"speed 3", false, 100, 0.5, "> Speed is now: 0.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Line);
    settings = TGameSettings{};
    sent.clear();
    Network->Close();
    if (c.Server) {
      StartServer();
      AddStartedClient();
    } else {
      Network->StartClient("host", 5000, 5001, "me");
    }
    con->Execute(c.Line);
    EXPECT_EQ(settings.Gravity, c.Gravity);
    EXPECT_EQ(settings.Speed, c.Speed);
    EXPECT_EQ(LastOutput(), c.Reply);
    bool changed = c.Gravity != 100 || c.Speed != 0.5;
    if (changed) {
      ASSERT_EQ(SentTo(0).size(), 1u);
      const TNetMessage m = SentTo(0)[0];
      EXPECT_EQ(m.Code, 21);
      EXPECT_EQ(m.S1, std::to_string(c.Gravity));
      EXPECT_EQ(StrToFloatDef(m.S2, -1), c.Speed);
    } else {
      EXPECT_TRUE(sent.empty());
    }
  }
}

TEST_F(ConsoleTest, ReturnSubmitsTheLineAndNoCommandPrintsOnlyTheLine) {
  con->Toggle();
  for (char c : std::string("hello")) gui.KeyDown(static_cast<uint16_t>(c), static_cast<uint16_t>(c));
  gui.KeyDown(kKeyReturn, 13);
  EXPECT_EQ(Output(), (std::vector<std::string>{"> hello"}));  // no key echo pushes messages out
  EXPECT_EQ(con->Input->Text, "");
  EXPECT_EQ(con->Input->Caret, 0);
}

TEST_F(ConsoleTest, TheSubmitButtonRunsTheLine) {
  con->Toggle();
  con->Input->Text = "quit";
  TButton& submit = *con->Window().Buttons[0];
  gui.MouseDown(con->Window().X + submit.X + 5, con->Window().Y + submit.Y + 5, 1);
  gui.MouseUp(con->Window().X + submit.X + 5, con->Window().Y + submit.Y + 5, 1);
  EXPECT_EQ(QuitFlag, -1);
  EXPECT_EQ(Output(), (std::vector<std::string>{"> quit"}));
}
