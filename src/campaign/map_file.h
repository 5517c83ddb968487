// Campaign map files (".aim"): one map row per line, one cell per character. The reader
// checks a map in full and either returns it parsed or says what is wrong with it;
// applying a parsed map to the campaign state is a separate, pure step, so a rejected map
// never changes anything.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "campaign/state.h"
#include "common/palette.h"

namespace zorvane {

// The colours a new campaign gives each terrain character.
inline constexpr ColorValue kLightGreenTerrain = 42255;  // "1"
inline constexpr ColorValue kDarkGreenTerrain = 30784;   // "2"
inline constexpr ColorValue kBrownTerrain = 30832;       // "3" and the home cells "A".."J"
inline constexpr ColorValue kRedTerrain = 11111;         // "4"
inline constexpr ColorValue kWhiteTerrain = 16777215;    // "5"

// terrain_color of a cell holding the character: a whole number, or empty for "0" and
// every character that is neither a terrain digit nor a team letter.
Value terrain_color_for(char terrain);

// One cell of a map: its character and its row and column (both from 1).
struct MapCell {
  char terrain = '0';
  int row = 1;
  int col = 1;
};

// A map that passed every check. cells run in reading order; cell k (from 1) is cells[k-1].
// Blank lines count as rows without cells, so numbers continue across them without a gap.
struct CampaignMap {
  std::string path;  // as given to the reader
  std::vector<MapCell> cells;
  int grid_rows = 0;        // lines, blank ones included
  int grid_cols = 0;        // length of the last non-blank line, trimmed of spaces
  int first_line_cols = 0;  // length of the first line, trimmed of spaces
  int team_count = 0;       // team letters, "A" up to the team_count-th letter, each once
};

struct MapReadResult {
  std::optional<CampaignMap> map;  // set when the map is usable
  std::string error;               // otherwise: names the file, the line and the problem
  bool ok() const { return map.has_value(); }
};

// Largest map file the reader takes in (a full map is under 2 KB; spaces may pad lines).
inline constexpr std::size_t kMaxMapFileBytes = 1u << 20;

// Checks and parses map text. CR LF or CR alone ends a line; LF alone is a character.
// Lines are measured trimmed of spaces, but cells are taken from the start of the line as
// read. Rejected: no text, a blank first line, more than 1600 cells, a map that is not
// square (line count differs from the first line's length, or non-blank lines differ in
// length), no team letter, team letters other than "A".. the n-th letter once each.
MapReadResult parse_map(std::string_view bytes, std::string_view path);

// Reads the file and parses it; a missing, unreadable or empty file, or a folder, is
// rejected with the reason.
MapReadResult read_map_file(const std::string& path);

// Cell size in pixels for one side of the map picture: (pixels - 1) / first_line_cols,
// rounded halves to even (301 or 306 pixels and 10 columns give 30, 316 gives 32).
int map_cell_size(int picture_pixels, int first_line_cols);

// Lays a parsed map onto the state: empties every field of every cell, fills the map's
// cells (cell_no, x_px, y_px as numbers, terrain as text, terrain_color as a number or
// empty, owner for home cells) and sets map_file, grid_rows, grid_cols, first_line_cols,
// cell_w, cell_h (from the map picture's size in pixels) and team_count. current_team,
// turn, action_count and the selection are left alone.
void apply_map(const CampaignMap& map, int picture_width, int picture_height, CampaignState& state);

}  // namespace zorvane
