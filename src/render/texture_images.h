// The file half of the texture-file loader: choosing the format by extension,
// reading and decoding the file, and reporting failures in the loader's message
// boxes. The result is laid out for upload (rows bottom first). No OpenGL here;
// textures.cpp uploads what these functions return.
#pragma once
#include <string>

#include "render/image.h"

enum class TTextureFormat { None, BMP, JPG, TGA };

// By the last four characters, in any case: ".bmp", ".jpg", ".tga".
TTextureFormat TextureFormatOf(const std::string& fileName);

// Each returns false after showing the loader's message box. BMP and TGA give
// the file's own channels (a BMP always three); JPEG gives R, G, B, 255.
bool ReadBMPTextureImage(const std::string& fileName, TPixelImage& image);
bool ReadJPGTextureImage(const std::string& fileName, TPixelImage& image);
bool ReadTGATextureImage(const std::string& fileName, TPixelImage& image);
