#include <gtest/gtest.h>

#include <string>

#include "campaign/map_file.h"
#include "test_files.h"

namespace zorvane {
namespace {

using testing::TempDir;

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

std::string line_of(int length, char ch = '1') { return std::string(static_cast<std::size_t>(length), ch); }

// A square map of the given side: team "A" in the first cell, every line CR LF ended.
std::string square_map(int side) {
  std::string out;
  for (int r = 0; r < side; ++r) {
    std::string line = line_of(side);
    if (r == 0) line[0] = 'A';
    out += line + "\r\n";
  }
  return out;
}

TEST(MapReader, SmallMapGivesNumberedCellsColoursAndOwners) {
  const CampaignState state = applied(kSmallMap);
  EXPECT_EQ(state.team_count, 2);
  EXPECT_EQ(state.grid_rows, 3);
  EXPECT_EQ(state.grid_cols, 3);
  EXPECT_EQ(state.first_line_cols, 3);
  EXPECT_EQ(state.cell_count(), 9);
  const char* terrains = "12A3B4555";
  const long long colours[] = {42255, 30784, 30832, 30832, 30832, 11111, 16777215, 16777215, 16777215};
  for (int n = 1; n <= 9; ++n) {
    EXPECT_EQ(state.field(n, cell_no), Value::whole(n));
    EXPECT_EQ(state.field(n, terrain), Value::text(std::string(1, terrains[n - 1]))) << n;
    EXPECT_EQ(state.field(n, terrain_color), Value::whole(colours[n - 1])) << n;
  }
  EXPECT_EQ(state.field(3, owner), Value::text("A"));
  EXPECT_EQ(state.field(5, owner), Value::text("B"));
  for (int n : {1, 2, 4, 6, 7, 8, 9}) EXPECT_TRUE(state.field(n, owner).is_empty()) << n;
  for (int n = 1; n <= 9; ++n) {
    for (int f : {4, 5, 8, 9, 11, 20, 21, 30}) EXPECT_TRUE(state.field(n, f).is_empty()) << n << "/" << f;
  }
}

TEST(MapReader, PositionsFollowRowsColumnsAndCellSize) {
  // 301 by 151 pixels and 3 columns: cells 100 wide, 50 high.
  const CampaignState state = applied(kSmallMap, 301, 151);
  EXPECT_EQ(state.cell_w, 100);
  EXPECT_EQ(state.cell_h, 50);
  EXPECT_EQ(state.field(1, x_px), Value::whole(0));
  EXPECT_EQ(state.field(1, y_px), Value::whole(0));
  EXPECT_EQ(state.field(3, x_px), Value::whole(200));
  EXPECT_EQ(state.field(6, x_px), Value::whole(200));
  EXPECT_EQ(state.field(6, y_px), Value::whole(50));
  EXPECT_EQ(state.field(7, x_px), Value::whole(0));
  EXPECT_EQ(state.field(7, y_px), Value::whole(100));
}

TEST(MapReader, CellSizeRoundsHalvesToEven) {
  const struct {
    int pixels;
    int size;
  } cases[] = {{301, 30}, {302, 30}, {306, 30}, {316, 32}, {311, 31}, {1, 0}};
  for (const auto& c : cases) EXPECT_EQ(map_cell_size(c.pixels, 10), c.size) << c.pixels;
  EXPECT_EQ(map_cell_size(500, 0), 0);

  // Both sides divide by the first line's length, through the whole reader.
  std::string ten;
  for (int r = 0; r < 10; ++r) ten += (r == 0 ? "A" + line_of(9) : line_of(10)) + "\r\n";
  for (const auto& c : {std::pair{301, 30}, {302, 30}, {306, 30}, {316, 32}}) {
    const CampaignState state = applied(ten, c.first, 316);
    EXPECT_EQ(state.cell_w, c.second) << c.first;
    EXPECT_EQ(state.cell_h, 32);
  }
}

TEST(MapReader, LeadingSpacesAreCellsAndPushCharactersOutOfTheRow) {
  // "  1A1" is three long once trimmed, and its cells are taken from the line as read.
  const CampaignState state = applied("  1A1\r\n1A1\r\n111\r\n");
  EXPECT_EQ(state.field(1, terrain), Value::text(" "));
  EXPECT_EQ(state.field(2, terrain), Value::text(" "));
  EXPECT_EQ(state.field(3, terrain), Value::text("1"));
  EXPECT_TRUE(state.field(1, terrain_color).is_empty());
  EXPECT_TRUE(state.field(2, terrain_color).is_empty());
  EXPECT_EQ(state.field(3, terrain_color), Value::whole(42255));
  // The "A" of the first line is not a cell; the home is on line 2.
  EXPECT_EQ(state.field(5, owner), Value::text("A"));
  EXPECT_EQ(state.team_count, 1);
}

TEST(MapReader, TrailingSpacesAreIgnored) {
  const CampaignState state = applied("12A   \r\n3B4 \r\n555\r\n");
  EXPECT_EQ(state.first_line_cols, 3);
  EXPECT_EQ(state.field(4, terrain), Value::text("3"));
}

TEST(MapReader, BlankLineIsARowWithoutCellsAndNumbersContinue) {
  const CampaignState state = applied("1A1\r\n   \r\n222\r\n", 301, 301);
  EXPECT_EQ(state.grid_rows, 3);
  EXPECT_EQ(state.grid_cols, 3);
  EXPECT_EQ(state.field(4, terrain), Value::text("2"));
  EXPECT_EQ(state.field(4, cell_no), Value::whole(4));
  EXPECT_EQ(state.field(4, x_px), Value::whole(0));
  EXPECT_EQ(state.field(4, y_px), Value::whole(200));  // the third row
  EXPECT_EQ(state.field(6, x_px), Value::whole(200));
  for (int n : {7, 8, 9}) EXPECT_TRUE(state.field(n, terrain).is_empty()) << n;
}

TEST(MapReader, CarriageReturnAloneEndsALine) {
  const CampaignState crlf = applied(kSmallMap);
  const CampaignState cr = applied("12A\r3B4\r555");
  EXPECT_EQ(cr.grid_rows, 3);
  for (int n = 1; n <= 9; ++n) {
    for (int f = 1; f <= kFieldCount; ++f) EXPECT_EQ(cr.field(n, f), crlf.field(n, f)) << n << "/" << f;
  }
}

TEST(MapReader, LineFeedAloneIsACharacterOfTheLine) {
  const CampaignState state = applied("1A\n\r\n222\r\n333\r\n");
  EXPECT_EQ(state.field(3, terrain), Value::text("\n"));
  EXPECT_TRUE(state.field(3, terrain_color).is_empty());
  EXPECT_EQ(state.field(4, terrain), Value::text("2"));
}

TEST(MapReader, LowerCaseAndOtherCharactersAreNeitherTeamNorTerrain) {
  const CampaignState state = applied("1a7\r\nA6x\r\n0 1\r\n");
  EXPECT_EQ(state.team_count, 1);
  for (int n : {2, 3, 5, 6, 7}) EXPECT_TRUE(state.field(n, terrain_color).is_empty()) << n;
  EXPECT_TRUE(state.field(2, owner).is_empty());
  EXPECT_EQ(state.field(8, terrain), Value::text(" "));
}

TEST(MapReader, TenTeamsInAnyOrderAreAccepted) {
  std::string map;
  const std::string letters = "JIHGFEDCBA";
  for (int r = 0; r < 10; ++r) {
    std::string line = line_of(10);
    line[static_cast<std::size_t>(r)] = letters[static_cast<std::size_t>(r)];
    map += line + "\r\n";
  }
  const CampaignState state = applied(map);
  EXPECT_EQ(state.team_count, 10);
  EXPECT_EQ(state.field(1, owner), Value::text("J"));
  EXPECT_EQ(state.field(100, owner), Value::text("A"));
}

TEST(MapReader, LargestMapIsFortyByForty) {
  const CampaignState state = applied(square_map(40), 1001, 1001);
  EXPECT_EQ(state.cell_count(), 1600);
  EXPECT_EQ(state.field(1600, cell_no), Value::whole(1600));
  EXPECT_EQ(state.cell_w, 25);
  EXPECT_EQ(state.field(1600, x_px), Value::whole(39 * 25));
}

TEST(ApplyMap, EmptiesOldFieldsAndLeavesTurnCountersAlone) {
  CampaignState state;
  state.current_team = 2;
  state.turn = 7;
  state.action_count = 12;
  state.team_count = 9;
  state.field(5, unit_1) = Value::text("tank.ai");
  state.field(1600, owner) = Value::text("C");
  apply_map(parsed(kSmallMap), 301, 301, state);
  EXPECT_EQ(state.current_team, 2);
  EXPECT_EQ(state.turn, 7);
  EXPECT_EQ(state.action_count, 12);
  EXPECT_EQ(state.team_count, 2);
  EXPECT_EQ(state.map_file, "test.aim");
  EXPECT_TRUE(state.field(5, unit_1).is_empty());
  EXPECT_TRUE(state.field(1600, owner).is_empty());
}

struct RejectCase {
  const char* name;
  std::string bytes;
  std::string expect_line;  // "" when the problem is not on one line
  std::string expect_text;
};

std::string forty_one_square_with_blank_rows() {
  std::string out;
  for (int r = 0; r < 41; ++r) {
    if (r == 10 || r == 20) {
      out += "\r\n";
      continue;
    }
    std::string line = line_of(41);
    if (r == 0) line[0] = 'A';
    out += line + "\r\n";
  }
  return out;
}

TEST(MapReader, RejectsUnusableMapsNamingFileLineAndProblem) {
  const RejectCase cases[] = {
      {"empty file", "", "", "empty"},
      {"blank first line", "   \r\n1A1\r\n111\r\n", "line 1:", "first line is blank"},
      {"only line ends", "\r\n\r\n", "line 1:", "first line is blank"},
      {"more than 1600 cells", square_map(41), "line 40:", "more than 1600 cells"},
      {"41 by 41 grid with blank rows", forty_one_square_with_blank_rows(), "", "41 by 41"},
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
  };
  for (const auto& c : cases) {
    const MapReadResult result = parse_map(c.bytes, "maps/bad.aim");
    EXPECT_FALSE(result.ok()) << c.name;
    EXPECT_FALSE(result.map.has_value()) << c.name;
    EXPECT_NE(result.error.find("\"maps/bad.aim\""), std::string::npos) << c.name << ": " << result.error;
    if (!c.expect_line.empty()) {
      EXPECT_NE(result.error.find(c.expect_line), std::string::npos) << c.name << ": " << result.error;
    }
    EXPECT_NE(result.error.find(c.expect_text), std::string::npos) << c.name << ": " << result.error;
  }
}

TEST(MapReader, ReadsAMapFromItsFile) {
  TempDir dir;
  const std::string path = dir.write("small.aim", kSmallMap);
  const MapReadResult result = read_map_file(path);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.map->path, path);
  EXPECT_EQ(result.map->cells.size(), 9u);
  EXPECT_EQ(result.map->team_count, 2);
}

TEST(MapReader, MissingFileOrFolderIsRejectedWithItsReason) {
  TempDir dir;
  const std::string missing = dir.file("nowhere.aim");
  MapReadResult result = read_map_file(missing);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("\"" + missing + "\""), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("does not exist"), std::string::npos) << result.error;

  result = read_map_file(dir.path());
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("folder"), std::string::npos) << result.error;

  result = read_map_file(dir.write("empty.aim", ""));
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("empty"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace zorvane
