#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "campaign/map_file.h"
#include "display/map_painter.h"

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

struct Probe {
  int dx;
  int dy;
  ColorValue expected;
  const char* what;
};

void expect_pixels(const QImage& image, int x, int y, std::initializer_list<Probe> probes) {
  for (const Probe& p : probes) {
    EXPECT_EQ(pixel(image, x + p.dx, y + p.dy), p.expected) << p.what << " at +" << p.dx << ",+" << p.dy;
  }
}

TEST(MapColours, ColourValuesHoldRedInTheLowByte) {
  EXPECT_EQ(to_qcolor(42255), QColor(15, 165, 0));
  EXPECT_EQ(to_qcolor(30784), QColor(64, 120, 0));
  EXPECT_EQ(to_qcolor(30832), QColor(112, 120, 0));
  EXPECT_EQ(to_qcolor(11111), QColor(103, 43, 0));
  EXPECT_EQ(to_qcolor(16777215), QColor(255, 255, 255));
  EXPECT_EQ(to_qcolor(palette_color(1)), QColor(0, 0, 128));
  EXPECT_EQ(to_qcolor(palette_color(14)), QColor(255, 255, 0));
}

TEST(MapFont, IsASerifOfSaneSizeWhateverTheSurfacesResolution) {
  const QFont font = map_font(true);
  EXPECT_TRUE(font.bold());
  EXPECT_FALSE(map_font(false).bold());
  EXPECT_EQ(font.pixelSize(), 8);
  const QFontMetrics metrics(font);
  EXPECT_GE(metrics.height(), 6);
  EXPECT_LE(metrics.height(), 14);

  // Text drawn on a 72 dpi and on a 96 dpi surface covers the same pixels.
  QImage at72 = surface(60, 20);
  QImage at96 = surface(60, 20);
  at72.setDotsPerMeterX(2835);
  at72.setDotsPerMeterY(2835);
  at96.setDotsPerMeterX(3780);
  at96.setDotsPerMeterY(3780);
  for (QImage* image : {&at72, &at96}) {
    QPainter painter(image);
    draw_map_text(painter, 2, 2, " 1600", false, kBlack);
  }
  EXPECT_EQ(at72, at96);
  EXPECT_LE(pixels_of(at96, kBlack, at96.rect()).width(), 30);
}

TEST(MapText, TopLeftCornerAtThePointTransparentAndExactlyInColour) {
  for (const bool bold : {false, true}) {
    QImage image = surface(80, 40);
    {
      QPainter painter(&image);
      draw_map_text(painter, 20, 10, " 1234", bold, kYellow);
    }
    const QRect ink = pixels_of(image, kYellow, image.rect());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 20);
    EXPECT_GE(ink.top(), 10);
    EXPECT_LE(ink.bottom(), 10 + QFontMetrics(map_font(bold)).height());
    // No antialiasing and no background box: every pixel is the text colour or untouched.
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const ColorValue c = pixel(image, x, y);
        ASSERT_TRUE(c == kYellow || c == kBackground) << x << "," << y;
      }
    }
  }
}

TEST(MapText, RepeatedTextLooksTheSameAsDrawingItDirectly) {
  // Cell numbers are stamped from rendered copies; they must equal text drawn anew.
  for (const bool bold : {false, true}) {
    for (const char* text : {" 1", " 27", " 1600", "A", "J", " 10", "x y"}) {
      for (int pass = 0; pass < 2; ++pass) {
        QImage stamped = surface(60, 24);
        QImage direct = surface(60, 24);
        {
          QPainter painter(&stamped);
          draw_map_text(painter, 5, 4, text, bold, kYellow);
        }
        {
          QPainter painter(&direct);
          const QFont font = map_font(bold);
          painter.setFont(font);
          painter.setPen(to_qcolor(kYellow));
          painter.drawText(QPoint(5, 4 + QFontMetrics(font).ascent()), QString::fromLatin1(text));
        }
        EXPECT_EQ(stamped, direct) << text << (bold ? " bold" : " regular") << " pass " << pass;
      }
    }
  }
}

