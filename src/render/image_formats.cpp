// The table of image formats behind both ways of choosing a decoder.
#include "render/image_formats.h"

#include "core/convert.h"
#include "render/bmp_decoder.h"
#include "render/jpeg_codec.h"
#include "render/tga_decoder.h"

namespace {

struct TImageFormatEntry {
  TTextureFormat Format;
  const char* Ending;  // lower case
  bool (*Recognises)(const uint8_t* data, size_t size);
  bool (*Decode)(const uint8_t* data, size_t size, TPixelImage& image, std::string& why);
};

bool StartsWith(const uint8_t* data, size_t size, uint8_t first, uint8_t second) {
  return size >= 2 && data[0] == first && data[1] == second;
}

// In the order content is tried: the TGA test looks at more bytes than the
// two-byte signatures, so it goes first.
constexpr TImageFormatEntry kImageFormats[] = {
    {TTextureFormat::TGA, ".tga", IsPlainTGA,
     [](const uint8_t* data, size_t size, TPixelImage& image, std::string& why) {
       return DecodeTGA(data, size, image, why) == TTgaError::None;
     }},
    {TTextureFormat::JPG, ".jpg", [](const uint8_t* data, size_t size) { return StartsWith(data, size, 0xFF, 0xD8); },
     DecodeJPEG},
    {TTextureFormat::BMP, ".bmp", [](const uint8_t* data, size_t size) { return StartsWith(data, size, 'B', 'M'); },
     [](const uint8_t* data, size_t size, TPixelImage& image, std::string& why) {
       return DecodeBMP(data, size, image, why) == TBmpError::None;
     }},
};

}  // namespace

TTextureFormat TextureFormatOf(const std::string& fileName) {
  if (fileName.size() < 4) return TTextureFormat::None;
  const std::string ending = LowerCase(fileName.substr(fileName.size() - 4));
  for (const TImageFormatEntry& entry : kImageFormats)
    if (ending == entry.Ending) return entry.Format;
  return TTextureFormat::None;
}

TTextureFormat TextureFormatOfContent(const uint8_t* data, size_t size) {
  for (const TImageFormatEntry& entry : kImageFormats)
    if (entry.Recognises(data, size)) return entry.Format;
  return TTextureFormat::None;
}

bool DecodeImage(TTextureFormat format, const uint8_t* data, size_t size, TPixelImage& image, std::string& why) {
  for (const TImageFormatEntry& entry : kImageFormats)
    if (entry.Format == format) return entry.Decode(data, size, image, why);
  why = "not an image format the game reads";
  return false;
}
