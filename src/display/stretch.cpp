#include "display/stretch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define ZORVANE_STRETCH_SSE2 1
#endif
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ZORVANE_STRETCH_AVX2 1
#endif

namespace zorvane {
namespace {

// One colour as four doubles in the byte order of a QRgb in memory: blue, green, red,
// alpha. The alpha lane rides along at 255 (its slopes are 0) so a whole pixel is
// converted and stored at once.
struct alignas(32) Lanes {
  double c[4];
};

// One source row's worth of input for the kernels: the two source lines and the clamped
// source column of every band column from first_col to last_col + 1.
struct RowSource {
  const QRgb* upper;
  const QRgb* lower;
  const int* src_col;
  double dy;
};

// Everything one target row needs. Source column x (first_col..last_col) fills count[x]
// target pixels, starting at out[start[x]] with place i = first_i[x] in its band.
struct RowJob {
  Lanes* top;           // per source column: the upper source pixel
  Lanes* step;          // per source column: (lower - upper) / dy
  const double* width;  // per source column: its band width dx
  const int* start;
  const int* count;
  const double* first_i;
  int first_col;
  int last_col;  // edges are needed up to last_col + 1
};

// ---- Portable path: plain C++, the rounding is nearbyint's (nearest, halves to even).

unsigned to_byte(double v) {
  const double r = std::nearbyint(v);
  return r <= 0.0 ? 0u : r >= 255.0 ? 255u : static_cast<unsigned>(r);
}

void prepare_portable(const RowJob& job, const RowSource& rs) {
  for (int x = job.first_col; x <= job.last_col + 1; ++x) {
    const QRgb a = rs.upper[rs.src_col[x]];
    const QRgb b = rs.lower[rs.src_col[x]];
    job.top[x] = {{static_cast<double>(qBlue(a)), static_cast<double>(qGreen(a)),
                   static_cast<double>(qRed(a)), 255.0}};
    job.step[x] = {{(static_cast<double>(qBlue(b)) - qBlue(a)) / rs.dy,
                    (static_cast<double>(qGreen(b)) - qGreen(a)) / rs.dy,
                    (static_cast<double>(qRed(b)) - qRed(a)) / rs.dy, 0.0}};
  }
}

Lanes edge_portable(const RowJob& job, int x, double j) {
  Lanes e;
  for (int c = 0; c < 4; ++c) e.c[c] = std::nearbyint(job.step[x].c[c] * j + job.top[x].c[c]);
  return e;
}

void row_portable(const RowJob& job, double j, QRgb* out) {
  Lanes left = edge_portable(job, job.first_col, j);
  for (int x = job.first_col; x <= job.last_col; ++x) {
    const Lanes right = edge_portable(job, x + 1, j);
    if (job.count[x] == 0) {  // a band narrower than a pixel, or clipped away
      left = right;
      continue;
    }
    Lanes q;
    for (int c = 0; c < 3; ++c) q.c[c] = (right.c[c] - left.c[c]) / job.width[x];
    QRgb* o = out + job.start[x];
    double i = job.first_i[x];
    for (int k = 0; k < job.count[x]; ++k, i += 1.0) {
      o[k] = qRgb(static_cast<int>(to_byte(q.c[2] * i + left.c[2])),
                  static_cast<int>(to_byte(q.c[1] * i + left.c[1])),
                  static_cast<int>(to_byte(q.c[0] * i + left.c[0])));
    }
    left = right;
  }
}

#if defined(ZORVANE_STRETCH_SSE2)

// ---- SSE2 path: a colour is two vectors, (blue, green) and (red, alpha). cvtpd2dq and
// the 1.5 * 2^52 trick round in the processor's default mode: nearest, halves to even.

inline __m128d round_even_pd(__m128d v) {
  const __m128d magic = _mm_set1_pd(6755399441055744.0);
  return _mm_sub_pd(_mm_add_pd(v, magic), magic);
}

// The four bytes of a pixel as whole numbers (alpha forced to 255); built with integer
// unpacking because cvtsi2sd chains every conversion onto the previous division.
inline __m128i pixel_epi32(QRgb p) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(p | 0xFF000000u));
  return _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
}

