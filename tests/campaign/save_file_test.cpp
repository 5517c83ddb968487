#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "common/linefile.h"
#include "test_files.h"

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;

const std::string kSmallMap = "12A\r\n3B4\r\n555\r\n";

// A new campaign started from a map file, as File, New leaves it.
CampaignState new_campaign(const std::string& map_path, int width = 301, int height = 301) {
  const MapReadResult map = read_map_file(map_path);
  EXPECT_TRUE(map.ok()) << map.error;
  CampaignState state;
  if (map.ok()) apply_map(*map.map, width, height, state);
  return state;
}

// Line k (from 1) of a CR LF file.
std::vector<std::string> lines_of(const std::string& bytes) { return split_lines_cr(bytes); }

std::string join(const std::vector<std::string>& lines) { return join_crlf(lines); }

// Makes writes beyond `bytes` fail in this process, as a full disk would, until it goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

TEST(SaveWriter, SmallCampaignGivesTheExpectedLines) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  const std::string bytes = campaign_save_bytes(new_campaign(map_path));
  const auto lines = lines_of(bytes);
  ASSERT_EQ(lines.size(), 273u);
  const std::vector<std::string> first = {map_path, " 1", " 2", " 1 ", "", " 42255 ", "", "", " 0 ", " 0 ",
                                          "",       "",   "1"};
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(lines[i], first[i]) << "line " << i + 1;
  // Field f of cell n is line 3 + 30 (n - 1) + f: cell 3's owner, cell 5's x position, cell 9's terrain.
  EXPECT_EQ(lines[3 + 30 * 2 + 2 - 1], "A");
  EXPECT_EQ(lines[3 + 30 * 4 + 6 - 1], " 100 ");
  EXPECT_EQ(lines[3 + 30 * 8 + 10 - 1], "5");
  EXPECT_EQ(lines[272], "");  // cell 9's unit_10
  // Every line ends with CR LF, the last one included, and nothing else separates lines.
  EXPECT_TRUE(bytes.ends_with("\r\n"));
  EXPECT_EQ(join(lines), bytes);
}

TEST(SaveWriter, NegativeCountersKeepTheirSign) {
  CampaignState state;
  state.map_file = "m.aim";
  state.current_team = -1;
  state.team_count = 12;
  EXPECT_EQ(campaign_save_bytes(state), "m.aim\r\n-1\r\n 12\r\n");
}

TEST(SaveWriter, WritesTheFileAndReplacesAnOldOne) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  const CampaignState state = new_campaign(map_path);
  const std::string save = dir.write("game.sav", "old contents");
  const FileResult result = write_campaign_save(save, state);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(read_bytes(save), campaign_save_bytes(state));
}

TEST(SaveWriter, FailedSaveSaysWhyAndKeepsTheOldSaveWhole) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  const CampaignState state = new_campaign(map_path);
  const std::string save = dir.write("game.sav", "the earlier save");
  FileResult result;
  {
    FileSizeLimit limit(64);  // a save of 9 cells is several hundred bytes
    result = write_campaign_save(save, state);
  }
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("\"" + save + "\""), std::string::npos) << result.error;
  EXPECT_EQ(read_bytes(save), "the earlier save");
  EXPECT_FALSE(std::filesystem::exists(save + ".saving"));
}

TEST(SaveWriter, SaveIntoAMissingFolderFails) {
  TempDir dir;
  CampaignState state;
  state.map_file = "m.aim";
  const std::string save = dir.file("no-such-folder/game.sav");
  const FileResult result = write_campaign_save(save, state);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("no-such-folder"), std::string::npos) << result.error;
  EXPECT_FALSE(std::filesystem::exists(save));
}

TEST(SaveWriter, TextWithACarriageReturnIsRefusedBeforeWriting) {
  // A carriage return would split the value over two lines and shift every later field.
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  CampaignState state = new_campaign(map_path);
  state.field(4, unit_1) = Value::text("bad\rname.ai");
  const std::string save = dir.write("game.sav", "kept");
  const FileResult result = write_campaign_save(save, state);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("field 21 of cell 4"), std::string::npos) << result.error;
  EXPECT_EQ(read_bytes(save), "kept");
}

TEST(SaveWriter, GridLargerThanTheTableIsRefused) {
  CampaignState state;
  state.grid_rows = 41;
  state.grid_cols = 41;
  ASSERT_TRUE(campaign_save_problem(state).has_value());
  EXPECT_NE(campaign_save_problem(state)->find("41 by 41"), std::string::npos);
}

