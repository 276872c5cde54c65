// The binary primitives: exact bytes, header, and reads past the end.
#include "core/binary_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(BinaryFile, WritesExactBytes) {
  TempDir dir;
  {
    TBinaryFile f(dir / "a.bin", true);
    f.WriteHeader("0.2.5", "Level");
    f.WriteString("");
    f.WriteSmallInt(-1);
    f.WriteWord(65535);
    f.WriteInteger(-2);
    f.WriteCardinal(0x01020304);
    f.WriteSingle(1.0f);
    f.WriteByte(7);
  }
  std::string expected = std::string("\x05\x00Level\x0C\x00Orvel Mandra\x05\x00" "0.2.5", 28) +
                         std::string("\x00\x00\xFF\xFF\xFF\xFF\xFE\xFF\xFF\xFF\x04\x03\x02\x01\x00\x00\x80\x3F\x07", 19);
  EXPECT_EQ(ReadFile(dir / "a.bin"), expected);

  TBinaryFile r(dir / "a.bin", false);
  r.ReadHeader();
  EXPECT_EQ(r.FileType, "Level");
  EXPECT_EQ(r.Author, "Orvel Mandra");
  EXPECT_EQ(r.Version, "0.2.5");
  std::string s = "x";
  int16_t si;
  uint16_t w;
  int32_t i;
  uint32_t c;
  float f;
  uint8_t b;
  r.ReadString(s);
  r.ReadSmallInt(si);
  r.ReadWord(w);
  r.ReadInteger(i);
  r.ReadCardinal(c);
  r.ReadSingle(f);
  r.ReadByte(b);
  EXPECT_EQ(s, "");
  EXPECT_EQ(si, -1);
  EXPECT_EQ(w, 65535);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(c, 0x01020304u);
  EXPECT_EQ(f, 1.0f);
  EXPECT_EQ(b, 7);
  EXPECT_FALSE(r.Overread());
  EXPECT_EQ(r.Remaining(), 0u);
}

TEST(BinaryFile, ReadPastEndKeepsRestOfDestination) {
  TempDir dir;
  WriteFile(dir / "short.bin", std::string("\xAA\xBB", 2));
  TBinaryFile r(dir / "short.bin", false);
  int32_t value = 0x11223344;
  r.ReadInteger(value);
  EXPECT_EQ(static_cast<uint32_t>(value), 0x1122BBAAu);  // two bytes read, upper two kept
  EXPECT_TRUE(r.Overread());
  std::string s = "old";
  r.ReadString(s);  // the length itself is missing: reads as 0
  EXPECT_EQ(s, "");

  WriteFile(dir / "cut.bin", std::string("\x05\x00" "ab", 4));
  TBinaryFile cut(dir / "cut.bin", false);
  cut.ReadString(s);
  EXPECT_EQ(s, "ab");
}

TEST(BinaryFile, LongStringIsStoredModulo65536) {
  TempDir dir;
  {
    TBinaryFile f(dir / "s.bin", true);
    f.WriteString(std::string(65536 + 3, 'q'));
  }
  EXPECT_EQ(ReadFile(dir / "s.bin"), std::string("\x03\x00qqq", 5));
}

TEST(BinaryFile, OpenErrorsAndTruncation) {
  TempDir dir;
  EXPECT_THROW(TBinaryFile(dir / "missing.bin", false), EFileOpenError);
  WriteFile(dir / "old.bin", "0123456789");
  { TBinaryFile f(dir / "old.bin", true); }
  EXPECT_EQ(ReadFile(dir / "old.bin"), "");
}

TEST(BinaryFile, GamePathsFindFilesWhateverTheirCase) {
  TempDir dir;
  std::filesystem::create_directories(dir / "Data/Maps");
  WriteFile(dir / "Data/Maps/Map.LVL", "x");
  TBinaryFile f(dir.Path() + "data\\maps\\map.lvl", false);
  EXPECT_EQ(f.Size(), 1u);
}
