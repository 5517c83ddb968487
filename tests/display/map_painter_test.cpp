#include "display/map_painter.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <functional>

#include "campaign/map_file.h"

namespace zorvane {
namespace {

constexpr ColorValue kBackground = rgb(40, 80, 120);  // a colour no drawing uses
const ColorValue kBlack = palette_color(0);
const ColorValue kYellow = palette_color(14);

QImage surface(int width = 200, int height = 150) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(to_qcolor(kBackground));
  return image;
}

// The image after draw has painted on it.
QImage painted(QImage image, const std::function<void(QPainter&)>& draw) {
  QPainter painter(&image);
  draw(painter);
  painter.end();
  return image;
}

ColorValue pixel(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return rgb(qRed(p), qGreen(p), qBlue(p));
}

// The smallest rectangle holding every pixel of the colour inside the area; empty when none.
QRect pixels_of(const QImage& image, ColorValue colour, const QRect& area) {
  QRect found;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (pixel(image, x, y) == colour) found |= QRect(x, y, 1, 1);
    }
  }
  return found;
}

// The image with boxes filled from (x1, y1) to (x2, y2), both corners included, in order.
QImage with_boxes(const QImage& image, const std::vector<std::array<int, 5>>& fills) {
  return painted(image, [&](QPainter& p) {
    for (const auto& [x1, y1, x2, y2, colour] : fills) p.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), to_qcolor(colour));
  });
}

struct Text {
  ColorValue colour;
  QRect area;
};

// got is expected pixel for pixel, except for texts: pixels of a text's colour inside its
// area, of which there must be some.
void expect_drawn(const QImage& got, const QImage& expected, const std::vector<Text>& texts = {}) {
  for (int y = 0; y < got.height(); ++y) {
    for (int x = 0; x < got.width(); ++x) {
      const ColorValue c = pixel(got, x, y);
      const bool text = std::any_of(texts.begin(), texts.end(), [&](const Text& t) { return c == t.colour && t.area.contains(x, y); });
      ASSERT_TRUE(c == pixel(expected, x, y) || text) << "at " << x << "," << y;
    }
  }
  for (const Text& t : texts) EXPECT_FALSE(pixels_of(got, t.colour, t.area).isEmpty());
}

CampaignState campaign(const std::string& map_bytes, int width, int height) {
  const MapReadResult map = parse_map(map_bytes, "m.aim");
  EXPECT_TRUE(map.ok()) << map.error;
  CampaignState state;
  if (map.ok()) apply_map(*map.map, width, height, state);
  return state;
}

// Qt's text drawn plainly with its top-left corner at (x, y).
void direct_text(QPainter& p, int x, int y, const QString& text, bool bold, ColorValue colour) {
  p.setFont(map_font(bold));
  p.setPen(to_qcolor(colour));
  p.drawText(QPoint(x, y + QFontMetrics(map_font(bold)).ascent()), text);
}

// Map text is Qt's text with its top-left corner at the point, without antialiasing or a
// background box: every pixel is the text colour or untouched. Repeated texts are stamped
// from rendered copies and must still look the same; blank texts draw nothing at all; the
// surface's resolution changes nothing.
TEST(MapText, IsPlainTextAtItsTopLeftPointInExactlyItsColourAlsoWhenRepeated) {
  for (const bool bold : {false, true}) {
    for (const char* text : {" 1", " 27", " 1600", "A", "J", " 10", "x y"}) {
      SCOPED_TRACE(std::string(text) + (bold ? " bold" : " regular"));
      const QImage direct = painted(surface(60, 24), [&](QPainter& p) { direct_text(p, 5, 4, text, bold, kYellow); });
      for (const int dots_per_metre : {2835, 3780, 2835}) {
        QImage image = surface(60, 24);
        image.setDotsPerMeterX(dots_per_metre);
        image.setDotsPerMeterY(dots_per_metre);
        image = painted(image, [&](QPainter& p) {
          draw_map_text(p, 5, 4, text, bold, kYellow);
          draw_map_text(p, 2, 2, "", bold, kBlack);
          draw_map_text(p, 2, 2, "   ", bold, kBlack);
        });
        EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), direct);
      }
      expect_drawn(direct, surface(60, 24), {{kYellow, direct.rect()}});
    }
  }
}

