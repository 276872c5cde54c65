// Pictures as the builder paints them: RGBA in floats (0..1), rows top to
// bottom, with the noise and drawing helpers every generator shares, written
// through the game's own image writers in the formats it reads (BMP, TGA,
// JPEG).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/image.h"

struct TRGBA {
  float r = 0, g = 0, b = 0, a = 1;
};
TRGBA Mix(const TRGBA& x, const TRGBA& y, float t);
TRGBA Scale(const TRGBA& c, float f);  // colour times f, alpha kept
TRGBA Hex(uint32_t rgb, float a = 1);

class TCanvas {
 public:
  TCanvas(int width, int height, TRGBA fill = {});
  int Width() const { return w; }
  int Height() const { return h; }
  TRGBA& At(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
  const TRGBA& At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }

  void FillRect(int x0, int y0, int x1, int y1, const TRGBA& c);  // x1, y1 exclusive
  // Blends c over the pixel with coverage t (0..1), alpha included.
  void Blend(int x, int y, const TRGBA& c, float t);
  // Antialiased filled disc and ring.
  void Disc(float cx, float cy, float radius, const TRGBA& c);
  void Ring(float cx, float cy, float radius, float width, const TRGBA& c);
  // Antialiased thick line.
  void Line(float x0, float y0, float x1, float y1, float width, const TRGBA& c);
  // Raised (or, with sunken, pressed-in) rounded-corner panel edge.
  void Bevel(int x0, int y0, int x1, int y1, int size, float strength, bool sunken);
  void Draw(const TCanvas& src, int x, int y);  // alpha-blended copy

  // R, G, B(, A) bytes, rows top first; three channels drop the alpha.
  TPixelImage Image(int channels) const;
  std::string BMP() const;     // 32-bit, alpha 255
  std::string TGA24() const;
  std::string TGA32() const;   // uncompressed, with alpha
  std::string JPEG(int quality = 92) const;

 private:
  int w, h;
  std::vector<TRGBA> px;
};

// Deterministic noise: a hash of integer coordinates and a seed, value noise
// that tiles with the given period, and its fractal sum.
uint32_t Hash(int x, int y, uint32_t seed);
float Hash01(int x, int y, uint32_t seed);
float ValueNoise(float x, float y, int period, uint32_t seed);
float Fbm(float x, float y, int period, int octaves, uint32_t seed);

// A small deterministic generator for placement decisions.
class TRng {
 public:
  explicit TRng(uint32_t seed) : s(seed * 2654435761u + 1) {}
  uint32_t Next();
  float Uniform(float lo = 0, float hi = 1);
  int Below(int n) { return n > 0 ? static_cast<int>(Next() % static_cast<uint32_t>(n)) : 0; }

 private:
  uint32_t s;
};
