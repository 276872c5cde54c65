// The image operations of TglBitmap: loading by content, and the combinations
// the model loader makes before upload. No OpenGL here (see gl_bitmap_draw.cpp).
#include "render/gl_bitmap.h"

#include <algorithm>

#include "core/paths.h"
#include "render/image_formats.h"

namespace {

// Decodes FileName by its first bytes. False when the content is none of the
// recognised kinds; throws when a recognised image is damaged.
bool LoadImageFile(const std::string& fileName, TPixelImage& image) {
  std::string bytes;
  if (!ReadWholeFile(HostPath(fileName), bytes)) throw EglBitmapError("Cannot open " + fileName);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const TTextureFormat format = TextureFormatOfContent(data, bytes.size());
  if (format == TTextureFormat::None) return false;
  std::string why;
  if (!DecodeImage(format, data, bytes.size(), image, why)) throw EglBitmapError(fileName + ": " + why);
  return true;
}

}  // namespace

void TglBitmap::LoadFromFile(const std::string& fileName) {
  TPixelImage image;
  if (!LoadImageFile(fileName, image)) return;
  SwapRedBlue(image.Pixels, image.Channels);
  Data = std::move(image.Pixels);
  Width = image.Width;
  Height = image.Height;
  HasAlpha = image.Channels == 4;
}

void TglBitmap::AddAlphaFromFile(const std::string& fileName) {
  if (Data.empty())
    throw std::logic_error("TglBitmap.AddAlphaFromStream - AddAlpha can only called if data where loaded.");
  TPixelImage mask;
  if (!LoadImageFile(fileName, mask) || mask.Width != Width || mask.Height != Height) return;
  const size_t pixels = static_cast<size_t>(Width) * Height;
  const int bytes = BytesPerPixel();
  std::vector<uint8_t> combined(pixels * 4);
  for (size_t i = 0; i < pixels; ++i) {
    std::copy_n(&Data[i * bytes], 3, &combined[i * 4]);
    const uint8_t* m = &mask.Pixels[i * mask.Channels];
    combined[i * 4 + 3] = static_cast<uint8_t>((m[0] + m[1] + m[2]) / 3);
  }
  Data = std::move(combined);
  HasAlpha = true;
}

void TglBitmap::InvertAlpha() {
  if (!HasAlpha) return;
  for (size_t i = 3; i < Data.size(); i += 4) Data[i] = static_cast<uint8_t>(255 - Data[i]);
}

void TglBitmap::FillWhite(int width, int height) {
  Width = std::max(width, 0);
  Height = std::max(height, 0);
  HasAlpha = false;
  Data.assign(static_cast<size_t>(Width) * Height * 3, 255);
}

void TglBitmap2D::FlipVertical() { FlipRows(Data, static_cast<size_t>(Width) * BytesPerPixel()); }
