// Reader and writer of the game's own binary files (map.lvl, .gui).
//
// On disk, all little-endian, nothing aligned:
//   string   2 + n   u16 length n, then n bytes (no terminator; n = 0 is "")
//   byte     1       u8 (also booleans 0/1)
//   word     2       u16          smallint 2  i16 (-1 = none)
//   integer  4       i32          cardinal 4  u32
//   single   4       IEEE 754 float
// File header: three strings, file type, author ("Orvel Mandra"), version.
//
// A read past the end transfers the bytes that are left and leaves the rest of
// its destination unchanged; it reports nothing itself but sets the sticky
// Overread flag, and Remaining() tells how much is left, so the format readers
// above can check counts before allocating.
#pragma once
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

// The file could not be opened or created.
class EFileOpenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TBinaryFile {
 public:
  // Read mode opens an existing file; write mode creates or truncates it.
  // Throws EFileOpenError naming the file on failure. The game path goes
  // through HostPath.
  TBinaryFile(const std::string& fileName, bool writeMode);
  ~TBinaryFile();
  TBinaryFile(const TBinaryFile&) = delete;
  TBinaryFile& operator=(const TBinaryFile&) = delete;

  void Close();

  void WriteHeader(const std::string& version, const std::string& fileType);
  void ReadHeader();

  void ReadString(std::string& value);
  void WriteString(const std::string& value);
  void ReadByte(uint8_t& value);
  void WriteByte(uint8_t value);
  void ReadWord(uint16_t& value);
  void WriteWord(uint16_t value);
  void ReadSmallInt(int16_t& value);
  void WriteSmallInt(int16_t value);
  void ReadInteger(int32_t& value);
  void WriteInteger(int32_t value);
  void ReadCardinal(uint32_t& value);
  void WriteCardinal(uint32_t value);
  void ReadSingle(float& value);
  void WriteSingle(float value);

  // Raw blocks for the formats that copy records directly. ReadBlock returns
  // the bytes actually read; the rest of the destination is left as it was.
  size_t ReadBlock(void* data, size_t count);
  void WriteBlock(const void* data, size_t count);

  uint64_t Position() const { return position; }
  uint64_t Size() const { return size; }
  uint64_t Remaining() const { return size > position ? size - position : 0; }
  bool Overread() const { return overread; }

  bool WriteMode;
  std::string FileName;
  std::string Author;
  std::string FileType;
  std::string Version;

 private:
  std::FILE* stream = nullptr;
  uint64_t position = 0;
  uint64_t size = 0;
  bool overread = false;
};
