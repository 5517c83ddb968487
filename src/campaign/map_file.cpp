#include "campaign/map_file.h"

#include <array>

#include "common/linefile.h"
#include "common/text.h"

namespace zorvane {
namespace {

// The path may come from a save's first line, so it is quoted only in part.
std::string problem(std::string_view path, std::string_view what) {
  return "The map file " + quoted_excerpt(path, kPathQuoteLimit) + " cannot be used: " + std::string(what) + ".";
}

std::string line_problem(std::string_view path, std::size_t line, std::string_view what) {
  return problem(path, "line " + std::to_string(line) + ": " + std::string(what));
}

std::string letter(int index) { return quoted(team_letter(index)); }

// Length after trimming spaces from both ends; cells are the first that many characters.
std::size_t trimmed_length(std::string_view line) {
  const auto first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  const auto last = line.find_last_not_of(' ');
  return last - first + 1;
}

std::string hex_byte(unsigned char c) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[c >> 4], kDigits[c & 15]};
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A line of the wrong length often holds a byte an editor does not show. Returns the
// problem to report instead of the lengths (a byte-order mark, a closing Ctrl-Z), or a
// note naming the first odd byte of the line or of the first line, or "" for none.
struct OddByte {
  std::string problem;  // replaces the length message
  std::string note;     // added to it
};
OddByte odd_byte(const std::vector<std::string>& lines, std::size_t index) {
  if (lines.front().starts_with(kByteOrderMark)) {
    return {"line 1 starts with a byte-order mark (bytes EF BB BF), which a map cannot hold", ""};
  }
  if (index + 1 == lines.size() && index > 0 && lines.back() == "\x1A") {
    return {"the file ends with a Ctrl-Z character (byte 1A) after line " + std::to_string(index) +
                ", which a map cannot hold",
            ""};
  }
  for (const std::size_t i : {index, std::size_t{0}}) {
    const std::string& line = lines[i];
    for (std::size_t k = 0; k < line.size(); ++k) {
      const auto c = static_cast<unsigned char>(line[k]);
      if (c >= 32 && c < 127) continue;
      const std::string where = (i == index ? "" : "line " + std::to_string(i + 1) + ", ") + "column " +
                                std::to_string(k + 1) + " holds byte " + hex_byte(c);
      return {"", " (" + where +
                      (c < 128 ? ", a control character that an editor may not show)"
                               : ", which is not plain ASCII: an editor may show it with its neighbours as one "
                                 "character)")};
    }
  }
  return {};
}

}  // namespace

Value terrain_color_for(char terrain) {
  switch (terrain) {
    case '1': return Value::whole(kLightGreenTerrain);
    case '2': return Value::whole(kDarkGreenTerrain);
    case '3': return Value::whole(kBrownTerrain);
    case '4': return Value::whole(kRedTerrain);
    case '5': return Value::whole(kWhiteTerrain);
    default: return is_team_letter(terrain) ? Value::whole(kBrownTerrain) : Value();
  }
}

