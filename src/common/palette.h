// The sixteen-colour palette and the colour values used by every drawing: 24-bit RGB in
// a 32-bit whole number, red in the low byte, green in the middle, blue in the third.
#pragma once

#include <array>
#include <cstdint>

namespace zorvane {

using ColorValue = std::uint32_t;

constexpr ColorValue rgb(int red, int green, int blue) {
  return static_cast<ColorValue>(red & 0xFF) | (static_cast<ColorValue>(green & 0xFF) << 8) |
         (static_cast<ColorValue>(blue & 0xFF) << 16);
}
constexpr int red_of(ColorValue c) { return static_cast<int>(c & 0xFF); }
constexpr int green_of(ColorValue c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue_of(ColorValue c) { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr std::array<ColorValue, 16> kPalette = {
    rgb(0, 0, 0),       rgb(0, 0, 128),     rgb(0, 128, 0),   rgb(0, 128, 128),
    rgb(128, 0, 0),     rgb(128, 0, 128),   rgb(128, 128, 0), rgb(192, 192, 192),
    rgb(128, 128, 128), rgb(0, 0, 255),     rgb(0, 255, 0),   rgb(0, 255, 255),
    rgb(255, 0, 0),     rgb(255, 0, 255),   rgb(255, 255, 0), rgb(255, 255, 255)};

// Palette entry by index; indices outside 0..15 give black.
constexpr ColorValue palette_color(int index) {
  return index >= 0 && index < 16 ? kPalette[static_cast<std::size_t>(index)] : kPalette[0];
}

inline constexpr int kSourceFrameColor = 14;  // light yellow
inline constexpr int kTargetFrameColor = 12;  // light red

}  // namespace zorvane
