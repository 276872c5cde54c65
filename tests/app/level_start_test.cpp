// A level started and ended by the game driver: the level file built once
// from its scene, the per-level objects, and a request while a level runs.
#include "../world/level_dir.h"
#include "app/game.h"
#include "game/characters.h"
#include "game/ki.h"

#include <gtest/gtest.h>

TEST_F(LevelDir, StartBuildsAMissingLevelFileOnceAndRequestsWaitWhileALevelRuns) {
  REQUIRE_GL_WINDOW(64, 64);
  WriteArenaScene();
  Tgame game;
  ClearMessageBoxes();
  game.RequestLevel("arena");
  ASSERT_NE(game.Level, nullptr);
  // No skybox images and no floor texture: the loader's messages, and the
  // level loads all the same.
  ASSERT_EQ(MessageBoxes().size(), 7u);
  EXPECT_NE(MessageBoxes()[0].first.find("data\\skyboxes\\default\\pos_x.bmp"), std::string::npos);
  EXPECT_TRUE(game.LevelRunning);
  EXPECT_TRUE(game.InGame);
  EXPECT_EQ(game.Level->Octree->MaxTriangles, 500);
  EXPECT_EQ(game.Level->Octree->TotalTriangles(), 10);
  EXPECT_EQ(LogCount("Meshes found!"), 1);
  EXPECT_EQ(LogCount("INFO UMain: 3..2..1..Go! Level: \"arena\" has been loaded"), 1);
  ASSERT_NE(Characters, nullptr);  // with the level: the characters (the local player) and the AI
  EXPECT_EQ(Characters->Count, 1);
  EXPECT_NE(KI, nullptr);

  TLevel* running = game.Level;
  game.RequestLevel("elsewhere");
  EXPECT_EQ(PendingLevel, "elsewhere");
  EXPECT_EQ(game.Level, running);
  EXPECT_TRUE(game.LevelRunning);

  game.EndLevel();
  EXPECT_EQ(game.Level, nullptr);
  EXPECT_EQ(Characters, nullptr);
  EXPECT_EQ(KI, nullptr);
  EXPECT_FALSE(game.LevelRunning);
  EXPECT_FALSE(game.InGame);
  game.StartLevel("arena");
  EXPECT_EQ(LogCount("Meshes found!"), 1);  // map.lvl exists now
  game.EndLevel();

  // A map with neither file: the start throws for the frame's error path and
  // no level is left behind.
  EXPECT_THROW(game.StartLevel("nowhere"), EFileOpenError);
  EXPECT_EQ(game.Level, nullptr);
  game.EndLevel();
  PendingLevel.clear();
}