void prepare_sse2(const RowJob& job, const RowSource& rs) {
  const __m128d dy = _mm_set1_pd(rs.dy);
  for (int x = job.first_col; x <= job.last_col + 1; ++x) {
    const __m128i a = pixel_epi32(rs.upper[rs.src_col[x]]);
    const __m128i b = pixel_epi32(rs.lower[rs.src_col[x]]);
    const __m128d a_lo = _mm_cvtepi32_pd(a);
    const __m128d a_hi = _mm_cvtepi32_pd(_mm_shuffle_epi32(a, 0xEE));
    const __m128d b_lo = _mm_cvtepi32_pd(b);
    const __m128d b_hi = _mm_cvtepi32_pd(_mm_shuffle_epi32(b, 0xEE));
    _mm_store_pd(job.top[x].c, a_lo);
    _mm_store_pd(job.top[x].c + 2, a_hi);
    _mm_store_pd(job.step[x].c, _mm_div_pd(_mm_sub_pd(b_lo, a_lo), dy));
    _mm_store_pd(job.step[x].c + 2, _mm_div_pd(_mm_sub_pd(b_hi, a_hi), dy));
  }
}

// The edges and slopes of a column are made inside the pixel loop so the divider works
// while the previous column's pixels are stored.
void row_sse2(const RowJob& job, double j, QRgb* out) {
  const __m128d jv = _mm_set1_pd(j);
  const Lanes* top = job.top;
  const Lanes* step = job.step;
  auto edge_lo = [&](int x) {
    return round_even_pd(_mm_add_pd(_mm_mul_pd(_mm_load_pd(step[x].c), jv), _mm_load_pd(top[x].c)));
  };
  auto edge_hi = [&](int x) {
    return round_even_pd(
        _mm_add_pd(_mm_mul_pd(_mm_load_pd(step[x].c + 2), jv), _mm_load_pd(top[x].c + 2)));
  };
  __m128d left_lo = edge_lo(job.first_col);
  __m128d left_hi = edge_hi(job.first_col);
  const int last = job.last_col;
  for (int x = job.first_col; x <= last; ++x) {
    const __m128d right_lo = edge_lo(x + 1);
    const __m128d right_hi = edge_hi(x + 1);
    if (job.count[x] == 0) {
      left_lo = right_lo;
      left_hi = right_hi;
      continue;
    }
    const __m128d w = _mm_set1_pd(job.width[x]);
    const __m128d q_lo = _mm_div_pd(_mm_sub_pd(right_lo, left_lo), w);
    const __m128d q_hi = _mm_div_pd(_mm_sub_pd(right_hi, left_hi), w);
    QRgb* o = out + job.start[x];
    const int count = job.count[x];
    __m128d i = _mm_set1_pd(job.first_i[x]);
    for (int k = 0; k < count; ++k) {
      const __m128i bg = _mm_cvtpd_epi32(_mm_add_pd(_mm_mul_pd(q_lo, i), left_lo));
      const __m128i ra = _mm_cvtpd_epi32(_mm_add_pd(_mm_mul_pd(q_hi, i), left_hi));
      __m128i px = _mm_unpacklo_epi64(bg, ra);
      px = _mm_packs_epi32(px, px);
      px = _mm_packus_epi16(px, px);
      o[k] = static_cast<QRgb>(_mm_cvtsi128_si32(px));
      i = _mm_add_pd(i, _mm_set1_pd(1.0));
    }
    left_lo = right_lo;
    left_hi = right_hi;
  }
}

#endif

#if defined(ZORVANE_STRETCH_AVX2)

// ---- AVX2 path, chosen at run time: a colour is one vector of four doubles.
// (Plain mul and add intrinsics: no fused multiply-add, the products must round.)

__attribute__((target("avx2"))) void prepare_avx2(const RowJob& job, const RowSource& rs) {
  const __m256d dy = _mm256_set1_pd(rs.dy);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (int x = job.first_col; x <= job.last_col + 1; ++x) {
    const __m128i a =
        _mm_or_si128(_mm_cvtsi32_si128(static_cast<int>(rs.upper[rs.src_col[x]])), opaque);
    const __m128i b =
        _mm_or_si128(_mm_cvtsi32_si128(static_cast<int>(rs.lower[rs.src_col[x]])), opaque);
    const __m256d ad = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(a));
    const __m256d bd = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(b));
    _mm256_store_pd(job.top[x].c, ad);
    _mm256_store_pd(job.step[x].c, _mm256_div_pd(_mm256_sub_pd(bd, ad), dy));
  }
}

