// Render passes under Mesa: texture sizes and the console lines they print,
// the scene drawn back unchanged without shaders and glowing with them, and
// how shader files that are missing or talk while compiling are handled.
#include "test_support.h"

#include "core/console_sink.h"
#include "core/gl_api.h"
#include "core/logger.h"
#include "core/run_state.h"
#include "render/render_pass.h"
#include "render/shader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace {

const char* const kPassThroughVertex =
    "varying vec2 uv;\n"
    "void main() { uv = gl_MultiTexCoord0.xy; gl_FrontColor = gl_Color; gl_Position = ftransform(); }\n";
const char* const kPlainFragment =
    "uniform sampler2D scene;\n"
    "varying vec2 uv;\n"
    "void main() { gl_FragColor = texture2D(scene, uv); }\n";

struct TPixels {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // bottom row first
  // Brightness at (x, y) counted from the top left, as the GUI places things.
  int At(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(height - 1 - y) * width + x) * 3];
    return (p[0] + p[1] + p[2]) / 3;
  }
};

TPixels ReadScreen(int width, int height) {
  TPixels pixels{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.rgb.data());
  return pixels;
}

// A game directory with the shipped shader sources (copied verbatim into the
// data tree) plus test shaders; the test runs inside it.
class RenderPassTest : public testing::Test {
 protected:
  // Needs the GL window (REQUIRE_GL_WINDOW) of this size.
  void Prepare(int width, int height) {
    ScreenWidth = width;
    ScreenHeight = height;
    namespace fs = std::filesystem;
    if (!previous.empty()) return;
    fs::create_directories(dir / "data/shaders");
    for (const auto& file : fs::directory_iterator(std::string(GRIMVALE_SOURCE_DIR) + "/assets/shaders"))
      fs::copy_file(file.path(), dir / ("data/shaders/" + file.path().filename().string()));
    previous = fs::current_path();
    fs::current_path(dir.Path());
    RenderReports.Error = [this](const std::string& message, const std::string& source) {
      errors.push_back(source + ": " + message);
    };
    SetConsoleSink([this](const std::string& line) { lines.push_back(line); });
  }
  void TearDown() override {
    FreeRenderpasses();
    RenderReports = TRenderReports{};
    SetConsoleSink(nullptr);
    if (!previous.empty()) std::filesystem::current_path(previous);
    ClearMessageBoxes();  // the storybook picture is not in the test tree
  }
  bool HasShaders() const { return glext::HasShaderObjects(); }

  // The 2D projection the GUI pass draws the passes back in, with the state
  // the level leaves behind (culling, additive blending, depth test).
  void DrawBack() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, ScreenWidth, ScreenHeight, 0, -40, 40);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    DrawRenderpasses();
  }

  TempDir dir;
  std::filesystem::path previous;
  std::vector<std::string> errors, lines;
};

// A scene with colours in every channel and a marker in one corner, so that a
// flipped, shifted or filtered copy differs somewhere.
void DrawTestScene(int width, int height) {
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  glDepthFunc(GL_LEQUAL);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // Other tests in this process may leave lighting or alpha testing on.
  glDisable(GL_LIGHTING);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glBegin(GL_QUADS);
  glColor3f(1, 0, 0);
  glVertex2f(0, 0);
  glColor3f(0, 1, 0);
  glVertex2f(0, height);
  glColor3f(0, 0, 1);
  glVertex2f(width, height);
  glColor3f(1, 1, 1);
  glVertex2f(width, 0);
  glColor3f(1, 1, 0);
  glVertex2f(10, 10);
  glVertex2f(10, 30);
  glVertex2f(50, 30);
  glVertex2f(50, 10);
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
}

