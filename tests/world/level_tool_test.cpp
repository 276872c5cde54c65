// The level compiler for map makers, run as a program.
#include "level_scene.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace {

struct ToolResult {
  int status;
  std::string output;
};

ToolResult RunLvltool(const std::string& arguments) {
  std::string command = std::string(GRIMVALE_BIN_DIR "/lvltool ") + arguments + " 2>&1";
  ToolResult result{-1, ""};
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace

TEST(LevelTool, BuildsAMapDirectoryAndDescribesTheFile) {
  TempDir dir;
  T3dsScene scene;
  scene.MasterScale = 10;
  scene.Meshes.push_back(GridMesh("ground", 10, -50, -50, 50, 50, 0));  // 200 faces
  scene.Meshes.push_back(GridMesh("roof", 1, -1, -1, 1, 1, 8));
  Save3ds(scene, dir / "map.3ds");

  ToolResult built = RunLvltool("build " + dir.Path() + " --threshold 50");
  EXPECT_EQ(built.status, 0) << built.output;
  EXPECT_NE(built.output.find("202 Triangles in 2 Meshes found! With 202 polys without Mats (0 with)\n"),
            std::string::npos)
      << built.output;
  EXPECT_NE(built.output.find(" nodes written to "), std::string::npos) << built.output;

  ToolResult info = RunLvltool("info " + dir / "map.lvl");
  EXPECT_EQ(info.status, 0) << info.output;
  for (const char* expected : {"file type \"Level\", author \"Orvel Mandra\", version \"0.2.5\"\n",
                               "texture directory \"data\\MapTextures\\\", threshold 50\n", "202 triangles",
                               "node parent depth leaf", "\n   0     -1     0   no", "1 materials\n"})
    EXPECT_NE(info.output.find(expected), std::string::npos) << expected << "\n" << info.output;

  WriteFile(dir / "cut.lvl", ReadFile(dir / "map.lvl").substr(0, 200));
  ToolResult cut = RunLvltool("info " + dir / "cut.lvl");
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.output.find("run past the end of the file"), std::string::npos) << cut.output;

  EXPECT_EQ(RunLvltool("build " + dir.Path() + "missing").status, 1);
  EXPECT_EQ(RunLvltool("build " + dir.Path() + " --threshold 0").status, 2);
  EXPECT_EQ(RunLvltool("").status, 2);
}
