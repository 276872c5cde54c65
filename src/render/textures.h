// The texture-file loader: BMP, JPEG and TGA files chosen by extension become
// mipmapped OpenGL textures. Failures are reported in a message box and leave
// the texture name unchanged. An OpenGL context must be current.
#pragma once
#include <string>

// ".bmp", ".jpg" or ".tga" (any case) loads; any other ending does nothing.
void LoadTexture(const std::string& fileName, unsigned& textureId);
bool LoadBMPTexture(const std::string& fileName, unsigned& textureId);
bool LoadJPGTexture(const std::string& fileName, unsigned& textureId);
bool LoadTGATexture(const std::string& fileName, unsigned& textureId);

// Uploads pixels (bottom row first) with a full mipmap chain; format is GL_RGB
// or GL_RGBA. Returns the new texture name.
unsigned CreateTexture(int width, int height, unsigned format, const unsigned char* pixels);
