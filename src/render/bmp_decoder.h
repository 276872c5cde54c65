// Windows bitmap files in memory -> TPixelImage (always three channels).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/image.h"

// Which of the texture loader's messages a failure shows.
enum class TBmpError { None, Palette, BitmapData };

// On failure `why` says what was wrong (for the log) and `image` is untouched.
TBmpError DecodeBMP(const uint8_t* data, size_t size, TPixelImage& image, std::string& why);
