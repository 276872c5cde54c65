// Demo files: what a session received (or, on a server, what it sent to
// every client), each message and datagram with its time, and the recorder's
// own view. The byte layout is documented in demo_file.cpp. The writer
// appends records as they come; the reader checks a whole file before any of
// it is played, so a damaged file is refused up front and playback never
// meets a bad record. A recording that stops short of its end record plays
// up to its last whole record, with a warning.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "net/net_codec.h"

inline constexpr uint16_t kDemoVersion = 1;
// Larger files are refused before anything is read: about three hours of a
// full server.
inline constexpr uint64_t kMaxDemoBytes = 256u << 20;

// The recorder's own character: where it is and looks, and what the HUD
// shows of it.
struct TDemoView {
  float X = 0, Y = 0, Z = 0, Yaw = 0, Pitch = 0;
  uint8_t Health = 0, Armour = 0, WeaponSlot = 0;
  bool Dead = false;
  int32_t Money = 0;
};

enum class TDemoKind : uint8_t { Message = 1, Datagram = 2, View = 3, End = 4 };

struct TDemoRecord {
  uint32_t Time = 0;  // ms since the recording started
  TDemoKind Kind = TDemoKind::End;
  TNetMessage Message;
  TDatagram Datagram;
  TDemoView View;
};

// A checked demo: its level and its records, still as bytes (a long demo
// stays one buffer rather than a record object each).
struct TDemo {
  std::string Level;
  std::vector<uint8_t> Bytes;
  size_t FirstRecord = 0;  // offset of the first record
  uint32_t Duration = 0;   // the end record's time
  size_t Records = 0;      // the end record not counted
  // Not empty when the file stops without its end record: what was cut.
  // Bytes then hold the whole records and an end record at the last one's time.
  std::string Warning;
};

// Checks bytes as a demo; false with a reason ("unknown record kind 9 at
// byte 812", ...) when anything is wrong.
bool ParseDemo(std::vector<uint8_t> bytes, TDemo& demo, std::string& error);
// Reads and checks a file; the error names the file.
bool ReadDemo(const std::string& path, TDemo& demo, std::string& error);
// The record at offset (which must be one ParseDemo walked) and the offset
// after it; false at the end record.
bool NextRecord(const TDemo& demo, size_t& offset, TDemoRecord& record);

// Appends records to a file. Times are given by the caller and must not
// decrease; Finish writes the end record and closes the file.
class TDemoWriter {
 public:
  TDemoWriter() = default;
  ~TDemoWriter();
  TDemoWriter(const TDemoWriter&) = delete;
  TDemoWriter& operator=(const TDemoWriter&) = delete;

  // Creates the file (its directory too) and writes the header. False with
  // the reason when the file cannot be created or the level name is not 1 to
  // 25 characters.
  bool Open(const std::string& path, const std::string& level, std::string& error);
  void Message(uint32_t time, const TNetMessage& message);
  void Datagram(uint32_t time, const TDatagram& datagram);
  void View(uint32_t time, const TDemoView& view);
  // False when any write failed (a full disk): the file then stops at or
  // within the record that failed, without an end record, and plays up to
  // the last whole record with a warning. Nothing is written after a failure.
  bool Finish(uint32_t time);
  bool IsOpen() const { return file != nullptr; }
  uint64_t BytesWritten() const { return written; }

 private:
  void Record(uint32_t time, TDemoKind kind, const uint8_t* payload, size_t size);
  std::FILE* file = nullptr;
  bool failed = false;
  uint64_t written = 0;
};

// A demo as bytes, for tests and the fuzz corpus: the header of `level` and
// `version`, then the records (an End record is not added).
std::vector<uint8_t> EncodeDemo(const std::string& level, const std::vector<TDemoRecord>& records,
                                uint16_t version = kDemoVersion);
