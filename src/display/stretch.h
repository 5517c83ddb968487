// The background stretch: bilinear enlargement (or reduction) of a source area onto a
// target area, pixel for pixel as the program has always drawn its map background.
#pragma once

#include <QImage>
#include <functional>

namespace zorvane {

// Sizes beyond this (the range of the routine's original 16-bit arguments) draw nothing.
inline constexpr int kMaxStretchExtent = 32767;

// Stretches the sw x sh area of src at (sx, sy) onto a dw x dh area of dest at (tx, ty).
// clip == 1 is fit-and-clip mode (working size enlarged by one source pixel's share, then
// clipped to dw x dh); any other value is plain mode. Source pixels beyond the image read
// as the nearest edge pixel; nothing is written outside dest (a dest that is not 32-bit
// RGB is converted to it first). A null image or a source size of zero or less draws
// nothing. row_done(y) is called after each source row.
void smooth_stretch(const QImage& src, int sx, int sy, int sw, int sh, int dw, int dh, int tx,
                    int ty, QImage& dest, unsigned char clip,
                    const std::function<void(int)>& row_done = {});

// The code paths of the stretch, all giving the same pixels; `best` is the fastest one
// this processor runs. For tests and benchmarks, which check and time each path.
enum class StretchPath { best, portable, sse2, avx2 };
bool stretch_path_available(StretchPath path);
// smooth_stretch on the given path (an unavailable one falls back to portable).
void smooth_stretch_using(StretchPath path, const QImage& src, int sx, int sy, int sw, int sh,
                          int dw, int dh, int tx, int ty, QImage& dest, unsigned char clip,
                          const std::function<void(int)>& row_done = {});

}  // namespace zorvane
