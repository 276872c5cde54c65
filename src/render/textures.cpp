// The upload half of the texture-file loader: decoded images become mipmapped
// textures. Reading and decoding is in texture_images.cpp.
#include "render/textures.h"

#include "core/gl_api.h"
#include "render/texture_images.h"

namespace {

bool Upload(bool ok, const TPixelImage& image, unsigned& textureId) {
  if (ok) textureId = CreateTexture(image.Width, image.Height, image.Channels == 4 ? GL_RGBA : GL_RGB,
                                    image.Pixels.data());
  return ok;
}

}  // namespace

void LoadTexture(const std::string& fileName, unsigned& textureId) {
  switch (TextureFormatOf(fileName)) {
    case TTextureFormat::BMP:
      LoadBMPTexture(fileName, textureId);
      break;
    case TTextureFormat::JPG:
      LoadJPGTexture(fileName, textureId);
      break;
    case TTextureFormat::TGA:
      LoadTGATexture(fileName, textureId);
      break;
    case TTextureFormat::None:
      break;
  }
}

bool LoadBMPTexture(const std::string& fileName, unsigned& textureId) {
  TPixelImage image;
  return Upload(ReadBMPTextureImage(fileName, image), image, textureId);
}

bool LoadJPGTexture(const std::string& fileName, unsigned& textureId) {
  TPixelImage image;
  return Upload(ReadJPGTextureImage(fileName, image), image, textureId);
}

bool LoadTGATexture(const std::string& fileName, unsigned& textureId) {
  TPixelImage image;
  return Upload(ReadTGATextureImage(fileName, image), image, textureId);
}

unsigned CreateTexture(int width, int height, unsigned format, const unsigned char* pixels) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  // Rows are tightly packed; with the default alignment of 4 every RGB image
  // whose width x 3 is not a multiple of 4 would be read skewed.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gluBuild2DMipmaps(GL_TEXTURE_2D, format == GL_RGBA ? GL_RGBA : 3, width, height, format, GL_UNSIGNED_BYTE,
                    pixels);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return name;
}