// The band row's value at a source column: round(step * j + top).
__attribute__((target("avx2"))) inline __m256d edge_avx2(const RowJob& job, int x, __m256d j) {
  const __m256d v =
      _mm256_add_pd(_mm256_mul_pd(_mm256_load_pd(job.step[x].c), j), _mm256_load_pd(job.top[x].c));
  return _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
}

__attribute__((target("avx2"))) void row_avx2(const RowJob& job, double j, QRgb* out) {
  const __m256d jv = _mm256_set1_pd(j);
  __m256d left = edge_avx2(job, job.first_col, jv);
  const int last = job.last_col;
  for (int x = job.first_col; x <= last; ++x) {
    const __m256d right = edge_avx2(job, x + 1, jv);
    if (job.count[x] == 0) {
      left = right;
      continue;
    }
    const __m256d q = _mm256_div_pd(_mm256_sub_pd(right, left), _mm256_set1_pd(job.width[x]));
    QRgb* o = out + job.start[x];
    const int count = job.count[x];
    __m256d i = _mm256_set1_pd(job.first_i[x]);
    for (int k = 0; k < count; ++k) {
      __m128i px = _mm256_cvtpd_epi32(_mm256_add_pd(_mm256_mul_pd(q, i), left));
      px = _mm_packs_epi32(px, px);
      px = _mm_packus_epi16(px, px);
      o[k] = static_cast<QRgb>(_mm_cvtsi128_si32(px));
      i = _mm256_add_pd(i, _mm256_set1_pd(1.0));
    }
    left = right;
  }
}

