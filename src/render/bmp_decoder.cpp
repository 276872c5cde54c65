// BMP decoder. The file, all little-endian:
//   file header, 14 bytes: 0 "BM"; 2 u32 file size (not trusted); 6 reserved;
//     10 u32 offset of the pixel data from the start of the file
//   information header at 14: 0 u32 its size (40, or 52/56/108/124 for the
//     later versions, whose extra fields are not needed); 4 i32 width;
//     8 i32 height, negative when the top row is stored first; 12 u16 planes;
//     14 u16 bits per pixel (1, 4, 8, 24, 32); 16 u32 compression (0 none,
//     3 bit fields); 20 u32 image size; 24, 28 resolutions; 32 u32 colours
//     used (0: all 2^bits); 36 important colours
//   bit-field masks R, G, B (3 x u32) at offset 40 of the information header;
//     they lie inside it from size 52 on and follow a 40-byte one
//   colour table after the information header (and masks): B, G, R, 0 per entry
//   pixels at the pixel offset, rows bottom first unless the height is
//     negative, each row padded to a multiple of four bytes; 32-bit pixels are
//     B, G, R, x; palette indices are packed from the high bits of each byte.
// Run-length and other compressed files are refused, as are bit fields other
// than the plain 8-bit B, G, R layout. Every size is checked against the file
// before anything is allocated.
#include "render/bmp_decoder.h"

#include <cstdlib>

#include "core/byte_reader.h"

namespace {

constexpr uint32_t kNoCompression = 0;
constexpr uint32_t kBitFields = 3;

struct TBmpHeader {
  uint32_t pixelOffset = 0;
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 0;
  uint16_t bits = 0;
  uint32_t compression = 0;
  uint32_t imageSize = 0;
  uint32_t colorsUsed = 0;
};

bool ReadHeader(TByteReader& in, TBmpHeader& h) {
  const uint8_t* signature = in.Take(2);
  uint32_t fileSize = 0, reserved = 0, resolution = 0, important = 0;
  return signature && signature[0] == 'B' && signature[1] == 'M' && in.U32(fileSize) && in.U32(reserved) &&
         in.U32(h.pixelOffset) && in.U32(h.headerSize) && in.I32(h.width) && in.I32(h.height) &&
         in.U16(h.planes) && in.U16(h.bits) && in.U32(h.compression) && in.U32(h.imageSize) &&
         in.U32(resolution) && in.U32(resolution) && in.U32(h.colorsUsed) && in.U32(important);
}

}  // namespace

TBmpError DecodeBMP(const uint8_t* data, size_t size, TPixelImage& image, std::string& why) {
  auto fail = [&why](TBmpError error, std::string text) {
    why = std::move(text);
    return error;
  };
  TByteReader in(data, size);
  TBmpHeader h;
  if (!ReadHeader(in, h)) return fail(TBmpError::BitmapData, "not a bitmap or header cut short");
  if (h.headerSize < 40 || h.headerSize > 1024)
    return fail(TBmpError::BitmapData, "unsupported information header size " + std::to_string(h.headerSize));
  if (h.width <= 0 || h.width > kMaxImageSide || h.height == 0 || h.height > kMaxImageSide ||
      h.height < -kMaxImageSide)
    return fail(TBmpError::BitmapData,
                "bad size " + std::to_string(h.width) + " x " + std::to_string(h.height));
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24 && h.bits != 32)
    return fail(TBmpError::BitmapData, "unsupported " + std::to_string(h.bits) + " bits per pixel");

  size_t tablePos = 14 + static_cast<size_t>(h.headerSize);
  if (h.compression == kBitFields && h.bits == 32) {
    // Accepted only when the masks describe the uncompressed layout anyway.
    uint32_t red = 0, green = 0, blue = 0;
    if (!in.Seek(14 + 40) || !in.U32(red) || !in.U32(green) || !in.U32(blue))
      return fail(TBmpError::BitmapData, "bit-field masks cut short");
    if (red != 0x00FF0000 || green != 0x0000FF00 || blue != 0x000000FF)
      return fail(TBmpError::BitmapData, "unsupported bit-field layout");
    if (h.headerSize == 40) tablePos += 12;
  } else if (h.compression != kNoCompression) {
    return fail(TBmpError::BitmapData, "compressed bitmap (method " + std::to_string(h.compression) + ")");
  }

  uint8_t palette[256][3] = {};
  size_t tableEnd = tablePos;
  if (h.bits <= 8) {
    uint32_t entries = 1u << h.bits;
    if (h.colorsUsed != 0 && h.colorsUsed < entries) entries = h.colorsUsed;
    const uint8_t* table = in.Seek(tablePos) ? in.Take(entries * 4u) : nullptr;
    if (!table) return fail(TBmpError::Palette, "colour table cut short");
    for (uint32_t i = 0; i < entries; ++i)
      for (int c = 0; c < 3; ++c) palette[i][c] = table[i * 4 + 2 - c];  // B, G, R -> R, G, B
    tableEnd = tablePos + entries * 4u;
  }

  const size_t width = static_cast<size_t>(h.width);
  const size_t rows = static_cast<size_t>(std::abs(h.height));
  const size_t rowBits = width * h.bits;
  const size_t stride = (rowBits + 31) / 32 * 4;
  // The last row's padding is often left out by writers; it is not needed.
  const size_t needed = stride * (rows - 1) + (rowBits + 7) / 8;
  const size_t pixelPos = h.pixelOffset != 0 ? h.pixelOffset : tableEnd;
  if (pixelPos > size || needed > size - pixelPos)
    return fail(TBmpError::BitmapData, "pixel data runs past the end of the file");

  image.Width = h.width;
  image.Height = static_cast<int>(rows);
  image.Channels = 3;
  image.Pixels.assign(width * rows * 3, 0);
  const bool topDown = h.height < 0;
  const unsigned indexMask = h.bits <= 8 ? (1u << h.bits) - 1 : 0;
  for (size_t r = 0; r < rows; ++r) {
    const uint8_t* src = data + pixelPos + r * stride;
    uint8_t* dst = &image.Pixels[(topDown ? r : rows - 1 - r) * width * 3];
    for (size_t x = 0; x < width; ++x, dst += 3) {
      if (h.bits >= 24) {
        const uint8_t* p = src + x * (h.bits / 8);
        dst[0] = p[2];
        dst[1] = p[1];
        dst[2] = p[0];
      } else {
        size_t bit = x * h.bits;
        unsigned index = (src[bit / 8] >> (8 - h.bits - bit % 8)) & indexMask;
        dst[0] = palette[index][0];
        dst[1] = palette[index][1];
        dst[2] = palette[index][2];
      }
    }
  }
  return TBmpError::None;
}
