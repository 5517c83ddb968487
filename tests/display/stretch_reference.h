// The background stretch written plainly, one pixel at a time, step by step: the yardstick
// the fast smooth_stretch is compared against.
#pragma once

#include <QImage>
#include <functional>

namespace zorvane::testing {

void reference_stretch(const QImage& src, int sx, int sy, int sw, int sh, int dw, int dh, int tx, int ty, QImage& dest,
                       unsigned char clip, const std::function<void(int)>& row_done = {});

}  // namespace zorvane::testing