TEST(SaveRoundTrip, SaveLoadSaveDiffersOnlyInPixelPositions) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  CampaignState state = new_campaign(map_path, 301, 301);
  state.current_team = 2;
  state.field(3, unit_1) = Value::text("brawler.ai");
  state.field(3, unit_1 + 2) = Value::text("tank.ai");
  state.field(4, owner) = Value::text("A");
  state.field(4, unit_1) = Value::text("scout.ai");
  const std::string first_path = dir.file("first.sav");
  ASSERT_TRUE(write_campaign_save(first_path, state).ok);

  // Loaded into a smaller picture: cells 50 by 40 pixels instead of 100 by 100.
  const CampaignLoadResult loaded = load_campaign_save(first_path, dir.path(), 151, 121);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  const std::string second_path = dir.file("second.sav");
  ASSERT_TRUE(write_campaign_save(second_path, *loaded.state).ok);
  const std::string first = read_bytes(first_path);
  const std::string second = read_bytes(second_path);
  ASSERT_NE(first, second);

  const auto a = lines_of(first);
  const auto b = lines_of(second);
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::size_t line = i + 1;
    const bool position = line > 3 && ((line - 4) % 30 + 1 == 6 || (line - 4) % 30 + 1 == 7);
    if (!position) {
      EXPECT_EQ(a[i], b[i]) << "line " << line;
    }
  }
  // Cell 5 (row 2, column 2) moved to the smaller picture's grid.
  EXPECT_EQ(b[3 + 30 * 4 + 6 - 1], " 50 ");
  EXPECT_EQ(b[3 + 30 * 4 + 7 - 1], " 40 ");
  EXPECT_EQ(a[3 + 30 * 4 + 6 - 1], " 100 ");
}

TEST(SaveRoundTrip, LoadedFieldsAreTextsThatCompareLooselyWithTheNumbers) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  const CampaignState state = new_campaign(map_path);
  const CampaignLoadResult loaded = parse_campaign_save(campaign_save_bytes(state), "a.sav", dir.path(), 301, 301);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  const CampaignState& back = *loaded.state;
  EXPECT_EQ(back.field(1, terrain_color), Value::text(" 42255 "));
  EXPECT_TRUE(loose_equal(back.field(1, terrain_color), state.field(1, terrain_color)));
  EXPECT_EQ(back.field(1, terrain_color).to_whole(), 42255);
  EXPECT_EQ(back.field(3, owner), Value::text("A"));
  EXPECT_EQ(back.field(1, owner), Value::text(""));
  EXPECT_EQ(back.field(2, cell_no), Value::text(" 2 "));
  // The pixel positions are the fresh numbers of this picture.
  EXPECT_EQ(back.field(2, x_px), Value::whole(100));
  EXPECT_EQ(back.field(4, y_px), Value::whole(100));
}

TEST(SaveRoundTrip, UnitNameWithTrailingSpaceSurvives) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  CampaignState state = new_campaign(map_path);
  state.field(3, unit_1 + 1) = Value::text("sniper.ai ");
  const std::string save = dir.file("game.sav");
  ASSERT_TRUE(write_campaign_save(save, state).ok);
  const CampaignLoadResult loaded = load_campaign_save(save, dir.path(), 301, 301);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  EXPECT_EQ(loaded.state->field(3, unit_1 + 1), Value::text("sniper.ai "));
  EXPECT_EQ(unit_count(loaded.state->cells[2]), 2);
  EXPECT_NE(campaign_save_bytes(*loaded.state).find("\r\nsniper.ai \r\n"), std::string::npos);
}

TEST(SaveLoad, CountersComeFromTheSaveAndTurnStartsAgain) {
  TempDir dir;
  std::string map;
  for (int r = 0; r < 4; ++r) map += std::string(r == 0 ? "ABC1" : "1111") + "\r\n";
  const std::string map_path = dir.write("three.aim", map);
  CampaignState state = new_campaign(map_path);
  state.current_team = 3;
  state.turn = 7;
  state.action_count = 20;
  auto lines = lines_of(campaign_save_bytes(state));
  lines[1] = " 2.5";  // rounded halves to even: team 2
  const CampaignLoadResult loaded = parse_campaign_save(join(lines), "a.sav", dir.path(), 301, 301);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  EXPECT_EQ(loaded.state->current_team, 2);
  EXPECT_EQ(loaded.state->team_count, 3);
  EXPECT_EQ(loaded.state->turn, 0);
  EXPECT_EQ(loaded.state->action_count, 0);
  EXPECT_EQ(loaded.state->map_file, map_path);
}

TEST(SaveLoad, TeamCountOfTheSaveReplacesTheMapsCount) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  auto lines = lines_of(campaign_save_bytes(new_campaign(map_path)));
  lines[2] = " 4";
  const CampaignLoadResult loaded = parse_campaign_save(join(lines), "a.sav", dir.path(), 301, 301);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  EXPECT_EQ(loaded.state->team_count, 4);
}

TEST(SaveLoad, RelativeMapPathIsTakenAgainstTheProgramFolder) {
  TempDir dir;
  dir.write("maps/small.aim", kSmallMap);
  CampaignState state = new_campaign(dir.file("maps/small.aim"));
  state.map_file = "maps/small.aim";
  const std::string bytes = campaign_save_bytes(state);
  const CampaignLoadResult loaded = parse_campaign_save(bytes, "a.sav", dir.path(), 301, 301);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  EXPECT_EQ(loaded.state->map_file, "maps/small.aim");  // kept as saved
  EXPECT_EQ(lines_of(campaign_save_bytes(*loaded.state))[0], "maps/small.aim");

  TempDir elsewhere;
  const CampaignLoadResult missing = parse_campaign_save(bytes, "a.sav", elsewhere.path(), 301, 301);
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.error.find(elsewhere.path()), std::string::npos) << missing.error;
}

