#include "campaign/save_file.h"

#include <array>

#include "campaign/map_file.h"
#include "common/paths.h"
#include "common/text.h"
#include "campaign/value.h"

namespace zorvane {
namespace {

constexpr std::size_t kHeaderLines = 3;

CampaignLoadResult rejected(const std::string& save_path, std::string_view why) {
  CampaignLoadResult result;
  result.error = "The saved campaign " + quoted(save_path) + " cannot be loaded: " + std::string(why) + ".";
  return result;
}

// A counter line: a number (spaces around it allowed), rounded halves to even.
std::optional<long long> counter_value(std::string_view line) {
  if (!text_is_numeric(line)) return std::nullopt;
  return whole_value(line);
}

}  // namespace

std::optional<std::string> campaign_save_problem(const CampaignState& state) {
  const int cells = state.cell_count();
  if (state.grid_rows < 0 || state.grid_cols < 0 || cells < 0 || cells > kMaxCells) {
    return "the campaign's grid of " + std::to_string(state.grid_rows) + " by " + std::to_string(state.grid_cols) +
           " cells does not fit the cell table";
  }
  if (state.map_file.find('\r') != std::string::npos) return "the map file's name holds a line break";
  for (int n = 1; n <= cells; ++n) {
    for (int f = 1; f <= kFieldCount; ++f) {
      const Value& value = state.field(n, f);
      if (value.is_text() && value.to_text().find('\r') != std::string::npos) {
        return "field " + std::to_string(f) + " of cell " + std::to_string(n) + " holds a line break";
      }
    }
  }
  return std::nullopt;
}

std::string campaign_save_bytes(const CampaignState& state) {
  const int cells = state.cell_count();
  std::string out;
  out.reserve(state.map_file.size() + 16 + static_cast<std::size_t>(cells) * kFieldCount * 4);
  auto line = [&out](std::string_view text) {
    out += text;
    out += "\r\n";
  };
  line(state.map_file);
  line(str_number(state.current_team));
  line(str_number(state.team_count));
  for (int n = 1; n <= cells; ++n) {
    for (const Value& value : state.cells[static_cast<std::size_t>(n - 1)]) {
      if (value.is_text()) {
        line(value.to_text());
      } else {
        line(value.save_line());
      }
    }
  }
  return out;
}

FileResult write_campaign_save(const std::string& path, const CampaignState& state, Links links) {
  FileResult result;
  if (const auto why = campaign_save_problem(state)) {
    result.error = "The campaign cannot be saved to " + quoted(path) + ": " + *why + ".";
    return result;
  }
  result = write_file_atomic(path, campaign_save_bytes(state), links);
  if (!result.ok) result.error = "The campaign cannot be saved to " + quoted(path) + ": " + result.error + ".";
  return result;
}

namespace {

CampaignLoadResult unreadable(const std::string& save_path, std::string_view why) {
  CampaignLoadResult result;
  result.error = "The saved campaign " + quoted(save_path) + " cannot be read: " + std::string(why) + ".";
  return result;
}

// Reads the header, then the map it names, then only the lines that map needs plus the
// 30 that tell whether it has changed in size: memory follows the map, not the file.
CampaignLoadResult load_from(LineReader& reader, const std::string& save_path, const std::vector<std::string>& folders,
                             int picture_width, int picture_height) {
  std::array<std::string, kHeaderLines> header;
  std::size_t got = 0;
  while (got < kHeaderLines && reader.next(header[got])) ++got;
  if (reader.failed()) return unreadable(save_path, reader.error());
  if (got == 0) return rejected(save_path, "the file is empty");
  if (got < kHeaderLines) {
    return rejected(save_path, "it ends after line " + std::to_string(got) +
                                   "; a save holds the map file on line 1 and the current team and the number "
                                   "of teams on lines 2 and 3");
  }
  const std::string& map_line = header[0];
  // An empty line 1 is also what a rewrite in place leaves until it has finished.
  if (is_blank(map_line)) return rejected(save_path, "line 1 names no map file; the file may be damaged");

  const auto current = counter_value(header[1]);
  if (!current) {
    return rejected(save_path, "line 2, the current team, is not a number: " + quoted_excerpt(header[1]));
  }
  const auto teams = counter_value(header[2]);
  if (!teams) {
    return rejected(save_path, "line 3, the number of teams, is not a number: " + quoted_excerpt(header[2]));
  }
  if (*teams < 1 || *teams > kTeamCount) {
    return rejected(save_path, "line 3 gives " + std::to_string(*teams) + " teams; a campaign has 1 to " +
                                   std::to_string(kTeamCount));
  }
  if (*current < 1 || *current > *teams) {
    return rejected(save_path, "line 2 gives team " + std::to_string(*current) +
                                   " as the current team, but the campaign has teams 1 to " + std::to_string(*teams));
  }

  const std::string map_path = resolve_in_folders(folders, map_line);
  MapReadResult map = read_map_file(map_path);
  if (!map.ok()) {
    CampaignLoadResult result = rejected(save_path, "its map is missing or unusable");
    result.error += " " + map.error;
    return result;
  }

  const std::size_t cells = static_cast<std::size_t>(map.map->grid_rows) * static_cast<std::size_t>(map.map->grid_cols);
  const std::size_t needed = kHeaderLines + kFieldCount * cells;
  const std::string size_text = std::to_string(map.map->grid_rows) + " by " + std::to_string(map.map->grid_cols);
  const std::string map_name = quoted_excerpt(map_path, kPathQuoteLimit);

  CampaignLoadResult result;
  CampaignState& state = result.state.emplace();
  apply_map(*map.map, picture_width, picture_height, state);
  state.map_file = map_line;
  std::size_t count = kHeaderLines;
  std::string line;
  for (std::size_t n = 0; n < cells && count == kHeaderLines + kFieldCount * n; ++n) {
    Cell& cell = state.cells[n];
    for (int f = 1; f <= kFieldCount && reader.next(line); ++f, ++count) {
      // The pixel position follows the picture of this run, not the one the save was made in.
      if (f == x_px || f == y_px) continue;
      cell[static_cast<std::size_t>(f - 1)] = Value::text(line);
    }
  }
  std::size_t extra = 0;
  if (count == needed) {
    while (extra < static_cast<std::size_t>(kFieldCount) && reader.next(line)) ++extra;
  }
  if (reader.failed()) return unreadable(save_path, reader.error());
  if (count < needed) {
    return rejected(save_path, "it has " + std::to_string(count) + " lines, but its map " + map_name + " (" +
                                   size_text + " cells) needs " + std::to_string(needed) +
                                   "; the save is cut short or the map has changed in size");
  }
  if (extra == static_cast<std::size_t>(kFieldCount)) {
    return rejected(save_path, "it holds the fields of " + std::to_string(cells + 1) + " cells or more, but its map " +
                                   map_name + " now has " + std::to_string(cells) + " (" + size_text +
                                   "); the map has changed in size");
  }
  state.current_team = static_cast<int>(*current);
  state.team_count = static_cast<int>(*teams);
  state.turn = 0;
  state.action_count = 0;
  return result;
}

constexpr LineLimits kSaveLimits{.max_line_bytes = SIZE_MAX, .max_bytes = kMaxSaveFileBytes};

}  // namespace

CampaignLoadResult parse_campaign_save(std::string_view bytes, const std::string& save_path,
                                       const std::string& program_folder, int picture_width, int picture_height) {
  LineReader reader(bytes, LineEnds::cr, kSaveLimits);
  return load_from(reader, save_path, {program_folder}, picture_width, picture_height);
}

CampaignLoadResult load_campaign_save(const std::string& save_path, const std::string& program_folder,
                                      int picture_width, int picture_height) {
  return load_campaign_save(save_path, std::vector<std::string>{program_folder}, picture_width, picture_height);
}

CampaignLoadResult load_campaign_save(const std::string& save_path, const std::vector<std::string>& folders,
                                      int picture_width, int picture_height) {
  LineReader reader(save_path, LineEnds::cr, kSaveLimits);
  return load_from(reader, save_path, folders, picture_width, picture_height);
}

}  // namespace zorvane