TEST_F(RenderPassTest, PassesAreSizedForTheWindowAndFollowResizes) {
  struct Case {
    int width, height, texWidth, texHeight;
    float factorW, factorH;
    const char* line;
  };
  const Case cases[] = {
      {800, 600, 1024, 1024, 0.78125f, 0.5859375f, "UShader: Screen Rezize: w/h/facw/fach: 1024|1024|0.78125|0.5859375"},
      {1024, 768, 2048, 1024, 0.5f, 0.75f, "UShader: Screen Rezize: w/h/facw/fach: 2048|1024|0.5|0.75"},
  };
  REQUIRE_GL_WINDOW(1024, 768);
  Prepare(1024, 768);
  auto expectSized = [](const TRenderpass* pass, const Case& c) {
    ASSERT_NE(pass, nullptr);
    EXPECT_EQ(pass->TexWidth, c.texWidth);
    EXPECT_EQ(pass->TexHeight, c.texHeight);
    EXPECT_EQ(pass->FactorW, c.factorW);
    EXPECT_EQ(pass->FactorH, c.factorH);
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, pass->TextureId);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, c.texWidth);
    EXPECT_EQ(height, c.texHeight);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    ScreenWidth = c.width;
    ScreenHeight = c.height;
    lines.clear();
    InitShaders(true);
    for (const TRenderpass* pass : {Renderpass, Renderpass2, Renderpass3}) expectSized(pass, c);
    EXPECT_EQ(lines, std::vector<std::string>(3, c.line));
  }
  // From 800 x 600 to 1024 x 768 only the width's texture side changes; the
  // texture must grow all the same, and every pass must follow.
  ScreenWidth = 800;
  ScreenHeight = 600;
  InitShaders(true);
  lines.clear();
  ScreenWidth = 1024;
  ScreenHeight = 768;
  ResizeRenderpasses(1024, 768);
  for (const TRenderpass* pass : {Renderpass, Renderpass2, Renderpass3}) expectSized(pass, cases[1]);
  EXPECT_EQ(lines.size(), 3u);

  // Without shaders there is one pass and nothing to tell the console.
  lines.clear();
  InitShaders(false);
  expectSized(Renderpass, cases[1]);
  EXPECT_EQ(Renderpass->Shader, nullptr);
  EXPECT_EQ(Renderpass2, nullptr);
  EXPECT_EQ(Renderpass3, nullptr);
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(RenderPassTest, WithoutShadersTheSceneIsDrawnBackUnchanged) {
  for (auto [width, height] : {std::pair{800, 600}, std::pair{1024, 768}}) {
    SCOPED_TRACE(width);
    REQUIRE_GL_WINDOW(width, height);
    Prepare(width, height);
    InitShaders(false);
    DrawTestScene(width, height);
    const TPixels direct = ReadScreen(width, height);
    for (auto [x, y] : {std::pair{1, 1}, {width - 2, 1}, {1, height - 2}, {width - 2, height - 2}})
      ASSERT_GT(direct.At(x, y), 0) << "the scene fills the window, " << x << "," << y;
    ASSERT_NE(direct.At(20, 20), direct.At(20, height - 20)) << "the marker is drawn";

    DrawTestScene(width, height);
    Renderpass->Apply();
    EXPECT_EQ(ReadScreen(width, height).rgb, std::vector<uint8_t>(direct.rgb.size(), 0)) << "Apply clears";
    DrawBack();
    const TPixels back = ReadScreen(width, height);
    size_t differing = 0;
    for (size_t i = 0; i < back.rgb.size(); ++i) differing += back.rgb[i] != direct.rgb[i];
    EXPECT_EQ(differing, 0u);
  }
}

TEST_F(RenderPassTest, WithShadersABrightSpotGlowsIntoTheDark) {
  const int width = 800, height = 600;
  REQUIRE_GL_WINDOW(width, height);
  Prepare(width, height);
  if (!HasShaders()) GTEST_SKIP() << "no shader objects: " << glGetString(GL_RENDERER);
  // A white square off the centre on black: a glow must spread around it, in
  // place (not mirrored), and leave the far dark untouched.
  const int left = 180, top = 130, side = 40;
  auto drawSpot = [&] {
    DrawTestScene(width, height);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glColor3f(1, 1, 1);
    glRectf(left, top, left + side, top + side);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
  };
  auto throughPasses = [&](bool shaders) {
    InitShaders(shaders);
    drawSpot();
    Renderpass->Apply();
    DrawBack();
    return ReadScreen(width, height);
  };
  const TPixels plain = throughPasses(false);
  const TPixels shaded = throughPasses(true);
  ASSERT_TRUE(errors.empty()) << errors.front();
  const int midY = top + side / 2, midX = left + side / 2;
  // Just outside each edge: dark without shaders, lit with them.
  const std::pair<int, int> beside[] = {{left - 3, midY}, {left + side + 2, midY}, {midX, top - 3}, {midX, top + side + 2}};
  for (auto [x, y] : beside) {
    SCOPED_TRACE(testing::Message() << x << "," << y);
    EXPECT_EQ(plain.At(x, y), 0);
    EXPECT_GE(shaded.At(x, y), 40);
  }
  EXPECT_GE(shaded.At(midX, midY), 230) << "the spot stays bright";
  EXPECT_EQ(shaded.At(midX, height - 1 - midY), 0) << "mirrored place";
  EXPECT_EQ(shaded.At(width - 1 - midX, midY), 0) << "mirrored place";
  EXPECT_EQ(shaded.At(left + 150, midY), 0) << "far from the spot";
}

