// The INI layer: conversions, case, line endings, limits and rewrites that
// keep what the user wrote.
#include "core/ini_file.h"
#include "core/paths.h"
#include "test_support.h"

#include <gtest/gtest.h>

TEST(IniFile, ReadsValuesByKind) {
  TempDir dir;
  WriteFile(dir / "c.ini",
            "[TVideoConfig]\r\n"
            "ResolutionX=0x320\r\n"
            "resolutiony = 600 \r\n"
            "GoWindowMode=2\r\n"
            "Gamma=abc\r\n"
            "Neg=-0x10\r\n"
            "Hex2=$1F\r\n"
            "Quoted=\"a b\"\r\n"
            "Trailing=12abc\r\n"
            "[tvideoconfig]\r\n"
            "ResolutionX=1024\r\n");
  TIniFile ini(dir / "c.ini");
  struct Case {
    const char* key;
    int32_t def, expected;
  } ints[] = {{"ResolutionX", 0, 800}, {"RESOLUTIONY", 0, 600}, {"GoWindowMode", 0, 2},
              {"Missing", 42, 42},     {"Hex2", 0, 31},        {"Trailing", 9, 9}};
  for (const Case& c : ints) EXPECT_EQ(ini.ReadInteger("tVideoConfig", c.key, c.def), c.expected) << c.key;
  EXPECT_TRUE(ini.ReadBool("TVideoConfig", "GoWindowMode", false));
  EXPECT_EQ(ini.ReadFloat("TVideoConfig", "Gamma", 0.75), 0.75);
  EXPECT_EQ(ini.ReadString("TVideoConfig", "Quoted", ""), "a b");
  EXPECT_EQ(ini.ReadString("NoSection", "x", "def"), "def");
  EXPECT_EQ(ini.ReadInteger(" TVideoConfig", "Hex2 ", 0), 31);  // names asked for with blanks
}

TEST(IniFile, CutsLongValuesAndSurvivesGarbage) {
  TempDir dir;
  std::string garbage = "[S]\nlong=" + std::string(3000, 'v') + "\n" + std::string(100000, 'x') +
                        "\n[Broken\nk=1\n\x01\x02\xff=" + std::string("\x00\x07", 2) +
                        "\n[S2]\nlast=5";  // no final newline
  WriteFile(dir / "c.ini", garbage);
  TIniFile ini(dir / "c.ini");
  EXPECT_EQ(ini.ReadString("S", "long", "").size(), 2047u);
  // A header without "]" is no section: its key belongs to the section before.
  EXPECT_EQ(ini.ReadInteger("S", "k", 0), 1);
  EXPECT_EQ(ini.ReadInteger("S2", "last", 0), 5);
}

TEST(IniFile, WritesKeepCommentsUnknownKeysOrderAndLineEnding) {
  TempDir dir;
  WriteFile(dir / "c.ini", "; my settings\r\n[A]\r\nunknown=keep\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  TIniFile ini(dir / "c.ini");
  ini.WriteInteger("a", "X", 3);
  ini.WriteBool("A", "flag", true);
  ini.WriteFloat("C", "f", 0.5);
  EXPECT_EQ(ReadFile(dir / "c.ini"),
            "; my settings\r\n[A]\r\nunknown=keep\r\nX=3\r\nflag=1\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nf=0.5\r\n");
  EXPECT_FALSE(FileExists(dir / "c.ini.tmp"));
}

TEST(IniFile, WriteCreatesFileAndFailsLoudlyWhenItCannot) {
  TempDir dir;
  TIniFile fresh(dir / "new.ini");
  fresh.WriteString("S", "k", "v");
  EXPECT_EQ(ReadFile(dir / "new.ini"), "[S]\nk=v\n");

  TIniFile blocked(dir / "missing-dir/x.ini");
  try {
    blocked.WriteString("S", "k", "v");
    FAIL() << "no error";
  } catch (const EIniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "In " + (dir / "missing-dir/x.ini") + " kann nicht geschrieben werden");
  }
}
