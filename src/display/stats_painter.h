// Drawing the statistics panel: the turn, each team's land and units as text and bars, and
// the leaders' flag and unit sprites, on a dark green surface.
#pragma once

#include <QFont>

#include "campaign/state.h"

class QImage;

namespace zorvane {

// "Courier New" 8 points (11 pixels at 96 dpi) where the platform has it, else the closest
// fixed-pitch font; fixed in pixels so the rows are spaced the same on every screen.
QFont stats_font();

// Clears the panel to dark green (0, 64, 0) and draws it from the state's turn and stored team counts.
void create_stats(QImage& panel, const CampaignState& state);

}  // namespace zorvane
