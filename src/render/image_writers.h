// BMP and TGA files made whole in memory, the counterparts of the decoders
// beside them (JPEG encoding is in jpeg_codec.h). Screenshots hand over pixels
// as OpenGL reads them back; the data builder and the benchmarks paint a
// TPixelImage, as the decoders give it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/image.h"

// From pixels in the files' own order, bottom row first, tightly packed:
// a 32-bit uncompressed BMP of 54 + w x h x 4 bytes from B, G, R, A pixels,
// and an uncompressed true-colour TGA of 18 + w x h x bitsPerPixel / 8 bytes
// from B, G, R (24 bits) or B, G, R, A (32 bits) pixels, origin bottom left.
// Both throw std::invalid_argument when a side is negative or does not fit the
// header, or the pixels are fewer than the sides imply.
std::string BMPFileBytes(int width, int height, const std::vector<uint8_t>& bgra);
std::string TGAFileBytes(int width, int height, const std::vector<uint8_t>& pixels, int bitsPerPixel = 24);

// From a decoded image (rows top first, R, G, B(, A)): the BMP is always 32
// bits, opaque for a three-channel image; the TGA has 24 bits for three
// channels and 32 for four. Throw as above.
std::string EncodeBMP(const TPixelImage& image);
std::string EncodeTGA(const TPixelImage& image);
