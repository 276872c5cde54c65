// The game's hold on the render passes: the shader switch of the settings
// re-creates them at once, a resize after start-up resizes them, and a failed
// shader compile reaches the game's error report.
#include "app/event_handler.h"
#include "app/game.h"
#include "core/config.h"
#include "core/gl_api.h"
#include "core/logger.h"
#include "render/render_pass.h"
#include "render/shader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class GameRenderPasses : public testing::Test {
 protected:
  void SetUp() override {
    Game = new Tgame();
    GameVars = new TgameVariabeln(dir / "config.ini");
    GameVars->SetDefaults(*Game);
    EventHandler = new TEventHandler();
    previous = std::filesystem::current_path();
    std::filesystem::create_directories(dir / "data/shaders");
    for (const auto& file : std::filesystem::directory_iterator(std::string(GRIMVALE_SOURCE_DIR) + "/assets/shaders"))
      std::filesystem::copy_file(file.path(), dir / ("data/shaders/" + file.path().filename().string()));
    std::filesystem::current_path(dir.Path());
  }
  void TearDown() override {
    if (Game) Game->StopRenderpasses();
    std::filesystem::current_path(previous);
    delete EventHandler;
    delete GameVars;
    delete Game;
    EventHandler = nullptr;
    GameVars = nullptr;
    Game = nullptr;
    ClearMessageBoxes();
  }
  TempDir dir;
  std::filesystem::path previous;
};

TEST_F(GameRenderPasses, TheShaderSwitchAndResizesTakeEffectAtOnce) {
  REQUIRE_GL_WINDOW(320, 240);
  ScreenWidth = 320;
  ScreenHeight = 240;
  Game->StartRenderpasses();
  ASSERT_NE(Renderpass, nullptr);
  EXPECT_EQ(Renderpass2, nullptr);

  GameVars->Video->SetEnableShader(true);
  ASSERT_NE(Renderpass2, nullptr);
  ASSERT_NE(Renderpass3, nullptr);
  EXPECT_NE(Renderpass->Shader, nullptr);

  // Before start-up is complete a resize leaves the passes alone.
  EventHandler->Resize(200, 100);
  EXPECT_EQ(Renderpass->FactorW, 320.0f / 512);
  Game->Initialised = true;
  EventHandler->Resize(200, 100);
  for (const TRenderpass* pass : {Renderpass, Renderpass2, Renderpass3}) {
    EXPECT_EQ(pass->FactorW, 200.0f / 256);
    EXPECT_EQ(pass->FactorH, 100.0f / 128);
  }

  GameVars->Video->SetEnableShader(false);
  EXPECT_EQ(Renderpass2, nullptr);
  EXPECT_EQ(Renderpass3, nullptr);
  EXPECT_EQ(Renderpass->Shader, nullptr);
  EXPECT_EQ(Renderpass->TexWidth, 256) << "made at the current window size";
}

TEST_F(GameRenderPasses, AFailedCompileEndsTheLevelThroughTheErrorReport) {
  REQUIRE_GL_WINDOW(64, 64);
  ScreenWidth = 64;
  ScreenHeight = 64;
  if (!glext::HasShaderObjects()) GTEST_SKIP() << "no shader objects";
  Game->StartRenderpasses();
  Game->LevelRunning = true;
  WriteFile(dir / "data/shaders/f_bloom.txt", "void main() { gl_FragColor = notDeclared; }\n");
  GameVars->Video->SetEnableShader(true);
  EXPECT_FALSE(Game->LevelRunning);
  Logger->Flush();
  EXPECT_NE(ReadFile(Logger->LogPath()).find("Couldn't compile: data\\shaders\\f_bloom.txt"), std::string::npos);
}

}  // namespace
