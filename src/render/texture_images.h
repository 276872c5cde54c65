// The file half of the texture-file loader: reading and decoding the file of
// the format its name gives (TextureFormatOf), and reporting failures in the
// loader's message boxes. The result is laid out for upload (rows bottom
// first). No OpenGL here; textures.cpp uploads what these functions return.
#pragma once
#include <string>

#include "render/image.h"
#include "render/image_formats.h"

// Each returns false after showing the loader's message box. BMP and TGA give
// the file's own channels (a BMP always three); JPEG gives R, G, B, 255.
bool ReadBMPTextureImage(const std::string& fileName, TPixelImage& image);
bool ReadJPGTextureImage(const std::string& fileName, TPixelImage& image);
bool ReadTGATextureImage(const std::string& fileName, TPixelImage& image);