TEST(MapDrawing, StampedCellsAndBadgesLookTheSameAsDrawingThemAnew) {
  // A shifted painter draws every part anew; the plain one stamps remembered drawings.
  const CellBox box{30, 20, 45, 35};
  const CellBox shifted{box.x - 7, box.y - 5, box.w, box.h};
  auto draw_all = [](QPainter& painter, const CellBox& b) {
    for (int pass = 0; pass < 2; ++pass) {
      draw_cell_tile(painter, b, 1234, kBrownTerrain);
      draw_owner_badge(painter, b, "H", 8, 14, BadgeLetters::map_loader);
      draw_owner_badge(painter, b, "D", 4, 14);
      draw_count_badge(painter, b, " 10", 4, 14);
      draw_count_badge(painter, b, "wide text", 9, 15);
    }
  };
  QImage stamped = surface();
  QImage drawn = surface();
  {
    QPainter painter(&stamped);
    draw_all(painter, box);
  }
  {
    QPainter painter(&drawn);
    painter.translate(7, 5);
    draw_all(painter, shifted);
  }
  EXPECT_EQ(stamped, drawn);
}

TEST(MapText, BlankTextDrawsNothing) {
  QImage image = surface(40, 20);
  const QImage before = image;
  QPainter painter(&image);
  draw_map_text(painter, 2, 2, "", true, kBlack);
  draw_map_text(painter, 2, 2, "   ", true, kBlack);
  painter.end();
  EXPECT_EQ(image, before);
}

TEST(FillBox, CoversBothCorners) {
  QImage image = surface(20, 20);
  {
    QPainter painter(&image);
    fill_box(painter, 3, 4, 7, 9, kBlack);
  }
  EXPECT_EQ(pixels_of(image, kBlack, image.rect()), QRect(3, 4, 5, 6));
}

TEST(CellTile, ShadowBoxAndNumberInTheirRectangles) {
  QImage image = surface();
  const CellBox box{10, 20, 30, 25};
  {
    QPainter painter(&image);
    draw_cell_tile(painter, box, 7, kLightGreenTerrain);
  }
  // The cell box covers (10,20)-(40,45) inclusive; the shadow (13,23)-(43,48) shows right and below.
  expect_pixels(image, 10, 20,
                {{30, 25, kLightGreenTerrain, "bottom-right corner of the box"},
                 {30, 10, kLightGreenTerrain, "right edge"},
                 {15, 25, kLightGreenTerrain, "bottom edge"},
                 {0, 24, kLightGreenTerrain, "left edge"},
                 {31, 25, kBlack, "shadow right of the box"},
                 {33, 28, kBlack, "shadow's bottom-right corner"},
                 {34, 28, kBackground, "right of the shadow"},
                 {33, 29, kBackground, "below the shadow"},
                 {3, 26, kBlack, "shadow's left edge below the box"},
                 {2, 26, kBackground, "left of the shadow"},
                 {31, 2, kBackground, "right of the box above the shadow"},
                 {-1, 10, kBackground, "left of the box"},
                 {10, -1, kBackground, "above the box"}});
  // The number is black text near the top-left corner, inside the box.
  const QRect ink = pixels_of(image, kBlack, QRect(10, 20, 30, 15));
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 10);
  EXPECT_GE(ink.top(), 20);
}

TEST(OwnerBadge, BoxesInBlackAndTheTeamColour) {
  QImage image = surface();
  const CellBox box{10, 20, 40, 40};
  const ColorValue team_colour = palette_color(2);
  {
    QPainter painter(&image);
    draw_cell_tile(painter, box, 1, kWhiteTerrain);
    draw_owner_badge(painter, box, "B", 2, 14);
  }
  expect_pixels(image, 10, 20,
                {{17, 17, team_colour, "team box's bottom-right corner"},
                 {7, 17, team_colour, "team box's bottom-left corner"},
                 {17, 7, team_colour, "team box's top-right corner"},
                 {6, 12, kWhiteTerrain, "left of the team box"},
                 {12, 6, kWhiteTerrain, "above the team box"},
                 {18, 18, kBlack, "shadow box"},
                 {19, 19, kBlack, "shadow box's bottom-right corner"},
                 {9, 19, kBlack, "shadow box's bottom-left corner"},
                 {8, 19, kWhiteTerrain, "left of the shadow box"},
                 {20, 19, kWhiteTerrain, "right of the shadow box"},
                 {19, 20, kWhiteTerrain, "below the shadow box"},
                 {18, 8, kWhiteTerrain, "above the shadow box"}});
  // The letter: black and then yellow, inside the team box.
  EXPECT_FALSE(pixels_of(image, kBlack, QRect(17, 27, 11, 11)).isEmpty());
  const QRect yellow = pixels_of(image, kYellow, image.rect());
  ASSERT_FALSE(yellow.isEmpty());
  EXPECT_TRUE(QRect(18, 28, 14, 14).contains(yellow)) << yellow.x() << "," << yellow.y();
}

