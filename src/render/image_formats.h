// Which decoder reads an image file. One table names every format the game
// reads with its file-name ending, the first bytes that identify it and its
// decoder: the texture-file loader chooses by the ending, TglBitmap2D by the
// content.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/image.h"

enum class TTextureFormat { None, BMP, JPG, TGA };

// By the last four characters, in any case: ".bmp", ".jpg", ".tga".
TTextureFormat TextureFormatOf(const std::string& fileName);

// By the first bytes, tried in this order: a TGA header of an uncompressed
// 24/32-bit true-colour image without colour map (run-length files are not
// recognised), 0xFF 0xD8 (JPEG), "BM" (BMP).
TTextureFormat TextureFormatOfContent(const uint8_t* data, size_t size);

// Decodes with the format's decoder. False, with `why` filled and `image`
// untouched, when the decoder refuses the bytes or the format is None.
bool DecodeImage(TTextureFormat format, const uint8_t* data, size_t size, TPixelImage& image, std::string& why);
