// The campaign's state and values, its map files, its saves and its battle log.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "campaign/battle_log.h"
#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "campaign/state.h"
#include "campaign/value.h"
#include "common/linefile.h"
#include "test_files.h"

namespace zorvane {
namespace {

// A new state: team 1 to move and 1600 empty cells, fields out of range refused. Teams are
// the letters A to J; a cell's unit count is its highest non-blank slot, even with gaps below.
TEST(CampaignState, StartsWithTeamOneAndEmptyBoundedCellsTeamsAreLettersAndUnitsCountToTheHighestSlot) {
  const CampaignState state;
  EXPECT_EQ(std::tuple(state.cells.size(), state.current_team, state.team_count, state.turn, state.sel_state, state.marker_text_color),
            std::tuple(1600u, 1, 0, 0L, 0, 14));
  for (int n : {1, 1600}) {
    for (int f = 1; f <= kFieldCount; ++f) EXPECT_TRUE(state.field(n, f).is_empty()) << n << "/" << f;
  }
  for (const auto& [n, f] : {std::pair{0, 1}, {1601, 1}, {1, 0}, {1, 31}}) {
    EXPECT_THROW(state.field(n, f), std::out_of_range) << n << "/" << f;
  }
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(team_letter(k), std::string(1, static_cast<char>('A' + k - 1)));
    EXPECT_EQ(team_index(team_letter(k)), k);
  }
  for (const char* text : {"", "K", "a", "j", " A", "A ", "AB", "0"}) EXPECT_EQ(team_index(text), 0) << text;
  for (int k : {-1, 0, 11}) EXPECT_EQ(team_letter(k), "") << k;
  using Slots = std::vector<std::pair<int, const char*>>;
  for (const auto& [slots, count] : {std::pair{Slots{}, 0}, {Slots{{1, "scout.ai"}, {3, "tank.ai"}}, 3}, {Slots{{10, "medic.ai"}}, 10},
                                     {Slots{{1, "a.ai"}, {4, "   "}, {5, ""}}, 1}, {Slots{{2, "  "}}, 0}}) {
    Cell cell;
    // Slot k is field 20 + k, counted here from the raw index so the field layout is checked too.
    for (const auto& [slot, name] : slots) cell[static_cast<std::size_t>(19 + slot)] = Value::text(name);
    EXPECT_EQ(unit_count(cell), count) << count;
  }
}

// Numbers equal numeric texts (a saved " 30832 " equals 30832, "1e3" 1000); two texts compare
// as texts, in case; empty equals an empty text but not zero. A numeric text is a number as
// a whole, spaces around it aside.
TEST(ValueLooseEqual, ComparesNumbersWithNumericTextsAndTextsAsTexts) {
  for (const char* t : {" 30832 ", "-1.5", "2e2", "+.5", "1.", "1E-2", "7e+19"}) EXPECT_TRUE(text_is_numeric(t)) << t;
  for (const char* t : {"", "  ", "1x", "x1", "-", "1e", "1e+", ".e1", ".", "1.5.2", "1e2x", "- 1"}) EXPECT_FALSE(text_is_numeric(t)) << t;
  for (const auto& [a, b, equal] :
       {std::tuple{Value::whole(30832), Value::text(" 30832 "), true}, {Value::text(" 30832 "), Value::whole(30832), true},
        {Value::whole(30832), Value::text("30833"), false}, {Value::whole(2), Value::number(2.0), true},
        {Value::text("1e3"), Value::whole(1000), true}, {Value::text("5"), Value::text(" 5 "), false},
        {Value::text("A"), Value::text("A"), true}, {Value::text("A"), Value::text("a"), false}, {Value(), Value::text(""), true},
        {Value(), Value::whole(0), false}, {Value::text("A"), Value::whole(0), false}, {Value::text("12abc"), Value::whole(12), false}}) {
    EXPECT_EQ(loose_equal(a, b), equal) << a.to_text() << " / " << b.to_text();
  }
}

// Each kind converts to text, number and whole number and saves in its own form; halves
// round to even.
TEST(ValueForms, EachKindConvertsAndSavesInItsOwnForm) {
  for (const auto& [value, text, number, whole, save_line, blank] :
       {std::tuple{Value(), "", 0.0, 0LL, "", true}, {Value::text("   "), "   ", 0, 0, "   ", true},
        {Value::text(" 42abc"), " 42abc", 42, 42, " 42abc", false}, {Value::text("brawler.ai "), "brawler.ai ", 0, 0, "brawler.ai ", false},
        {Value::text(" 2.5 "), " 2.5 ", 2.5, 2, " 2.5 ", false}, {Value::text(" 3.5 "), " 3.5 ", 3.5, 4, " 3.5 ", false},
        {Value::whole(30832), "30832", 30832, 30832, " 30832 ", false}, {Value::whole(0), "0", 0, 0, " 0 ", false},
        {Value::whole(-5), "-5", -5, -5, "-5 ", false}, {Value::number(2.0), "2", 2, 2, " 2 ", false},
        {Value::number(30.5), "30.5", 30.5, 30, " 30.5 ", false}, {Value::number(0.25), "0.25", 0.25, 0, " 0.25 ", false},
        {Value::number(-2.5), "-2.5", -2.5, -2, "-2.5 ", false}, {Value::number(-3.0), "-3", -3, -3, "-3 ", false},
        {Value::number(1e16), "1e+16", 1e16, 10000000000000000LL, " 1e+16 ", false}}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(std::tuple(value.to_text(), value.to_number(), value.to_whole(), value.save_line(), value.is_blank()),
              std::tuple(text, number, whole, save_line, blank));
  }
}

using testing::read_bytes;
using testing::TempDir;

// An advance into an empty cell ends with an empty value and its tab; numbers are plain
// digits. A campaign loaded where no new campaign ever ran has no log yet: appending makes it.
TEST(BattleLog, ResetLeavesTheHeaderAndAppendsAddTabEndedLines) {
  TempDir dir;
  const std::string log = dir.write("blog.txt", "an old campaign's lines\r\n1\tA\t1\tAdvance\tMove\t2\t\t\r\n");
  const FileResult result = reset_battle_log(log);
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_TRUE(append_battle_log(log, {3, "A", 2, "Advance", "Move", 4, ""}).ok);
  ASSERT_TRUE(append_battle_log(log, {1600, "J", 10, "Augment", "Add", 1600, "J"}).ok);
  EXPECT_EQ(read_bytes(log), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n3\tA\t2\tAdvance\tMove\t4\t\t\r\n1600\tJ\t10\tAugment\tAdd\t1600\tJ\t\r\n");
  ASSERT_TRUE(append_battle_log(dir.file("new.txt"), {12, "B", 5, "Advance", "Attack", 13, "C"}).ok);
  EXPECT_EQ(read_bytes(dir.file("new.txt")), "12\tB\t5\tAdvance\tAttack\t13\tC\t\r\n");
  // Failures say why and name the file.
  const std::string lost = dir.file("missing-folder/blog.txt");
  for (const FileResult& failed : {reset_battle_log(lost), append_battle_log(lost, {1, "A", 1, "Advance", "Move", 2, ""})}) {
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("battle log \"" + lost + "\""), std::string::npos) << failed.error;
  }
}

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

TEST(MapReader, SmallMapReplacesEveryCellButLeavesTheTurnAloneAndCellSizesRoundHalvesToEven) {
  CampaignState state;
  std::tie(state.current_team, state.turn, state.action_count, state.team_count) = std::tuple(2, 7L, 12L, 9);
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
    const auto field = [&](int f) { return state.field(n, f); };
    EXPECT_EQ(std::tuple(field(cell_no), field(terrain), field(terrain_color), field(owner), field(x_px), field(y_px)),
              std::tuple(Value::whole(n), Value::text(std::string(1, terrains[n - 1])), Value::whole(colours[n - 1]),
                         *owners[n - 1] ? Value::text(owners[n - 1]) : Value(), Value::whole((n - 1) % 3 * 100),
                         Value::whole((n - 1) / 3 * 50))) << n;
    for (int f : {4, 5, 8, 9, 11, 20, 21, 30}) EXPECT_TRUE(state.field(n, f).is_empty()) << n << "/" << f;
  }
  EXPECT_TRUE(state.field(10, cell_no).is_empty() && state.field(1600, owner).is_empty());
  // A carriage return alone ends a line too.
  EXPECT_TRUE(applied("12A\r3B4\r555", 301, 151).cells == state.cells);
  // Cell sizes are the pixels less one over the first line's length, halves rounded to even;
  // with ten characters on the first line, both sides divide by ten.
  for (const auto& [pixels, size] : {std::pair{301, 30}, {302, 30}, {306, 30}, {316, 32}}) {
    const CampaignState sized = applied(square_map(10), pixels, 316);
    EXPECT_EQ(std::pair(sized.cell_w, sized.cell_h), std::pair(size, 32)) << pixels;
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
  // fields: cell, field, value
  using Fields = std::vector<std::tuple<int, int, Value>>;
  for (const auto& [name, bytes, teams, side, fields] : std::vector<std::tuple<const char*, std::string, int, int, Fields>>{
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
  }) {
    const CampaignState state = applied(bytes);
    EXPECT_EQ(state.team_count, teams) << name;
    EXPECT_EQ(state.grid_rows, side) << name;
    EXPECT_EQ(state.grid_cols, side) << name;
    for (const auto& [n, f, value] : fields) EXPECT_EQ(state.field(n, f), value) << name << ": " << n << "/" << f;
  }
}

TEST(MapReader, RejectsUnusableMapsNamingFileLineAndProblem) {
  // 41 lines of 41 with two of them blank: under 1600 cells, but the grid is too big.
  std::string blank_rows = square_map(41);
  for (std::size_t at : {10u * 43, 20u * 43 - 41}) blank_rows.erase(at, 41);
  // line: "" when the problem is not on one line
  for (const auto& [name, bytes, line, problem] : std::vector<std::tuple<const char*, std::string, std::string, std::string>>{
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
       "(line 1, column 2 holds byte C3, which is not plain ASCII"}
  }) {
    const MapReadResult result = parse_map(bytes, "maps/bad.aim");
    EXPECT_FALSE(result.map.has_value()) << name;
    for (const std::string& part : {std::string("\"maps/bad.aim\""), line, problem}) {
      EXPECT_NE(result.error.find(part), std::string::npos) << name << ": " << result.error;
    }
  }
}

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

  TempDir dir;
  const std::string map_path = dir.write("small.aim", "12A\r\n3B4\r\n555\r\n");
};

