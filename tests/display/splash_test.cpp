#include "display/splash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace zorvane {
namespace {

// 311 by 123 and the same on every call: a textured grey stone, not a flat fill (many
// shades, mostly grey), whose carved name darkens a good part of the middle band and none of
// the rim.
TEST(Splash, IsTheSameGreyStoneWithDarkLetteringInTheMiddleOnEveryCall) {
  const QImage img = make_splash_image();
  EXPECT_EQ(img.size(), QSize(311, 123));
  EXPECT_EQ(img, make_splash_image());
  std::set<QRgb> shades;
  int greyish = 0, dark_middle = 0, dark_rim = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      shades.insert(p);
      const auto [low, high] = std::minmax({qRed(p), qGreen(p), qBlue(p)});
      greyish += high - low <= 16 ? 1 : 0;
      const bool dark = (qRed(p) * 299 + qGreen(p) * 587 + qBlue(p) * 114) / 1000 < 70;
      dark_middle += dark && y >= 30 && y < 93 && x >= 20 && x < 291 ? 1 : 0;
      dark_rim += dark && y >= 6 && y < 14 && x >= 6 && x < 305 ? 1 : 0;
    }
  }
  EXPECT_GT(shades.size(), 500u);
  EXPECT_GT(greyish, img.width() * img.height() * 9 / 10);
  EXPECT_GT(dark_middle, 1800);
  EXPECT_LT(dark_rim, 40);
}

}  // namespace
}  // namespace zorvane
