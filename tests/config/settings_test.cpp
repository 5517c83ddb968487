#include <gtest/gtest.h>

#include "common/linefile.h"
#include "config/settings.h"
#include "test_files.h"

namespace zorvane {
namespace {

Settings sample_settings() {
  Settings s;
  s.game_exe_path = "C:\\Games\\Vantor.exe";
  s.terrain_maps = {"a.map", "b.map", " c.map", "d.map ", "e.map"};
  s.battle_damage = "100";
  s.battle_fuel = "200";
  s.battle_ammo = "300";
  s.battle_click_limit = "400";
  s.last_alive_bonus = 1;
  s.disable_strategy_node = 0;
  s.shield_overheat = 2;
  s.blood_mode = 1;
  s.computer_controlled = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
  s.augment_below = "2";
  s.augment_max_fill = "3";
  s.movement_patterns = {"12345678", "87654321", "1", "", "5", "x", "  33  ", "8"};
  s.background_image = "back.bmp";
  s.turn_limit = "";
  s.auto_snapshot = 1;
  s.run_maximized = true;
  s.window_width = "800";
  s.window_height = "600";
  return s;
}

TEST(ConfigFile, WritesFortyOneLinesInFileOrderWithTheirFormats) {
  const std::string expected =
      "C:\\Games\\Vantor.exe\r\na.map\r\nb.map\r\n c.map\r\nd.map \r\ne.map\r\n"
      "100\r\n200\r\n300\r\n400\r\n"
      " 1 \r\n 0 \r\n 2 \r\n 1 \r\n"
      " 0 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n"
      "2\r\n3\r\n"
      "12345678\r\n87654321\r\n1\r\n\r\n5\r\nx\r\n  33  \r\n8\r\n"
      "back.bmp\r\n\r\n 1 \r\nTrue\r\nFalse\r\n800\r\n600\r\n";
  EXPECT_EQ(config_file_bytes(sample_settings()), expected);
}

TEST(ConfigFile, SetSizeIsWrittenAsTheChosenOption) {
  Settings s;
  const auto lines = config_lines(s);
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(lines[37], "False");
  EXPECT_EQ(lines[38], "True");
  EXPECT_EQ(lines[39], "640");
  EXPECT_EQ(lines[40], "480");
}

TEST(ConfigFile, WrittenFileReadsBackToTheSameValues) {
  const Settings original = sample_settings();
  Settings read;
  ASSERT_TRUE(apply_config_lines(split_lines_any(config_file_bytes(original)), read));
  EXPECT_EQ(config_file_bytes(read), config_file_bytes(original));
  EXPECT_EQ(read.terrain_maps[2], " c.map");
  EXPECT_EQ(read.terrain_maps[3], "d.map ");
  EXPECT_EQ(read.movement_patterns[6], "  33  ");
  EXPECT_EQ(read.shield_overheat, 2);
  EXPECT_TRUE(read.run_maximized);
}

TEST(ParseCheck, NumericValueRoundedDecidesTheBox) {
  struct Case {
    const char* line;
    int value;
  };
  const Case cases[] = {{"1", 1},   {" 1 ", 1},  {"1.4", 1}, {"1.5", 2},  {"0.5", 0}, {"2", 2},
                        {"", 0},    {"0", 0},    {"abc", 0}, {"  2x", 2}, {"3", 0},   {"-1", 0},
                        {"1e400", 0}, {"0.51", 1}};
  for (const Case& c : cases) EXPECT_EQ(parse_check(c.line), c.value) << "line \"" << c.line << "\"";
}

TEST(ParseOption, TrueInAnyCaseChoosesTheOption) {
  EXPECT_TRUE(parse_option("True"));
  EXPECT_TRUE(parse_option("TRUE"));
  EXPECT_TRUE(parse_option("  tRuE  "));
  EXPECT_FALSE(parse_option("False"));
  EXPECT_FALSE(parse_option(""));
  EXPECT_FALSE(parse_option("yes"));
  EXPECT_FALSE(parse_option("true1"));
}

// An option line that does not say True leaves the option as it is; "Set Size" (line 39)
// is applied last, so it wins when both say True.
TEST(ApplyConfig, OptionLinesChooseOnlyWhenTheySayTrue) {
  const struct {
    const char* maximized;
    const char* set_size;
    bool before, after;
  } cases[] = {{"False", "False", false, false}, {"False", "False", true, true}, {"True", "true", true, false},
               {"True", "False", false, true}};
  for (const auto& c : cases) {
    std::vector<std::string> lines(41);
    lines[37] = c.maximized;
    lines[38] = c.set_size;
    Settings s;
    s.run_maximized = c.before;
    EXPECT_TRUE(apply_config_lines(lines, s));
    EXPECT_EQ(s.run_maximized, c.after) << c.maximized << " " << c.set_size << " " << c.before;
  }
}

TEST(ApplyConfig, FortyLinesFillFortyValuesAndEmptyTheHeight) {
  auto lines = config_lines(sample_settings());
  lines.pop_back();
  Settings s;
  EXPECT_FALSE(apply_config_lines(lines, s));
  EXPECT_EQ(s.window_width, "800");
  EXPECT_EQ(s.window_height, "");
  EXPECT_EQ(s.game_exe_path, "C:\\Games\\Vantor.exe");
  EXPECT_TRUE(s.run_maximized);
}

TEST(ApplyConfig, NoFileEmptiesTextsUnchecksBoxesAndKeepsTheOption) {
  Settings s = sample_settings();
  s.run_maximized = false;
  EXPECT_FALSE(apply_config_lines({}, s));
  for (const auto& info : setting_table()) {
    if (info.kind == SettingKind::Text) {
      EXPECT_EQ(*text_setting(s, info.line), "") << info.name;
    }
    if (info.kind == SettingKind::Check) {
      EXPECT_EQ(*check_setting(s, info.line), 0) << info.name;
    }
  }
  EXPECT_FALSE(s.run_maximized);
}

// A line break in a text would shift every later setting by a line on the next start.
TEST(ConfigFile, TextsAreWrittenWithoutLineBreaks) {
  Settings s = sample_settings();
  s.game_exe_path = "C:\\Games\r\n\\Vantor.exe\n";
  s.window_height = "6\r00";
  const auto lines = split_lines_any(config_file_bytes(s));
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(lines[0], "C:\\Games\\Vantor.exe");
  EXPECT_EQ(lines[40], "600");
}

// config.dat is read only as far as its 41 lines, each kept to a sane length; what is not
// a plain file counts as missing instead of blocking the start.
TEST(ReadConfigLines, TakesFortyOneLinesOfAPlainFileAtMost) {
  testing::TempDir dir;
  const std::string good = config_file_bytes(sample_settings());
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 37) % 256);
  const struct {
    std::string path;
    std::vector<std::string> expected;
  } cases[] = {
      {dir.write("more.dat", good + "extra\r\nlines\r\n"), config_lines(sample_settings())},
      {dir.write("feeds.dat", std::string(1 << 20, '\n')), std::vector<std::string>(41)},
      {dir.write("long.dat", std::string(100000, 'A') + "\r\nnext"), {std::string(4096, 'A'), "next"}},
      {dir.write("junk.dat", junk), split_lines_any(junk)},
      {dir.fifo("pipe.dat"), {}},
      {dir.path(), {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read_config_lines(c.path), c.expected) << c.path;
}

TEST(SettingTable, ControlsAndLinesFollowTheFileOrder) {
  const auto& table = setting_table();
  for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(table[i].line, static_cast<int>(i) + 1);
  EXPECT_STREQ(table[0].control, "Text1");
  EXPECT_STREQ(table[14].control, "Check5");
  EXPECT_STREQ(table[23].control, "Check14");
  EXPECT_STREQ(table[26].control, "Text14");
  EXPECT_STREQ(table[34].control, "Text22");
  EXPECT_STREQ(table[36].control, "Check15");
  EXPECT_STREQ(table[40].control, "Text25");
}

}  // namespace
}  // namespace zorvane