// A save holds the map, the counters and thirty lines per cell; loaded and saved again it
// differs only in the pixel positions.
TEST_F(SmallCampaign, SaveHoldsThirtyLinesPerCellAndSaveLoadSaveDiffersOnlyInPixelPositions) {
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
  const auto a = split_lines_cr(first);
  ASSERT_EQ(a.size(), 273u);
  const std::vector<std::string> head = {map_path, " 2", " 2", " 1 ", "", " 42255 ", "", "", " 0 ", " 0 ", "", "", "1"};
  for (std::size_t i = 0; i < head.size(); ++i) EXPECT_EQ(a[i], head[i]) << "line " << i + 1;
  // Cell 9's unit_10 is the last line.
  EXPECT_EQ(std::tuple(a[field_line(3, owner)], a[field_line(5, x_px)], a[field_line(9, terrain)], a[272]),
            std::tuple("A", " 100 ", "5", ""));
  // Every line ends with CR LF, the last one included, and nothing else separates lines.
  EXPECT_EQ(join_crlf(a), first);

  // Loaded into a smaller picture: cells 50 by 40 pixels instead of 100 by 100.
  const CampaignLoadResult loaded = load_campaign_save(first_path, dir.path(), 151, 121);
  ASSERT_TRUE(loaded.ok()) << loaded.error;
  EXPECT_EQ(loaded.state->field(3, unit_1 + 1), Value::text("sniper.ai "));
  // Loaded fields are texts that still compare equal to the numbers of a new campaign.
  EXPECT_EQ(loaded.state->field(1, terrain_color), Value::text(" 42255 "));
  EXPECT_TRUE(loose_equal(loaded.state->field(1, terrain_color), state.field(1, terrain_color)));
  const std::string second_path = dir.file("second.sav");
  ASSERT_TRUE(write_campaign_save(second_path, *loaded.state).ok);
  const auto b = split_lines_cr(read_bytes(second_path));
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    const int f = i < 3 ? 0 : static_cast<int>((i - 3) % 30) + 1;  // the field on line i + 1
    if (f != x_px && f != y_px) { EXPECT_EQ(a[i], b[i]) << "line " << i + 1; }
  }
  // Cell 5 (row 2, column 2) moved to the smaller picture's grid.
  EXPECT_EQ(std::pair(b[field_line(5, x_px)], b[field_line(5, y_px)]), std::pair(std::string(" 50 "), std::string(" 40 ")));
}

