// The BMP decoder on arbitrary bytes: a decoded image must be exactly as
// large as its size says and within the size limit, and written as a BMP it
// must decode to itself.
#include "image_checks.h"
#include "render/bmp_decoder.h"
#include "render/image_writers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPixelImage image;
  std::string why;
  if (DecodeBMP(data, size, image, why) == TBmpError::None) {
    if (!WellFormed(image)) __builtin_trap();
    auto decode = [](const uint8_t* bytes, size_t length, TPixelImage& out, std::string& message) {
      return DecodeBMP(bytes, length, out, message) == TBmpError::None;
    };
    if (!WritesBackTheSame(image, EncodeBMP, decode)) __builtin_trap();
  } else if (why.empty() || !image.Pixels.empty()) {
    __builtin_trap();
  }
  return 0;
}
