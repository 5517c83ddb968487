#include "display/splash.h"

#include <gtest/gtest.h>

#include <set>

namespace zorvane {
namespace {

int luminance(QRgb p) { return (qRed(p) * 299 + qGreen(p) * 587 + qBlue(p) * 114) / 1000; }

TEST(Splash, IsThreeHundredElevenByHundredTwentyThree) {
  const QImage img = make_splash_image();
  EXPECT_EQ(img.width(), 311);
  EXPECT_EQ(img.height(), 123);
  EXPECT_EQ(img.format(), QImage::Format_RGB32);
}

TEST(Splash, IsTheSameOnEveryCall) { EXPECT_EQ(make_splash_image(), make_splash_image()); }

// A textured stone, not a flat fill: many shades, and mostly grey.
TEST(Splash, IsGreyStoneTexture) {
  const QImage img = make_splash_image();
  std::set<QRgb> shades;
  int greyish = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      shades.insert(p);
      const int spread =
          std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
      greyish += spread <= 16 ? 1 : 0;
    }
  }
  EXPECT_GT(shades.size(), 500u);
  EXPECT_GT(greyish, img.width() * img.height() * 9 / 10);
}

// The carved name darkens a good part of the middle band and none of the rim.
TEST(Splash, CarriesDarkLetteringInTheMiddle) {
  const QImage img = make_splash_image();
  int dark_middle = 0;
  for (int y = 30; y < 93; ++y) {
    for (int x = 20; x < 291; ++x) dark_middle += luminance(img.pixel(x, y)) < 70 ? 1 : 0;
  }
  int dark_rim = 0;
  for (int y = 6; y < 14; ++y) {
    for (int x = 6; x < 305; ++x) dark_rim += luminance(img.pixel(x, y)) < 70 ? 1 : 0;
  }
  EXPECT_GT(dark_middle, 1800);
  EXPECT_LT(dark_rim, 40);
}

}  // namespace
}  // namespace zorvane
