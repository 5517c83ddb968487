// Drawing the campaign map on the map surface (a QImage, Format_RGB32): the cell tile, the
// owner badge, the unit-count badge and the selection frame of one cell, and the whole-map
// drawings of a new and of a loaded campaign. Drawing is immediate: the surface keeps what
// is drawn and nothing is repainted from the state unless these functions run again.
//
// Conventions: a filled box "from (x1, y1) to (x2, y2)" covers both corners (x2 - x1 + 1
// pixels wide); colours are ColorValue (0x00BBGGRR); text is drawn with its top-left corner
// at the given point on a transparent background, in the map font, without antialiasing so
// that every text pixel has exactly the text colour. The functions leave the painter's pen,
// brush and font as they found them. They keep a cache of rendered texts and badges, so call
// them from one thread (the window's).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <QColor>
#include <QFont>

#include "campaign/state.h"
#include "common/palette.h"

class QImage;
class QPainter;

namespace zorvane {

// "MS Serif" where the platform has it, else the closest serif; 6 points taken at 96 dpi
// (8 pixels), fixed in pixels so the map looks the same whatever the surface's resolution.
inline constexpr int kMapFontPixelSize = 8;
QFont map_font(bool bold);

// A colour value (red in the low byte) as a QColor.
QColor to_qcolor(ColorValue colour);

// Where a cell lies on the map surface: its top-left pixel and its width and height.
struct CellBox {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};
// Cell n's box from the state: x_px, y_px, cell_w, cell_h.
CellBox cell_box(const CampaignState& state, int n);
// Cell n's fill colour: terrain_color as a whole number (a restored text reads as its
// number), black when empty.
ColorValue cell_color(const CampaignState& state, int n);

// The text a value shows when printed: numbers with their sign position (" 5", "-2"),
// texts unchanged, empty as "".
std::string print_form(const Value& value);

// A filled box from (x1, y1) to (x2, y2), both corners included.
void fill_box(QPainter& painter, int x1, int y1, int x2, int y2, ColorValue colour);
// Text with its top-left corner at (x, y), regular or bold map font. Only the part that
// can reach the surface is laid out, so a text of any length costs at most a surface's
// width of text. Repeated texts are drawn from a cache of their rendered pixels; the result
// is the same as drawing anew.
void draw_map_text(QPainter& painter, int x, int y, std::string_view text, bool bold, ColorValue colour);

// Bytes held by the cache of rendered texts and badges (bounded to a few MB).
std::size_t map_stamp_cache_bytes();

// Where the owner badge puts its letters: standard (black at +7, colour at +8), or one pixel
// up and left as the map loader draws home badges (black at +6, colour at +7).
enum class BadgeLetters { standard, map_loader };

// Tile: black shadow box (x+3, y+3)-(x+3+w, y+3+h), then the cell box (x, y)-(x+w, y+h) in
// the colour, then the cell number in print form (" 12") in regular black at (x, y).
void draw_cell_tile(QPainter& painter, const CellBox& box, int cell_number, ColorValue colour);
// Owner badge: black box (x+9, y+9)-(x+19, y+19), a box in palette colour `team`
// (x+7, y+7)-(x+17, y+17), then the owner text in bold, black and then palette colour
// `text_color_index`, at the positions chosen by `letters`.
void draw_owner_badge(QPainter& painter, const CellBox& box, std::string_view owner_text, int team,
                      int text_color_index, BadgeLetters letters = BadgeLetters::standard);
// Count badge: black box (x+18, y+9)-(x+28, y+19), a box in palette colour `team`
// (x+16, y+7)-(x+26, y+17), then the text in bold, black at (x+16, y+7) and palette colour
// `text_color_index` at (x+17, y+8).
void draw_count_badge(QPainter& painter, const CellBox& box, std::string_view text, int team, int text_color_index);
// One-pixel frame from (x, y) to (x+w, y+h). Drawing it in the cell's own colour removes it.
void draw_cell_frame(QPainter& painter, const CellBox& box, ColorValue colour);

// The same operations for cell n of the campaign (position, size and colour from the
// state, badge text colour marker_text_color).
void draw_cell_tile(QPainter& painter, const CampaignState& state, int n);
// Owner text = the cell's owner field.
void draw_owner_badge(QPainter& painter, const CampaignState& state, int n, int team,
                      BadgeLetters letters = BadgeLetters::standard);
// value in print form: a number shows as " 5", a text unchanged.
void draw_count_badge(QPainter& painter, const CampaignState& state, int n, int team, const Value& value);
void draw_cell_frame(QPainter& painter, const CampaignState& state, int n, ColorValue colour);

// The map as a new campaign draws it, in reading order: each cell of the map that is not a
// hole ("0") gets its tile, and each home cell (terrain "A".."J") then its home badge with
// the map loader's letter positions.
void draw_campaign_map(QPainter& painter, const CampaignState& state);
void draw_campaign_map(QImage& surface, const CampaignState& state);

// The badges a load draws over the map: for every cell whose owner is not blank, its owner
// badge and a count badge holding its unit count.
void draw_loaded_badges(QPainter& painter, const CampaignState& state);

// Everything a load draws: the map (draw_campaign_map) and then the loaded badges.
void draw_loaded_campaign(QImage& surface, const CampaignState& state);

}  // namespace zorvane
