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

// The shipped maps live in the source tree's data/maps, two folders above this file's.
fs::path shipped_maps_folder() { return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "maps"; }

TEST(SampleMaps, EveryShippedMapIsAcceptedWithItsTeamCount) {
  const std::map<std::string, int> expected = {
      {"duel-8.aim", 2},       {"triad-13.aim", 3},  {"four-corners-16.aim", 4}, {"river-crossing-20.aim", 2},
      {"hexagon-25.aim", 6},   {"compass-32.aim", 8}, {"grand-melee-40.aim", 10},
  };
  std::map<std::string, int> found;
  for (const auto& entry : fs::directory_iterator(shipped_maps_folder())) {
    if (entry.path().extension() != ".aim") continue;
    const MapReadResult result = read_map_file(entry.path().string());
    ASSERT_TRUE(result.ok()) << result.error;
    found[entry.path().filename().string()] = result.map->team_count;
  }
  EXPECT_EQ(found, expected);
}

TEST(SampleMaps, ShippedMapsAreSquareWithCrLfLineEndsAndHoles) {
  for (const auto& entry : fs::directory_iterator(shipped_maps_folder())) {
    if (entry.path().extension() != ".aim") continue;
    const std::string name = entry.path().filename().string();
    const std::string bytes = testing::read_bytes(entry.path().string());
    const MapReadResult result = parse_map(bytes, name);
    ASSERT_TRUE(result.ok()) << result.error;
    const CampaignMap& map = *result.map;
    EXPECT_EQ(map.grid_rows, map.grid_cols) << name;
    EXPECT_LE(map.grid_rows, 40) << name;
    EXPECT_EQ(static_cast<int>(map.cells.size()), map.grid_rows * map.grid_cols) << name;  // no blank rows
    EXPECT_EQ(join_crlf(split_lines_cr(bytes)), bytes) << name;                               // every line CR LF
    int holes = 0;
    std::map<char, int> terrains;
    for (const MapCell& cell : map.cells) {
      if (cell.terrain == '0') ++holes;
      ++terrains[cell.terrain];
    }
    EXPECT_GT(holes, 0) << name;
    for (char t : {'1', '2', '3', '4', '5'}) EXPECT_GT(terrains[t], 0) << name << " lacks terrain " << t;
  }
}

}  // namespace
}  // namespace zorvane
