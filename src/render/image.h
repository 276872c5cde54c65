// An image decoded from a file, before it becomes a texture: the common result
// of the BMP, TGA and JPEG decoders, which never touch OpenGL.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Images larger than this on either side are refused before anything is
// allocated; no texture the game uses comes near it.
constexpr int kMaxImageSide = 16384;

struct TPixelImage {
  int Width = 0;
  int Height = 0;
  int Channels = 3;              // 3: R, G, B; 4: R, G, B, A
  std::vector<uint8_t> Pixels;   // rows top to bottom, tightly packed

  size_t RowBytes() const { return static_cast<size_t>(Width) * Channels; }
  const uint8_t* Pixel(int x, int y) const { return &Pixels[y * RowBytes() + static_cast<size_t>(x) * Channels]; }
};

// Swaps bytes 0 and 2 of every pixel: R, G, B(, A) <-> B, G, R(, A).
void SwapRedBlue(std::vector<uint8_t>& pixels, int channels);
// Reverses the order of the rows (top-first <-> bottom-first).
void FlipRows(std::vector<uint8_t>& pixels, size_t rowBytes);
