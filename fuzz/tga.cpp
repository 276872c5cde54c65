// The TGA decoder on arbitrary bytes. What TglBitmap2D recognises as an
// uncompressed TGA must be a header the decoder accepts as far as type, colour
// map and bits go. A decoded image written as a TGA must decode to itself.
#include "image_checks.h"
#include "render/image_writers.h"
#include "render/tga_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPixelImage image;
  std::string why;
  const TTgaError error = DecodeTGA(data, size, image, why);
  if (IsPlainTGA(data, size) && error != TTgaError::None && error != TTgaError::Read) __builtin_trap();
  if (error == TTgaError::None) {
    if (!WellFormed(image)) __builtin_trap();
    auto decode = [](const uint8_t* bytes, size_t length, TPixelImage& out, std::string& message) {
      return DecodeTGA(bytes, length, out, message) == TTgaError::None;
    };
    if (!WritesBackTheSame(image, EncodeTGA, decode)) __builtin_trap();
  } else if (why.empty() || !image.Pixels.empty()) {
    __builtin_trap();
  }
  return 0;
}
