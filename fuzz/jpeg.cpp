// The JPEG decoder on arbitrary bytes: libjpeg's errors must come back as a
// failure, and a decoded image must match its size.
#include "image_checks.h"
#include "render/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPixelImage image;
  std::string why;
  if (DecodeJPEG(data, size, image, why)) {
    if (!WellFormed(image)) __builtin_trap();
  } else if (!image.Pixels.empty()) {
    __builtin_trap();
  }
  return 0;
}
