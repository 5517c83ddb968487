// Saved campaigns (".sav"): the map path, whose turn it is, the number of teams and the 30
// fields of every cell in use, one value per line. Writer and reader side by side; the
// reader checks a save in full and builds a fresh state, so a rejected save changes nothing.
//
// File layout (every line ended by CR LF): line 1 map_file unchanged; line 2 current_team
// and line 3 team_count as " 1" (sign space, no trailing space); then for each cell n in
// 1..grid_rows*grid_cols its fields 1..30, field f of cell n on line 3 + 30*(n-1) + f:
// empty -> empty line, text unchanged, number -> " 30832 ".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "campaign/state.h"
#include "common/linefile.h"

namespace zorvane {

inline constexpr std::string_view kSaveFileExtension = ".sav";

// Why the state cannot be written as a save, or nothing when it can: the grid must fit the
// cell table and no text may hold a carriage return (it would split a line in two).
std::optional<std::string> campaign_save_problem(const CampaignState& state);

// The bytes of a save of the state (3 + 30 * cell_count() lines). Call only when
// campaign_save_problem() finds nothing.
std::string campaign_save_bytes(const CampaignState& state);

// Writes a save, replacing an existing file atomically: on failure the error says why and
// the old file stays whole. A save the program makes by itself in a shared folder passes
// Links::replace (see write_file_atomic).
FileResult write_campaign_save(const std::string& path, const CampaignState& state,
                               Links links = Links::write_through);

struct CampaignLoadResult {
  std::optional<CampaignState> state;  // the loaded campaign, to be swapped in by the caller
  std::string error;                   // otherwise: names the file and the problem
  bool ok() const { return state.has_value(); }
};

// The most of a save the reader takes in. A save of the largest map with every unit slot
// holding a 255-byte file name is under 5 MB.
inline constexpr std::uint64_t kMaxSaveFileBytes = 16u << 20;

// Loads a save from its bytes. The map named on line 1 (a relative path is taken against
// program_folder) is reread into a fresh state for a map picture of the given size, the
// saved fields are laid over it as text except x_px and y_px (recomputed for the picture),
// current_team and team_count come from lines 2 and 3 (rounded halves to even), turn and
// action_count are 0.
//
// Rejected, with nothing produced: no map path, the map unreadable or unusable, a counter
// line that is not a number, team_count outside 1..10, current_team outside 1..team_count,
// and a save that does not fit the map as it reads now. With N = the map's rows * columns
// the save must hold at least 3 + 30 * N lines; lines beyond that are ignored unless they
// make up at least one more whole cell (30 lines or more), which means the save was made
// with a bigger map: the map has changed in size. Lines past those are never read, and a
// save whose needed lines take more than kMaxSaveFileBytes is refused.
CampaignLoadResult parse_campaign_save(std::string_view bytes, const std::string& save_path,
                                       const std::string& program_folder, int picture_width, int picture_height);

// Reads the save file and loads it as parse_campaign_save does, line by line, so memory
// follows what the map needs, not the file's size.
CampaignLoadResult load_campaign_save(const std::string& save_path, const std::string& program_folder,
                                      int picture_width, int picture_height);
// The same, with a relative map path looked up in several folders (folder_holding).
CampaignLoadResult load_campaign_save(const std::string& save_path, const std::vector<std::string>& folders,
                                      int picture_width, int picture_height);

}  // namespace zorvane
