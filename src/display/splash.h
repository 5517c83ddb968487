// The title picture shown in the middle of the window while no campaign is on the map:
// the program's name carved in a grey stone tablet.
#pragma once

#include <QImage>

namespace zorvane {

inline constexpr int kSplashWidth = 311;
inline constexpr int kSplashHeight = 123;

// Picture8: 311 x 123, Format_RGB32, drawn the same way on every call. The lettering
// needs a QGuiApplication (fonts); without one the tablet is drawn without it.
QImage make_splash_image();

}  // namespace zorvane