TEST(OwnerBadge, MapLoaderLettersStandOnePixelUpAndLeft) {
  const CellBox box{10, 20, 40, 40};
  QImage standard = surface();
  QImage loader = surface();
  {
    QPainter painter(&standard);
    draw_owner_badge(painter, box, "A", 1, 14, BadgeLetters::standard);
  }
  {
    QPainter painter(&loader);
    draw_owner_badge(painter, box, "A", 1, 14, BadgeLetters::map_loader);
  }
  const QRect a = pixels_of(standard, kYellow, standard.rect());
  const QRect b = pixels_of(loader, kYellow, loader.rect());
  ASSERT_FALSE(a.isEmpty());
  EXPECT_EQ(b, a.translated(-1, -1));
  EXPECT_EQ(pixel(loader, 27, 27), palette_color(1));  // the boxes do not move
}

TEST(CountBadge, BoxesAndValueText) {
  QImage image = surface();
  const CellBox box{10, 20, 40, 40};
  const ColorValue team_colour = palette_color(4);
  {
    QPainter painter(&image);
    draw_cell_tile(painter, box, 1, kLightGreenTerrain);
    draw_count_badge(painter, box, " 5", 4, 14);
  }
  expect_pixels(image, 10, 20,
                {{26, 17, team_colour, "team box's bottom-right corner"},
                 {16, 17, team_colour, "team box's bottom-left corner"},
                 {15, 12, kLightGreenTerrain, "left of the team box"},
                 {20, 6, kLightGreenTerrain, "above the team box"},
                 {27, 18, kBlack, "shadow box"},
                 {28, 19, kBlack, "shadow box's bottom-right corner"},
                 {18, 19, kBlack, "shadow box's bottom-left corner"},
                 {17, 19, kLightGreenTerrain, "left of the shadow box"},
                 {29, 19, kLightGreenTerrain, "right of the shadow box"},
                 {28, 20, kLightGreenTerrain, "below the shadow box"},
                 {27, 8, kLightGreenTerrain, "above the shadow box"}});
  const QRect yellow = pixels_of(image, kYellow, image.rect());
  ASSERT_FALSE(yellow.isEmpty());
  EXPECT_TRUE(QRect(27, 28, 14, 14).contains(yellow));
  EXPECT_FALSE(pixels_of(image, kBlack, QRect(26, 27, 11, 11)).isEmpty());
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
  QImage by_value = surface();
  QImage by_text = surface();
  {
    QPainter painter(&by_value);
    draw_count_badge(painter, state, 1, 3, Value::whole(5));
  }
  {
    QPainter painter(&by_text);
    draw_count_badge(painter, CellBox{10, 20, 40, 40}, " 5", 3, 14);
  }
  EXPECT_EQ(by_value, by_text);
}

