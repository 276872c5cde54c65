// The OpenGL side of TglBitmap2D: upload, binding and deleting the texture.
#include <cstring>

#include "core/gl_api.h"
#include "render/gl_bitmap.h"
#include "render/image.h"

static_assert(glbitmap_gl::kTexture2D == GL_TEXTURE_2D && glbitmap_gl::kLinear == GL_LINEAR &&
              glbitmap_gl::kLinearMipmapLinear == GL_LINEAR_MIPMAP_LINEAR &&
              glbitmap_gl::kClampToEdge == GL_CLAMP_TO_EDGE);

namespace {

// OpenGL 1.2 made B, G, R(, A) data core; before that it needs the extension.
bool AcceptsBGR() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  int major = 0, minor = 0;
  if (version && std::sscanf(version, "%d.%d", &major, &minor) == 2 && (major > 1 || (major == 1 && minor >= 2)))
    return true;
  return extensions && std::strstr(extensions, "GL_EXT_bgra") != nullptr;
}

GLenum WithoutMipmaps(GLenum filter) {
  if (filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_NEAREST_MIPMAP_LINEAR) return GL_NEAREST;
  if (filter == GL_LINEAR_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_LINEAR) return GL_LINEAR;
  return filter;
}

}  // namespace

TglBitmap::~TglBitmap() {
  if (DeleteTextureOnFree && TextureId != 0) {
    GLuint name = TextureId;
    glDeleteTextures(1, &name);
  }
}

void TglBitmap::Bind(bool enableTarget) const {
  if (TextureId == 0) return;
  if (enableTarget) glEnable(Target);
  glBindTexture(Target, TextureId);
}

void TglBitmap2D::GenTexture() {
  if (Data.empty()) return;
  if (TextureId != 0) {
    GLuint old = TextureId;
    glDeleteTextures(1, &old);
  }
  GLuint name = 0;
  glGenTextures(1, &name);
  TextureId = name;
  glBindTexture(Target, TextureId);
  glTexParameteri(Target, GL_TEXTURE_WRAP_S, WrapS);
  glTexParameteri(Target, GL_TEXTURE_WRAP_T, WrapT);
  glTexParameteri(Target, GL_TEXTURE_MAG_FILTER, MagFilter);
  glTexParameteri(Target, GL_TEXTURE_MIN_FILTER, MipMaps ? MinFilter : WithoutMipmaps(MinFilter));

  GLenum format = HasAlpha ? GL_BGRA : GL_BGR;
  if (!AcceptsBGR()) {
    SwapRedBlue(Data, BytesPerPixel());
    format = HasAlpha ? GL_RGBA : GL_RGB;
  }
  const GLint internalFormat = HasAlpha ? GL_RGBA : GL_RGB;
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows are tightly packed
  if (MipMaps)
    gluBuild2DMipmaps(Target, internalFormat, Width, Height, format, GL_UNSIGNED_BYTE, Data.data());
  else
    glTexImage2D(Target, 0, internalFormat, Width, Height, 0, format, GL_UNSIGNED_BYTE, Data.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  if (FreeDataAfterGenTexture) std::vector<uint8_t>().swap(Data);
}
