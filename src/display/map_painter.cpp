#include "display/map_painter.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPaintDevice>
#include <QTransform>

#include "common/text.h"

namespace zorvane {
namespace {

// A drawing rendered once onto a transparent image: every pixel is either the final colour
// of the drawing or untouched, so stamping it onto the surface gives exactly what drawing
// it again would (the map text has no antialiasing, fills are opaque). offset is where the
// image's top-left corner lies relative to the drawing's anchor point.
struct Stamp {
  QImage image;
  QPoint offset;
};

// Drawing the 1,600 cell numbers and the badges anew costs most of a map's drawing time
// (text layout, and one fill call per box); stamping costs little. The cache is bounded by
// the bytes it holds; drawings wider than kMaxStampWidth are not stamped at all, since only
// long texts make them and those are better drawn straight onto the surface.
constexpr std::size_t kMaxStampCacheBytes = 16u << 20;
constexpr int kMaxStampWidth = 256;
// Texts longer than this are drawn directly without measuring them for a stamp first.
constexpr std::size_t kMaxStampText = 24;

struct StampCache {
  std::unordered_map<std::string, Stamp> stamps;
  std::size_t bytes = 0;
};

StampCache& stamp_cache() {
  static StampCache cache;
  return cache;
}

void append_colour(std::string& key, ColorValue colour) {
  for (int shift = 0; shift < 32; shift += 8) key += static_cast<char>((colour >> shift) & 0xFF);
}

QString to_qstring(std::string_view text) {
  // Map texts are single bytes in the 8-bit code page; Latin-1 keeps each byte one character.
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The stamp kept under key, made on first use by rendering draw(painter, anchor) onto a
// transparent image covering area() (relative to the anchor); nullptr when the drawing is
// too wide to keep, and the caller draws it directly.
template <typename Area, typename Draw>
const Stamp* cached_stamp(std::string&& key, Area area_of, Draw draw) {
  StampCache& cache = stamp_cache();
  if (const auto found = cache.stamps.find(key); found != cache.stamps.end()) return &found->second;
  const QRect area = area_of();
  if (area.width() > kMaxStampWidth) return nullptr;
  Stamp stamp;
  stamp.image = QImage(std::max(1, area.width()), std::max(1, area.height()), QImage::Format_ARGB32_Premultiplied);
  stamp.image.fill(Qt::transparent);
  stamp.offset = area.topLeft();
  {
    QPainter painter(&stamp.image);
    draw(painter, -area.topLeft());
  }
  const std::size_t bytes = static_cast<std::size_t>(stamp.image.sizeInBytes()) + 2 * key.size() + 128;
  if (cache.bytes + bytes > kMaxStampCacheBytes) {
    cache.stamps.clear();
    cache.bytes = 0;
  }
  cache.bytes += bytes;
  return &cache.stamps.emplace(std::move(key), std::move(stamp)).first->second;
}

// How far right of x the painter can still put a pixel, in its own coordinates.
int room_to_right(const QPainter& painter, int x) {
  constexpr int kUnbounded = 1 << 30;
  const QPaintDevice* device = painter.device();
  bool invertible = false;
  const QTransform to_logical = painter.worldTransform().inverted(&invertible);
  if (!device || !invertible) return kUnbounded;
  const qreal ratio = device->devicePixelRatioF();
  const QRectF visible = to_logical.mapRect(QRectF(0, 0, device->width() / ratio, device->height() / ratio));
  return static_cast<int>(std::clamp<qreal>(std::ceil(visible.right()) - x, -kUnbounded, kUnbounded));
}

// The leading part of a text that can show when its left edge is `room` pixels from the
// right edge of the surface. A character that starts beyond the edge puts no pixel on the
// surface; the margin covers ink that leans out of a character's box and the kerning with
// the character after the cut. Cutting there leaves every visible pixel as it was, and a
// megabyte of text costs what a screen's width of it does.
std::string_view visible_part(std::string_view text, bool bold, int room) {
  constexpr int kEdgeMargin = 16;
  if (room <= -kEdgeMargin) return {};
  const int limit = room + kEdgeMargin;
  // Kept for the program's life and never destroyed, so no font outlives the application.
  static const QFontMetrics* const regular = new QFontMetrics(map_font(false));
  static const QFontMetrics* const heavy = new QFontMetrics(map_font(true));
  const QFontMetrics& metrics = bold ? *heavy : *regular;
  // Short texts (cell numbers, letters) are whole without measuring.
  if (static_cast<long long>(text.size()) * (metrics.maxWidth() + 4) < limit) return text;
  // A first guess from the characters' own advances, then the real layout of the prefix,
  // which also counts kerning, confirms it reaches past the limit.
  std::size_t n = 0;
  for (int x = 0; n < text.size() && x < limit; ++n) {
    x += metrics.horizontalAdvance(QChar(static_cast<uchar>(text[n])));
  }
  while (n < text.size() && metrics.horizontalAdvance(to_qstring(text.substr(0, n))) < limit) {
    n = std::min(text.size(), n * 2);
  }
  return text.substr(0, n);
}

// Forward: draws a text already cut to its visible part, stamped or directly.
void draw_cut_text(QPainter& painter, int x, int y, std::string_view text, bool bold, ColorValue colour);

void draw_text_directly(QPainter& painter, int x, int y, std::string_view text, bool bold, ColorValue colour) {
  const QFont font = map_font(bold);
  painter.save();
  painter.setFont(font);
  painter.setPen(to_qcolor(colour));
  painter.drawText(QPoint(x, y + QFontMetrics(font).ascent()), to_qstring(text));
  painter.restore();
}

// Where a text's ink may fall relative to its top-left point.
QRect text_area(std::string_view text, bool bold) {
  const QFontMetrics metrics(map_font(bold));
  // Ink may reach a pixel beyond the reported box on some fonts; the margin keeps it.
  constexpr int kMargin = 3;
  return metrics.boundingRect(to_qstring(text)).translated(0, metrics.ascent()).adjusted(-kMargin, -kMargin, kMargin,
                                                                                         kMargin);
}

const Stamp* text_stamp(std::string_view text, bool bold, ColorValue colour) {
  if (text.size() > kMaxStampText) return nullptr;
  std::string key;
  key.reserve(text.size() + 6);
  key += bold ? 'b' : 'r';
  append_colour(key, colour);
  key += text;
  const auto area = [&] { return text_area(text, bold); };
  return cached_stamp(std::move(key), area, [&](QPainter& painter, QPoint anchor) {
    const QFont font = map_font(bold);
    painter.setFont(font);
    painter.setPen(to_qcolor(colour));
    painter.drawText(anchor + QPoint(0, QFontMetrics(font).ascent()), to_qstring(text));
  });
}

void put_stamp(QPainter& painter, int x, int y, const Stamp& stamp) {
  painter.drawImage(QPoint(x + stamp.offset.x(), y + stamp.offset.y()), stamp.image);
}

bool plain_pixels(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  return device && device->devicePixelRatioF() == 1.0 && painter.worldTransform().isIdentity();
}

// One badge relative to its cell's corner: a black shadow box, a box in the team colour
// and the text twice, black and then in the badge text colour one pixel right and down.
struct BadgeShape {
  QRect shadow;  // built from both corners, QRect(QPoint, QPoint), so right() is the last pixel
  QRect box;
  QPoint text_at;  // the black text; the coloured one is one pixel right and down
};

void draw_badge_parts(QPainter& painter, QPoint anchor, const BadgeShape& shape, std::string_view text,
                      ColorValue team_colour, ColorValue text_colour) {
  const QRect shadow = shape.shadow.translated(anchor);
  const QRect box = shape.box.translated(anchor);
  fill_box(painter, shadow.left(), shadow.top(), shadow.right(), shadow.bottom(), palette_color(0));
  fill_box(painter, box.left(), box.top(), box.right(), box.bottom(), team_colour);
  const QPoint at = shape.text_at + anchor;
  draw_cut_text(painter, at.x(), at.y(), text, true, palette_color(0));
  draw_cut_text(painter, at.x() + 1, at.y() + 1, text, true, text_colour);
}

void draw_badge(QPainter& painter, const CellBox& cell, const BadgeShape& shape, std::string_view full_text,
                ColorValue team_colour, ColorValue text_colour) {
  // The coloured copy lies one pixel right of the black one; the cut's margin covers it.
  const std::string_view text = visible_part(full_text, true, room_to_right(painter, cell.x + shape.text_at.x()));
  if (!plain_pixels(painter) || text.size() > kMaxStampText) {
    draw_badge_parts(painter, QPoint(cell.x, cell.y), shape, text, team_colour, text_colour);
    return;
  }
  std::string key;
  key.reserve(text.size() + 24);
  for (const int v : {shape.box.left(), shape.box.top(), shape.text_at.x(), shape.text_at.y()}) {
    key += static_cast<char>(v);
  }
  append_colour(key, team_colour);
  append_colour(key, text_colour);
  key += text;
  const auto area = [&] {
    QRect covered = shape.shadow.united(shape.box);
    if (is_blank(text)) return covered;
    const QRect ink = text_area(text, true).translated(shape.text_at);
    return covered.united(ink).united(ink.translated(1, 1));
  };
  const Stamp* stamp = cached_stamp(std::move(key), area, [&](QPainter& stamp_painter, QPoint anchor) {
    draw_badge_parts(stamp_painter, anchor, shape, text, team_colour, text_colour);
  });
  if (stamp) {
    put_stamp(painter, cell.x, cell.y, *stamp);
  } else {
    draw_badge_parts(painter, QPoint(cell.x, cell.y), shape, text, team_colour, text_colour);
  }
}

const BadgeShape kOwnerBadge{QRect(QPoint(9, 9), QPoint(19, 19)), QRect(QPoint(7, 7), QPoint(17, 17)), QPoint(7, 7)};
const BadgeShape kHomeBadge{kOwnerBadge.shadow, kOwnerBadge.box, QPoint(6, 6)};
const BadgeShape kCountBadge{QRect(QPoint(18, 9), QPoint(28, 19)), QRect(QPoint(16, 7), QPoint(26, 17)), QPoint(16, 7)};

}  // namespace

QFont map_font(bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Serif"), QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                    QStringLiteral("DejaVu Serif"), QStringLiteral("Noto Serif"), QStringLiteral("serif")});
  font.setStyleHint(QFont::Serif, QFont::NoAntialias);
  font.setPixelSize(kMapFontPixelSize);
  font.setBold(bold);
  return font;
}

QColor to_qcolor(ColorValue colour) { return QColor(red_of(colour), green_of(colour), blue_of(colour)); }

CellBox cell_box(const CampaignState& state, int n) {
  return CellBox{static_cast<int>(state.field(n, x_px).to_whole()), static_cast<int>(state.field(n, y_px).to_whole()),
                 state.cell_w, state.cell_h};
}

ColorValue cell_color(const CampaignState& state, int n) {
  return static_cast<ColorValue>(state.field(n, terrain_color).to_whole()) & 0xFFFFFFu;
}

std::string print_form(const Value& value) {
  if (!value.is_number()) return value.to_text();
  const std::string digits = value.to_text();
  return digits.starts_with('-') ? digits : " " + digits;
}

void fill_box(QPainter& painter, int x1, int y1, int x2, int y2, ColorValue colour) {
  if (x2 < x1 || y2 < y1) return;
  painter.fillRect(QRect(x1, y1, x2 - x1 + 1, y2 - y1 + 1), to_qcolor(colour));
}

void draw_map_text(QPainter& painter, int x, int y, std::string_view text, bool bold, ColorValue colour) {
  draw_cut_text(painter, x, y, visible_part(text, bold, room_to_right(painter, x)), bold, colour);
}

namespace {
void draw_cut_text(QPainter& painter, int x, int y, std::string_view text, bool bold, ColorValue colour) {
  if (is_blank(text)) return;
  const Stamp* stamp = plain_pixels(painter) ? text_stamp(text, bold, colour) : nullptr;
  if (stamp) {
    put_stamp(painter, x, y, *stamp);
  } else {
    draw_text_directly(painter, x, y, text, bold, colour);
  }
}
}  // namespace

std::size_t map_stamp_cache_bytes() { return stamp_cache().bytes; }

void draw_cell_tile(QPainter& painter, const CellBox& box, int cell_number, ColorValue colour) {
  const int x = box.x, y = box.y, w = box.w, h = box.h;
  fill_box(painter, x + 3, y + 3, x + 3 + w, y + 3 + h, palette_color(0));
  fill_box(painter, x, y, x + w, y + h, colour);
  draw_map_text(painter, x, y, str_number(cell_number), false, palette_color(0));
}

void draw_owner_badge(QPainter& painter, const CellBox& box, std::string_view owner_text, int team,
                      int text_color_index, BadgeLetters letters) {
  draw_badge(painter, box, letters == BadgeLetters::map_loader ? kHomeBadge : kOwnerBadge, owner_text,
             palette_color(team), palette_color(text_color_index));
}

void draw_count_badge(QPainter& painter, const CellBox& box, std::string_view text, int team, int text_color_index) {
  draw_badge(painter, box, kCountBadge, text, palette_color(team), palette_color(text_color_index));
}

void draw_cell_frame(QPainter& painter, const CellBox& box, ColorValue colour) {
  const int x = box.x, y = box.y, w = box.w, h = box.h;
  fill_box(painter, x, y, x + w, y, colour);
  fill_box(painter, x, y + h, x + w, y + h, colour);
  fill_box(painter, x, y, x, y + h, colour);
  fill_box(painter, x + w, y, x + w, y + h, colour);
}

void draw_cell_tile(QPainter& painter, const CampaignState& state, int n) {
  draw_cell_tile(painter, cell_box(state, n), n, cell_color(state, n));
}

void draw_owner_badge(QPainter& painter, const CampaignState& state, int n, int team, BadgeLetters letters) {
  draw_owner_badge(painter, cell_box(state, n), state.field(n, owner).to_text(), team, state.marker_text_color,
                   letters);
}

void draw_count_badge(QPainter& painter, const CampaignState& state, int n, int team, const Value& value) {
  draw_count_badge(painter, cell_box(state, n), print_form(value), team, state.marker_text_color);
}

void draw_cell_frame(QPainter& painter, const CampaignState& state, int n, ColorValue colour) {
  draw_cell_frame(painter, cell_box(state, n), colour);
}

void draw_campaign_map(QPainter& painter, const CampaignState& state) {
  const int cells = std::min(state.cell_count(), kMaxCells);
  for (int n = 1; n <= cells; ++n) {
    const std::string ch = state.field(n, terrain).to_text();
    // An empty terrain is a cell the map never filled (rows after a blank line end early).
    if (ch.empty() || ch == "0") continue;
    const CellBox box = cell_box(state, n);
    draw_cell_tile(painter, box, n, cell_color(state, n));
    if (const int team = team_index(ch); team != 0) {
      draw_owner_badge(painter, box, ch, team, state.marker_text_color, BadgeLetters::map_loader);
    }
  }
}

void draw_campaign_map(QImage& surface, const CampaignState& state) {
  if (surface.isNull()) return;
  QPainter painter(&surface);
  draw_campaign_map(painter, state);
}

void draw_loaded_badges(QPainter& painter, const CampaignState& state) {
  const int cells = std::min(state.cell_count(), kMaxCells);
  for (int n = 1; n <= cells; ++n) {
    const std::string owner_text = state.field(n, owner).to_text();
    if (is_blank(owner_text)) continue;  // a blank owner shows nothing: no boxes, no visible text
    const int team = team_index(owner_text);
    const CellBox box = cell_box(state, n);
    draw_owner_badge(painter, box, owner_text, team, state.marker_text_color);
    draw_count_badge(painter, box, str_number(unit_count(state.cells[static_cast<std::size_t>(n - 1)])), team,
                     state.marker_text_color);
  }
}

void draw_loaded_campaign(QImage& surface, const CampaignState& state) {
  if (surface.isNull()) return;
  QPainter painter(&surface);
  draw_campaign_map(painter, state);
  draw_loaded_badges(painter, state);
}

}  // namespace zorvane
