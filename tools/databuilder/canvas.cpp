#include "canvas.h"

#include "render/image_writers.h"
#include "render/jpeg_codec.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

TRGBA Mix(const TRGBA& x, const TRGBA& y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}
TRGBA Scale(const TRGBA& c, float f) { return {c.r * f, c.g * f, c.b * f, c.a}; }
TRGBA Hex(uint32_t rgb, float a) {
  return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, a};
}

TCanvas::TCanvas(int width, int height, TRGBA fill) : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}

void TCanvas::FillRect(int x0, int y0, int x1, int y1, const TRGBA& c) {
  for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(w, x1); ++x) At(x, y) = c;
}

void TCanvas::Blend(int x, int y, const TRGBA& c, float t) {
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  t = std::clamp(t * c.a, 0.0f, 1.0f);
  TRGBA& d = At(x, y);
  const float outA = t + d.a * (1 - t);
  if (outA <= 0) return;
  d.r = (c.r * t + d.r * d.a * (1 - t)) / outA;
  d.g = (c.g * t + d.g * d.a * (1 - t)) / outA;
  d.b = (c.b * t + d.b * d.a * (1 - t)) / outA;
  d.a = outA;
}

void TCanvas::Disc(float cx, float cy, float radius, const TRGBA& c) {
  for (int y = static_cast<int>(cy - radius - 2); y <= cy + radius + 2; ++y)
    for (int x = static_cast<int>(cx - radius - 2); x <= cx + radius + 2; ++x) {
      const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
      Blend(x, y, c, std::clamp(radius - d + 0.5f, 0.0f, 1.0f));
    }
}

void TCanvas::Ring(float cx, float cy, float radius, float width, const TRGBA& c) {
  for (int y = static_cast<int>(cy - radius - width - 2); y <= cy + radius + width + 2; ++y)
    for (int x = static_cast<int>(cx - radius - width - 2); x <= cx + radius + width + 2; ++x) {
      const float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius);
      Blend(x, y, c, std::clamp(width / 2 - d + 0.5f, 0.0f, 1.0f));
    }
}

void TCanvas::Line(float x0, float y0, float x1, float y1, float width, const TRGBA& c) {
  const float dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-6f);
  const int minX = static_cast<int>(std::min(x0, x1) - width - 2), maxX = static_cast<int>(std::max(x0, x1) + width + 2);
  const int minY = static_cast<int>(std::min(y0, y1) - width - 2), maxY = static_cast<int>(std::max(y0, y1) + width + 2);
  for (int y = minY; y <= maxY; ++y)
    for (int x = minX; x <= maxX; ++x) {
      const float px0 = x + 0.5f - x0, py0 = y + 0.5f - y0;
      const float t = std::clamp((px0 * dx + py0 * dy) / len2, 0.0f, 1.0f);
      const float d = std::hypot(px0 - t * dx, py0 - t * dy);
      Blend(x, y, c, std::clamp(width / 2 - d + 0.5f, 0.0f, 1.0f));
    }
}

void TCanvas::Bevel(int x0, int y0, int x1, int y1, int size, float strength, bool sunken) {
  for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(w, x1); ++x) {
      const int dl = x - x0, dt = y - y0, dr = x1 - 1 - x, db = y1 - 1 - y;
      const int edge = std::min(std::min(dl, dt), std::min(dr, db));
      if (edge >= size) continue;
      // Light from the top left: top and left edges lit, the others in shade.
      float light = (std::min(dl, dt) <= std::min(dr, db)) ? 1.0f : -1.0f;
      if (sunken) light = -light;
      const float fall = strength * (1.0f - static_cast<float>(edge) / size);
      TRGBA& p = At(x, y);
      const TRGBA target = light > 0 ? TRGBA{1, 1, 1, p.a} : TRGBA{0, 0, 0, p.a};
      p = Mix(p, target, fall);
    }
}

void TCanvas::Draw(const TCanvas& src, int x, int y) {
  for (int sy = 0; sy < src.h; ++sy)
    for (int sx = 0; sx < src.w; ++sx) Blend(x + sx, y + sy, src.At(sx, sy), 1);
}

static uint8_t Byte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

TPixelImage TCanvas::Image(int channels) const {
  TPixelImage image;
  image.Width = w;
  image.Height = h;
  image.Channels = channels;
  image.Pixels.reserve(static_cast<size_t>(w) * h * channels);
  for (const TRGBA& p : px) {
    image.Pixels.insert(image.Pixels.end(), {Byte(p.r), Byte(p.g), Byte(p.b)});
    if (channels == 4) image.Pixels.push_back(Byte(p.a));
  }
  return image;
}

std::string TCanvas::BMP() const { return EncodeBMP(Image(3)); }
std::string TCanvas::TGA24() const { return EncodeTGA(Image(3)); }
std::string TCanvas::TGA32() const { return EncodeTGA(Image(4)); }

std::string TCanvas::JPEG(int quality) const {
  std::string out, why;
  if (!EncodeJPEG(Image(3), quality, out, why)) throw std::runtime_error("JPEG encoding failed: " + why);
  return out;
}

uint32_t Hash(int x, int y, uint32_t seed) {
  uint32_t h = seed * 374761393u + static_cast<uint32_t>(x) * 668265263u + static_cast<uint32_t>(y) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

float Hash01(int x, int y, uint32_t seed) { return (Hash(x, y, seed) & 0xFFFFFF) / 16777216.0f; }

float ValueNoise(float x, float y, int period, uint32_t seed) {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float fx = x - x0, fy = y - y0;
  const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  auto corner = [&](int cx, int cy) {
    if (period > 0) {
      cx = ((cx % period) + period) % period;
      cy = ((cy % period) + period) % period;
    }
    return Hash01(cx, cy, seed);
  };
  const float a = corner(x0, y0), b = corner(x0 + 1, y0), c = corner(x0, y0 + 1), d = corner(x0 + 1, y0 + 1);
  return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float Fbm(float x, float y, int period, int octaves, uint32_t seed) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, period, seed + i * 101u) * amp;
    norm += amp;
    x *= 2;
    y *= 2;
    period *= 2;
    amp *= 0.5f;
  }
  return sum / norm;
}

uint32_t TRng::Next() {
  s ^= s << 13;
  s ^= s >> 17;
  s ^= s << 5;
  return s;
}

float TRng::Uniform(float lo, float hi) { return lo + (hi - lo) * ((Next() & 0xFFFFFF) / 16777216.0f); }
