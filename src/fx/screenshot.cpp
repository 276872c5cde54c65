// Screenshot files. The BMP written, all little-endian:
//   0 "BM"; 2 u32 file size 54 + w*h*4; 6 u32 0; 10 u32 pixel offset 54;
//   14 u32 40 (header size); 18 i32 w; 22 i32 h (positive: bottom row first);
//   26 u16 1 plane; 28 u16 32 bits; 30 u32 0 (no compression); 34 u32 w*h*4;
//   38..53 zero; 54 pixels B, G, R, A.
// The TGA written: 0 u8 0 (no ID); 1 u8 0 (no colour map); 2 u8 2 (true
//   colour); 3..11 zero; 12 u16 w; 14 u16 h; 16 u8 24 bits; 17 u8 0 (origin
//   bottom left); 18 pixels B, G, R, rows tightly packed.
#include "fx/screenshot.h"

#include <cstdio>

#include "core/byte_reader.h"
#include "core/logger.h"
#include "core/paths.h"
#include "render/bmp_decoder.h"
#include "render/jpeg_codec.h"

namespace {

void LogScreenshotError(const std::string& message) {
  if (Logger) Logger->LogError(message, "UScreenShot");
}

}  // namespace

std::string NextScreenshotName() {
  for (int n = 0;; ++n) {
    std::string name = "Screenshots\\Screen" + std::to_string(n) + ".jpg";
    if (!FileExists(HostPath(name))) return name;
  }
}

std::string BMPFileBytes(int width, int height, const std::vector<uint8_t>& bgra) {
  const uint32_t imageSize = static_cast<uint32_t>(width) * height * 4;
  std::string out = "BM";
  PutLE32(out, 54 + imageSize);
  PutLE32(out, 0);
  PutLE32(out, 54);
  PutLE32(out, 40);
  PutLE32(out, static_cast<uint32_t>(width));
  PutLE32(out, static_cast<uint32_t>(height));
  PutLE16(out, 1);
  PutLE16(out, 32);
  PutLE32(out, 0);
  PutLE32(out, imageSize);
  out.append(16, '\0');
  out.append(reinterpret_cast<const char*>(bgra.data()), imageSize);
  return out;
}

std::string TGAFileBytes(int width, int height, const std::vector<uint8_t>& bgr) {
  std::string out(12, '\0');
  out[2] = 2;
  PutLE16(out, static_cast<uint16_t>(width));
  PutLE16(out, static_cast<uint16_t>(height));
  out += static_cast<char>(24);
  out += '\0';
  out.append(reinterpret_cast<const char*>(bgr.data()), static_cast<size_t>(width) * height * 3);
  return out;
}

bool WriteScreenshotFile(const std::string& fileName, const std::string& bytes) {
  const std::string path = HostPath(fileName);
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash))) {
    LogScreenshotError("Cannot create the directory of " + fileName);
    return false;
  }
  if (!WriteFileAtomic(path, bytes)) {
    LogScreenshotError("Cannot write " + fileName);
    return false;
  }
  return true;
}

bool ConvertBMPToJPG(const std::string& fileName, int quality) {
  std::string bytes, why, jpeg;
  TPixelImage image;
  if (!ReadWholeFile(HostPath(fileName), bytes)) {
    LogScreenshotError("Cannot read " + fileName);
    return false;
  }
  if (DecodeBMP(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, why) != TBmpError::None ||
      !EncodeJPEG(image, quality, jpeg, why)) {
    LogScreenshotError("Cannot convert " + fileName + ": " + why);
    return false;
  }
  return WriteScreenshotFile(ChangeFileExt(fileName, ".jpg"), jpeg);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
  const size_t dot = fileName.find_last_of(".\\/");
  const bool hasExtension = dot != std::string::npos && fileName[dot] == '.';
  return (hasExtension ? fileName.substr(0, dot) : fileName) + extension;
}
