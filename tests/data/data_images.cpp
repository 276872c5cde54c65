#include "data_tree.h"

#include "render/texture_images.h"

bool DecodesAsTexture(const std::string& path, int* width, int* height) {
  TPixelImage image;
  bool ok = false;
  switch (TextureFormatOf(path)) {
    case TTextureFormat::BMP: ok = ReadBMPTextureImage(path, image); break;
    case TTextureFormat::JPG: ok = ReadJPGTextureImage(path, image); break;
    case TTextureFormat::TGA: ok = ReadTGATextureImage(path, image); break;
    default: break;
  }
  if (width) *width = image.Width;
  if (height) *height = image.Height;
  return ok;
}
