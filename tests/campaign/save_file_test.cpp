#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "common/linefile.h"
#include "file_limits.h"
#include "test_files.h"

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;

// Line of field f of cell n, counted from 0: the save's line 3 + 30 (n - 1) + f.
std::size_t field_line(int n, int f) { return static_cast<std::size_t>(3 + 30 * (n - 1) + f - 1); }

// A new campaign on the 3 by 3 map "12A", "3B4", "555" in a temporary folder, as File, New leaves it.
class SmallCampaign : public ::testing::Test {
 protected:
  CampaignState new_campaign() const {
    CampaignState state;
    apply_map(read_map_file(map_path).map.value(), 301, 301, state);
    return state;
  }
  CampaignLoadResult parse(const std::string& bytes) const {
    return parse_campaign_save(bytes, "/saves/s.sav", dir.path(), 301, 301);
  }

  TempDir dir;
  const std::string map_path = dir.write("small.aim", "12A\r\n3B4\r\n555\r\n");
};

TEST_F(SmallCampaign, SaveHoldsTheMapCountersAndThirtyLinesPerCell) {
  const std::string bytes = campaign_save_bytes(new_campaign());
  const auto lines = split_lines_cr(bytes);
  ASSERT_EQ(lines.size(), 273u);
  const std::vector<std::string> first = {map_path, " 1", " 2", " 1 ", "", " 42255 ", "", "", " 0 ", " 0 ",
                                          "",       "",   "1"};
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(lines[i], first[i]) << "line " << i + 1;
  // Cell 9's unit_10 is the last line.
  EXPECT_EQ(std::tuple(lines[field_line(3, owner)], lines[field_line(5, x_px)], lines[field_line(9, terrain)], lines[272]),
            std::tuple("A", " 100 ", "5", ""));
  // Every line ends with CR LF, the last one included, and nothing else separates lines.
  EXPECT_EQ(join_crlf(lines), bytes);
}

TEST_F(SmallCampaign, SaveLoadSaveDiffersOnlyInPixelPositions) {
  CampaignState state = new_campaign();
  state.current_team = 2;
  state.field(3, unit_1) = Value::text("brawler.ai");
  state.field(3, unit_1 + 1) = Value::text("sniper.ai ");  // the trailing space is part of the name
  state.field(4, owner) = Value::text("A");
  state.field(4, unit_1) = Value::text("scout.ai");
  const std::string first_path = dir.write("first.sav", "an older save");
  ASSERT_TRUE(write_campaign_save(first_path, state).ok);
  const std::string first = read_bytes(first_path);
  EXPECT_EQ(first, campaign_save_bytes(state));

  // Loaded into a smaller picture: cells 50 by 40 pixels instead of 100 by 100.
  const CampaignLoadResult loaded = load_campaign_save(first_path, dir.path(), 151, 121);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  EXPECT_EQ(loaded.state->field(3, unit_1 + 1), Value::text("sniper.ai "));
  // Loaded fields are texts that still compare equal to the numbers of a new campaign.
  EXPECT_EQ(loaded.state->field(1, terrain_color), Value::text(" 42255 "));
  EXPECT_TRUE(loose_equal(loaded.state->field(1, terrain_color), state.field(1, terrain_color)));
  const std::string second_path = dir.file("second.sav");
  ASSERT_TRUE(write_campaign_save(second_path, *loaded.state).ok);
  const auto a = split_lines_cr(first);
  const auto b = split_lines_cr(read_bytes(second_path));
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    const int f = i < 3 ? 0 : static_cast<int>((i - 3) % 30) + 1;  // the field on line i + 1
    if (f != x_px && f != y_px) { EXPECT_EQ(a[i], b[i]) << "line " << i + 1; }
  }
  // Cell 5 (row 2, column 2) moved to the smaller picture's grid.
  EXPECT_EQ(std::pair(b[field_line(5, x_px)], b[field_line(5, y_px)]), std::pair(std::string(" 50 "), std::string(" 40 ")));
}