// A long text is laid out only as far as the surface reaches: the pixels must be those of
// drawing the whole text, and the stamp cache must not hold an image as wide as the text.
TEST(MapText, LongTextsShowExactlyAsDrawnWholeWithoutRenderingPastTheEdge) {
  std::string long_text;
  for (int i = 0; i < 100000; ++i) long_text += "AVWa.iT7 "[i % 9];
  const struct {
    std::string text;
    int x;
  } cases[] = {{long_text, 5}, {long_text, 100}, {long_text, 150}, {long_text, -40},
               {std::string(3000, '\x01') + "HQ", 3}, {std::string(300, ' ') + "HQ", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + ": " + c.text.substr(0, 8));
    const QString whole = QString::fromLatin1(c.text.data(), static_cast<qsizetype>(c.text.size()));
    EXPECT_EQ(painted(surface(140, 30), [&](QPainter& p) { draw_map_text(p, c.x, 4, c.text, true, kYellow); }),
              painted(surface(140, 30), [&](QPainter& p) { direct_text(p, c.x, 4, whole, true, kYellow); }));
    EXPECT_EQ(painted(surface(140, 30), [&](QPainter& p) { draw_owner_badge(p, {c.x, 2, 30, 30}, c.text, 3, 14); }),
              painted(surface(140, 30), [&](QPainter& p) {
                fill_box(p, c.x + 9, 11, c.x + 19, 21, kBlack);
                fill_box(p, c.x + 7, 9, c.x + 17, 19, palette_color(3));
                direct_text(p, c.x + 7, 9, whole, true, kBlack);
                direct_text(p, c.x + 8, 10, whole, true, kYellow);
              }));
  }
  EXPECT_LT(map_stamp_cache_bytes(), 4u << 20);
}

TEST(MapDrawing, StampedCellsAndBadgesLookTheSameAsDrawingThemAnew) {
  // A shifted painter draws every part anew; the plain one stamps remembered drawings.
  const auto draw_all = [](QPainter& painter, const CellBox& b) {
    for (int pass = 0; pass < 2; ++pass) {
      draw_cell_tile(painter, b, 1234, kBrownTerrain);
      draw_owner_badge(painter, b, "H", 8, 14, BadgeLetters::map_loader);
      draw_owner_badge(painter, b, "D", 4, 14);
      draw_count_badge(painter, b, " 10", 4, 14);
      draw_count_badge(painter, b, "wide text", 9, 15);
    }
  };
  EXPECT_EQ(painted(surface(), [&](QPainter& p) { draw_all(p, {30, 20, 45, 35}); }), painted(surface(), [&](QPainter& p) {
              p.translate(7, 5);
              draw_all(p, {23, 15, 45, 35});
            }));
}

