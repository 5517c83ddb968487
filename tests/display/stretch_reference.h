// The background stretch written plainly, one pixel at a time, step by step: the yardstick
// the fast smooth_stretch is compared against, in the tests and the benchmark.
#pragma once

#include <QImage>
#include <algorithm>
#include <array>
#include <functional>

#include "common/text.h"

namespace zorvane::testing {

using Rgb = std::array<long long, 3>;

// Beyond the right or bottom edge the nearest edge pixel is read.
inline Rgb read_pixel(const QImage& img, long long x, long long y) {
  const QRgb p = img.pixel(static_cast<int>(std::clamp(x, 0LL, img.width() - 1LL)), static_cast<int>(std::clamp(y, 0LL, img.height() - 1LL)));
  return {qRed(p), qGreen(p), qBlue(p)};
}

// Each channel `at` steps of `steps` from `from` to `to`, rounded halves to even.
inline Rgb ramp(const Rgb& from, const Rgb& to, long long steps, long long at) {
  Rgb out{};
  for (std::size_t c = 0; c < 3; ++c) {
    out[c] = round_half_even(static_cast<double>(to[c] - from[c]) / static_cast<double>(steps) * static_cast<double>(at) +
                             static_cast<double>(from[c]));
  }
  return out;
}

// The stretch written plainly, one pixel at a time, step by step: the yardstick the fast
// smooth_stretch is compared against.
inline void reference_stretch(const QImage& src, int sx, int sy, int sw, int sh, int dw, int dh, int tx, int ty, QImage& dest,
                       unsigned char clip, const std::function<void(int)>& row_done = {}) {
  if (src.isNull() || dest.isNull() || sw <= 0 || sh <= 0) return;
  const bool fit = clip == 1;
  const long long w2 = fit ? round_half_even(static_cast<double>(dw) / sw + dw) : dw;
  const long long h2 = fit ? round_half_even(static_cast<double>(dh) / sh + dh) : dh;
  long long y0 = 0;
  for (long long y = 0; y < sh; ++y) {
    const long long y1 = round_half_even(static_cast<double>(h2) / sh * static_cast<double>(y + 1));
    long long x0 = 0;
    for (long long x = 0; x < sw; ++x) {
      const long long x1 = round_half_even(static_cast<double>(w2) / sw * static_cast<double>(x + 1));
      const Rgb c00 = read_pixel(src, sx + x, sy + y), c10 = read_pixel(src, sx + x + 1, sy + y);
      const Rgb c01 = read_pixel(src, sx + x, sy + y + 1), c11 = read_pixel(src, sx + x + 1, sy + y + 1);
      for (long long j = 0; j < y1 - y0; ++j) {
        const Rgb left = ramp(c00, c01, y1 - y0, j), right = ramp(c10, c11, y1 - y0, j);
        for (long long i = 0; i < x1 - x0; ++i) {
          if (fit && !(x0 + i < dw && y0 + j < dh)) continue;
          const long long px = tx + x0 + i, py = ty + y0 + j;
          if (px < 0 || py < 0 || px >= dest.width() || py >= dest.height()) continue;
          const Rgb c = ramp(left, right, x1 - x0, i);
          dest.setPixel(static_cast<int>(px), static_cast<int>(py), qRgb(int(c[0]), int(c[1]), int(c[2])));
        }
      }
      x0 = x1;
    }
    if (row_done) row_done(static_cast<int>(y));
    y0 = y1;
  }
}

}  // namespace zorvane::testing
