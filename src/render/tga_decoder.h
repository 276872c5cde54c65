// Truevision TGA files in memory -> TPixelImage (three channels, or four for
// 32-bit files).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/image.h"

// Which of the texture loader's messages a failure shows.
enum class TTgaError { None, ImageType, ColorMap, BitsPerPixel, Read };

// Uncompressed (type 2) and run-length (type 10) true-colour files of 24 or 32
// bits. On failure `why` says what was wrong and `image` is untouched.
TTgaError DecodeTGA(const uint8_t* data, size_t size, TPixelImage& image, std::string& why);

// The files TglBitmap2D recognises as TGA: an 18-byte header announcing an
// uncompressed true-colour image of 24 or 32 bits without a colour map.
bool IsPlainTGA(const uint8_t* data, size_t size);