// A carriage return would split a value over two lines and shift every later field, and a
// grid beyond the cell table would be written from cells that do not exist; a line feed alone
// stays inside its line. Refused, or failing on a full disk, a save keeps the old one whole.
TEST_F(SmallCampaign, UnsavableStateIsRefusedBeforeWritingAndAFailedWriteKeepsTheOldSave) {
  const std::string save = dir.write("game.sav", "kept");
  // problem: "" for none
  for (const auto& [spoil, problem] : std::vector<std::tuple<std::function<void(CampaignState&)>, const char*>>{
      {[](CampaignState& s) { s.field(4, unit_1) = Value::text("bad\rname.ai"); }, "field 21 of cell 4 holds a line break"},
      {[](CampaignState& s) { s.field(9, kFieldCount) = Value::text("x\r"); }, "field 30 of cell 9 holds a line break"},
      {[](CampaignState& s) { s.map_file += "\r"; }, "the map file's name holds a line break"},
      {[](CampaignState& s) { s.grid_rows = s.grid_cols = 41; }, "grid of 41 by 41 cells does not fit"},
      {[](CampaignState& s) { s.grid_rows = -1; }, "grid of -1 by 3 cells"},
      {[](CampaignState& s) { s.field(9, kFieldCount) = Value::text("line\nfeed"); }, ""}
  }) {
    CampaignState state = new_campaign();
    spoil(state);
    EXPECT_NE(campaign_save_problem(state).value_or("").find(problem), std::string::npos) << problem;
    EXPECT_EQ(campaign_save_problem(state).has_value(), *problem != 0) << problem;
    if (*problem) {
      const FileResult result = write_campaign_save(save, state);
      EXPECT_FALSE(result.ok);
      EXPECT_NE(result.error.find(problem), std::string::npos) << result.error;
    }
  }
  FileResult full;
  {
    testing::FileSizeLimit limit(64);  // a save of 9 cells is several hundred bytes
    full = write_campaign_save(save, new_campaign());
  }
  EXPECT_FALSE(full.ok);
  EXPECT_NE(full.error.find("\"" + save + "\""), std::string::npos) << full.error;
  EXPECT_EQ(read_bytes(save), "kept");
  EXPECT_FALSE(std::filesystem::exists(save + ".saving"));
}

