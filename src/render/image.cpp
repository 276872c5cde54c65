// Pixel-order helpers shared by the decoders, the texture loader and TglBitmap2D.
#include "render/image.h"

#include <algorithm>
#include <utility>

void SwapRedBlue(std::vector<uint8_t>& pixels, int channels) {
  for (size_t i = 0; i + 2 < pixels.size(); i += channels) std::swap(pixels[i], pixels[i + 2]);
}

void FlipRows(std::vector<uint8_t>& pixels, size_t rowBytes) {
  if (rowBytes == 0) return;
  size_t rows = pixels.size() / rowBytes;
  for (size_t top = 0, bottom = rows ? rows - 1 : 0; top < bottom; ++top, --bottom)
    std::swap_ranges(pixels.begin() + top * rowBytes, pixels.begin() + (top + 1) * rowBytes,
                     pixels.begin() + bottom * rowBytes);
}
