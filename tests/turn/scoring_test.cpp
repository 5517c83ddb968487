#include <gtest/gtest.h>

#include "turn/scoring.h"
#include "turn_fixtures.h"

namespace zorvane::testing {
namespace {

TEST(Scoring, CountsLandAndUnitsAndDeclaresTheLastTeamStandingAfterTwoActions) {
  // Ten teams; all but J have lost their land.
  CampaignState state = campaign("ABCD\r\nEFGH\r\nIJ11\r\n1111\r\n");
  for (int n = 1; n <= 9; ++n) state.field(n, owner) = Value();
  put_units(state, 10, {"u", "", "u"});  // slots 1 and 3: three units
  put_units(state, 12, {"v"}, "J");
  put_units(state, 13, {"w"}, "j");  // not a team
  FakeWorld world;
  for (long actions : {0, 1, 2}) {
    state.action_count = actions;
    EXPECT_FALSE(calcscore(state, world)) << actions;
  }
  EXPECT_EQ(state.team_land[9], 2);
  EXPECT_EQ(state.team_units[9], 4);
  EXPECT_EQ(state.team_land[0], 0);
  state.action_count = 3;
  EXPECT_TRUE(calcscore(state, world));
  EXPECT_EQ(world.messages, std::vector<std::string>{"Game Over: Team J WINS!"});
  EXPECT_EQ(world.calls, (std::vector<std::string>{"end", "statistics", "hide map"}));
  // Two teams with land: no winner, whatever the count of actions.
  state.field(1, owner) = Value::text("A");
  EXPECT_FALSE(count_score(state).winner);
}

TEST(Scoring, StatisticsLayoutMarksLeadersAndScalesBarsToThePanel) {
  std::string map = "ABC1111111\r\n";
  for (int r = 1; r < 10; ++r) map += "1111111111\r\n";
  CampaignState state = campaign(map);
  state.turn = 4;
  state.team_land = {50, 30, 50, 99};  // team D lies beyond team_count and is not shown
  state.team_units = {10, 12, 0, 99};
  const StatsLayout layout = stats_layout(state, 553, 12);
  ASSERT_EQ(layout.texts.size(), 7u);
  EXPECT_EQ(layout.texts[0].text, "Turn: 4");
  EXPECT_EQ(layout.texts[0].y, 20);
  EXPECT_EQ(layout.texts[1].text, "A   Land   50");
  EXPECT_EQ(layout.texts[2].text, "    Kribbles 10");
  EXPECT_EQ(layout.texts[6].text, "    Kribbles 0");
  // Each team takes two lines and a gap of six pixels.
  EXPECT_EQ(layout.texts[3].y - layout.texts[1].y, 2 * 12 + 6);
  ASSERT_EQ(layout.bars.size(), 6u);
  EXPECT_FLOAT_EQ(layout.bars[0].width, 216.5f);  // (553 - 120) / 100 cells * 50
  EXPECT_FLOAT_EQ(layout.bars[1].width, 8.66f);   // (553 - 120) / 500 * 10
  EXPECT_EQ(layout.bars[0].x, 120);
  EXPECT_EQ(layout.bars[0].y, layout.texts[1].y + 12 - 10);
  EXPECT_EQ(layout.bars[5].width, 0.0f);
  // Land: A and C tie for the lead, both get the flag; units: A led, then B overtook it.
  std::vector<std::pair<int, int>> marks;
  for (const auto& s : layout.sprites) marks.push_back({s.picid, s.y});
  const int a = layout.texts[1].y, c = layout.texts[5].y;
  const int b_units = layout.texts[4].y;
  EXPECT_EQ(marks, (std::vector<std::pair<int, int>>{{62, a + 12 - 15}, {61, b_units + 12 - 15}, {62, c + 12 - 15}}));
  EXPECT_EQ(layout.sprites[0].x, 15);

  state.team_land = {};
  state.team_units = {};
  EXPECT_EQ(stats_layout(state, 553, 12).sprites.size(), 6u);  // all zero: every team leads
}

}  // namespace
}  // namespace zorvane::testing