// The team counters are the save's (halves rounded to even, one to ten teams), not the map's
// two, and the turn starts again; a few blank lines after the last cell are ignored. A
// relative map path is taken against the program folder (the tests do not run in the
// temporary folder), and kept as saved.
TEST_F(SmallCampaign, CountersComeFromTheSaveAndTurnStartsAgain) {
  CampaignState state = new_campaign();
  state.turn = 7;
  state.action_count = 20;
  for (const auto& [map, current, teams, expected] :
       {std::tuple{map_path, " 2.5", " 4", std::pair(2, 4)}, {map_path, "1", "1 ", std::pair(1, 1)},
        {map_path, " 10", " 10", std::pair(10, 10)}, {std::string("small.aim"), "3.5", "4.5", std::pair(4, 4)}}) {
    auto lines = split_lines_cr(campaign_save_bytes(state));
    std::tie(lines[0], lines[1], lines[2]) = std::tuple(map, current, teams);
    const CampaignLoadResult loaded = parse_campaign_save(join_crlf(lines) + "\r\n\r\n", "s.sav", dir.path(), 301, 301);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    const CampaignState& s = *loaded.state;
    EXPECT_EQ(std::tuple(s.current_team, s.team_count, s.turn, s.action_count, s.map_file),
              std::tuple(expected.first, expected.second, 0L, 0L, map));
  }
}