// Every pixel of a cell's parts: the boxes cover exactly their corners, and the texts stay
// near their points.
TEST(CellParts, BoxesCoverExactlyTheirCornersAndTextsLieAtTheirPoints) {
  const CellBox box{10, 20, 30, 25};
  const QImage tile = painted(surface(), [&](QPainter& p) { draw_cell_tile(p, box, 7, kLightGreenTerrain); });
  // The shadow, the box over it, and the number in black at the box's top-left corner.
  expect_drawn(tile, with_boxes(surface(), {{13, 23, 43, 48, kBlack}, {10, 20, 40, 45, kLightGreenTerrain}}),
               {{kBlack, QRect(10, 20, 30, 15)}});
  // Badges: a black box under the team's box, the text in black at +7 and then its colour at
  // +8; the map loader's home badge has the letters one pixel up and left.
  const auto owner = [&](QPainter& p) { draw_owner_badge(p, box, "B", 2, 14); };
  const auto count = [&](QPainter& p) { draw_count_badge(p, box, " 5", 4, 14); };
  const auto home = [&](QPainter& p) { draw_owner_badge(p, box, "B", 2, 14, BadgeLetters::map_loader); };
  const struct {
    std::function<void(QPainter&)> draw;
    int x, letters;  // the team box's left edge; the letters' offset
    ColorValue team;
  } cases[] = {{owner, 17, 0, palette_color(2)}, {count, 26, 0, palette_color(4)}, {home, 17, -1, palette_color(2)}};
  for (const auto& c : cases) {
    const QImage got = painted(tile, c.draw);
    const int t = c.x + c.letters;
    expect_drawn(got, with_boxes(tile, {{c.x + 2, 29, c.x + 12, 39, kBlack}, {c.x, 27, c.x + 10, 37, c.team}}),
                 {{kBlack, QRect(t, 27 + c.letters, 14, 14)}, {kYellow, QRect(t + 1, 28 + c.letters, 14, 14)}});
    // Inside the team box, the coloured copy lies one pixel right of and below the black one.
    const QRect team_box(c.x, 27, 11, 11);
    if (c.letters == 0) {
      EXPECT_EQ(pixels_of(got, kYellow, team_box).topLeft() - pixels_of(got, kBlack, team_box).topLeft(), QPoint(1, 1));
    }
  }
  EXPECT_EQ(pixels_of(painted(tile, home), kYellow, tile.rect()), pixels_of(painted(tile, owner), kYellow, tile.rect()).translated(-1, -1));
}

TEST(CountBadge, NumbersShowInPrintForm) {
  for (const auto& [value, text] : {std::pair{Value::whole(5), " 5"}, {Value::whole(-2), "-2"}, {Value::number(10.0), " 10"},
                                    {Value::text("3"), "3"}, {Value(), ""}}) {
    EXPECT_EQ(print_form(value), text);
  }
  CampaignState state;
  state.cell_w = state.cell_h = 40;
  state.field(1, x_px) = Value::whole(10);
  state.field(1, y_px) = Value::whole(20);
  EXPECT_EQ(painted(surface(), [&](QPainter& p) { draw_count_badge(p, state, 1, 3, Value::whole(5)); }),
            painted(surface(), [](QPainter& p) { draw_count_badge(p, {10, 20, 40, 40}, " 5", 3, 14); }));
}

TEST(CellFrame, OnePixelOutlineThatTheCellColourRemovesLeavingTheBadges) {
  const CellBox box{10, 20, 40, 40};
  const QImage before = painted(surface(), [&](QPainter& p) {
    draw_cell_tile(p, box, 12, kDarkGreenTerrain);
    draw_owner_badge(p, box, "C", 3, 14);
    draw_count_badge(p, box, " 4", 3, 14);
  });
  const auto outline = [&](ColorValue c) {
    return with_boxes(before, {{10, 20, 50, 20, c}, {10, 60, 50, 60, c}, {10, 20, 10, 60, c}, {50, 20, 50, 60, c}});
  };
  const QImage framed = painted(before, [&](QPainter& p) { draw_cell_frame(p, box, kYellow); });
  expect_drawn(framed, outline(kYellow));
  expect_drawn(painted(framed, [&](QPainter& p) { draw_cell_frame(p, box, kDarkGreenTerrain); }), outline(kDarkGreenTerrain));
}