// The death tint is the colour the HUD draws the passes with; with the blur
// passes the picture comes from the last pass, which must still carry it.
TEST_F(RenderPassTest, TheDrawingColourTintsTheWholePicture) {
  REQUIRE_GL_WINDOW(128, 128);
  Prepare(128, 128);
  for (bool shaders : {false, true}) {
    SCOPED_TRACE(shaders ? "shaders" : "plain");
    if (shaders && !HasShaders()) GTEST_SKIP() << "no shader objects";
    InitShaders(shaders);
    DrawTestScene(128, 128);
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    Renderpass->Apply();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 128, 128, 0, -40, 40);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 0.25f, 0.25f);
    DrawRenderpasses();
    const TPixels picture = ReadScreen(128, 128);
    const uint8_t* middle = &picture.rgb[(64 * 128 + 64) * 3];
    EXPECT_NEAR(middle[0], 128, 2);
    EXPECT_NEAR(middle[1], 32, 2);
    EXPECT_NEAR(middle[2], 32, 2);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 1.0f) << "white again for the HUD";
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(RenderPassTest, CompileFailuresAreReportedAndWarningsOnlyLogged) {
  REQUIRE_GL_WINDOW(64, 64);
  Prepare(64, 64);
  if (!HasShaders()) GTEST_SKIP() << "no shader objects";
  WriteFile(dir / "v.txt", kPassThroughVertex);
  WriteFile(dir / "f_plain.txt", kPlainFragment);
  WriteFile(dir / "f_broken.txt", "void main() { gl_FragColor = undefinedColour; }\n");
  // Compiles, but Mesa warns that the variable is used uninitialised. Mesa
  // skips compiling (and so warning about) a source its shader cache knows,
  // hence a source of its own for every run.
  WriteFile(dir / "f_warning.txt",
            "// " + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + dir.Path() +
                "\nuniform sampler2D scene;\nvarying vec2 uv;\n"
            "void main() { float unset; gl_FragColor = texture2D(scene, uv) + vec4(unset); }\n");

  {
    TShader broken("v.txt", "f_broken.txt");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("UShader: "), std::string::npos);
    EXPECT_NE(errors[0].find("undefinedColour"), std::string::npos) << errors[0];
    EXPECT_EQ(broken.ProgramId, 0u) << "a program that cannot link is not used";
  }
  errors.clear();
  {
    TShader warned("v.txt", "f_warning.txt");
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_NE(warned.ProgramId, 0u);
  }
  {
    TShader clean("v.txt", "f_plain.txt");
    EXPECT_NE(clean.ProgramId, 0u);
  }
  EXPECT_TRUE(errors.empty());
  Logger->Flush();
  const std::string log = ReadFile(Logger->LogPath());
  EXPECT_NE(log.find("ERROR UShader: Couldn't compile: f_broken.txt"), std::string::npos);
  EXPECT_NE(log.find("UShader: f_warning.txt: "), std::string::npos) << "the warning is kept in the log";
  EXPECT_EQ(log.find("Couldn't compile: f_warning.txt"), std::string::npos);
}

TEST_F(RenderPassTest, MissingShaderFilesLeaveAPassThatDrawsUnshaded) {
  REQUIRE_GL_WINDOW(64, 64);
  Prepare(64, 64);
  WriteFile(dir / "v.txt", kPassThroughVertex);
  for (auto [vertex, fragment] : {std::pair{"v.txt", "missing.txt"}, std::pair{"missing.txt", "v.txt"}}) {
    TShader shader(vertex, fragment);
    EXPECT_EQ(shader.ProgramId, 0u);
    shader.Enable();
    shader.SetUniform("width", 1.0f);
    shader.Disable();
  }
  std::filesystem::remove_all(dir / "data/shaders");
  InitShaders(true);
  ASSERT_NE(Renderpass3, nullptr);
  EXPECT_EQ(Renderpass3->Shader->ProgramId, 0u);
  // The picture still comes through, unblurred.
  DrawTestScene(64, 64);
  const TPixels direct = ReadScreen(64, 64);
  DrawTestScene(64, 64);
  Renderpass->Apply();
  DrawBack();
  EXPECT_EQ(ReadScreen(64, 64).rgb, direct.rgb);
  EXPECT_TRUE(errors.empty());
  Logger->Flush();
  EXPECT_NE(ReadFile(Logger->LogPath()).find("ERROR UShader: filename did not match"), std::string::npos);
}

}  // namespace