TEST(CellFrame, OnePixelOutlineThatTheCellColourRemoves) {
  QImage image = surface();
  const CellBox box{10, 20, 40, 40};
  {
    QPainter painter(&image);
    draw_cell_tile(painter, box, 12, kDarkGreenTerrain);
    draw_owner_badge(painter, box, "C", 3, 14);
    draw_count_badge(painter, box, " 4", 3, 14);
  }
  const QImage before = image;
  {
    QPainter painter(&image);
    draw_cell_frame(painter, box, kYellow);
  }
  EXPECT_EQ(pixels_of(image, kYellow, QRect(0, 0, 200, 150)).united(QRect(10, 20, 41, 41)), QRect(10, 20, 41, 41));
  expect_pixels(image, 10, 20,
                {{0, 30, kYellow, "left edge"},
                 {40, 30, kYellow, "right edge"},
                 {30, 0, kYellow, "top edge"},
                 {30, 40, kYellow, "bottom edge"},
                 {40, 40, kYellow, "bottom-right corner"},
                 {1, 30, kDarkGreenTerrain, "inside the left edge"},
                 {39, 30, kDarkGreenTerrain, "inside the right edge"},
                 {41, 30, kBlack, "shadow beyond the right edge"}});
  {
    QPainter painter(&image);
    draw_cell_frame(painter, box, kDarkGreenTerrain);
  }
  // The badges lie inside the frame and are untouched by drawing and removing it.
  const QRect badges(16, 26, 24, 15);
  EXPECT_EQ(image.copy(badges), before.copy(badges));
  expect_pixels(image, 10, 20, {{40, 30, kDarkGreenTerrain, "removed right edge"}, {30, 40, kDarkGreenTerrain, "removed bottom edge"}});
}

CampaignState campaign(const std::string& map_bytes, int width, int height) {
  const MapReadResult map = parse_map(map_bytes, "m.aim");
  EXPECT_TRUE(map.ok()) << map.error;
  CampaignState state;
  if (map.ok()) apply_map(*map.map, width, height, state);
  return state;
}

TEST(CampaignMap, SmallMapShowsItsTerrainsAndTheTwoHomeBadges) {
  // Lines 12A, 3B4, 555 on a 301 by 301 picture: cells of 100 by 100 pixels.
  const CampaignState state = campaign("12A\r\n3B4\r\n555\r\n", 301, 301);
  QImage image = surface(310, 310);
  draw_campaign_map(image, state);
  const ColorValue centre_colours[] = {kLightGreenTerrain, kDarkGreenTerrain, kBrownTerrain,
                                       kBrownTerrain,      kBrownTerrain,     kRedTerrain,
                                       kWhiteTerrain,      kWhiteTerrain,     kWhiteTerrain};
  for (int n = 1; n <= 9; ++n) {
    const int x = ((n - 1) % 3) * 100, y = ((n - 1) / 3) * 100;
    EXPECT_EQ(pixel(image, x + 60, y + 60), centre_colours[n - 1]) << "cell " << n;
  }
  // Cell 3 holds team A's badge (blue), cell 5 team B's (green); the other cells none.
  expect_pixels(image, 200, 0,
                {{17, 17, palette_color(1), "A's box"},
                 {7, 7, palette_color(1), "A's box corner"},
                 {19, 19, kBlack, "A's shadow box"},
                 {20, 20, kBrownTerrain, "beside A's badge"}});
  expect_pixels(image, 100, 100,
                {{17, 17, palette_color(2), "B's box"}, {19, 19, kBlack, "B's shadow box"}});
  for (int n : {1, 2, 4, 6, 7, 8, 9}) {
    const int x = ((n - 1) % 3) * 100, y = ((n - 1) / 3) * 100;
    EXPECT_EQ(pixel(image, x + 17, y + 17), centre_colours[n - 1]) << "no badge on cell " << n;
  }
  // The letters are drawn in the badge text colour near the map loader's point (x+7, y+7).
  const QRect yellow_a = pixels_of(image, kYellow, QRect(200, 0, 30, 30));
  ASSERT_FALSE(yellow_a.isEmpty());
  EXPECT_GE(yellow_a.left(), 207);
  EXPECT_GE(yellow_a.top(), 7);
  EXPECT_FALSE(pixels_of(image, kYellow, QRect(100, 100, 30, 30)).isEmpty());
  // The drop shadow shows along the right and bottom edges of the map.
  expect_pixels(image, 0, 0,
                {{303, 150, kBlack, "right shadow"},
                 {304, 150, kBackground, "beyond the right shadow"},
                 {150, 303, kBlack, "bottom shadow"},
                 {150, 304, kBackground, "beyond the bottom shadow"},
                 {302, 2, kBackground, "above the shadow's start"}});
}

