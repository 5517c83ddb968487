#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/linefile.h"
#include "config/army.h"
#include "config/roster.h"
#include "config/settings.h"
#include "test_files.h"

namespace zorvane {
namespace {

using testing::sample_settings;

// Read back, every text keeps its spaces, and "Set Size" is written as the other option.
TEST(ConfigFile, WritesFortyOneLinesInFileOrderThatReadBackToTheSameValues) {
  const std::string expected =
      "C:\\Games\\Vantor.exe\r\nC:\\maps\\green.map\r\nC:\\maps\\dark.map\r\n C:\\maps\\brown.map\r\n"
      "C:\\maps\\red.map \r\nC:\\maps\\white.map\r\n100\r\n200\r\n300\r\n400\r\n"
      " 1 \r\n 0 \r\n 2 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n2\r\n3\r\n"
      "12345678\r\n87654321\r\n1\r\n\r\n5\r\nx\r\n  33  \r\n8\r\nback.bmp\r\n\r\n 1 \r\nTrue\r\nFalse\r\n800\r\n600\r\n";
  EXPECT_EQ(config_file_bytes(sample_settings()), expected);
  Settings read;
  ASSERT_TRUE(apply_config_lines(split_lines_any(expected), read));
  EXPECT_EQ(config_file_bytes(read), expected);
  const auto lines = config_lines(Settings{});
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 37, lines.end()), (std::vector<std::string>{"False", "True", "640", "480"}));
  // A line break in a text would shift every later setting by a line on the next start.
  Settings broken = sample_settings();
  broken.game_exe_path = "C:\\Games\r\n\\Vantor.exe\n";
  broken.window_height = "6\r00";
  EXPECT_EQ(config_file_bytes(broken), expected);
}

TEST(ParseCheck, NumericValueRoundedDecidesTheBoxAndTrueTheOption) {
  for (const auto& [line, value] : {std::pair{"1", 1}, {" 1 ", 1}, {"1.4", 1}, {"1.5", 2}, {"0.5", 0}, {"2", 2}, {"", 0},
                                    {"abc", 0}, {"  2x", 2}, {"3", 0}, {"-1", 0}, {"1e400", 0}, {"0.51", 1}}) {
    EXPECT_EQ(parse_check(line), value) << "line \"" << line << "\"";
  }
  // An option is chosen by "True" in any case.
  for (const char* yes : {"True", "TRUE", "  tRuE  "}) EXPECT_TRUE(parse_option(yes)) << yes;
  for (const char* no : {"False", "", "yes", "true1", "nope", "tru"}) EXPECT_FALSE(parse_option(no)) << no;
}

// An option line that does not say True leaves the option as it is; "Set Size" (line 39)
// is applied last, so it wins when both say True. Forty lines fill forty values and empty the
// height; no file empties texts, unchecks boxes and keeps the option.
TEST(ApplyConfig, OptionLinesChooseOnlyWhenTheySayTrueAndShortOrMissingFilesEmptyWhatTheyLack) {
  // Lines 38 and 39, the option before, and after.
  for (const auto& [maximized, set_size, before, after] : {std::tuple{"False", "False", false, false},
                                                           {"False", "False", true, true}, {"True", "true", true, false},
                                                           {"True", "False", false, true}}) {
    std::vector<std::string> lines(41);
    std::tie(lines[37], lines[38]) = std::pair(maximized, set_size);
    Settings s;
    s.run_maximized = before;
    EXPECT_TRUE(apply_config_lines(lines, s));
    EXPECT_EQ(s.run_maximized, after) << maximized << " " << set_size << " " << before;
  }
  auto lines = config_lines(sample_settings());
  lines.pop_back();
  Settings s;
  EXPECT_FALSE(apply_config_lines(lines, s));
  EXPECT_EQ(std::tuple(s.window_width, s.window_height, s.game_exe_path, s.run_maximized),
            std::tuple("800", "", "C:\\Games\\Vantor.exe", true));
  s = sample_settings();
  s.run_maximized = false;
  EXPECT_FALSE(apply_config_lines({}, s));
  for (const auto& info : setting_table()) {
    if (info.kind == SettingKind::Text) { EXPECT_EQ(*text_setting(s, info.line), "") << info.name; }
    if (info.kind == SettingKind::Check) { EXPECT_EQ(*check_setting(s, info.line), 0) << info.name; }
  }
  EXPECT_FALSE(s.run_maximized);
}

// config.dat is read only as far as its 41 lines, each kept to a sane length; what is not
// a plain file counts as missing instead of blocking the start.
TEST(ReadConfigLines, TakesFortyOneLinesOfAPlainFileAtMost) {
  testing::TempDir dir;
  const std::string good = config_file_bytes(sample_settings());
  for (const auto& [path, expected] : std::vector<std::tuple<std::string, std::vector<std::string>>>{
      {dir.write("more.dat", good + "extra\r\nlines\r\n"), config_lines(sample_settings())},
      {dir.write("feeds.dat", std::string(1 << 20, '\n')), std::vector<std::string>(41)},
      {dir.write("long.dat", std::string(100000, 'A') + "\r\nnext"), {std::string(4096, 'A'), "next"}},
      {dir.fifo("pipe.dat"), {}},
      {dir.path(), {}}
  })
    EXPECT_EQ(read_config_lines(path), expected) << path;
}

