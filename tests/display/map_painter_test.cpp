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

struct Fill {
  int x1, y1, x2, y2;
  ColorValue colour;
};

// The image with boxes filled from (x1, y1) to (x2, y2), both corners included, in order.
QImage with_boxes(const QImage& image, const std::vector<Fill>& fills) {
  return painted(image, [&](QPainter& painter) {
    for (const Fill& f : fills) {
      painter.fillRect(QRect(QPoint(f.x1, f.y1), QPoint(f.x2, f.y2)), to_qcolor(f.colour));
    }
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
      const bool text = std::any_of(texts.begin(), texts.end(), [&](const Text& t) {
        return c == t.colour && t.area.contains(x, y);
      });
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

TEST(MapFont, IsABoldOrRegularSerifOfEightPixelsWhateverTheSurfacesResolution) {
  EXPECT_TRUE(map_font(true).bold());
  EXPECT_FALSE(map_font(false).bold());
  EXPECT_EQ(map_font(true).pixelSize(), 8);
  // Text drawn on a 72 dpi and on a 96 dpi surface covers the same pixels.
  const auto drawn_at = [](int dots_per_metre) {
    QImage image = surface(60, 20);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    return painted(image, [](QPainter& p) { draw_map_text(p, 2, 2, " 1600", false, kBlack); });
  };
  EXPECT_EQ(drawn_at(2835), drawn_at(3780));
}

// Map text is Qt's text with its top-left corner at the point, without antialiasing or a
// background box: every pixel is the text colour or untouched. Repeated texts are stamped
// from rendered copies and must still look the same; blank texts draw nothing at all.
TEST(MapText, IsPlainTextAtItsTopLeftPointInExactlyItsColourAlsoWhenRepeated) {
  for (const bool bold : {false, true}) {
    for (const char* text : {" 1", " 27", " 1600", "A", "J", " 10", "x y"}) {
      SCOPED_TRACE(std::string(text) + (bold ? " bold" : " regular"));
      const QImage direct = painted(surface(60, 24), [&](QPainter& painter) {
        painter.setFont(map_font(bold));
        painter.setPen(to_qcolor(kYellow));
        painter.drawText(QPoint(5, 4 + QFontMetrics(map_font(bold)).ascent()),
                         QString::fromLatin1(text));
      });
      for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(painted(surface(60, 24),
                          [&](QPainter& p) {
                            draw_map_text(p, 5, 4, text, bold, kYellow);
                            draw_map_text(p, 2, 2, "", bold, kBlack);
                            draw_map_text(p, 2, 2, "   ", bold, kBlack);
                          }),
                  direct);
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
    const auto direct = [&](QPainter& p, int x, int y, ColorValue colour) {
      p.setFont(map_font(true));
      p.setPen(to_qcolor(colour));
      p.drawText(QPoint(x, y + QFontMetrics(map_font(true)).ascent()), whole);
    };
    EXPECT_EQ(painted(surface(140, 30), [&](QPainter& p) { draw_map_text(p, c.x, 4, c.text, true, kYellow); }),
              painted(surface(140, 30), [&](QPainter& p) { direct(p, c.x, 4, kYellow); }));
    const CellBox box{c.x, 2, 30, 30};
    EXPECT_EQ(painted(surface(140, 30), [&](QPainter& p) { draw_owner_badge(p, box, c.text, 3, 14); }),
              painted(surface(140, 30), [&](QPainter& p) {
                fill_box(p, c.x + 9, 11, c.x + 19, 21, kBlack);
                fill_box(p, c.x + 7, 9, c.x + 17, 19, palette_color(3));
                direct(p, c.x + 7, 9, kBlack);
                direct(p, c.x + 8, 10, kYellow);
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
  const QImage stamped = painted(surface(), [&](QPainter& p) { draw_all(p, {30, 20, 45, 35}); });
  const QImage drawn = painted(surface(), [&](QPainter& p) {
    p.translate(7, 5);
    draw_all(p, {23, 15, 45, 35});
  });
  EXPECT_EQ(stamped, drawn);
}

// Every pixel of a cell's parts: the boxes cover exactly their corners, and the texts stay
// near their points.
TEST(CellParts, BoxesCoverExactlyTheirCornersAndTextsLieAtTheirPoints) {
  const CellBox box{10, 20, 30, 25};
  const QImage tile =
      painted(surface(), [&](QPainter& p) { draw_cell_tile(p, box, 7, kLightGreenTerrain); });
  // The shadow, the box over it, and the number in black at the box's top-left corner.
  expect_drawn(
      tile, with_boxes(surface(), {{13, 23, 43, 48, kBlack}, {10, 20, 40, 45, kLightGreenTerrain}}),
      {{kBlack, QRect(10, 20, 30, 15)}});
  // Badges: a black box under the team's box, the text in black at +7 and then its colour at +8.
  const QImage owner = painted(tile, [&](QPainter& p) { draw_owner_badge(p, box, "B", 2, 14); });
  expect_drawn(owner,
               with_boxes(tile, {{19, 29, 29, 39, kBlack}, {17, 27, 27, 37, palette_color(2)}}),
               {{kBlack, QRect(17, 27, 14, 14)}, {kYellow, QRect(18, 28, 14, 14)}});
  const QImage count = painted(tile, [&](QPainter& p) { draw_count_badge(p, box, " 5", 4, 14); });
  expect_drawn(count,
               with_boxes(tile, {{28, 29, 38, 39, kBlack}, {26, 27, 36, 37, palette_color(4)}}),
               {{kBlack, QRect(26, 27, 14, 14)}, {kYellow, QRect(27, 28, 14, 14)}});
  // The map loader's home badge: the same boxes, the letters one pixel up and left.
  const QImage home = painted(
      tile, [&](QPainter& p) { draw_owner_badge(p, box, "B", 2, 14, BadgeLetters::map_loader); });
  expect_drawn(home,
               with_boxes(tile, {{19, 29, 29, 39, kBlack}, {17, 27, 27, 37, palette_color(2)}}),
               {{kBlack, QRect(16, 26, 14, 14)}, {kYellow, QRect(17, 27, 14, 14)}});
  EXPECT_EQ(pixels_of(home, kYellow, home.rect()),
            pixels_of(owner, kYellow, owner.rect()).translated(-1, -1));
  // Inside the team box, the coloured copy of the text lies one pixel right of and below the
  // black one.
  for (const auto& [image, team_box] :
       {std::pair{&owner, QRect(17, 27, 11, 11)}, std::pair{&count, QRect(26, 27, 11, 11)}}) {
    EXPECT_EQ(pixels_of(*image, kYellow, team_box).topLeft() -
                  pixels_of(*image, kBlack, team_box).topLeft(),
              QPoint(1, 1));
  }
}

TEST(CountBadge, NumbersShowInPrintForm) {
  EXPECT_EQ(print_form(Value::whole(5)), " 5");
  EXPECT_EQ(print_form(Value::whole(-2)), "-2");
  EXPECT_EQ(print_form(Value::number(10.0)), " 10");
  EXPECT_EQ(print_form(Value::text("3")), "3");
  EXPECT_EQ(print_form(Value()), "");
  // A count given as a number is drawn as its print form.
  CampaignState state;
  state.cell_w = state.cell_h = 40;
  state.field(1, x_px) = Value::whole(10);
  state.field(1, y_px) = Value::whole(20);
  const auto by_value = [&](QPainter& p) { draw_count_badge(p, state, 1, 3, Value::whole(5)); };
  const auto by_text = [](QPainter& p) { draw_count_badge(p, {10, 20, 40, 40}, " 5", 3, 14); };
  EXPECT_EQ(painted(surface(), by_value), painted(surface(), by_text));
}

TEST(CellFrame, OnePixelOutlineThatTheCellColourRemovesLeavingTheBadges) {
  const CellBox box{10, 20, 40, 40};
  const QImage before = painted(surface(), [&](QPainter& p) {
    draw_cell_tile(p, box, 12, kDarkGreenTerrain);
    draw_owner_badge(p, box, "C", 3, 14);
    draw_count_badge(p, box, " 4", 3, 14);
  });
  const auto outline = [](ColorValue c) {
    return std::vector<Fill>{
        {10, 20, 50, 20, c}, {10, 60, 50, 60, c}, {10, 20, 10, 60, c}, {50, 20, 50, 60, c}};
  };
  const QImage framed = painted(before, [&](QPainter& p) { draw_cell_frame(p, box, kYellow); });
  expect_drawn(framed, with_boxes(before, outline(kYellow)));
  // The badges lie inside the frame, so only its line changes back.
  const QImage removed =
      painted(framed, [&](QPainter& p) { draw_cell_frame(p, box, kDarkGreenTerrain); });
  expect_drawn(removed, with_boxes(before, outline(kDarkGreenTerrain)));
  EXPECT_EQ(removed.copy(16, 26, 24, 15), before.copy(16, 26, 24, 15));
}

TEST(CampaignMap, SmallMapShowsItsTerrainsTheTwoHomeBadgesAndItsShadow) {
  // Lines 12A, 3B4, 555 on a 301 by 301 picture: cells of 100 by 100 pixels.
  QImage image = surface(310, 310);
  draw_campaign_map(image, campaign("12A\r\n3B4\r\n555\r\n", 301, 301));
  const ColorValue colours[] = {kLightGreenTerrain, kDarkGreenTerrain, kBrownTerrain,
                                kBrownTerrain,      kBrownTerrain,     kRedTerrain,
                                kWhiteTerrain,      kWhiteTerrain,     kWhiteTerrain};
  for (int n = 1; n <= 9; ++n) {
    const int x = ((n - 1) % 3) * 100, y = ((n - 1) / 3) * 100;
    EXPECT_EQ(pixel(image, x + 60, y + 60), colours[n - 1]) << "cell " << n;
    // Cell 3 holds team A's badge, cell 5 team B's; the other cells none.
    const ColorValue badge = n == 3 ? palette_color(1) : n == 5 ? palette_color(2) : colours[n - 1];
    EXPECT_EQ(pixel(image, x + 17, y + 17), badge) << "cell " << n;
  }
  // The drop shadow shows along the right and bottom edges of the map, and no further.
  EXPECT_EQ(pixel(image, 303, 150), kBlack);
  EXPECT_EQ(pixel(image, 150, 303), kBlack);
  EXPECT_EQ(pixel(image, 304, 150), kBackground);
  EXPECT_EQ(pixel(image, 150, 304), kBackground);
  EXPECT_EQ(pixel(image, 302, 2), kBackground);
}

// Every cell but holes ("0") gets its tile in reading order, home cells then their badge with
// the map loader's letters; where a hole is, the background and the shadows show.
TEST(CampaignMap, DrawsLikeTheCellOperationsInReadingOrderSkippingHoles) {
  for (const auto& [map, hole] :
       {std::pair{"12A\r\n3B4\r\n555\r\n", 0}, std::pair{"1A2\r\n3B4\r\n0 5\r\n", 7}}) {
    SCOPED_TRACE(map);
    const CampaignState state = campaign(map, 91, 91);
    QImage whole = surface(100, 100);
    draw_campaign_map(whole, state);
    EXPECT_EQ(whole, painted(surface(100, 100), [&](QPainter& painter) {
                for (int n = 1; n <= 9; ++n) {
                  if (n == hole) continue;
                  draw_cell_tile(painter, state, n);
                  const int team = team_index(state.field(n, terrain).to_text());
                  if (team != 0)
                    draw_owner_badge(painter, state, n, team, BadgeLetters::map_loader);
                }
              }));
  }
}

TEST(LoadedBadges, OwnedCellsGetOwnerAndCountBadgesOthersNothing) {
  CampaignState state = campaign("12A\r\n3B4\r\n555\r\n", 301, 301);
  state.field(1, owner) = Value::text("B");
  state.field(1, unit_1) = Value::text("tank.ai");
  state.field(1, unit_1 + 2) = Value::text("scout.ai");  // slot 2 empty: the count is 3
  state.field(3, owner) = Value::text("  ");             // A's home left blank
  QImage loaded = surface(310, 310);
  draw_loaded_campaign(loaded, state);

  QImage expected = surface(310, 310);
  draw_campaign_map(expected, state);
  expected = painted(expected, [&](QPainter& painter) {
    draw_owner_badge(painter, cell_box(state, 1), "B", 2, 14);
    draw_count_badge(painter, cell_box(state, 1), " 3", 2, 14);
    draw_owner_badge(painter, cell_box(state, 5), "B", 2, 14);
    draw_count_badge(painter, cell_box(state, 5), " 0", 2, 14);
  });
  EXPECT_EQ(loaded, expected);
  // A's home keeps the home badge the map drew, and gets no count badge.
  EXPECT_EQ(pixel(loaded, 200 + 17, 17), palette_color(1));
  EXPECT_EQ(pixel(loaded, 200 + 26, 17), kBrownTerrain);
}

// After a load, positions are numbers but colours are texts such as " 42255 ".
TEST(LoadedBadges, RestoredTextFieldsDrawLikeNumbersAndNullSurfacesAreLeftAlone) {
  const CampaignState numbers = campaign("1A\r\n11\r\n", 81, 81);
  CampaignState texts = numbers;
  for (int n = 1; n <= 4; ++n) {
    texts.field(n, terrain_color) = Value::text(numbers.field(n, terrain_color).save_line());
  }
  QImage a = surface(90, 90);
  QImage b = surface(90, 90);
  draw_loaded_campaign(a, numbers);
  draw_loaded_campaign(b, texts);
  EXPECT_EQ(a, b);
  EXPECT_EQ(cell_color(texts, 1), kLightGreenTerrain);

  QImage none;
  draw_campaign_map(none, numbers);
  draw_loaded_campaign(none, numbers);
  EXPECT_TRUE(none.isNull());
}

}  // namespace
}  // namespace zorvane
