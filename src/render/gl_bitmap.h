// TglBitmap2D: an image held in memory so that the model loader can combine
// pictures (white fill, alpha from a second image, inverted alpha) before it
// becomes an OpenGL texture. The image operations are plain C++ (gl_bitmap.cpp);
// only GenTexture and Bind touch OpenGL (gl_bitmap_draw.cpp).
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Raised by LoadFromFile and AddAlphaFromFile when a file cannot be read or a
// recognised image cannot be decoded; the message names the file and the fault.
class EglBitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// GL enumerants kept as numbers so that this header stays free of GL.
namespace glbitmap_gl {
constexpr unsigned kTexture2D = 0x0DE1;            // GL_TEXTURE_2D
constexpr unsigned kLinear = 0x2601;               // GL_LINEAR
constexpr unsigned kLinearMipmapLinear = 0x2703;   // GL_LINEAR_MIPMAP_LINEAR
constexpr unsigned kClampToEdge = 0x812F;          // GL_CLAMP_TO_EDGE
}  // namespace glbitmap_gl

// Pixel data and the texture state that goes with it.
class TglBitmap {
 public:
  TglBitmap() = default;
  ~TglBitmap();  // releases Data; deletes TextureId when DeleteTextureOnFree
  TglBitmap(const TglBitmap&) = delete;
  TglBitmap& operator=(const TglBitmap&) = delete;

  unsigned TextureId = 0;  // 0 until GenTexture
  unsigned Target = glbitmap_gl::kTexture2D;
  // Rows top to bottom (until FlipVertical), each pixel B, G, R and, when
  // HasAlpha, A. Empty when nothing is loaded.
  std::vector<uint8_t> Data;
  bool HasAlpha = false;
  int Width = 0;
  int Height = 0;
  bool MipMaps = true;
  unsigned MinFilter = glbitmap_gl::kLinearMipmapLinear;
  unsigned MagFilter = glbitmap_gl::kLinear;
  unsigned WrapS = glbitmap_gl::kClampToEdge;
  unsigned WrapT = glbitmap_gl::kClampToEdge;
  unsigned WrapR = glbitmap_gl::kClampToEdge;
  bool FreeDataAfterGenTexture = true;
  bool DeleteTextureOnFree = true;

  // Recognises a 24/32-bit uncompressed TGA, a JPEG or a BMP by its first
  // bytes and loads it; an unrecognised file loads nothing. Throws
  // EglBitmapError when the file cannot be opened or a recognised image is
  // damaged (the bitmap is then unchanged).
  void LoadFromFile(const std::string& fileName);
  // Alpha := (B + G + R) / 3 of the same pixel of a second image of the same
  // size; a different size changes nothing. Throws std::logic_error when no
  // Data is loaded, EglBitmapError as LoadFromFile.
  void AddAlphaFromFile(const std::string& fileName);
  void InvertAlpha();  // A := 255 - A; nothing without alpha
  void FillWhite(int width, int height);  // opaque white, no alpha
  int BytesPerPixel() const { return HasAlpha ? 4 : 3; }

  // glBindTexture(Target, TextureId) when TextureId is not 0, enabling Target
  // first when asked.
  void Bind(bool enableTarget = false) const;
};

class TglBitmap2D : public TglBitmap {
 public:
  void FlipVertical();  // reverses the row order of Data
  // Uploads Data (nothing without Data), replacing an earlier texture; frees
  // Data afterwards when FreeDataAfterGenTexture. Needs a current GL context.
  void GenTexture();
};
