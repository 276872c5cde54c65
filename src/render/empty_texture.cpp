#include "render/empty_texture.h"

#include "core/gl_api.h"

#include <cstddef>
#include <vector>

unsigned CreateEmptyTexture(int width, int height, int components) {
  glEnable(GL_TEXTURE_2D);
  // Zero-filled rather than whatever memory held: the contents are replaced
  // before use, and uninitialised reads would only add noise to tools.
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * components);
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, components, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return name;
}