TEST(CampaignMap, TilesForEveryCellButHolesAndHomeBadges) {
  // 301 by 301 pixels: cells of 100 by 100.
  const CampaignState state = campaign("10A\r\nB14\r\n555\r\n", 301, 301);
  QImage image = surface(310, 310);
  draw_campaign_map(image, state);
  EXPECT_EQ(pixel(image, 50, 50), kLightGreenTerrain);           // cell 1
  EXPECT_EQ(pixel(image, 150, 50), kBackground);                 // cell 2 is a hole
  EXPECT_EQ(pixel(image, 101, 50), kBlack);                      // cell 1's shadow over the hole
  EXPECT_EQ(pixel(image, 250, 50), kBrownTerrain);               // cell 3, home of A
  EXPECT_EQ(pixel(image, 200 + 17, 17), palette_color(1));       // A's badge box
  EXPECT_EQ(pixel(image, 17, 100 + 17), palette_color(2));       // B's badge box
  EXPECT_EQ(pixel(image, 250, 150), kRedTerrain);                // cell 6
  EXPECT_EQ(pixel(image, 50, 250), kWhiteTerrain);               // cell 7
  EXPECT_EQ(pixel(image, 302, 302), kBlack);                     // shadow at the bottom-right
  EXPECT_EQ(pixel(image, 304, 150), kBackground);                // beyond the shadow
  EXPECT_EQ(pixel(image, 150, 100 + 17), kLightGreenTerrain);    // cell 5 has no badge
}

TEST(CampaignMap, DrawsLikeTheCellOperationsInReadingOrder) {
  const CampaignState state = campaign("1A2\r\n3B4\r\n0 5\r\n", 91, 91);
  QImage whole = surface(100, 100);
  draw_campaign_map(whole, state);
  QImage by_cell = surface(100, 100);
  {
    QPainter painter(&by_cell);
    for (int n = 1; n <= 9; ++n) {
      if (n == 7) continue;  // the hole
      draw_cell_tile(painter, state, n);
      const int team = team_index(state.field(n, terrain).to_text());
      if (team != 0) draw_owner_badge(painter, state, n, team, BadgeLetters::map_loader);
    }
  }
  EXPECT_EQ(whole, by_cell);
}

TEST(LoadedBadges, OwnedCellsGetOwnerAndCountBadgesOthersNothing) {
  CampaignState state = campaign("12A\r\n3B4\r\n555\r\n", 301, 301);
  state.field(1, owner) = Value::text("B");
  state.field(1, unit_1) = Value::text("tank.ai");
  state.field(1, unit_1 + 2) = Value::text("scout.ai");  // slot 2 empty: the count is 3
  state.field(3, owner) = Value::text("");             // A's home left empty
  QImage loaded = surface(310, 310);
  draw_loaded_campaign(loaded, state);

  QImage expected = surface(310, 310);
  draw_campaign_map(expected, state);
  {
    QPainter painter(&expected);
    draw_owner_badge(painter, cell_box(state, 1), "B", 2, 14);
    draw_count_badge(painter, cell_box(state, 1), " 3", 2, 14);
    draw_owner_badge(painter, cell_box(state, 5), "B", 2, 14);
    draw_count_badge(painter, cell_box(state, 5), " 0", 2, 14);
  }
  EXPECT_EQ(loaded, expected);
  // A's home keeps the home badge the map drew: its box is still team 1's colour.
  EXPECT_EQ(pixel(loaded, 200 + 17, 17), palette_color(1));
  EXPECT_EQ(pixel(loaded, 200 + 26, 17), kBrownTerrain);  // and no count badge
}

TEST(LoadedBadges, RestoredTextFieldsDrawLikeNumbers) {
  // After a load, positions are numbers but colours are texts such as " 42255 ".
  CampaignState numbers = campaign("1A\r\n11\r\n", 81, 81);
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
}

TEST(CampaignMap, NullSurfaceIsLeftAlone) {
  QImage none;
  const CampaignState state = campaign("1A\r\n11\r\n", 81, 81);
  draw_campaign_map(none, state);
  draw_loaded_campaign(none, state);
  EXPECT_TRUE(none.isNull());
}

}  // namespace
}  // namespace zorvane