TEST(CampaignMap, SmallMapShowsItsTerrainsTheTwoHomeBadgesAndItsShadow) {
  // Lines 12A, 3B4, 555 on a 301 by 301 picture: cells of 100 by 100 pixels.
  QImage image = surface(310, 310);
  draw_campaign_map(image, campaign("12A\r\n3B4\r\n555\r\n", 301, 301));
  const ColorValue colours[] = {kLightGreenTerrain, kDarkGreenTerrain, kBrownTerrain, kBrownTerrain, kBrownTerrain,
                                kRedTerrain,        kWhiteTerrain,     kWhiteTerrain, kWhiteTerrain};
  for (int n = 1; n <= 9; ++n) {
    const int x = ((n - 1) % 3) * 100, y = ((n - 1) / 3) * 100;
    EXPECT_EQ(pixel(image, x + 60, y + 60), colours[n - 1]) << "cell " << n;
    // Cell 3 holds team A's badge, cell 5 team B's; the other cells none.
    EXPECT_EQ(pixel(image, x + 17, y + 17), n == 3 ? palette_color(1) : n == 5 ? palette_color(2) : colours[n - 1]) << n;
  }
  // The drop shadow shows along the right and bottom edges of the map, and no further.
  for (const auto& [x, y, colour] : {std::tuple{303, 150, kBlack}, {150, 303, kBlack}, {304, 150, kBackground},
                                     {150, 304, kBackground}, {302, 2, kBackground}}) {
    EXPECT_EQ(pixel(image, x, y), colour) << x << "," << y;
  }
}

// Every cell but holes ("0") gets its tile in reading order, home cells then their badge with
// the map loader's letters; where a hole is, the background and the shadows show.
TEST(CampaignMap, DrawsLikeTheCellOperationsInReadingOrderSkippingHoles) {
  for (const auto& [map, hole] : {std::pair{"12A\r\n3B4\r\n555\r\n", 0}, std::pair{"1A2\r\n3B4\r\n0 5\r\n", 7}}) {
    SCOPED_TRACE(map);
    const CampaignState state = campaign(map, 91, 91);
    QImage whole = surface(100, 100);
    draw_campaign_map(whole, state);
    EXPECT_EQ(whole, painted(surface(100, 100), [&](QPainter& painter) {
                for (int n = 1; n <= 9; ++n) {
                  if (n == hole) continue;
                  draw_cell_tile(painter, state, n);
                  const int team = team_index(state.field(n, terrain).to_text());
                  if (team != 0) draw_owner_badge(painter, state, n, team, BadgeLetters::map_loader);
                }
              }));
  }
}

// Owned cells get owner and count badges, others nothing; after a load colours are texts
// such as " 42255 ", which draw like the numbers; a null surface is left alone.
TEST(LoadedBadges, OwnedCellsGetOwnerAndCountBadgesAlsoFromSavedTexts) {
  CampaignState state = campaign("12A\r\n3B4\r\n555\r\n", 301, 301);
  state.field(1, owner) = Value::text("B");
  state.field(1, unit_1) = Value::text("tank.ai");
  state.field(1, unit_1 + 2) = Value::text("scout.ai");  // slot 2 empty: the count is 3
  state.field(3, owner) = Value::text("  ");             // A's home left blank
  CampaignState texts = state;
  for (int n = 1; n <= 9; ++n) texts.field(n, terrain_color) = Value::text(state.field(n, terrain_color).save_line());
  QImage expected = surface(310, 310);
  draw_campaign_map(expected, state);
  expected = painted(expected, [&](QPainter& painter) {
    for (const auto& [n, count] : {std::pair{1, " 3"}, {5, " 0"}}) {
      draw_owner_badge(painter, cell_box(state, n), "B", 2, 14);
      draw_count_badge(painter, cell_box(state, n), count, 2, 14);
    }
  });
  for (const CampaignState* s : {&state, &texts}) {
    QImage loaded = surface(310, 310);
    draw_loaded_campaign(loaded, *s);
    EXPECT_EQ(loaded, expected);
  }
  // A's home keeps the home badge the map drew, and gets no count badge.
  EXPECT_EQ(pixel(expected, 200 + 17, 17), palette_color(1));
  EXPECT_EQ(pixel(expected, 200 + 26, 17), kBrownTerrain);
  EXPECT_EQ(cell_color(texts, 1), kLightGreenTerrain);
  QImage none;
  draw_loaded_campaign(none, state);
  EXPECT_TRUE(none.isNull());
}

}  // namespace
}  // namespace zorvane