TEST_F(SmallCampaign, FailedSaveSaysWhyAndKeepsTheOldSaveWhole) {
  const CampaignState state = new_campaign();
  const std::string save = dir.write("game.sav", "the earlier save");
  FileResult result;
  {
    testing::FileSizeLimit limit(64);  // a save of 9 cells is several hundred bytes
    result = write_campaign_save(save, state);
  }
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("\"" + save + "\""), std::string::npos) << result.error;
  EXPECT_EQ(read_bytes(save), "the earlier save");
  EXPECT_FALSE(std::filesystem::exists(save + ".saving"));
}

// A carriage return would split a value over two lines and shift every later field, and a
// grid beyond the cell table would be written from cells that do not exist; a line feed alone
// stays inside its line.
TEST_F(SmallCampaign, UnsavableStateIsRefusedBeforeWriting) {
  const std::string save = dir.write("game.sav", "kept");
  const struct {
    std::function<void(CampaignState&)> spoil;
    const char* problem;  // "" for none
  } cases[] = {
      {[](CampaignState& s) { s.field(4, unit_1) = Value::text("bad\rname.ai"); }, "field 21 of cell 4 holds a line break"},
      {[](CampaignState& s) { s.field(9, kFieldCount) = Value::text("x\r"); }, "field 30 of cell 9 holds a line break"},
      {[](CampaignState& s) { s.map_file += "\r"; }, "the map file's name holds a line break"},
      {[](CampaignState& s) { s.grid_rows = s.grid_cols = 41; }, "grid of 41 by 41 cells does not fit"},
      {[](CampaignState& s) { s.grid_rows = -1; }, "grid of -1 by 3 cells"},
      {[](CampaignState& s) { s.field(9, kFieldCount) = Value::text("line\nfeed"); }, ""},
  };
  for (const auto& c : cases) {
    CampaignState state = new_campaign();
    c.spoil(state);
    EXPECT_NE(campaign_save_problem(state).value_or("").find(c.problem), std::string::npos) << c.problem;
    EXPECT_EQ(campaign_save_problem(state).has_value(), *c.problem != 0) << c.problem;
    if (*c.problem) {
      const FileResult result = write_campaign_save(save, state);
      EXPECT_FALSE(result.ok);
      EXPECT_NE(result.error.find(c.problem), std::string::npos) << result.error;
    }
  }
  EXPECT_EQ(read_bytes(save), "kept");
}

// The team counters are the save's (halves rounded to even, one to ten teams), not the map's
// two, and the turn starts again; a few blank lines after the last cell are ignored.
TEST_F(SmallCampaign, CountersComeFromTheSaveAndTurnStartsAgain) {
  CampaignState state = new_campaign();
  state.turn = 7;
  state.action_count = 20;
  for (const auto& [current, teams, expected] : {std::tuple{" 2.5", " 4", std::pair(2, 4)}, {"1", "1 ", std::pair(1, 1)},
                                                 {" 10", " 10", std::pair(10, 10)}, {"3.5", "4.5", std::pair(4, 4)}}) {
    auto lines = split_lines_cr(campaign_save_bytes(state));
    std::tie(lines[1], lines[2]) = std::pair(current, teams);
    const CampaignLoadResult loaded = parse(join_crlf(lines) + "\r\n\r\n");
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    const CampaignState& s = *loaded.state;
    EXPECT_EQ(std::tuple(s.current_team, s.team_count, s.turn, s.action_count, s.map_file),
              std::tuple(expected.first, expected.second, 0L, 0L, map_path));
  }
  // A relative map path is taken against the program folder (the tests do not run in the
  // temporary folder), and kept as saved.
  state.map_file = "small.aim";
  const CampaignLoadResult loaded = parse(campaign_save_bytes(state));
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  EXPECT_EQ(loaded.state->map_file, "small.aim");
}

