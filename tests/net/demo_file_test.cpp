// The demo file: what the writer writes reads back record for record, every
// kind of damage is refused with a reason before anything is played, and a
// file cut before its end record reads up to its last whole record.
#include "net/demo_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<TDemoRecord> SampleRecords() {
  TDemoRecord info;
  info.Time = 0;
  info.Kind = TDemoKind::Message;
  info.Message = MakeMessage(7, "Server", "2");
  info.Message.F[0] = 9;
  TDemoRecord position;
  position.Time = 40;
  position.Kind = TDemoKind::Datagram;
  position.Datagram = {1.5f, 2, -3, 90, -10, 100, 4, 0x4123};
  TDemoRecord view;
  view.Time = 41;
  view.Kind = TDemoKind::View;
  view.View = {7, 8, 9, 180, 5, 73, 20, 1, false, -250};
  TDemoRecord end;
  end.Time = 1000;
  end.Kind = TDemoKind::End;
  return {info, position, view, end};
}

TEST(DemoFile, WhatTheWriterWritesReadsBackRecordForRecord) {
  TempDir dir;
  const std::string path = dir / "sub/a.dem";
  TDemoWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(path, "compound", error)) << error;
  const std::vector<TDemoRecord> records = SampleRecords();
  writer.Message(records[0].Time, records[0].Message);
  writer.Datagram(records[1].Time, records[1].Datagram);
  writer.View(records[2].Time, records[2].View);
  ASSERT_TRUE(writer.Finish(records[3].Time));

  TDemo demo;
  ASSERT_TRUE(ReadDemo(path, demo, error)) << error;
  EXPECT_EQ(demo.Bytes, EncodeDemo("compound", records));
  EXPECT_EQ(demo.Level, "compound");
  EXPECT_EQ(demo.Duration, 1000u);
  EXPECT_EQ(demo.Records, 3u);
  size_t at = demo.FirstRecord;
  TDemoRecord r;
  ASSERT_TRUE(NextRecord(demo, at, r));
  EXPECT_EQ(r.Message.S1, "Server");
  EXPECT_EQ(r.Message.F[0], 9);
  ASSERT_TRUE(NextRecord(demo, at, r));
  EXPECT_EQ(r.Time, 40u);
  EXPECT_EQ(r.Datagram.Index, 4);
  EXPECT_EQ(r.Datagram.Stamp, 0x4123);
  ASSERT_TRUE(NextRecord(demo, at, r));
  EXPECT_EQ(r.View.Money, -250);
  EXPECT_EQ(r.View.Health, 73);
  EXPECT_FALSE(NextRecord(demo, at, r));
}

// Every cut of a file without its end record: before the first whole record
// it is refused; after, it reads the whole records before the cut and ends
// at the last one's time, with a warning naming where it stops.
TEST(DemoFile, ACutFileReadsUpToItsLastWholeRecord) {
  const std::vector<TDemoRecord> records = SampleRecords();
  const std::vector<uint8_t> whole = EncodeDemo("arena", records);
  std::vector<size_t> ends;  // where each record ends, the end record's excluded
  for (size_t n = 1; n < records.size(); ++n)
    ends.push_back(EncodeDemo("arena", std::vector<TDemoRecord>(records.begin(), records.begin() + n)).size());
  for (size_t n = 0; n < ends.back() + 5; ++n) {
    SCOPED_TRACE(n);
    TDemo demo;
    std::string error;
    const bool read = ParseDemo({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)}, demo, error);
    const size_t kept = static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), n) - ends.begin());
    if (kept == 0) {
      EXPECT_FALSE(read);
      EXPECT_FALSE(error.empty());
      continue;
    }
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(demo.Records, kept);
    EXPECT_EQ(demo.Duration, records[kept - 1].Time);
    EXPECT_EQ(demo.Warning, "cut short at byte " + std::to_string(ends[kept - 1]) + " (no end record): it plays to 0.0 s");
    size_t at = demo.FirstRecord, played = 0;
    TDemoRecord r;
    while (NextRecord(demo, at, r)) ++played;
    EXPECT_EQ(played, kept);
  }
}

TEST(DemoFile, DamageIsRefusedWithItsReason) {
  const std::vector<uint8_t> good = EncodeDemo("arena", SampleRecords());
  const size_t first = 11 + 5;  // the first record, after the header of "arena"
  struct TCase {
    const char* Name;
    std::vector<uint8_t> Bytes;
    const char* Reason;
  };
  auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = good;
    b[at] = value;
    return b;
  };
  std::vector<uint8_t> trailing = good;
  trailing.push_back(0);
  std::vector<uint8_t> cutUnknown = good;  // the view record (41 ms) made kind 9, cut in its payload
  cutUnknown[good.size() - 5 - 28 - 5 + 4] = 9;
  const TCase cases[] = {
      {"foreign", {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0}, "not a demo file"},
      {"newer version", EncodeDemo("arena", SampleRecords(), 2), "demo version 2, this game plays version 1"},
      {"no level name", with(10, 0), "damaged header"},
      {"level name past the end", with(10, 200), "damaged header"},
      {"unknown kind", with(first + 4, 9), "unknown record kind 9"},
      {"bad string length", with(first + 5 + 1, 26), "damaged message"},
      {"time goes back", with(first, 0xFF), "time goes back"},  // the first record at 255 ms, the next at 40
      // A cut does not excuse what the bytes before it show.
      {"cut in a record of unknown kind", {cutUnknown.begin(), cutUnknown.end() - 30}, "unknown record kind 9"},
      {"data after the end", trailing, "data after the end record"},
  };
  for (const TCase& c : cases) {
    TDemo demo;
    std::string error;
    EXPECT_FALSE(ParseDemo(c.Bytes, demo, error)) << c.Name;
    EXPECT_NE(error.find(c.Reason), std::string::npos) << c.Name << ": " << error;
  }
}

TEST(DemoFile, AMissingFileIsNamed) {
  TDemo demo;
  std::string error;
  EXPECT_FALSE(ReadDemo("/nonexistent/x.dem", demo, error));
  EXPECT_EQ(error, "/nonexistent/x.dem: no such demo");
}

}  // namespace
