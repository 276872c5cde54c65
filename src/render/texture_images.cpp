// Reading texture files for the texture-file loader. Failures show the
// loader's message box; what exactly was wrong goes to the log as well.
#include "render/texture_images.h"

#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"
#include "render/bmp_decoder.h"
#include "render/jpeg_codec.h"
#include "render/tga_decoder.h"

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

void LogFault(const std::string& fileName, const std::string& why) {
  if (Logger && !why.empty()) Logger->LogError(fileName + ": " + why, "Textures");
}

bool Refuse(const std::string& fileName, const std::string& why, const std::string& text,
            const std::string& caption) {
  LogFault(fileName, why);
  ShowMessageBox(text, caption);
  return false;
}

std::string Quoted(const std::string& fileName) { return "\"" + fileName + "\""; }

}  // namespace

bool ReadBMPTextureImage(const std::string& fileName, TPixelImage& image) {
  const std::string caption = "BMP Unit";
  std::string bytes;
  if (!ReadWholeFile(HostPath(fileName), bytes))
    return Refuse(fileName, "", "Error opening " + fileName, caption);
  std::string why;
  switch (DecodeBMP(Bytes(bytes), bytes.size(), image, why)) {
    case TBmpError::None:
      break;
    case TBmpError::Palette:
      return Refuse(fileName, why, "Error reading palette", caption);
    case TBmpError::BitmapData:
      return Refuse(fileName, why, "Error reading bitmap data", caption);
  }
  FlipRows(image.Pixels, image.RowBytes());
  return true;
}

bool ReadJPGTextureImage(const std::string& fileName, TPixelImage& image) {
  std::string bytes, why;
  TPixelImage decoded;
  if (!ReadWholeFile(HostPath(fileName), bytes)) why = "cannot be opened";
  if (!why.empty() || !DecodeJPEG(Bytes(bytes), bytes.size(), decoded, why))
    return Refuse(fileName, why, "Couldn't load JPG - " + Quoted(fileName), "BMP Unit");
  image.Width = decoded.Width;
  image.Height = decoded.Height;
  image.Channels = 4;
  image.Pixels.resize(static_cast<size_t>(decoded.Width) * decoded.Height * 4);
  for (int y = 0; y < decoded.Height; ++y) {
    uint8_t* dst = &image.Pixels[static_cast<size_t>(decoded.Height - 1 - y) * image.RowBytes()];
    for (int x = 0; x < decoded.Width; ++x, dst += 4) {
      const uint8_t* src = decoded.Pixel(x, y);
      dst[0] = src[0];
      dst[1] = src[1];
      dst[2] = src[2];
      dst[3] = 255;
    }
  }
  return true;
}

bool ReadTGATextureImage(const std::string& fileName, TPixelImage& image) {
  const std::string path = HostPath(fileName);
  if (!FileExists(path)) {
    ShowMessageBox("File not found  - " + fileName, "TGA Texture");
    return false;
  }
  const std::string caption = "TGA File Error";
  const std::string unreadable = "Couldn't read file " + Quoted(fileName) + ".";
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return Refuse(fileName, "cannot be read", unreadable, caption);
  std::string why;
  switch (DecodeTGA(Bytes(bytes), bytes.size(), image, why)) {
    case TTgaError::None:
      break;
    case TTgaError::ImageType:
      return Refuse(fileName, why, "Couldn't load " + Quoted(fileName) + ". Only 24 and 32bit TGA supported.",
                    caption);
    case TTgaError::ColorMap:
      return Refuse(fileName, why, "Couldn't load " + Quoted(fileName) + ". Colormapped TGA files not supported.",
                    caption);
    case TTgaError::BitsPerPixel:
      return Refuse(fileName, why, "Couldn't load " + Quoted(fileName) + ". Only 24 and 32 bit TGA files supported.",
                    caption);
    case TTgaError::Read:
      return Refuse(fileName, why, unreadable, caption);
  }
  FlipRows(image.Pixels, image.RowBytes());
  return true;
}
