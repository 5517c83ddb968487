// Choosing an action with two clicks on the map: the hit test that turns a pixel into a
// cell, and the selection step that frames the source and then the target.
#pragma once

#include <optional>
#include <vector>

#include "campaign/state.h"
#include "turn/action_panel.h"

namespace zorvane {

// The cell under pixel (x, y) of the map surface: column = round((x - w/2) / w) + 1 and
// row = round((y - h/2) / h), halves to even, cell = row * first_line_cols + column. Clicks
// beyond the grid (the margins right of the last column and below the last row), and
// cells that are holes ("0"), were never filled or lie elsewhere (after a blank map line)
// give nothing.
std::optional<int> hit_test(const CampaignState& state, int x, int y);

struct ClickResult {
  std::vector<Frame> frames;  // to draw, in order (removals in the framed cell's colour)
  bool open_panel = false;    // a target was chosen: open the panel from source_cell to target_cell
};

// A map click. The first click frames the source in light yellow; the second, on the
// source or one of its eight neighbours, frames the target in light red and asks for the
// action panel. A click on no cell, or a second click outside the 3 x 3 block, does nothing.
ClickResult map_click(CampaignState& state, int x, int y);

// Drops the selection (Escape): the frame drawn last is to be removed, and the next click
// chooses a source again. Nothing else changes.
std::optional<Frame> clear_selection(CampaignState& state);

}  // namespace zorvane
