// Binary file primitives.
#include "core/binary_file.h"

#include "core/paths.h"

#include <cerrno>
#include <cstring>
#include <type_traits>

static constexpr const char* kAuthor = "Orvel Mandra";

TBinaryFile::TBinaryFile(const std::string& fileName, bool writeMode) : WriteMode(writeMode), FileName(fileName) {
  std::string path = HostPath(fileName);
  stream = std::fopen(path.c_str(), writeMode ? "wb" : "rb");
  if (!stream)
    throw EFileOpenError(std::string(writeMode ? "Cannot create file \"" : "Cannot open file \"") + fileName + "\": " +
                         std::strerror(errno));
  if (!writeMode && std::fseek(stream, 0, SEEK_END) == 0) {
    long end = std::ftell(stream);
    size = end > 0 ? static_cast<uint64_t>(end) : 0;
    std::fseek(stream, 0, SEEK_SET);
  }
}

TBinaryFile::~TBinaryFile() { Close(); }

void TBinaryFile::Close() {
  if (stream) std::fclose(stream);
  stream = nullptr;
}

void TBinaryFile::WriteHeader(const std::string& version, const std::string& fileType) {
  WriteString(fileType);
  WriteString(kAuthor);
  WriteString(version);
}

void TBinaryFile::ReadHeader() {
  ReadString(FileType);
  ReadString(Author);
  ReadString(Version);
}

size_t TBinaryFile::ReadBlock(void* data, size_t count) {
  size_t got = stream ? std::fread(data, 1, count, stream) : 0;
  position += got;
  if (got < count) overread = true;
  return got;
}

void TBinaryFile::WriteBlock(const void* data, size_t count) {
  if (stream && count) position += std::fwrite(data, 1, count, stream);
}

void TBinaryFile::ReadString(std::string& value) {
  uint16_t n = 0;
  ReadWord(n);
  if (n == 0) {
    value.clear();
    return;
  }
  std::string text(n, '\0');
  text.resize(ReadBlock(text.data(), n));
  value = std::move(text);
}

void TBinaryFile::WriteString(const std::string& value) {
  uint16_t n = static_cast<uint16_t>(value.size() & 0xFFFF);
  WriteWord(n);
  WriteBlock(value.data(), n);
}

// Integers travel through little-endian byte arrays, so a short read keeps the
// destination's remaining bytes.
template <typename T>
static void ToLE(T value, uint8_t* bytes) {
  using U = std::make_unsigned_t<T>;
  U u = static_cast<U>(value);
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(u >> (8 * i));
}

template <typename T>
static T FromLE(const uint8_t* bytes) {
  using U = std::make_unsigned_t<T>;
  U u = 0;
  for (size_t i = 0; i < sizeof(T); ++i) u = static_cast<U>(u | static_cast<U>(static_cast<U>(bytes[i]) << (8 * i)));
  return static_cast<T>(u);
}

#define BINARY_INT_IO(Name, T)                         \
  void TBinaryFile::Read##Name(T& value) {             \
    uint8_t bytes[sizeof(T)];                          \
    ToLE<T>(value, bytes);                             \
    ReadBlock(bytes, sizeof(T));                       \
    value = FromLE<T>(bytes);                          \
  }                                                    \
  void TBinaryFile::Write##Name(T value) {             \
    uint8_t bytes[sizeof(T)];                          \
    ToLE<T>(value, bytes);                             \
    WriteBlock(bytes, sizeof(T));                      \
  }

BINARY_INT_IO(Byte, uint8_t)
BINARY_INT_IO(Word, uint16_t)
BINARY_INT_IO(SmallInt, int16_t)
BINARY_INT_IO(Integer, int32_t)
BINARY_INT_IO(Cardinal, uint32_t)

void TBinaryFile::ReadSingle(float& value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  ReadCardinal(bits);
  std::memcpy(&value, &bits, 4);
}

void TBinaryFile::WriteSingle(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  WriteCardinal(bits);
}