TEST(SaveLoad, FewBlankLinesAfterTheLastCellAreIgnored) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  const std::string bytes = campaign_save_bytes(new_campaign(map_path)) + "\r\n\r\n";
  const CampaignLoadResult loaded = parse_campaign_save(bytes, "a.sav", dir.path(), 301, 301);
  EXPECT_TRUE(loaded.ok()) << loaded.error;
}

struct BadSave {
  const char* name;
  std::string bytes;
  std::string expect;
};

TEST(SaveLoad, RejectsDamagedSavesWithAReasonAndProducesNothing) {
  TempDir dir;
  const std::string map_path = dir.write("small.aim", kSmallMap);
  const std::string good = campaign_save_bytes(new_campaign(map_path));
  auto with_line = [&good](std::size_t index, const std::string& text) {
    auto lines = lines_of(good);
    lines[index] = text;
    return join(lines);
  };
  auto without_last = [&good](std::size_t count) {
    auto lines = lines_of(good);
    lines.resize(lines.size() - count);
    return join(lines);
  };
  std::string bigger = good;
  for (int i = 0; i < 30; ++i) bigger += "x\r\n";

  const BadSave cases[] = {
      {"empty file", "", "empty"},
      {"only two lines", map_path + "\r\n 1\r\n", "ends after line 2"},
      {"blank map line", with_line(0, "  "), "line 1 names no map file"},
      {"current team not a number", with_line(1, "one"), "line 2, the current team, is not a number: \"one\""},
      {"empty current team", with_line(1, ""), "line 2, the current team, is not a number"},
      {"team count not a number", with_line(2, " 2x"), "line 3, the number of teams, is not a number"},
      {"no teams", with_line(2, " 0"), "line 3 gives 0 teams"},
      {"eleven teams", with_line(2, " 11"), "line 3 gives 11 teams"},
      {"current team beyond the teams", with_line(1, " 3"), "team 3 as the current team"},
      {"current team zero", with_line(1, " 0"), "team 0 as the current team"},
      {"cut short by one line", without_last(1), "has 272 lines, but its map"},
      {"cut short by a cell", without_last(30), "needs 273"},
      {"a whole cell too many", bigger, "holds the fields of 10 cells"},
      {"map missing", with_line(0, dir.file("gone.aim")), "map is missing or unusable"},
  };
  for (const auto& c : cases) {
    const CampaignLoadResult result = parse_campaign_save(c.bytes, "/saves/bad.sav", dir.path(), 301, 301);
    EXPECT_FALSE(result.ok()) << c.name;
    EXPECT_FALSE(result.state.has_value()) << c.name;
    EXPECT_NE(result.error.find("\"/saves/bad.sav\""), std::string::npos) << c.name << ": " << result.error;
    EXPECT_NE(result.error.find(c.expect), std::string::npos) << c.name << ": " << result.error;
  }
}

TEST(SaveLoad, MapThatChangedInSizeIsRejected) {
  TempDir dir;
  const std::string map_path = dir.write("m.aim", kSmallMap);
  const std::string save = campaign_save_bytes(new_campaign(map_path));

  dir.write("m.aim", "1A11\r\n1111\r\n1111\r\n1111\r\n");
  CampaignLoadResult result = parse_campaign_save(save, "s.sav", dir.path(), 301, 301);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("4 by 4"), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("changed in size"), std::string::npos) << result.error;

  dir.write("m.aim", "1A\r\n11\r\n");
  result = parse_campaign_save(save, "s.sav", dir.path(), 301, 301);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("fields of 9 cells"), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("now has 4 (2 by 2)"), std::string::npos) << result.error;
}

TEST(SaveLoad, MapThatBecameUnusableIsRejectedWithTheMapsReason) {
  TempDir dir;
  const std::string map_path = dir.write("m.aim", kSmallMap);
  const std::string save = campaign_save_bytes(new_campaign(map_path));
  dir.write("m.aim", "1A1\r\n11\r\n111\r\n");
  const CampaignLoadResult result = parse_campaign_save(save, "s.sav", dir.path(), 301, 301);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("\"s.sav\""), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("line 2: the line holds 2 cells"), std::string::npos) << result.error;
}

TEST(SaveLoad, MissingOrUnreadableSaveFileIsRejected) {
  TempDir dir;
  CampaignLoadResult result = load_campaign_save(dir.file("none.sav"), dir.path(), 301, 301);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("none.sav"), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("does not exist"), std::string::npos) << result.error;

  result = load_campaign_save(dir.path(), dir.path(), 301, 301);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("folder"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace zorvane
