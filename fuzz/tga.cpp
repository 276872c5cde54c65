// The TGA decoder on arbitrary bytes. What TglBitmap2D recognises as an
// uncompressed TGA must be a header the decoder accepts as far as type, colour
// map and bits go.
#include "image_checks.h"
#include "render/tga_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPixelImage image;
  std::string why;
  const TTgaError error = DecodeTGA(data, size, image, why);
  if (IsPlainTGA(data, size) && error != TTgaError::None && error != TTgaError::Read) __builtin_trap();
  if (error == TTgaError::None) {
    if (!WellFormed(image)) __builtin_trap();
  } else if (why.empty() || !image.Pixels.empty()) {
    __builtin_trap();
  }
  return 0;
}