// Numbered unit names, one a line, each line ended by `end`.
std::string numbered_lines(int count, const char* end = "\r\n") {
  std::string out;
  for (int i = 1; i <= count; ++i) out += "u" + std::to_string(i) + ".ai" + end;
  return out;
}

// c_data.dat fills the table in cycles of 50 lines, streamed so that a file of any length
// costs one line of memory; long lines are cut, and what is not a plain file empties all.
TEST(RosterFile, FillsFiftyLineCyclesAndRefusesWhatIsNotAFileAndWritesTeamByTeam) {
  testing::TempDir dir;
  // slots: team and slot from 0, entry
  for (const auto& [path, slots] : std::vector<std::tuple<std::string, std::vector<std::tuple<int, int, std::string>>>>{
      {dir.write("seven.dat", numbered_lines(7)), {{0, 4, "u5.ai"}, {1, 0, "u6.ai"}, {1, 1, "u7.ai"}, {1, 2, ""}}},
      {dir.write("fifty-one.dat", numbered_lines(51)), {{0, 0, "u51.ai"}, {0, 1, "u2.ai"}, {9, 4, "u50.ai"}}},
      {dir.write("lf.dat", numbered_lines(120, "\n")), {{0, 0, "u101.ai"}, {3, 4, "u120.ai"}, {4, 0, "u71.ai"}}},
      {dir.write("spaces.dat", "  tank.ai  \r\n"), {{0, 0, "tank.ai"}, {0, 1, ""}}},
      {dir.write("long.dat", std::string(1 << 20, 'x') + "\r\nb.ai"), {{0, 0, std::string(4096, 'x')}, {0, 1, "b.ai"}}},
      {dir.fifo("pipe.dat"), {{0, 0, ""}}},
      {dir.file("missing.dat"), {{0, 0, ""}}}
  }) {
    Roster r;
    r[0][0] = r[9][4] = "left over";
    read_roster_file(path, r);
    for (const auto& [team, slot, entry] : slots) EXPECT_EQ(r[team][slot], entry) << path << " " << team << slot;
    if (slots.size() == 1) { EXPECT_EQ(r, Roster{}) << path; }
  }
  // Written fifty lines team by team, a roster reads back the same.
  Roster r{};
  r[0] = {"a.ai", "b.ai", "", "", ""};
  r[9] = {"j1.ai", "", "", "", "j5.ai"};
  std::vector<std::string> lines(50);
  std::tie(lines[0], lines[1], lines[45], lines[49]) = std::tuple("a.ai", "b.ai", "j1.ai", "j5.ai");
  EXPECT_EQ(roster_file_bytes(r), join_crlf(lines));
  Roster back;
  read_roster_file(dir.write("c_data.dat", roster_file_bytes(r)), back);
  EXPECT_EQ(back, r);
}

// A team's army holds five units at most, counted up to the last filled roster slot; the same
// unit may be added twice; removing packs the roster; nothing selected does nothing.
TEST(Army, AddStopsAtFiveCountedUpToTheLastFilledSlotAndRemovePacksTheRoster) {
  Roster r{};
  r[9] = {"a.ai", "", "c.ai", "", ""};
  ArmySelection panel;
  assignments(panel, r, 10, {"a.ai", "b.ai", "c.ai"});
  EXPECT_EQ(std::pair(panel.army, panel.army_count), std::pair(std::vector<std::string>{"a.ai", "c.ai"}, 3));
  EXPECT_FALSE(army_add(panel, -1) || army_add(panel, 3) || army_remove(panel, 2) || army_remove(panel, -1));
  EXPECT_TRUE(army_add(panel, 1) && army_add(panel, 1));
  EXPECT_FALSE(army_add(panel, 0));  // counted five, though the list holds four
  c_update(panel, r, 10);
  EXPECT_EQ(r[9], (std::array<std::string, 5>{"a.ai", "c.ai", "b.ai", "b.ai", ""}));
  EXPECT_TRUE(army_remove(panel, 1));
  c_update(panel, r, 10);
  EXPECT_EQ(r[9], (std::array<std::string, 5>{"a.ai", "b.ai", "b.ai", "", ""}));
  EXPECT_TRUE(army_add(panel, 2));  // removing made room for one
  EXPECT_FALSE(army_add(panel, 0));
  EXPECT_EQ(panel.army, (std::vector<std::string>{"a.ai", "b.ai", "b.ai", "c.ai"}));
}

TEST(ListUnitPrograms, FindsAiFilesInLowerCaseSkippingFoldersHiddenAndUnsafeNames) {
  testing::TempDir dir;
  for (const char* name : {"Tank.AI", "scout.ai", "notes.txt", ".hidden.ai", "bad\nname.ai", "tab\tname.ai"}) dir.write(name, "x");
  std::filesystem::create_directory(dir.file("folder.ai"));
  EXPECT_EQ(list_unit_programs(dir.path()), (std::vector<std::string>{"scout.ai", "tank.ai"}));
  EXPECT_TRUE(list_unit_programs(dir.file("missing")).empty());
}

}  // namespace
}  // namespace zorvane