// Damaged saves are refused, naming the file and what is wrong, and produce nothing. Only the
// lines the map needs, and 30 more, are read: a save cannot make the program take in more than
// that, however large the file. A missing save, or one that is not a plain file, is refused too.
TEST_F(SmallCampaign, RejectsDamagedLargeMissingOrUnreadableSavesWithAReason) {
  const std::string good = campaign_save_bytes(new_campaign());
  int saves = 0;
  const auto save = [&](const std::string& bytes) { return dir.write("s" + std::to_string(++saves) + ".sav", bytes); };
  const auto with_line = [&](std::size_t index, const std::string& text) {
    auto lines = split_lines_cr(good);
    lines[index] = text;
    return save(join_crlf(lines));
  };
  std::string bigger = good;
  for (int i = 0; i < 30; ++i) bigger += "x\r\n";
  const std::string huge = save(bigger), large = save(map_path + "\r\n 1\r\n 2\r\n");
  std::filesystem::resize_file(huge, 70u << 20);  // sparse: costs no disk
  std::filesystem::resize_file(large, 17u << 20);
  for (const auto& [name, path, expect] : std::vector<std::tuple<const char*, std::string, std::string>>{
      {"empty file", save(""), "empty"},
      {"only two lines", save(map_path + "\r\n 1\r\n"), "ends after line 2"},
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
      {"cut short by one line", save(good.substr(0, good.size() - 2)), "has 272 lines, but its map"},  // the last is ""
      {"a whole cell too many", save(bigger), "holds the fields of 10 cells"},
      {"map missing", with_line(0, dir.file("gone.aim")), "map is missing or unusable"},
      {"map is a device", with_line(0, "/dev/ptmx"), "cannot be read: it is a device, not a file"},
      {"map grown", with_line(0, dir.write("big.aim", "1A11\r\n1111\r\n1111\r\n1111\r\n")), "(4 by 4 cells) needs 483"},
      {"map shrunk", with_line(0, dir.write("tiny.aim", "1A\r\n11\r\n")), "now has 4 (2 by 2); the map has changed"},
      {"map now broken", with_line(0, dir.write("bad.aim", "1A1\r\n11\r\n111\r\n")), "line 2: the line holds 2 cells"},
      {"huge file", huge, "holds the fields of 10 cells or more"},
      {"large file", large, "cannot be read: the file is larger than 16 MiB"},
      {"missing", dir.file("none.sav"), "does not exist"},
      {"folder", dir.path(), "folder"},
      {"named pipe", dir.fifo("pipe.sav"), "it is a named pipe, not a file"}
  }) {
    const CampaignLoadResult result = load_campaign_save(path, dir.path(), 301, 301);
    EXPECT_FALSE(result.state.has_value()) << name;
    EXPECT_LT(result.error.size(), 1000u) << name;
    EXPECT_NE(result.error.find("\"" + path + "\""), std::string::npos) << name << ": " << result.error;
    EXPECT_NE(result.error.find(expect), std::string::npos) << name << ": " << result.error;
  }
}


// A save rewritten in place (its folder takes no new file) loads as the old campaign before
// the rewrite and as the new one after it; cut at any point between, as by a power loss, it
// does not load, and says that the file may be damaged: it never loads as a mix of the two.
TEST_F(SmallCampaign, ASaveRewrittenInPlaceAndCutAnywhereNeverLoadsAsAMix) {
  CampaignState before = new_campaign();
  for (int n = 1; n <= 9; ++n) {
    before.field(n, owner) = Value::text("B");
    for (int k = 0; k < 10; ++k) before.field(n, unit_1 + k) = Value::text("tank.ai");
  }
  CampaignState now = new_campaign();
  now.current_team = 2;
  now.field(5, unit_1) = Value::text("scout.ai");
  const std::string old_bytes = campaign_save_bytes(before), new_bytes = campaign_save_bytes(now);
  const auto loaded_as = [&](const std::string& bytes) {
    const CampaignLoadResult loaded = parse_campaign_save(bytes, "s.sav", dir.path(), 301, 301);
    return loaded.ok() ? campaign_save_bytes(*loaded.state) : loaded.error;
  };
  const std::string as_old = loaded_as(old_bytes), as_new = loaded_as(new_bytes);
  const std::vector<InPlaceStep> steps = in_place_steps(new_bytes);
  std::size_t total = 0;  // a truncation counts as one
  for (const InPlaceStep& step : steps) total += step.truncate ? 1 : step.bytes.size();
  for (std::size_t cut = 0; cut <= total; ++cut) {
    std::string file = old_bytes;
    std::size_t left = cut;
    for (const InPlaceStep& step : steps) {
      const std::size_t n = std::min(left, step.truncate ? std::size_t{1} : step.bytes.size());
      if (step.truncate && n == 1) file.resize(step.offset);
      if (!step.truncate) {
        file.resize(std::max<std::size_t>(file.size(), step.offset + n));
        file.replace(step.offset, n, step.bytes.substr(0, n));
      }
      left -= n;
    }
    const std::string loaded = loaded_as(file);
    if (cut == 0 || cut == total) {
      EXPECT_EQ(loaded, cut == 0 ? as_old : as_new);
    } else {
      ASSERT_NE(loaded.find("cannot be loaded: line 1 names no map file; the file may be damaged."), std::string::npos)
          << "cut after " << cut << " of " << total << ": " << loaded.substr(0, 200);
    }
  }
}

}  // namespace
}  // namespace zorvane
