// The two map sprites (unit and flag) and the colour-keyed copy that puts them on the
// map, the action panel and the statistics panel.
#pragma once

#include <QImage>

#include "common/palette.h"

namespace zorvane {

inline constexpr int kSpriteWidth = 22;
inline constexpr int kSpriteHeight = 21;

// Picture9: a round grey robot seen from above, on black. Pixel (1, 1) is the colour key.
const QImage& unit_sprite();
// Picture10: a red banner with a yellow emblem on a white pole with a cross bar, on black.
const QImage& flag_sprite();

// The program's icon: the team banner on a transparent square (the key colour left out),
// each of its pixels drawn as a block of side / 24 pixels: twice its size at 48 pixels,
// the size the window shows; the installed icon theme takes 256 pixels too.
QImage window_icon_image(int side = 48);

// Copies the area (left, top)-(right, bottom) of src, inclusive, to dest at (dx, dy),
// leaving pixels of exactly the key colour transparent: there the background read from
// work shows. The result is composed off-screen and written to dest once; dest and work
// may be the same image. Parts outside src, work or dest are skipped.
void mask_blit(QImage& dest, const QImage& work, const QImage& src, int left, int top, int right,
               int bottom, int dx, int dy, ColorValue key);

// The surfaces a sprite can be drawn on; a null one is never drawn on.
struct SpriteSurfaces {
  QImage* map = nullptr;           // Picture1
  QImage* action_panel = nullptr;  // Picture2
  QImage* stats_panel = nullptr;   // Picture6
};

// Draws the top-left pw x ph pixels of a sprite at (px, py), the sprite's pixel (1, 1)
// being the transparent colour. picid: tens digit the target (1 map, 2 action panel,
// 6 statistics panel), units digit the sprite (1 unit, 2 flag); any other picid draws
// nothing.
void paintit(SpriteSurfaces& targets, int picid, int px, int py, int pw, int ph);

}  // namespace zorvane
