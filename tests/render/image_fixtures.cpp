#include "image_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "test_support.h"

bool RunTool(const std::string& command) { return std::system((command + " 2>&1").c_str()) == 0; }

std::vector<uint8_t> SourcePixels() {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      pixels.push_back(static_cast<uint8_t>(x * 37 + y * 11));
      pixels.push_back(static_cast<uint8_t>(y * 60 + x));
      pixels.push_back(static_cast<uint8_t>(x * y * 30 + 7));
    }
  return pixels;
}

std::string WriteSourcePPM(const std::string& dir) {
  std::vector<uint8_t> pixels = SourcePixels();
  std::string path = dir + "source.ppm";
  WriteFile(path, "P6 7 5 255\n" + std::string(pixels.begin(), pixels.end()));
  return path;
}

std::string Convert(const std::string& source, const std::string& arguments, const std::string& out) {
  return RunTool("convert '" + source + "' " + arguments + " '" + out + "'") ? out : "";
}

std::vector<uint8_t> ReferencePixels(const std::string& file, int channels) {
  std::string raw = file + (channels == 4 ? ".rgba" : ".rgb");
  if (!RunTool("convert '" + file + "' -auto-orient -depth 8 " + (channels == 4 ? "rgba:'" : "rgb:'") + raw + "'")) return {};
  std::string bytes = ReadFile(raw);
  return {bytes.begin(), bytes.end()};
}

bool ReadPPM(const std::string& file, TPixelImage& image) {
  std::string bytes = ReadFile(file);
  std::istringstream in(bytes);
  std::string magic;
  int maxValue = 0;
  if (!(in >> magic >> image.Width >> image.Height >> maxValue) || magic != "P6" || maxValue != 255) return false;
  size_t start = static_cast<size_t>(in.tellg()) + 1;
  image.Channels = 3;
  image.Pixels.assign(bytes.begin() + start, bytes.end());
  return image.Pixels.size() == image.RowBytes() * image.Height;
}

std::string Bytes(const std::string& file) { return ReadFile(file); }
const uint8_t* Data(const std::string& bytes) { return reinterpret_cast<const uint8_t*>(bytes.data()); }
