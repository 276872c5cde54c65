// Pictures read back from the test window at any screen size, and the
// relative-luminance contrast of what they show.
#pragma once
#include "core/gl_api.h"
#include "core/run_state.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

struct TPicture {
  int W = 0, H = 0;
  std::vector<uint8_t> Rgb;  // top row first
  const uint8_t* At(int x, int y) const { return &Rgb[(static_cast<size_t>(y) * W + x) * 3]; }
};

inline double LinearChannel(uint8_t c) {
  const double v = c / 255.0;
  return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
inline double Luminance(const uint8_t* p) {
  return 0.2126 * LinearChannel(p[0]) + 0.7152 * LinearChannel(p[1]) + 0.0722 * LinearChannel(p[2]);
}
inline double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

// The frame draw() makes at the current screen size, in tiles of the
// 800 x 600 test window for larger screens; each tile starts cleared.
inline TPicture DrawPicture(const std::function<void()>& draw) {
  TPicture shot{ScreenWidth, ScreenHeight, std::vector<uint8_t>(static_cast<size_t>(ScreenWidth) * ScreenHeight * 3)};
  std::vector<uint8_t> tile(800 * 600 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (int bottom = 0; bottom < shot.H; bottom += 600)
    for (int left = 0; left < shot.W; left += 800) {
      const int w = std::min(800, shot.W - left), h = std::min(600, shot.H - bottom);
      glViewport(-left, -bottom, shot.W, shot.H);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      glLoadIdentity();
      draw();
      glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, tile.data());
      for (int row = 0; row < h; ++row)
        std::copy_n(&tile[static_cast<size_t>(row) * w * 3], w * 3,
                    &shot.Rgb[(static_cast<size_t>(shot.H - 1 - bottom - row) * shot.W + left) * 3]);
    }
  glViewport(0, 0, 800, 600);
  return shot;
}
