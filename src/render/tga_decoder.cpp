// TGA decoder. The 18-byte header:
//   0 u8 image-ID length; 1 u8 colour-map type (0 none); 2 u8 image type
//   (2 true colour, 10 run-length true colour); 3-7 colour-map fields;
//   8-11 x and y origin; 12 u16 width; 14 u16 height (little-endian);
//   16 u8 bits per pixel; 17 u8 descriptor (bit 5: top row stored first)
// then the image ID, then the pixels B, G, R(, A), rows bottom first unless
// descriptor bit 5 is set. Run-length data is a sequence of packets: a header
// byte H < 128 followed by H + 1 literal pixels, or H >= 128 followed by one
// pixel repeated H - 127 times; a packet running past the image's last pixel
// is cut there, and data ending before the image is full is an error.
#include "render/tga_decoder.h"


#include "core/byte_reader.h"

namespace {

constexpr uint8_t kTrueColor = 2;
constexpr uint8_t kRunLengthTrueColor = 10;
constexpr uint8_t kTopRowFirst = 0x20;

// Copies one file pixel (B, G, R(, A)) into R, G, B(, A).
inline void PutPixel(uint8_t* dst, const uint8_t* src, int channels) {
  dst[0] = src[2];
  dst[1] = src[1];
  dst[2] = src[0];
  if (channels == 4) dst[3] = src[3];
}

}  // namespace

bool IsPlainTGA(const uint8_t* data, size_t size) {
  return size >= 18 && data[1] == 0 && data[2] == kTrueColor && (data[16] == 24 || data[16] == 32);
}

TTgaError DecodeTGA(const uint8_t* data, size_t size, TPixelImage& image, std::string& why) {
  auto fail = [&why](TTgaError error, std::string text) {
    why = std::move(text);
    return error;
  };
  TByteReader in(data, size);
  const uint8_t* header = in.Take(18);
  if (!header) return fail(TTgaError::Read, "header cut short");
  const uint8_t idLength = header[0], mapType = header[1], type = header[2];
  const int width = header[12] | header[13] << 8;
  const int height = header[14] | header[15] << 8;
  const int bits = header[16];
  const uint8_t descriptor = header[17];
  // The colour map is looked at first: colour-mapped images (types 1 and 9)
  // then get the message that says why they are refused.
  if (mapType != 0) return fail(TTgaError::ColorMap, "colour-mapped image");
  if (type != kTrueColor && type != kRunLengthTrueColor)
    return fail(TTgaError::ImageType, "image type " + std::to_string(type));
  if (bits != 24 && bits != 32) return fail(TTgaError::BitsPerPixel, std::to_string(bits) + " bits per pixel");
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
    return fail(TTgaError::Read, "bad size " + std::to_string(width) + " x " + std::to_string(height));
  if (!in.Skip(idLength)) return fail(TTgaError::Read, "image ID cut short");

  const int channels = bits / 8;
  const size_t pixelCount = static_cast<size_t>(width) * height;
  // Smallest input that can fill the image: every pixel literal, or one
  // 128-pixel run per header byte and pixel.
  const size_t leastInput = type == kTrueColor ? pixelCount * channels : (pixelCount + 127) / 128 * (1 + channels);
  if (leastInput > in.Remaining()) return fail(TTgaError::Read, "pixel data runs past the end of the file");

  std::vector<uint8_t> pixels(pixelCount * channels);
  if (type == kTrueColor) {
    const uint8_t* src = in.Take(pixelCount * channels);
    for (size_t i = 0; i < pixelCount; ++i) PutPixel(&pixels[i * channels], src + i * channels, channels);
  } else {
    size_t done = 0;
    while (done < pixelCount) {
      uint8_t packet = 0;
      if (!in.U8(packet)) return fail(TTgaError::Read, "run-length data ends before the image is full");
      const bool repeat = packet >= 128;
      size_t count = repeat ? packet - 127u : packet + 1u;
      if (count > pixelCount - done) count = pixelCount - done;
      const uint8_t* src = in.Take(repeat ? channels : count * channels);
      if (!src) return fail(TTgaError::Read, "run-length data ends before the image is full");
      for (size_t i = 0; i < count; ++i, ++done)
        PutPixel(&pixels[done * channels], repeat ? src : src + i * channels, channels);
    }
  }
  if (!(descriptor & kTopRowFirst)) FlipRows(pixels, static_cast<size_t>(width) * channels);
  image.Width = width;
  image.Height = height;
  image.Channels = channels;
  image.Pixels = std::move(pixels);
  return TTgaError::None;
}
