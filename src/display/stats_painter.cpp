#include "display/stats_painter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "common/text.h"
#include "display/map_painter.h"
#include "display/sprites.h"
#include "turn/scoring.h"

namespace zorvane {

QFont stats_font() {
  QFont font;
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                    QStringLiteral("monospace")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(11);
  return font;
}

void create_stats(QImage& panel, const CampaignState& state) {
  if (panel.isNull()) return;
  panel.fill(QColor(0, 64, 0));
  const QFont font = stats_font();
  const QFontMetrics metrics(font);
  const StatsLayout layout = stats_layout(state, panel.width(), metrics.height());
  {
    QPainter painter(&panel);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (const StatsText& line : layout.texts) {
      painter.drawText(QPoint(line.x, line.y + metrics.ascent()), QString::fromLatin1(line.text.c_str()));
    }
    for (const StatsBar& bar : layout.bars) {
      const long long width = round_half_even(bar.width);
      if (width > 0) fill_box(painter, bar.x, bar.y, bar.x + static_cast<int>(width) - 1, bar.y + 7, bar.colour);
    }
  }
  SpriteSurfaces targets;
  targets.stats_panel = &panel;
  for (const StatsSprite& sprite : layout.sprites) {
    paintit(targets, sprite.picid, sprite.x, sprite.y, kSpriteWidth, kSpriteHeight);
  }
}

}  // namespace zorvane