MapReadResult parse_map(std::string_view bytes, std::string_view path) {
  MapReadResult result;
  if (bytes.empty()) {
    result.error = problem(path, "the file is empty");
    return result;
  }
  const std::vector<std::string> lines = split_lines_cr(bytes);
  const std::size_t first_cols = trimmed_length(lines.front());
  if (first_cols == 0) {
    result.error = line_problem(path, 1, "the first line is blank, but it must hold the first row of the map");
    return result;
  }

  CampaignMap map;
  map.path = std::string(path);
  map.first_line_cols = static_cast<int>(first_cols);
  std::array<std::size_t, kTeamCount + 1> letter_line{};  // line of each team letter, 0 when absent
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t line_no = i + 1;
    const std::string& line = lines[i];
    const std::size_t length = trimmed_length(line);
    if (map.cells.size() + length > static_cast<std::size_t>(kMaxCells)) {
      result.error = line_problem(path, line_no,
                                  "the map holds more than " + std::to_string(kMaxCells) +
                                      " cells (at most " + std::to_string(kMaxGridSide) + " by " +
                                      std::to_string(kMaxGridSide) + ")");
      return result;
    }
    if (length != 0 && length != first_cols) {
      const OddByte odd = odd_byte(lines, i);
      result.error = !odd.problem.empty()
                         ? problem(path, odd.problem)
                         : line_problem(path, line_no,
                                        "the line holds " + std::to_string(length) + " cells, but the first line holds " +
                                            std::to_string(first_cols) + "; every line of a map must be equally long" +
                                            odd.note);
      return result;
    }
    for (std::size_t k = 0; k < length; ++k) {
      const char ch = line[k];
      if (is_team_letter(ch)) {
        const int t = team_index(std::string_view(&ch, 1));
        if (letter_line[t] != 0) {
          result.error = line_problem(path, line_no,
                                      "team letter " + letter(t) + " appears a second time (first on line " +
                                          std::to_string(letter_line[t]) + "); each team has one home cell");
          return result;
        }
        letter_line[t] = line_no;
      }
      map.cells.push_back(MapCell{ch, static_cast<int>(line_no), static_cast<int>(k + 1)});
    }
    if (length > 0) map.grid_cols = static_cast<int>(length);
  }
  map.grid_rows = static_cast<int>(lines.size());

  if (lines.size() != first_cols) {
    const std::string counts = std::to_string(lines.size()) + " lines (blank lines count as rows), but its first line holds " +
                               std::to_string(first_cols) + " cells; a map must be square";
    // The line to look at: the first one too many, or the last one of a map that is too short.
    const std::size_t line_no = lines.size() > first_cols ? first_cols + 1 : lines.size();
    const OddByte odd = odd_byte(lines, lines.size() - 1);
    result.error = !odd.problem.empty() ? problem(path, odd.problem) : line_problem(path, line_no, "the map has " + counts);
    return result;
  }
  if (map.grid_rows * map.grid_cols > kMaxCells) {
    result.error = problem(path, "the map is " + std::to_string(map.grid_rows) + " by " +
                                     std::to_string(map.grid_cols) + " cells, more than the " +
                                     std::to_string(kMaxCells) + " a map may hold");
    return result;
  }

  int teams = 0;
  while (teams < kTeamCount && letter_line[teams + 1] != 0) ++teams;
  for (int t = teams + 2; t <= kTeamCount; ++t) {
    if (letter_line[t] != 0) {
      result.error = line_problem(path, letter_line[t],
                                  "team letter " + letter(t) + " is used, but " + letter(teams + 1) +
                                      " is missing; a map with n teams uses the letters \"A\" to the n-th "
                                      "letter, each once");
      return result;
    }
  }
  if (teams == 0) {
    result.error = problem(path, "it has no home cell; a map needs the team letters \"A\", \"B\" and so on, "
                                 "one home cell for each team");
    return result;
  }
  map.team_count = teams;
  result.map = std::move(map);
  return result;
}

MapReadResult read_map_file(const std::string& path) {
  const ReadResult file = read_file(path, kMaxMapFileBytes);
  if (!file.ok) {
    MapReadResult result;
    result.error = "The map file " + quoted_excerpt(path, kPathQuoteLimit) + " cannot be read: " + file.error + ".";
    return result;
  }
  return parse_map(file.bytes, path);
}

int map_cell_size(int picture_pixels, int first_line_cols) {
  if (first_line_cols <= 0) return 0;
  return static_cast<int>(round_half_even(static_cast<double>(picture_pixels - 1) / first_line_cols));
}

void apply_map(const CampaignMap& map, int picture_width, int picture_height, CampaignState& state) {
  state.clear_cells();
  state.map_file = map.path;
  state.grid_rows = map.grid_rows;
  state.grid_cols = map.grid_cols;
  state.first_line_cols = map.first_line_cols;
  state.cell_w = map_cell_size(picture_width, map.first_line_cols);
  state.cell_h = map_cell_size(picture_height, map.first_line_cols);
  state.team_count = map.team_count;
  state.spots.clear();
  state.spots.reserve(map.cells.size());
  int n = 1;
  for (const MapCell& cell : map.cells) {
    Cell& fields = state.cells[static_cast<std::size_t>(n - 1)];
    auto at = [&fields](Field f) -> Value& { return fields[static_cast<std::size_t>(f - 1)]; };
    at(cell_no) = Value::whole(n);
    at(x_px) = Value::whole(static_cast<long long>(cell.col - 1) * state.cell_w);
    at(y_px) = Value::whole(static_cast<long long>(cell.row - 1) * state.cell_h);
    at(terrain) = Value::text(std::string(1, cell.terrain));
    at(terrain_color) = terrain_color_for(cell.terrain);
    if (is_team_letter(cell.terrain)) at(owner) = Value::text(std::string(1, cell.terrain));
    state.spots.push_back({cell.row, cell.col});
    ++n;
  }
}

}  // namespace zorvane
