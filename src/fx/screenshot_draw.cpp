// Reading the picture back from OpenGL for the screenshot files.
#include <cstdio>

#include "core/gl_api.h"
#include "core/logger.h"
#include "core/paths.h"
#include "fx/screenshot.h"
#include "render/image_writers.h"

namespace {

// The viewport's pixels from the window's lower-left corner, bottom row first,
// tightly packed.
std::vector<uint8_t> ReadViewport(GLenum format, int channels, int& width, int& height) {
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  width = viewport[2];
  height = viewport[3];
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  // The default of 4 would pad B, G, R rows whose length is not a multiple of
  // four, and overrun the buffer.
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, format, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  return pixels;
}

}  // namespace

bool WriteBMPScreenshot(const std::string& fileName) {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels = ReadViewport(GL_BGRA, 4, width, height);
  return WriteScreenshotFile(fileName, BMPFileBytes(width, height, pixels));
}

bool WriteTGAScreenshot(const std::string& fileName) {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels = ReadViewport(GL_BGR, 3, width, height);
  return WriteScreenshotFile(fileName, TGAFileBytes(width, height, pixels));
}

bool WriteJPGScreenshot(const std::string& fileName) {
  const std::string bmpName = ChangeFileExt(fileName, ".bmp");
  if (!WriteBMPScreenshot(bmpName)) return false;
  if (!ConvertBMPToJPG(bmpName, 100)) {
    if (Logger) Logger->LogError("The screenshot stays in " + bmpName, "UScreenShot");
    return false;
  }
  std::remove(HostPath(bmpName).c_str());
  return true;
}

void SaveScreenshot(const std::string& fileName) {
  const std::string ending = fileName.size() >= 3 ? fileName.substr(fileName.size() - 3) : "";
  if (ending == "bmp")
    WriteBMPScreenshot(fileName);
  else if (ending == "tga")
    WriteTGAScreenshot(fileName);
  else if (ending == "jpg")
    WriteJPGScreenshot(fileName);
}
