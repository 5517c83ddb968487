#include "stretch_reference.h"

#include <algorithm>

#include "common/text.h"

namespace zorvane::testing {
namespace {

struct Rgb {
  long long red;
  long long green;
  long long blue;
};

// Beyond the right or bottom edge the nearest edge pixel is read.
Rgb read_pixel(const QImage& img, long long x, long long y) {
  x = std::clamp(x, 0LL, static_cast<long long>(img.width() - 1));
  y = std::clamp(y, 0LL, static_cast<long long>(img.height() - 1));
  const QRgb p = img.pixel(static_cast<int>(x), static_cast<int>(y));
  return {qRed(p), qGreen(p), qBlue(p)};
}

long long ramp(long long from, long long to, long long steps, long long at) {
  return round_half_even(static_cast<double>(to - from) / static_cast<double>(steps) *
                             static_cast<double>(at) +
                         static_cast<double>(from));
}

}  // namespace

void reference_stretch(const QImage& src, int sx, int sy, int sw, int sh, int dw, int dh, int tx,
                       int ty, QImage& dest, unsigned char clip,
                       const std::function<void(int)>& row_done) {
  if (src.isNull() || dest.isNull() || sw <= 0 || sh <= 0) return;
  const bool fit = clip == 1;
  const long long w2 = fit ? round_half_even(static_cast<double>(dw) / sw + dw) : dw;
  const long long h2 = fit ? round_half_even(static_cast<double>(dh) / sh + dh) : dh;
  long long y0 = 0;
  for (long long y = 0; y < sh; ++y) {
    const long long y1 = round_half_even(static_cast<double>(h2) / sh * static_cast<double>(y + 1));
    long long x0 = 0;
    for (long long x = 0; x < sw; ++x) {
      const long long x1 =
          round_half_even(static_cast<double>(w2) / sw * static_cast<double>(x + 1));
      const Rgb c00 = read_pixel(src, sx + x, sy + y);
      const Rgb c10 = read_pixel(src, sx + x + 1, sy + y);
      const Rgb c01 = read_pixel(src, sx + x, sy + y + 1);
      const Rgb c11 = read_pixel(src, sx + x + 1, sy + y + 1);
      const long long dy = y1 - y0;
      const long long dx = x1 - x0;
      for (long long j = 0; j < dy; ++j) {
        const long long left_r = ramp(c00.red, c01.red, dy, j);
        const long long left_g = ramp(c00.green, c01.green, dy, j);
        const long long left_b = ramp(c00.blue, c01.blue, dy, j);
        const long long right_r = ramp(c10.red, c11.red, dy, j);
        const long long right_g = ramp(c10.green, c11.green, dy, j);
        const long long right_b = ramp(c10.blue, c11.blue, dy, j);
        for (long long i = 0; i < dx; ++i) {
          if (fit && !(x0 + i < dw && y0 + j < dh)) continue;
          const long long px = tx + x0 + i;
          const long long py = ty + y0 + j;
          if (px < 0 || py < 0 || px >= dest.width() || py >= dest.height()) continue;
          const long long r = ramp(left_r, right_r, dx, i);
          const long long g = ramp(left_g, right_g, dx, i);
          const long long b = ramp(left_b, right_b, dx, i);
          dest.setPixel(static_cast<int>(px), static_cast<int>(py),
                        qRgb(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)));
        }
      }
      x0 = x1;
    }
    if (row_done) row_done(static_cast<int>(y));
    y0 = y1;
  }
}

}  // namespace zorvane::testing
