#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "campaign/map_file.h"
#include "common/linefile.h"
#include "test_files.h"

namespace zorvane {
namespace {

namespace fs = std::filesystem;

TEST(SampleMaps, EveryShippedMapIsAcceptedWithItsTeamsHolesAndAllTerrains) {
  const std::map<std::string, int> expected = {
      {"duel-8.aim", 2},     {"triad-13.aim", 3},   {"four-corners-16.aim", 4}, {"river-crossing-20.aim", 2},
      {"hexagon-25.aim", 6}, {"compass-32.aim", 8}, {"grand-melee-40.aim", 10},
  };
  std::map<std::string, int> found;
  for (const auto& entry : fs::directory_iterator(fs::path(ZORVANE_SOURCE_DIR) / "data" / "maps")) {
    if (entry.path().extension() != ".aim") continue;
    const std::string name = entry.path().filename().string();
    const MapReadResult result = read_map_file(entry.path().string());
    ASSERT_TRUE(result.ok()) << result.error;
    found[name] = result.map->team_count;
    // Every line CR LF ended and no blank rows, so each map reads the same in any editor.
    const std::string bytes = testing::read_bytes(entry.path().string());
    EXPECT_EQ(join_crlf(split_lines_cr(bytes)), bytes) << name;
    EXPECT_EQ(static_cast<int>(result.map->cells.size()), result.map->grid_rows * result.map->grid_cols) << name;
    std::map<char, int> terrains;
    for (const MapCell& cell : result.map->cells) ++terrains[cell.terrain];
    for (char t : {'0', '1', '2', '3', '4', '5'}) EXPECT_GT(terrains[t], 0) << name << " lacks terrain " << t;
  }
  EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace zorvane
