// The BMP and TGA writers. The BMP written, all little-endian:
//   0 "BM"; 2 u32 file size 54 + w*h*4; 6 u32 0; 10 u32 pixel offset 54;
//   14 u32 40 (header size); 18 i32 w; 22 i32 h (positive: bottom row first);
//   26 u16 1 plane; 28 u16 32 bits; 30 u32 0 (no compression); 34 u32 w*h*4;
//   38..53 zero; 54 pixels B, G, R, A.
// The TGA written: 0 u8 0 (no ID); 1 u8 0 (no colour map); 2 u8 2 (true
//   colour); 3..11 zero; 12 u16 w; 14 u16 h; 16 u8 24 or 32 bits; 17 u8
//   descriptor: origin bottom left, and 8 alpha bits for 32-bit files;
//   18 pixels B, G, R(, A), rows tightly packed.
#include "render/image_writers.h"

#include <limits>
#include <stdexcept>

#include "core/byte_reader.h"

namespace {

// Bytes of the pixel block; throws when the sides cannot be written or the
// pixels fall short of them. An empty image is written as such (a screenshot
// of a window shrunk to nothing).
size_t PixelBytes(int width, int height, int channels, int64_t maxSide, size_t available) {
  if (width < 0 || height < 0 || width > maxSide || height > maxSide)
    throw std::invalid_argument("image sides " + std::to_string(width) + " x " + std::to_string(height) +
                                " cannot be written");
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * channels;
  if (available < bytes) throw std::invalid_argument("fewer pixels than the image sides imply");
  return bytes;
}

// A decoded image in the files' order: bottom row first, B, G, R and, for four
// channels out, alpha (255 when the image has none).
std::vector<uint8_t> FileOrder(const TPixelImage& image, int channels) {
  if ((image.Channels != 3 && image.Channels != 4) || image.Width < 0 || image.Height < 0 ||
      image.Pixels.size() < image.RowBytes() * static_cast<size_t>(image.Height))
    throw std::invalid_argument("not a complete three- or four-channel image");
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(image.Width) * image.Height * channels);
  for (int y = image.Height - 1; y >= 0; --y)
    for (int x = 0; x < image.Width; ++x) {
      const uint8_t* p = image.Pixel(x, y);
      out.insert(out.end(), {p[2], p[1], p[0]});
      if (channels == 4) out.push_back(image.Channels == 4 ? p[3] : 255);
    }
  return out;
}

}  // namespace

std::string BMPFileBytes(int width, int height, const std::vector<uint8_t>& bgra) {
  const size_t imageSize = PixelBytes(width, height, 4, std::numeric_limits<int32_t>::max(), bgra.size());
  if (imageSize > std::numeric_limits<uint32_t>::max() - 54) throw std::invalid_argument("too large for a BMP");
  std::string out = "BM";
  PutLE32(out, static_cast<uint32_t>(54 + imageSize));
  PutLE32(out, 0);
  PutLE32(out, 54);
  PutLE32(out, 40);
  PutLE32(out, static_cast<uint32_t>(width));
  PutLE32(out, static_cast<uint32_t>(height));
  PutLE16(out, 1);
  PutLE16(out, 32);
  PutLE32(out, 0);
  PutLE32(out, static_cast<uint32_t>(imageSize));
  out.append(16, '\0');
  out.append(reinterpret_cast<const char*>(bgra.data()), imageSize);
  return out;
}

std::string TGAFileBytes(int width, int height, const std::vector<uint8_t>& pixels, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) throw std::invalid_argument("a TGA is written with 24 or 32 bits");
  const size_t size = PixelBytes(width, height, bitsPerPixel / 8, std::numeric_limits<uint16_t>::max(), pixels.size());
  std::string out(12, '\0');
  out[2] = 2;
  PutLE16(out, static_cast<uint16_t>(width));
  PutLE16(out, static_cast<uint16_t>(height));
  out += static_cast<char>(bitsPerPixel);
  out += static_cast<char>(bitsPerPixel == 32 ? 8 : 0);
  out.append(reinterpret_cast<const char*>(pixels.data()), size);
  return out;
}

std::string EncodeBMP(const TPixelImage& image) {
  return BMPFileBytes(image.Width, image.Height, FileOrder(image, 4));
}

std::string EncodeTGA(const TPixelImage& image) {
  return TGAFileBytes(image.Width, image.Height, FileOrder(image, image.Channels), image.Channels * 8);
}