TEST_F(SmallCampaign, RejectsDamagedSavesWithAReasonAndProducesNothing) {
  const std::string good = campaign_save_bytes(new_campaign());
  auto with_line = [&good](std::size_t index, const std::string& text) {
    auto lines = split_lines_cr(good);
    lines[index] = text;
    return join_crlf(lines);
  };
  std::string bigger = good;
  for (int i = 0; i < 30; ++i) bigger += "x\r\n";
  const struct {
    const char* name;
    std::string bytes;
    std::string expect;
  } cases[] = {
      {"empty file", "", "empty"},
      {"only two lines", map_path + "\r\n 1\r\n", "ends after line 2"},
      {"blank map line", with_line(0, "  "), "line 1 names no map file"},
      {"current team not a number", with_line(1, "one"), "line 2, the current team, is not a number: \"one\""},
      {"a megabyte-long line is quoted in part", with_line(2, std::string(1 << 20, 'x')),
       "is not a number: \"" + std::string(60, 'x') + "...\""},
      {"a long map path is quoted in part", with_line(0, dir.file(std::string(600, 'p'))), std::string(9, 'p') + "...\""},
      {"team count not a number", with_line(2, " 2x"), "line 3, the number of teams, is not a number"},
      {"no teams", with_line(2, " 0"), "line 3 gives 0 teams"},
      {"eleven teams", with_line(2, " 11"), "line 3 gives 11 teams"},
      {"current team beyond the teams", with_line(1, " 3"), "team 3 as the current team"},
      {"current team zero", with_line(1, " 0"), "team 0 as the current team"},
      {"cut short by one line", good.substr(0, good.size() - 2), "has 272 lines, but its map"},  // the last is ""
      {"a whole cell too many", bigger, "holds the fields of 10 cells"},
      {"map missing", with_line(0, dir.file("gone.aim")), "map is missing or unusable"},
      {"map is a device", with_line(0, "/dev/ptmx"), "cannot be read: it is a device, not a file"},
      {"map grown", with_line(0, dir.write("big.aim", "1A11\r\n1111\r\n1111\r\n1111\r\n")), "(4 by 4 cells) needs 483"},
      {"map shrunk", with_line(0, dir.write("tiny.aim", "1A\r\n11\r\n")), "now has 4 (2 by 2); the map has changed"},
      {"map now broken", with_line(0, dir.write("bad.aim", "1A1\r\n11\r\n111\r\n")), "line 2: the line holds 2 cells"},
  };
  for (const auto& c : cases) {
    const CampaignLoadResult result = parse(c.bytes);
    EXPECT_FALSE(result.state.has_value()) << c.name;
    EXPECT_LT(result.error.size(), 1000u) << c.name;
    EXPECT_NE(result.error.find("\"/saves/s.sav\""), std::string::npos) << c.name << ": " << result.error;
    EXPECT_NE(result.error.find(c.expect), std::string::npos) << c.name << ": " << result.error;
  }
}

// Only the lines the map needs, and 30 more, are read: a save cannot make the program take in
// more than that, however large the file. A missing save, or one that is not a plain file,
// is refused too.
TEST_F(SmallCampaign, LargeMissingOrUnreadableSavesAreRefused) {
  std::string bigger = campaign_save_bytes(new_campaign());
  for (int i = 0; i < 30; ++i) bigger += "x\r\n";
  const std::string huge = dir.write("huge.sav", bigger), large = dir.write("large.sav", map_path + "\r\n 1\r\n 2\r\n");
  std::filesystem::resize_file(huge, 70u << 20);  // sparse: costs no disk
  std::filesystem::resize_file(large, 17u << 20);
  for (const auto& [path, reason] : {std::pair{huge, "holds the fields of 10 cells or more"},
                                     {large, "cannot be read: the file is larger than 16 MiB"}, {dir.file("none.sav"), "does not exist"},
                                     {dir.path(), "folder"}, {dir.fifo("pipe.sav"), "it is a named pipe, not a file"}}) {
    const CampaignLoadResult result = load_campaign_save(path, dir.path(), 301, 301);
    EXPECT_FALSE(result.ok()) << path;
    EXPECT_NE(result.error.find("\"" + path + "\""), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(reason), std::string::npos) << result.error;
  }
}

}  // namespace
}  // namespace zorvane
