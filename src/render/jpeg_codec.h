// JPEG through libjpeg, both ways, in memory: textures are decoded, screenshots
// encoded. The library's errors never leave these functions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/image.h"

// Decodes to three channels (greyscale files are widened to R = G = B). False,
// with `why` filled and `image` untouched, for a damaged, truncated or
// unsupported file.
bool DecodeJPEG(const uint8_t* data, size_t size, TPixelImage& image, std::string& why);

// Baseline, three components, at the given quality (0..100). `image` must have
// three channels. False, with `why` filled, when the library refuses.
bool EncodeJPEG(const TPixelImage& image, int quality, std::string& output, std::string& why);
