#include <gtest/gtest.h>

#include "common/palette.h"
#include "common/paths.h"

namespace zorvane {
namespace {

// The folder part ends at the last separator; texts of four characters or fewer, texts
// without a separator, and separators in position 1 or 2 leave the text unchanged.
TEST(GetPath, TakesFolderPartAtLastSeparatorFromTheThirdPositionOn) {
  for (const auto& [path, folder] :
       {std::pair{"C:\\Games\\Vantor.exe", "C:\\Games"}, {"C:\\Vantor.exe", "C:"}, {"/opt/games/Vantor.exe", "/opt/games"},
        {"C:/Games/sub\\Vantor.exe", "C:/Games/sub"}, {"C:\\a", "C:\\a"}, {"", ""}, {"abcd", "abcd"},
        {"Vantor.exe", "Vantor.exe"}, {"\\Vantor.exe", "\\Vantor.exe"}, {"a\\Vantor.exe", "a\\Vantor.exe"},
        {"ab\\Vantor.exe", "ab"}}) {
    EXPECT_EQ(GetPath(path), folder) << path;
  }
}

TEST(GetFileName, TakesTextAfterLastSeparator) {
  for (const auto& [path, name] : {std::pair{"D:\\maps\\hill.map", "hill.map"}, {"C:\\hill.map", "hill.map"},
                                   {"hill.map", "hill.map"}, {"/home/u/maps/hill.map", "hill.map"}, {"maps/", ""}}) {
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
        {"/prog", "C:\\Games\\Vantor.exe", "C:\\Games\\Vantor.exe"}, {"/prog", "   ", "   "}}) {
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
