#include <gtest/gtest.h>

#include "turn/action_panel.h"
#include "turn/selection.h"
#include "turn_fixtures.h"

namespace zorvane::testing {
namespace {

// Cells 10 pixels wide on a 43-pixel picture: a 3-pixel margin right and below the grid.
const std::string kMap = "A1B0\r\n1111\r\n11C1\r\n1111\r\n";

// A border between tiles goes by rounding halves to even: 10 / 10 = 0.5 rounds to 0 and stays
// with the left tile, 20 / 10 = 1.5 rounds to 2 and goes to the right one. Cells after a
// blank map line are only hit where they are drawn.
TEST(HitTest, RoundsHalvesToEvenOnBordersAndIgnoresMarginsAndHoles) {
  const CampaignState state = campaign(kMap);
  ASSERT_EQ(state.cell_w, 10);
  for (const auto& [x, y, cell] : {std::tuple{0, 0, 1}, {5, 5, 1}, {9, 9, 1}, {10, 0, 1}, {20, 0, 3}, {15, 15, 6}, {39, 39, 16},
                                   {30, 10, 3}, {35, 0, 0} /* a hole */, {42, 0, 0}, {0, 42, 0}, {-6, 0, 0}, {0, -6, 0}}) {
    EXPECT_EQ(hit_test(state, x, y).value_or(0), cell) << x << "," << y;
  }
  const CampaignState blank_line = campaign("A1B\r\n\r\n111\r\n", 31);
  EXPECT_EQ(hit_test(blank_line, 5, 15), std::nullopt);  // the blank band
  EXPECT_EQ(hit_test(blank_line, 5, 25), std::nullopt);  // drawn here is cell 4, numbered as if in row 2
}

struct Selection : ::testing::Test {
  CampaignState state = campaign(kMap);
  ActionPanelModel panel;
  Roster cdata{};
  std::vector<Frame> drawn;

  // Clicks at the centre of a cell; draws what the click asks for and runs b_mode.
  void click(int n) {
    const ClickResult r = map_click(state, state.field(n, x_px).to_whole() + 5, state.field(n, y_px).to_whole() + 5);
    drawn.insert(drawn.end(), r.frames.begin(), r.frames.end());
    if (r.run_b_mode) {
      if (auto removal = b_mode(state, panel, cdata, state.source_cell, state.target_cell)) drawn.push_back(*removal);
    }
  }
};

TEST_F(Selection, DiagonalNeighbourOpensThePanelACellTwoAwayDoesNot) {
  click(1);
  EXPECT_EQ(drawn, (std::vector<Frame>{{0, 0, palette_color(14)}}));
  click(3);  // two columns away: ignored, the source stays chosen
  EXPECT_EQ(drawn.size(), 1u);
  EXPECT_EQ(state.sel_state, -1);
  click(6);
  EXPECT_EQ(drawn, (std::vector<Frame>{{0, 0, palette_color(14)}, {0, 0, 30832}, {10, 10, palette_color(12)}}));
  EXPECT_EQ(std::tuple(panel.visible, panel.mode, panel.source, panel.target, panel.icon, panel.current_header),
            std::tuple(true, "Advance", "1", "6", PanelIcon::flag, kAdvanceHeader));
  EXPECT_TRUE(!panel.add_enabled && !panel.remove_enabled && panel.ok_enabled);
  // The next click starts a new selection and removes the target's frame first.
  click(16);
  EXPECT_EQ(drawn[3], (Frame{10, 10, 42255}));
}

TEST_F(Selection, AnotherTeamsSourceLeavesNoFrameAndNoPanel) {
  click(3);  // team B's cell while team A is to move
  click(2);
  EXPECT_EQ(std::pair(panel.visible, state.sel_state), std::pair(false, 0));
  // Every frame drawn was removed again: the last one on each cell is in its own colour.
  EXPECT_EQ(drawn.back(), (Frame{10, 0, 42255}));
  EXPECT_EQ(drawn[drawn.size() - 3], (Frame{20, 0, 30832}));
}

TEST_F(Selection, AdvanceCountsOwnUnitsButNotAnEnemysTowardsFive) {
  put_units(state, 1, {"a1", "a2", "a3", "a4", "a5"});
  put_units(state, 2, {"u1", "u2", "u3"}, "A");
  b_mode(state, panel, cdata, 1, 2);
  EXPECT_EQ(panel.current, (std::vector<std::string>{"u1", "u2", "u3"}));
  EXPECT_EQ(state.new_count, 3);
  int added = 0;
  for (int i = 0; i < 4; ++i) {
    panel.available_selected = 0;
    List1_Click(panel);
    EXPECT_TRUE(panel.add_enabled);
    const auto before = panel.chosen.size();
    Command1_Click(state, panel);
    added += static_cast<int>(panel.chosen.size() - before);
    // A unit moved to "Chosen" leaves "Available", and with it the selection and ">".
    if (panel.chosen.size() > before) { EXPECT_TRUE(!panel.add_enabled && panel.available_selected == -1); }
  }
  EXPECT_EQ(added, 2);
  EXPECT_EQ(panel.available, (std::vector<std::string>{"a3", "a4", "a5"}));

  put_units(state, 2, {"e1", "e2", "e3", "e4", "e5"}, "B");
  b_mode(state, panel, cdata, 1, 2);
  EXPECT_EQ(std::pair(panel.current.size(), state.new_count), std::pair(std::size_t{5}, 0));
  for (int i = 0; i < 6; ++i) {
    panel.available_selected = 0;
    Command1_Click(state, panel);
  }
  EXPECT_EQ(panel.chosen.size(), 5u);
  // "<" returns the chosen entry to the end of "Available".
  panel.chosen_selected = 1;
  List2_Click(panel);
  EXPECT_TRUE(panel.remove_enabled);
  Command2_Click(state, panel);
  EXPECT_EQ(std::tuple(panel.available, state.new_count, panel.remove_enabled), std::tuple(std::vector<std::string>{"a2"}, 4, false));
}

TEST_F(Selection, AugmentOffersTheRosterAndOcupiedOnlyCancel) {
  cdata[0] = {"p1.ai", " ", "p3.ai", "", ""};
  put_units(state, 1, {"x", "y"});
  b_mode(state, panel, cdata, 1, 1);
  EXPECT_EQ(std::tuple(panel.mode, panel.icon, panel.current_header, panel.available),
            std::tuple("Augment", PanelIcon::unit, kAugmentHeader, std::vector<std::string>{"p1.ai", "p3.ai"}));
  panel.available_selected = 0;
  List1_Click(panel);
  for (int i = 0; i < 4; ++i) Command1_Click(state, panel);
  // The roster entry stays listed and selected, so it is added again until five units are counted.
  EXPECT_TRUE(panel.add_enabled && panel.available_selected == 0);
  EXPECT_EQ(panel.chosen, (std::vector<std::string>{"p1.ai", "p1.ai", "p1.ai"}));
  EXPECT_EQ(panel.available.size(), 2u);

  put_units(state, 1, {"a", "b", "c", "d", "e"});
  b_mode(state, panel, cdata, 1, 1);
  EXPECT_EQ(panel.mode, "Ocupied");
  EXPECT_FALSE(panel.add_enabled || panel.remove_enabled || panel.ok_enabled);
  Command4_Click(state, panel);
  EXPECT_EQ(std::pair(panel.visible, state.new_count), std::pair(false, 0));
}

}  // namespace
}  // namespace zorvane::testing
