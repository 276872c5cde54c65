// Little-endian access to a file held in memory. Every read checks what is
// left first, so format readers can never index past the end of their input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class TByteReader {
 public:
  TByteReader(const uint8_t* data, size_t size) : data(data), size(size) {}

  size_t Size() const { return size; }
  size_t Position() const { return position; }
  size_t Remaining() const { return size - position; }

  // False (position unchanged) when the target lies beyond the end.
  bool Seek(size_t target) {
    if (target > size) return false;
    position = target;
    return true;
  }
  bool Skip(size_t count) { return count <= Remaining() && Seek(position + count); }

  // The next `count` bytes, consumed; null (nothing consumed) when fewer remain.
  const uint8_t* Take(size_t count) {
    if (count > Remaining()) return nullptr;
    const uint8_t* p = data + position;
    position += count;
    return p;
  }

  bool U8(uint8_t& value) {
    const uint8_t* p = Take(1);
    if (p) value = p[0];
    return p != nullptr;
  }
  bool U16(uint16_t& value) {
    const uint8_t* p = Take(2);
    if (p) value = static_cast<uint16_t>(p[0] | p[1] << 8);
    return p != nullptr;
  }
  bool U32(uint32_t& value) {
    const uint8_t* p = Take(4);
    if (p) value = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
    return p != nullptr;
  }
  bool I32(int32_t& value) {
    uint32_t raw = 0;
    if (!U32(raw)) return false;
    value = static_cast<int32_t>(raw);
    return true;
  }

 private:
  const uint8_t* data;
  size_t size;
  size_t position = 0;
};

// Appends little-endian integers to a byte string being built for a file.
inline void PutLE16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}
inline void PutLE32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// Little-endian values at a fixed place of a buffer the caller has sized.
inline void StoreLE32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}
inline uint32_t LoadLE32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void StoreLEFloat(uint8_t* p, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  StoreLE32(p, bits);
}
inline float LoadLEFloat(const uint8_t* p) {
  const uint32_t bits = LoadLE32(p);
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}
