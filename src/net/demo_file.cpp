// Demo file format, version 1. Every number is little-endian; singles are
// IEEE 754.
//
// Header, 11 + n bytes:
//   offset  size  field
//     0      8    magic "GRIMDEMO"
//     8      2    version (1)
//    10      1    n, the length of the level's name, 1..25
//    11      n    the level's name (a directory under data/maps/)
//
// Then records, one after the other:
//     0      4    time: ms since the recording started, never smaller than
//                 the record before
//     4      1    kind
//     5      ..   payload, its size fixed by the kind:
//   kind 1, message, 104 bytes: a server message exactly as on the wire
//          (net_codec.cpp); its string lengths must be valid
//   kind 2, datagram, 24 bytes: a server datagram as on the wire
//   kind 3, view, 28 bytes: the recorder's own character
//     0  4  X single           12  4  yaw, degrees     20  1  health
//     4  4  Y                  16  4  pitch, degrees   21  1  armour
//     8  4  Z                                          22  1  weapon slot, 0..3
//                                                      23  1  1: dead, 0: alive
//                                                      24  4  money, signed
//   kind 4, end, no payload: the last record; its time is the demo's length.
//          A file that goes on after it is refused. One that stops before it
//          (a recording killed or out of disk space) is read up to its last
//          whole record, as if the end record followed it, with a warning; a
//          record cut in two must still have a known kind and a time that
//          does not go back, as far as its bytes reach.
//
// A recording starts with the messages that bring a fresh client up to the
// state of the game (start information, who is out of play, gravity and
// speed, every player's state, scores and deaths), so playback needs nothing
// but the file and the level.
#include "net/demo_file.h"

#include "core/byte_reader.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/paths.h"

namespace {

constexpr char kMagic[8] = {'G', 'R', 'I', 'M', 'D', 'E', 'M', 'O'};
constexpr size_t kHeaderSize = 11;
constexpr size_t kRecordHead = 5;
constexpr size_t kViewSize = 28;

size_t PayloadSize(uint8_t kind) {
  switch (static_cast<TDemoKind>(kind)) {
    case TDemoKind::Message: return kMessageSize;
    case TDemoKind::Datagram: return kDatagramSize;
    case TDemoKind::View: return kViewSize;
    case TDemoKind::End: return 0;
  }
  return SIZE_MAX;
}

void EncodeView(const TDemoView& v, uint8_t out[kViewSize]) {
  const float values[5] = {v.X, v.Y, v.Z, v.Yaw, v.Pitch};
  for (int i = 0; i < 5; ++i) StoreLEFloat(out + 4 * i, values[i]);
  out[20] = v.Health;
  out[21] = v.Armour;
  out[22] = v.WeaponSlot;
  out[23] = v.Dead ? 1 : 0;
  StoreLE32(out + 24, static_cast<uint32_t>(v.Money));
}

TDemoView DecodeView(const uint8_t in[kViewSize]) {
  TDemoView v;
  v.X = LoadLEFloat(in);
  v.Y = LoadLEFloat(in + 4);
  v.Z = LoadLEFloat(in + 8);
  v.Yaw = LoadLEFloat(in + 12);
  v.Pitch = LoadLEFloat(in + 16);
  v.Health = in[20];
  v.Armour = in[21];
  v.WeaponSlot = in[22];
  v.Dead = in[23] != 0;
  v.Money = static_cast<int32_t>(LoadLE32(in + 24));
  return v;
}

// A record's bytes: head and payload.
std::vector<uint8_t> EncodeRecord(const TDemoRecord& r) {
  std::vector<uint8_t> out(kRecordHead + PayloadSize(static_cast<uint8_t>(r.Kind)));
  StoreLE32(out.data(), r.Time);
  out[4] = static_cast<uint8_t>(r.Kind);
  uint8_t* payload = out.data() + kRecordHead;
  switch (r.Kind) {
    case TDemoKind::Message: EncodeMessage(r.Message, payload); break;
    case TDemoKind::Datagram: EncodeDatagram(r.Datagram, payload); break;
    case TDemoKind::View: EncodeView(r.View, payload); break;
    case TDemoKind::End: break;
  }
  return out;
}

std::vector<uint8_t> EncodeHeader(const std::string& level, uint16_t version) {
  std::vector<uint8_t> out(kMagic, kMagic + 8);
  out.push_back(static_cast<uint8_t>(version & 0xFF));
  out.push_back(static_cast<uint8_t>(version >> 8));
  out.push_back(static_cast<uint8_t>(level.size()));
  out.insert(out.end(), level.begin(), level.end());
  return out;
}

}  // namespace

