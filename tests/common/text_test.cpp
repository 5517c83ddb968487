#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "common/palette.h"
#include "common/paths.h"
#include "common/text.h"

namespace zorvane {
namespace {

// A text cut from a longer line (a column of a result file) is read only as far as it goes.
TEST(NumericValue, ReadsTheLeadingNumberAfterSpacesOrZero) {
  const double most = std::numeric_limits<double>::max();
  for (const auto& [text, value] :
       {std::pair<std::string_view, double>{"  42abc", 42}, {"3.75", 3.75}, {"-7", -7}, {".5", 0.5}, {"1e3x", 1000},
        {"2E2", 200}, {"5e", 5}, {"5e+", 5}, {"+4", 4}, {" \t-7.5e-1", -0.75}, {"1e999", most}, {"-1e999", -most},
        {"", 0}, {"abc", 0}, {"x12", 0}, {"1x5", 1}, {"-", 0}, {".", 0}, {std::string_view("1.25", 3), 1.2},
        {std::string_view("12", 1), 1}, {std::string_view("2e5", 2), 2}, {std::string_view("7e55", 3), 7e5}}) {
    EXPECT_EQ(numeric_value(text), value) << text;
  }
  EXPECT_EQ(std::tuple(whole_value(" 2.5x"), whole_value("3.5")), std::tuple(2LL, 4LL));
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  for (const auto& [x, rounded] : {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {30.5, 30}, {31.5, 32}, {-2.5, -2}, {-3.5, -4},
                                   {30.1, 30}, {2.51, 3}, {std::nan(""), 0}}) {
    EXPECT_EQ(round_half_even(x), rounded) << x;
  }
  EXPECT_EQ(std::pair(round_half_even(1e19), round_half_even(-1e19)),
            std::pair(std::numeric_limits<long long>::max(), std::numeric_limits<long long>::min()));
}

TEST(PrintForms, NumbersCarrySignSpaceAndTrailingSpaceAndBlanksAreTrimmed) {
  EXPECT_EQ(std::tuple(print_number(30832), print_number(-4), str_number(1), str_number(-1)),
            std::tuple(" 30832 ", "-4 ", " 1", "-1"));
  EXPECT_EQ(std::tuple(is_blank(""), is_blank("   "), is_blank(" a "), trim("  a b  ")), std::tuple(true, true, false, "a b"));
}

TEST(QuotedExcerpt, LongTextsAreCutToAShortPrefixNotInsideACharacter) {
  const std::string accented = std::string(59, 'a') + "\xC3\xA9tude";  // "é" spans bytes 60 and 61
  for (const auto& [text, expected] :
       {std::pair{std::string(), std::string("\"\"")}, {std::string(60, 'x'), "\"" + std::string(60, 'x') + "\""},
        {std::string(1 << 20, 'x'), "\"" + std::string(60, 'x') + "...\""}, {accented, "\"" + std::string(59, 'a') + "...\""},
        // Not a character: at most three continuation bytes are given back.
        {std::string(56, 'a') + std::string(10, '\x80'), "\"" + std::string(56, 'a') + "\x80...\""}}) {
    EXPECT_EQ(quoted_excerpt(text), expected) << text.size();
  }
}

// The folder part ends at the last separator; texts of four characters or fewer, texts
// without a separator, and separators in position 1 or 2 leave the text unchanged. The file
// name is the text after the last separator.
TEST(GetPath, TakesFolderPartAtLastSeparatorFromTheThirdPositionOnAndTheNameAfterIt) {
  for (const auto& [path, folder, name] :
       {std::tuple{"C:\\Games\\Vantor.exe", "C:\\Games", "Vantor.exe"}, {"C:\\Vantor.exe", "C:", "Vantor.exe"},
        {"/opt/games/Vantor.exe", "/opt/games", "Vantor.exe"}, {"C:/Games/sub\\Vantor.exe", "C:/Games/sub", "Vantor.exe"},
        {"C:\\a", "C:\\a", "a"}, {"", "", ""}, {"abcd", "abcd", "abcd"}, {"Vantor.exe", "Vantor.exe", "Vantor.exe"},
        {"\\Vantor.exe", "\\Vantor.exe", "Vantor.exe"}, {"a\\Vantor.exe", "a\\Vantor.exe", "Vantor.exe"},
        {"ab\\Vantor.exe", "ab", "Vantor.exe"}, {"maps/", "maps", ""}}) {
    EXPECT_EQ(GetPath(path), folder) << path;
    EXPECT_EQ(GetFileName(path), name) << path;
  }
}

TEST(JoinPath, UsesTheFoldersOwnSeparatorAndTakesRelativeSettingsAgainstTheProgramFolder) {
  const std::string sep(1, platform_separator());
  EXPECT_EQ(join_path("C:\\Games", "a.ai"), "C:\\Games\\a.ai");
  EXPECT_EQ(join_path("/opt/g", "a.ai"), "/opt/g/a.ai");
  EXPECT_EQ(join_path("", "a.ai"), sep + "a.ai");
  for (const auto& [folder, setting, path] :
       {std::tuple{"/prog", "vantor/Vantor.exe", "/prog" + sep + "vantor/Vantor.exe"},
        {"/prog/", " background.bmp ", "/prog" + sep + "background.bmp"}, {"/prog", "/abs/Vantor.exe", "/abs/Vantor.exe"},
        {"/prog", "C:\\Games\\Vantor.exe", "C:\\Games\\Vantor.exe"}, {"/prog", "   ", "   "}, {"", "a.bmp", "a.bmp"},
        {"/prog//", "a.bmp", "/prog" + sep + "a.bmp"}, {"/prog", "z:/a.bmp", "z:/a.bmp"}, {"/prog", "\\\\srv\\a", "\\\\srv\\a"},
        {"/prog", "C:a.bmp", "/prog" + sep + "C:a.bmp"}, {"/prog", "1:\\a", "/prog" + sep + "1:\\a"},
        {"/prog", "[:\\a", "/prog" + sep + "[:\\a"}, {"/prog", "@:/a", "/prog" + sep + "@:/a"}, {"/prog", "{:/a", "/prog" + sep + "{:/a"},
        {"/prog", "A:\\a", "A:\\a"}, {"/prog", "Z:/a", "Z:/a"}, {"/prog", "a:/a", "a:/a"}}) {
    EXPECT_EQ(resolve_in_folder(folder, setting), path) << setting;
  }
}

TEST(Palette, ColourValuesHaveRedInTheLowByte) {
  EXPECT_EQ(std::tuple(rgb(15, 165, 0), rgb(112, 120, 0), rgb(255, 255, 255)), std::tuple(42255u, 30832u, 16777215u));
  EXPECT_EQ(std::tuple(palette_color(1), palette_color(12), palette_color(14)),
            std::tuple(rgb(0, 0, 128), rgb(255, 0, 0), rgb(255, 255, 0)));
  EXPECT_EQ(std::tuple(red_of(rgb(1, 2, 3)), green_of(rgb(1, 2, 3)), blue_of(rgb(1, 2, 3))), std::tuple(1, 2, 3));
}

}  // namespace
}  // namespace zorvane
