// Screenshot names, writing the files and the BMP to JPEG conversion.
#include "fx/screenshot.h"

#include <cstdio>

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
    std::string name = UserPath(TUserDir::Data, "Screenshots\\Screen" + std::to_string(n) + ".jpg");
    if (!FileExists(HostPath(name))) return name;
  }
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