bool ParseDemo(std::vector<uint8_t> bytes, TDemo& demo, std::string& error) {
  demo = TDemo{};
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, 8) != 0) {
    error = "not a demo file";
    return false;
  }
  const uint16_t version = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
  if (version != kDemoVersion) {
    error = "demo version " + std::to_string(version) + ", this game plays version " + std::to_string(kDemoVersion);
    return false;
  }
  const size_t nameLength = bytes[10];
  if (nameLength == 0 || nameLength > kMaxStringLength || bytes.size() < kHeaderSize + nameLength) {
    error = "damaged header (level name)";
    return false;
  }
  demo.Level.assign(reinterpret_cast<const char*>(bytes.data() + kHeaderSize), nameLength);
  size_t at = kHeaderSize + nameLength;
  demo.FirstRecord = at;
  uint32_t last = 0;
  // Where the bytes stop before the end record: the last whole record's end.
  auto cutShort = [&] {
    if (demo.Records == 0) {
      error = "truncated at byte " + std::to_string(at) + " (no record)";
      return false;
    }
    bytes.resize(at);
    const std::vector<uint8_t> end = EncodeRecord(TDemoRecord{last, TDemoKind::End, {}, {}, {}});
    bytes.insert(bytes.end(), end.begin(), end.end());
    demo.Warning = "cut short at byte " + std::to_string(at) + " (no end record): it plays to " +
                   std::to_string(last / 1000) + "." + std::to_string(last / 100 % 10) + " s";
    return true;
  };
  for (;;) {
    if (bytes.size() - at < kRecordHead) {
      if (!cutShort()) return false;
      break;
    }
    const uint32_t time = LoadLE32(bytes.data() + at);
    const uint8_t kind = bytes[at + 4];
    const size_t size = PayloadSize(kind);
    if (size == SIZE_MAX) {
      error = "unknown record kind " + std::to_string(kind) + " at byte " + std::to_string(at);
      return false;
    }
    if (time < last) {
      error = "time goes back at byte " + std::to_string(at);
      return false;
    }
    if (bytes.size() - at - kRecordHead < size) {
      if (!cutShort()) return false;
      break;
    }
    TNetMessage m;
    if (static_cast<TDemoKind>(kind) == TDemoKind::Message && !DecodeMessage(bytes.data() + at + kRecordHead, m)) {
      error = "damaged message at byte " + std::to_string(at);
      return false;
    }
    last = time;
    at += kRecordHead + size;
    if (static_cast<TDemoKind>(kind) == TDemoKind::End) break;
    ++demo.Records;
  }
  if (demo.Warning.empty() && at != bytes.size()) {
    error = "data after the end record at byte " + std::to_string(at);
    return false;
  }
  demo.Duration = last;
  demo.Bytes = std::move(bytes);
  return true;
}

bool ReadDemo(const std::string& path, TDemo& demo, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = path + ": no such demo";
    return false;
  }
  std::vector<uint8_t> bytes;
  bool tooLarge = false;
  uint8_t buffer[65536];
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof buffer, f);
    if (n == 0) break;
    if (bytes.size() + n > kMaxDemoBytes) {
      tooLarge = true;
      break;
    }
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  const bool readError = std::ferror(f) != 0;
  std::fclose(f);
  if (tooLarge || readError) {
    error = path + (tooLarge ? ": larger than any demo" : ": cannot be read");
    return false;
  }
  if (!ParseDemo(std::move(bytes), demo, error)) {
    error = path + ": " + error;
    return false;
  }
  if (!demo.Warning.empty()) demo.Warning = path + ": " + demo.Warning;
  return true;
}

bool NextRecord(const TDemo& demo, size_t& offset, TDemoRecord& r) {
  const uint8_t* p = demo.Bytes.data() + offset;
  r.Time = LoadLE32(p);
  r.Kind = static_cast<TDemoKind>(p[4]);
  const uint8_t* payload = p + kRecordHead;
  switch (r.Kind) {
    case TDemoKind::Message: DecodeMessage(payload, r.Message); break;
    case TDemoKind::Datagram: r.Datagram = DecodeDatagram(payload); break;
    case TDemoKind::View: r.View = DecodeView(payload); break;
    case TDemoKind::End: return false;
  }
  offset += kRecordHead + PayloadSize(p[4]);
  return true;
}

std::vector<uint8_t> EncodeDemo(const std::string& level, const std::vector<TDemoRecord>& records, uint16_t version) {
  std::vector<uint8_t> out = EncodeHeader(level, version);
  for (const TDemoRecord& r : records) {
    const std::vector<uint8_t> bytes = EncodeRecord(r);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

// ---- writer ----

TDemoWriter::~TDemoWriter() {
  if (file) std::fclose(file);
}

bool TDemoWriter::Open(const std::string& path, const std::string& level, std::string& error) {
  if (level.empty() || level.size() > kMaxStringLength) {
    error = "the level's name \"" + level + "\" cannot be recorded";
    return false;
  }
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos) MakeDirectories(path.substr(0, slash));
  file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  const std::vector<uint8_t> header = EncodeHeader(level, kDemoVersion);
  failed = std::fwrite(header.data(), 1, header.size(), file) != header.size();
  written = header.size();
  return true;
}

void TDemoWriter::Record(uint32_t time, TDemoKind kind, const uint8_t* payload, size_t size) {
  // After a failed write nothing more: a later one that succeeds (space
  // freed) would leave a gap in the middle, which reads as damage.
  if (!file || failed) return;
  uint8_t head[kRecordHead];
  StoreLE32(head, time);
  head[4] = static_cast<uint8_t>(kind);
  failed |= std::fwrite(head, 1, kRecordHead, file) != kRecordHead;
  if (size) failed |= std::fwrite(payload, 1, size, file) != size;
  written += kRecordHead + size;
}

void TDemoWriter::Message(uint32_t time, const TNetMessage& message) {
  uint8_t bytes[kMessageSize];
  EncodeMessage(message, bytes);
  Record(time, TDemoKind::Message, bytes, kMessageSize);
}

void TDemoWriter::Datagram(uint32_t time, const TDatagram& datagram) {
  uint8_t bytes[kDatagramSize];
  EncodeDatagram(datagram, bytes);
  Record(time, TDemoKind::Datagram, bytes, kDatagramSize);
}

void TDemoWriter::View(uint32_t time, const TDemoView& view) {
  uint8_t bytes[kViewSize];
  EncodeView(view, bytes);
  Record(time, TDemoKind::View, bytes, kViewSize);
}

bool TDemoWriter::Finish(uint32_t time) {
  if (!file) return false;
  Record(time, TDemoKind::End, nullptr, 0);
  failed |= std::fclose(file) != 0;
  file = nullptr;
  return !failed;
}
