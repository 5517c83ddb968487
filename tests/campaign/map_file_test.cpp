#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "campaign/map_file.h"
#include "common/linefile.h"
#include "test_files.h"

namespace zorvane {
namespace {

const std::string kSmallMap = "12A\r\n3B4\r\n555\r\n";

CampaignMap parsed(const std::string& bytes) {
  MapReadResult result = parse_map(bytes, "test.aim");
  EXPECT_TRUE(result.ok()) << result.error;
  return result.ok() ? *result.map : CampaignMap{};
}

CampaignState applied(const std::string& bytes, int width = 301, int height = 301) {
  CampaignState state;
  apply_map(parsed(bytes), width, height, state);
  return state;
}

// A square map of the given side, all light green, with team "A" in the first cell.
std::string square_map(int side) {
  std::string out;
  for (int r = 0; r < side; ++r) out += (r == 0 ? "A" : "1") + std::string(side - 1, '1') + "\r\n";
  return out;
}

TEST(MapReader, SmallMapReplacesEveryCellButLeavesTheTurnAlone) {
  CampaignState state;
  state.current_team = 2;
  state.turn = 7;
  state.action_count = 12;
  state.team_count = 9;
  state.field(5, unit_1) = Value::text("tank.ai");
  state.field(1600, owner) = Value::text("C");
  // 301 by 151 pixels and 3 columns: cells 100 wide, 50 high.
  apply_map(parsed(kSmallMap), 301, 151, state);
  EXPECT_EQ(std::tuple(state.current_team, state.turn, state.action_count, state.map_file),
            std::tuple(2, 7L, 12L, "test.aim"));
  EXPECT_EQ(std::tuple(state.team_count, state.grid_rows, state.grid_cols, state.first_line_cols, state.cell_w, state.cell_h),
            std::tuple(2, 3, 3, 3, 100, 50));
  const char* terrains = "12A3B4555";
  const long long colours[] = {42255, 30784, 30832, 30832, 30832, 11111, 16777215, 16777215, 16777215};
  const char* owners[] = {"", "", "A", "", "B", "", "", "", ""};
  for (int n = 1; n <= 9; ++n) {
    EXPECT_EQ(state.field(n, cell_no), Value::whole(n));
    EXPECT_EQ(state.field(n, terrain), Value::text(std::string(1, terrains[n - 1]))) << n;
    EXPECT_EQ(state.field(n, terrain_color), Value::whole(colours[n - 1])) << n;
    EXPECT_EQ(state.field(n, owner), *owners[n - 1] ? Value::text(owners[n - 1]) : Value()) << n;
    EXPECT_EQ(state.field(n, x_px), Value::whole((n - 1) % 3 * 100)) << n;
    EXPECT_EQ(state.field(n, y_px), Value::whole((n - 1) / 3 * 50)) << n;
    for (int f : {4, 5, 8, 9, 11, 20, 21, 30}) EXPECT_TRUE(state.field(n, f).is_empty()) << n << "/" << f;
  }
  EXPECT_TRUE(state.field(10, cell_no).is_empty() && state.field(1600, owner).is_empty());
}

TEST(MapReader, CellSizeIsPixelsLessOneOverTheFirstLineRoundedHalvesToEven) {
  // Ten characters on the first line; both sides divide by its length.
  for (const auto& [pixels, size] : {std::pair{301, 30}, {302, 30}, {306, 30}, {316, 32}}) {
    const CampaignState state = applied(square_map(10), pixels, 316);
    EXPECT_EQ(std::pair(state.cell_w, state.cell_h), std::pair(size, 32)) << pixels;
  }
  EXPECT_EQ(std::tuple(map_cell_size(311, 10), map_cell_size(1, 10), map_cell_size(500, 0)), std::tuple(31, 0, 0));
}

TEST(MapReader, OddLinesAreReadCharacterByCharacter) {
  std::string ten_teams;  // "J" top left down to "A" bottom right
  for (int r = 0; r < 10; ++r) {
    std::string line(10, '1');
    line[static_cast<std::size_t>(r)] = static_cast<char>('J' - r);
    ten_teams += line + "\r\n";
  }
  const Value none;
  const struct {
    const char* name;
    std::string bytes;
    int teams, side;
    std::vector<std::tuple<int, int, Value>> fields;  // cell, field, value
  } cases[] = {
      // "  1A1  " is three long once trimmed, but its cells are taken from the line as read.
      {"leading spaces are cells, trailing ones are ignored", "  1A1  \r\n1A1 \r\n111\r\n", 1, 3,
       {{1, terrain, Value::text(" ")}, {2, terrain, Value::text(" ")}, {3, terrain, Value::text("1")},
        {1, terrain_color, none}, {3, terrain_color, Value::whole(42255)}, {3, x_px, Value::whole(200)},
        {3, owner, none}, {5, owner, Value::text("A")}}},
      {"blank line is a row without cells", "1A1\r\n   \r\n222\r\n", 1, 3,
       {{4, terrain, Value::text("2")}, {4, cell_no, Value::whole(4)}, {4, y_px, Value::whole(200)},
        {6, x_px, Value::whole(200)}, {7, terrain, none}, {9, cell_no, none}}},
      {"line feed alone is a character", "1A\n\r\n222\r\n333\r\n", 1, 3,
       {{3, terrain, Value::text("\n")}, {3, terrain_color, none}, {4, terrain, Value::text("2")}}},
      {"lower case and other characters are neither team nor terrain", "1a7\r\nA6x\r\n0 1\r\n", 1, 3,
       {{2, terrain_color, none}, {3, terrain_color, none}, {5, terrain_color, none}, {6, terrain_color, none},
        {7, terrain_color, none}, {2, owner, none}, {8, terrain, Value::text(" ")}}},
      {"ten teams in any order", ten_teams, 10, 10, {{1, owner, Value::text("J")}, {100, owner, Value::text("A")}}},
      {"largest map is forty by forty", square_map(40), 1, 40,
       {{1600, cell_no, Value::whole(1600)}, {1600, x_px, Value::whole(39 * 8)}}},  // 300 / 40 = 7.5 -> 8
  };
  for (const auto& c : cases) {
    const CampaignState state = applied(c.bytes);
    EXPECT_EQ(state.team_count, c.teams) << c.name;
    EXPECT_EQ(state.grid_rows, c.side) << c.name;
    EXPECT_EQ(state.grid_cols, c.side) << c.name;
    for (const auto& [n, f, value] : c.fields) EXPECT_EQ(state.field(n, f), value) << c.name << ": " << n << "/" << f;
  }
}

TEST(MapReader, CarriageReturnAloneEndsALine) { EXPECT_TRUE(applied("12A\r3B4\r555").cells == applied(kSmallMap).cells); }

TEST(MapReader, RejectsUnusableMapsNamingFileLineAndProblem) {
  // 41 lines of 41 with two of them blank: under 1600 cells, but the grid is too big.
  std::string blank_rows = square_map(41);
  for (std::size_t at : {10u * 43, 20u * 43 - 41}) blank_rows.erase(at, 41);
  const struct {
    const char* name;
    std::string bytes;
    std::string line;  // "" when the problem is not on one line
    std::string problem;
  } cases[] = {
      {"empty file", "", "", "empty"},
      {"blank first line", "   \r\n1A1\r\n111\r\n", "line 1:", "first line is blank"},
      {"only line ends", "\r\n\r\n", "line 1:", "first line is blank"},
      {"more than 1600 cells", square_map(41), "line 40:", "more than 1600 cells"},
      {"41 by 41 grid with blank rows", blank_rows, "", "41 by 41"},
      {"more lines than columns", "1A1\r\n111\r\n111\r\n111\r\n", "line 4:", "must be square"},
      {"fewer lines than columns", "1A11\r\n1111\r\n1111\r\n", "line 3:", "must be square"},
      {"trailing blank line is a row", "1A1\r\n111\r\n111\r\n\r\n", "line 4:", "blank lines count as rows"},
      {"line feeds only make one line", "1A1\n111\n111\n", "line 1:", "must be square"},
      {"shorter line", "1A1\r\n11\r\n111\r\n", "line 2:", "holds 2 cells, but the first line holds 3"},
      {"longer line", "1A1\r\n111\r\n1111\r\n", "line 3:", "equally long"},
      {"letter gap", "1A1\r\n111\r\n1C1\r\n", "line 3:", "\"C\" is used, but \"B\" is missing"},
      {"no A", "1B1\r\n111\r\n111\r\n", "line 1:", "\"B\" is used, but \"A\" is missing"},
      {"letter twice", "1A1\r\n1A1\r\n1B1\r\n", "line 2:", "\"A\" appears a second time (first on line 1)"},
      {"no team at all", "111\r\n111\r\n111\r\n", "", "no home cell"},
      // Bytes an editor does not show are named, with where they are.
      {"byte-order mark", "\xEF\xBB\xBF" "1A1\r\n111\r\n111\r\n", "",
       "line 1 starts with a byte-order mark (bytes EF BB BF), which a map cannot hold"},
      {"closing Ctrl-Z", "1A1\r\n111\r\n111\r\n\x1A", "", "the file ends with a Ctrl-Z character (byte 1A) after line 3"},
      {"tab in a line", "1A1\r\n1\t11\r\n111\r\n", "line 2:", "(column 2 holds byte 09, a control character"},
      {"delete in a line", "1A1\r\n1\x7f" "11\r\n111\r\n", "line 2:", "(column 2 holds byte 7F, a control character"},
      {"accented first line", "1\xC3\xA9" "1\r\n111\r\n111\r\n", "line 2:",
       "(line 1, column 2 holds byte C3, which is not plain ASCII"},
  };
  for (const auto& c : cases) {
    const MapReadResult result = parse_map(c.bytes, "maps/bad.aim");
    EXPECT_FALSE(result.map.has_value()) << c.name;
    for (const std::string& part : {std::string("\"maps/bad.aim\""), c.line, c.problem}) {
      EXPECT_NE(result.error.find(part), std::string::npos) << c.name << ": " << result.error;
    }
  }
}

TEST(MapReader, MissingOrUnreadableFileIsRejectedWithItsReason) {
  testing::TempDir dir;
  const std::string missing = dir.file("nowhere.aim");
  for (const auto& [path, reason] : {std::pair{missing, "does not exist"}, {dir.path(), "folder"},
                                     {dir.write("empty.aim", ""), "empty"}, {dir.fifo("pipe.aim"), "named pipe"}}) {
    const MapReadResult result = read_map_file(path);
    EXPECT_FALSE(result.ok()) << path;
    EXPECT_NE(result.error.find("\"" + path + "\""), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(reason), std::string::npos) << result.error;
  }
}

}  // namespace
}  // namespace zorvane
