#include <gtest/gtest.h>

#include "common/palette.h"
#include "common/paths.h"

namespace zorvane {
namespace {

TEST(GetPath, TakesFolderPartAtLastSeparator) {
  EXPECT_EQ(GetPath("C:\\Games\\Vantor.exe"), "C:\\Games");
  EXPECT_EQ(GetPath("C:\\Vantor.exe"), "C:");
  EXPECT_EQ(GetPath("/opt/games/Vantor.exe"), "/opt/games");
  EXPECT_EQ(GetPath("C:/Games/sub\\Vantor.exe"), "C:/Games/sub");
}

TEST(GetPath, ShortTextsAndTextsWithoutLateSeparatorStayUnchanged) {
  EXPECT_EQ(GetPath("C:\\a"), "C:\\a");   // four characters or fewer
  EXPECT_EQ(GetPath(""), "");
  EXPECT_EQ(GetPath("abcd"), "abcd");
  EXPECT_EQ(GetPath("Vantor.exe"), "Vantor.exe");  // no separator at all
  // Only positions from the third on are searched: a separator in position 1 or 2 is not found.
  EXPECT_EQ(GetPath("\\Vantor.exe"), "\\Vantor.exe");
  EXPECT_EQ(GetPath("a\\Vantor.exe"), "a\\Vantor.exe");
  EXPECT_EQ(GetPath("ab\\Vantor.exe"), "ab");
}

TEST(GetFileName, TakesTextAfterLastSeparator) {
  EXPECT_EQ(GetFileName("D:\\maps\\hill.map"), "hill.map");
  EXPECT_EQ(GetFileName("C:\\hill.map"), "hill.map");
  EXPECT_EQ(GetFileName("hill.map"), "hill.map");
  EXPECT_EQ(GetFileName("/home/u/maps/hill.map"), "hill.map");
  EXPECT_EQ(GetFileName("maps/"), "");
}

TEST(JoinPath, UsesTheFoldersOwnSeparator) {
  EXPECT_EQ(join_path("C:\\Games", "a.ai"), "C:\\Games\\a.ai");
  EXPECT_EQ(join_path("/opt/g", "a.ai"), "/opt/g/a.ai");
  EXPECT_EQ(join_path("", "a.ai"), std::string(1, platform_separator()) + "a.ai");
}

TEST(ResolveInFolder, RelativeSettingsAreTakenAgainstTheProgramFolder) {
  const std::string sep(1, platform_separator());
  EXPECT_EQ(resolve_in_folder("/prog", "vantor/Vantor.exe"), "/prog" + sep + "vantor/Vantor.exe");
  EXPECT_EQ(resolve_in_folder("/prog/", " background.bmp "), "/prog" + sep + "background.bmp");
  EXPECT_EQ(resolve_in_folder("/prog", "/abs/Vantor.exe"), "/abs/Vantor.exe");
  EXPECT_EQ(resolve_in_folder("/prog", "C:\\Games\\Vantor.exe"), "C:\\Games\\Vantor.exe");
  EXPECT_EQ(resolve_in_folder("/prog", "   "), "   ");
}

TEST(Palette, ColourValuesHaveRedInTheLowByte) {
  EXPECT_EQ(rgb(15, 165, 0), 42255u);
  EXPECT_EQ(rgb(112, 120, 0), 30832u);
  EXPECT_EQ(rgb(255, 255, 255), 16777215u);
  EXPECT_EQ(palette_color(1), rgb(0, 0, 128));
  EXPECT_EQ(palette_color(12), rgb(255, 0, 0));
  EXPECT_EQ(palette_color(14), rgb(255, 255, 0));
  EXPECT_EQ(red_of(rgb(1, 2, 3)), 1);
  EXPECT_EQ(green_of(rgb(1, 2, 3)), 2);
  EXPECT_EQ(blue_of(rgb(1, 2, 3)), 3);
}

}  // namespace
}  // namespace zorvane
