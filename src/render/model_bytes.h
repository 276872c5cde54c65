// A bounded little-endian cursor over bytes held in memory, shared by the
// model readers. Every read checks the bytes left before its end; a read past
// it sets the sticky Overread flag and yields zero, so a reader can read a
// record and check once.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Logs a problem with a model or skeleton file as an error line.
void ModelLog(const std::string& message);
// The whole file behind a game path; throws EFileOpenError when it cannot be
// read.
std::string ReadModelFile(const std::string& fileName);

// The lines of a text file, without their line ends ("\n" or "\r\n").
std::vector<std::string> SplitLines(const std::string& bytes);
// A line's items, separated by blanks, tabs and commas; a double-quoted item
// is kept whole (blanks and commas included) and loses its quotes.
std::vector<std::string> SplitItems(const std::string& line);

class TByteCursor {
 public:
  TByteCursor(const std::string& bytes, size_t start, size_t end) : data(bytes.data()), pos(start), end(end) {}

  size_t Position() const { return pos; }
  size_t End() const { return end; }
  size_t Remaining() const { return pos < end ? end - pos : 0; }
  bool Overread() const { return overread; }
  void Seek(size_t to) { pos = to < end ? to : end; }

  uint16_t U16() {
    if (!Need(2)) return 0;
    auto b = reinterpret_cast<const unsigned char*>(data + pos);
    pos += 2;
    return static_cast<uint16_t>(b[0] | b[1] << 8);
  }
  uint32_t U32() {
    if (!Need(4)) return 0;
    auto b = reinterpret_cast<const unsigned char*>(data + pos);
    pos += 4;
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float F32() { return std::bit_cast<float>(U32()); }
  uint8_t U8() {
    if (!Need(1)) return 0;
    return static_cast<uint8_t>(data[pos++]);
  }
  // Bytes up to and excluding a 0 byte, which is consumed; without one, the
  // rest up to the end.
  std::string CString() {
    size_t start = pos;
    while (pos < end && data[pos] != 0) ++pos;
    std::string text(data + start, pos - start);
    if (pos < end) ++pos;
    return text;
  }
  // count bytes as text, cut at the first 0 byte.
  std::string Text(size_t count) {
    if (!Need(count)) return {};
    std::string text(data + pos, count);
    pos += count;
    size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
  }

 private:
  bool Need(size_t count) {
    if (pos <= end && end - pos >= count) return true;
    overread = true;
    pos = end;
    return false;
  }

  const char* data;
  size_t pos;
  size_t end;
  bool overread = false;
};