bool cpu_has_avx2() {
  static const bool has = [] {
    __builtin_cpu_init();  // in case the first stretch runs during static initialisation
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

#endif

struct Kernel {
  void (*prepare)(const RowJob&, const RowSource&);
  void (*row)(const RowJob&, double, QRgb*);
};

Kernel kernel_for(StretchPath path) {
  if (path == StretchPath::best) {
#if defined(ZORVANE_STRETCH_AVX2)
    if (cpu_has_avx2()) return {prepare_avx2, row_avx2};
#endif
#if defined(ZORVANE_STRETCH_SSE2)
    return {prepare_sse2, row_sse2};
#endif
  }
#if defined(ZORVANE_STRETCH_AVX2)
  if (path == StretchPath::avx2 && cpu_has_avx2()) return {prepare_avx2, row_avx2};
#endif
#if defined(ZORVANE_STRETCH_SSE2)
  if (path == StretchPath::sse2) return {prepare_sse2, row_sse2};
#endif
  return {prepare_portable, row_portable};
}

long long clamp_ll(long long v, long long lo, long long hi) {
  return std::min(std::max(v, lo), hi);
}

bool writes_straight(QImage::Format f) {
  return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
         f == QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

bool stretch_path_available(StretchPath path) {
  switch (path) {
    case StretchPath::best:
    case StretchPath::portable:
      return true;
    case StretchPath::sse2:
#if defined(ZORVANE_STRETCH_SSE2)
      return true;
#else
      return false;
#endif
    case StretchPath::avx2:
#if defined(ZORVANE_STRETCH_AVX2)
      return cpu_has_avx2();
#else
      return false;
#endif
  }
  return false;
}

void smooth_stretch(const QImage& src, int sx, int sy, int sw, int sh, int dw, int dh, int tx,
                    int ty, QImage& dest, unsigned char clip,
                    const std::function<void(int)>& row_done) {
  smooth_stretch_using(StretchPath::best, src, sx, sy, sw, sh, dw, dh, tx, ty, dest, clip,
                       row_done);
}

void smooth_stretch_using(StretchPath path, const QImage& src, int sx, int sy, int sw, int sh,
                          int dw, int dh, int tx, int ty, QImage& dest, unsigned char clip,
                          const std::function<void(int)>& row_done) {
  if (src.isNull() || dest.isNull() || sw <= 0 || sh <= 0) return;
  if (sw > kMaxStretchExtent || sh > kMaxStretchExtent || dw > kMaxStretchExtent ||
      dh > kMaxStretchExtent) {
    return;
  }
  const Kernel kernel = kernel_for(path);
  // Taken before dest is written, so a stretch of an image onto itself reads the original.
  const QImage source =
      src.format() == QImage::Format_RGB32 || src.format() == QImage::Format_ARGB32
          ? src
          : src.convertToFormat(QImage::Format_ARGB32);

  const bool fit = clip == 1;
  const long long w2 = fit ? round_half_even(static_cast<double>(dw) / sw + dw) : dw;
  const long long h2 = fit ? round_half_even(static_cast<double>(dh) / sh + dh) : dh;

  std::vector<long long> col_end(static_cast<std::size_t>(sw));
  std::vector<long long> row_end(static_cast<std::size_t>(sh));
  for (int x = 0; x < sw; ++x) {
    col_end[static_cast<std::size_t>(x)] = round_half_even(static_cast<double>(w2) / sw * (x + 1));
  }
  for (int y = 0; y < sh; ++y) {
    row_end[static_cast<std::size_t>(y)] = round_half_even(static_cast<double>(h2) / sh * (y + 1));
  }

  // The target columns and rows that can be written at all: inside the working area,
  // inside dw x dh in fit-and-clip mode, inside dest.
  const long long x_lo = std::max(0LL, -static_cast<long long>(tx));
  const long long x_hi = std::min({fit ? static_cast<long long>(dw) : w2,
                                   static_cast<long long>(dest.width()) - tx, col_end.back()});
  const long long y_lo = std::max(0LL, -static_cast<long long>(ty));
  const long long y_hi = std::min({fit ? static_cast<long long>(dh) : h2,
                                   static_cast<long long>(dest.height()) - ty, row_end.back()});
  const bool draws = x_lo < x_hi && y_lo < y_hi;

  // Which target columns each source column fills.
  std::vector<double> width(static_cast<std::size_t>(sw));
  std::vector<int> start(static_cast<std::size_t>(sw));
  std::vector<int> count(static_cast<std::size_t>(sw));
  std::vector<double> first_i(static_cast<std::size_t>(sw));
  int first_col = sw;
  int last_col = -1;
  if (draws) {
    long long x0 = 0;
    for (int x = 0; x < sw; ++x) {
      const auto ux = static_cast<std::size_t>(x);
      const long long x1 = col_end[ux];
      const long long from = std::max(x0, x_lo);
      const long long to = std::min(x1, x_hi);
      width[ux] = static_cast<double>(x1 - x0);
      if (from < to) {
        first_col = std::min(first_col, x);
        last_col = x;
        start[ux] = static_cast<int>(from - x_lo);
        count[ux] = static_cast<int>(to - from);
        first_i[ux] = static_cast<double>(from - x0);
      }
      x0 = x1;
    }
  }

  // Beyond the right or bottom edge the edge pixel is read.
  const long long last_x = source.width() - 1;
  const long long last_y = source.height() - 1;
  std::vector<int> src_col(static_cast<std::size_t>(sw) + 1);
  for (int x = 0; x <= sw; ++x) {
    src_col[static_cast<std::size_t>(x)] =
        static_cast<int>(clamp_ll(static_cast<long long>(sx) + x, 0, last_x));
  }

  std::vector<Lanes> top(static_cast<std::size_t>(sw) + 1);
  std::vector<Lanes> step(static_cast<std::size_t>(sw) + 1);
  uchar* dest_bits = nullptr;
  qsizetype dest_stride = 0;
  if (draws) {
    if (!writes_straight(dest.format())) {
      dest = dest.convertToFormat(dest.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
    }
    dest_bits = dest.bits();
    dest_stride = dest.bytesPerLine();
  }
  const RowJob job{top.data(),   step.data(),    width.data(), start.data(),
                   count.data(), first_i.data(), first_col,    last_col};

  long long y0 = 0;
  for (int y = 0; y < sh; ++y) {
    const long long y1 = row_end[static_cast<std::size_t>(y)];
    const long long j_lo = std::max(y0, y_lo) - y0;
    const long long j_hi = std::min(y1, y_hi) - y0;
    if (draws && j_lo < j_hi) {
      const auto* upper = reinterpret_cast<const QRgb*>(source.constScanLine(
          static_cast<int>(clamp_ll(static_cast<long long>(sy) + y, 0, last_y))));
      const auto* lower = reinterpret_cast<const QRgb*>(source.constScanLine(
          static_cast<int>(clamp_ll(static_cast<long long>(sy) + y + 1, 0, last_y))));
      kernel.prepare(job, {upper, lower, src_col.data(), static_cast<double>(y1 - y0)});
      for (long long j = j_lo; j < j_hi; ++j) {
        auto* out = reinterpret_cast<QRgb*>(dest_bits + (ty + y0 + j) * dest_stride) + (tx + x_lo);
        kernel.row(job, static_cast<double>(j), out);
      }
    }
    if (row_done) row_done(y);
    y0 = y1;
  }
}

}  // namespace zorvane
