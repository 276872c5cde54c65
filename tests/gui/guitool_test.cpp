// The text form of .gui files and the guitool command built on it.
#include "gui/gui_text.h"
#include "gui_fixture.h"
#include "test_support.h"

#include <cstdlib>

namespace {

class GuiToolTest : public GuiTest {
 protected:
  std::string EveryKindFile() {
    std::string path = dir / "all.gui";
    EXPECT_TRUE(gui.SaveGUIFile(path, {BuildEveryKind(gui)}));
    return ReadFile(path);
  }
  TempDir dir;
};

TEST_F(GuiToolTest, DumpThenBuildGivesTheSameBytes) {
  std::string bytes = EveryKindFile(), text, built, error;
  ASSERT_TRUE(GuiDump(bytes, text, error)) << error;
  ASSERT_TRUE(GuiBuild(text, built, error)) << error;
  EXPECT_TRUE(built == bytes);
  for (const char* line : {"caption \"OK\"", "items 2", "position 0.5", "color 0.5 0.25 1 0.75", "pages 3",
                           "text \"one\\rtwo\\r\"", "blendsrc 770"})
    EXPECT_NE(text.find(line), std::string::npos) << line;

  // Values no writer of ours produces still come back exactly.
  std::string odd = bytes;
  const size_t z = bytes.find("\x04\x00" "Copy") - 55;  // the popup menu's depth
  odd.replace(z, 4, std::string("\x01\x00\xC0\x7F", 4));      // a NaN with a payload
  std::string oddText, oddBuilt;
  ASSERT_TRUE(GuiDump(odd, oddText, error)) << error;
  EXPECT_NE(oddText.find("z bits:7fc00001"), std::string::npos);
  ASSERT_TRUE(GuiBuild(oddText, oddBuilt, error)) << error;
  EXPECT_TRUE(oddBuilt == odd);
}

TEST_F(GuiToolTest, AnEditedDumpLoadsIntoTheGame) {
  std::string text, built, error;
  ASSERT_TRUE(GuiDump(EveryKindFile(), text, error));
  size_t at = text.find("caption \"OK\"");
  text.replace(at, 12, "caption \"Start \\\"now\\\"\\xE4\"");
  ASSERT_TRUE(GuiBuild(text, built, error)) << error;
  WriteFile(dir / "edited.gui", built);
  std::vector<int32_t> indices(1, -1);
  ASSERT_TRUE(gui.LoadGUIFile(dir / "edited.gui", indices));
  EXPECT_EQ(gui.Windows[indices[0]]->Buttons[0]->Caption, "Start \"now\"\xE4");
}

TEST_F(GuiToolTest, BadInputIsReportedWithItsPlace) {
  std::string bytes = EveryKindFile(), text, out, error;
  EXPECT_FALSE(GuiDump(bytes.substr(0, 300), out, error));
  EXPECT_NE(error.find("byte offset"), std::string::npos) << error;
  EXPECT_FALSE(GuiDump(bytes + "x", out, error));
  ASSERT_TRUE(GuiDump(bytes, text, error));
  const struct {
    std::string from, to, message;
  } cases[] = {
      {"caption \"OK\"", "label \"OK\"", "expected \"caption\""},
      {"caption \"OK\"", "caption OK", "quoted"},
      {"textx 5", "textx five", "not a number"},
      {"movable 1", "movable 256", "not a number"},
      {"buttons 1", "buttons 0", "not a number"},
      {"position 0.5", "position nan", "finite"},
      {"color 0.5 0.25 1 0.75", "color 0.5 0.25 1", "four numbers"},
      {"caption \"OK\"", "caption \"OK\\q\"", "escape"},
  };
  for (const auto& c : cases) {
    std::string bad = text;
    bad.replace(bad.find(c.from), c.from.size(), c.to);
    EXPECT_FALSE(GuiBuild(bad, out, error)) << c.to;
    EXPECT_NE(error.find("line "), std::string::npos) << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
  EXPECT_FALSE(GuiBuild(text.substr(0, text.size() / 2), out, error));
  EXPECT_FALSE(GuiBuild(text + "x 1\n", out, error));
  EXPECT_TRUE(GuiBuild(text + "# a remark\n\n", out, error));
}

TEST_F(GuiToolTest, CommandLine) {
  const std::string tool = std::string(GRIMVALE_BIN_DIR) + "/guitool";
  std::string bytes = EveryKindFile();
  auto run = [&](const std::string& args) { return std::system((tool + " " + args + " 2>/dev/null").c_str()); };
  ASSERT_EQ(run("dump " + dir / "all.gui" + " > " + dir / "all.txt"), 0);
  ASSERT_EQ(run("build " + dir / "all.txt" + " " + dir / "again.gui"), 0);
  EXPECT_TRUE(ReadFile(dir / "again.gui") == bytes);
  EXPECT_NE(run("dump " + dir / "missing.gui"), 0);
  EXPECT_NE(run("frobnicate"), 0);
}

}  // namespace
