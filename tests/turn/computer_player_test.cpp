#include <gtest/gtest.h>

#include <deque>

#include "turn/computer_player.h"
#include "turn_fixtures.h"

namespace zorvane::testing {
namespace {

// Draws given in advance: the scan direction (below 0.5 scans upwards), then a pattern per
// own cell looked at (k / 8 picks pattern k + 1).
struct ScriptedRandom : AiRandom {
  explicit ScriptedRandom(std::deque<double> values) : AiRandom(0), values(std::move(values)) {}
  double uniform() override {
    const double v = values.empty() ? 0.0 : values.front();
    if (!values.empty()) values.pop_front();
    return v;
  }
  std::deque<double> values;
};

//   1  2  3  4
//   5  6  7  8      team A at 6, B's home at 3; 12 is a hole
//   9 10 11 12
//  13 14 15 16
const std::string kMap = "11B1\r\n1A11\r\n1110\r\n1111\r\n";

struct ComputerPlayer : ::testing::Test {
  CampaignState state = campaign(kMap);
  Settings settings;
  ActionPanelModel panel;
  Roster cdata{};
  FakeWorld world;
  void patterns(const std::string& first) { settings.movement_patterns.fill(first); }
  AiChoice choose(std::deque<double> draws) {
    ScriptedRandom random(std::move(draws));
    return choose_ai_action(state, settings, random);
  }
};

TEST_F(ComputerPlayer, PatternsPickTheFirstNeighbourNotOwnedAndNotAHome) {
  put_units(state, 6, {"u"});
  state.field(2, owner) = Value::text("A");  // own: skipped
  state.field(7, owner) = Value::text("B");  // an enemy cell is a target like an empty one
  using K = AiChoice::Kind;
  const struct {
    std::string pattern;
    AiChoice choice;
  } cases[] = {
      {"12345678", {K::advance, 6, 7}},  // north: own; north-east: B's home; east: B's cell
      {"5", {K::advance, 6, 10}},
      {"x8", {K::advance, 6, 1}},  // other characters name no direction
      {"123x", {K::advance, 6, 7}},
      {"9x0 ", {K::pass, 0, 0}},
      {"xxxxxxxx5", {K::pass, 0, 0}},  // only the first eight characters count
      {"", {K::pass, 0, 0}},
  };
  for (const auto& c : cases) {
    patterns(c.pattern);
    EXPECT_EQ(choose({0.6, 0.0}), c.choice) << c.pattern;  // downwards: cell 6 before own cell 2
  }
  // The pattern drawn is the k-th of eight: 0.9 picks the eighth.
  settings.movement_patterns[7] = "7";
  EXPECT_EQ(choose({0.6, 0.9}), (AiChoice{K::advance, 6, 5}));
}

TEST_F(ComputerPlayer, ScanStopsAtTheFirstOwnCellThatAugmentsOrAdvances) {
  using K = AiChoice::Kind;
  settings.augment_below = "2";
  patterns("5");
  put_units(state, 6, {"u", "v"});
  put_units(state, 14, {"w"}, "A");
  // Upwards, cell 6 comes first and advances; downwards, 14 comes first and is below two.
  EXPECT_EQ(choose({0.4, 0.0}), (AiChoice{K::advance, 6, 10}));
  EXPECT_EQ(choose({0.6, 0.0}), (AiChoice{K::augment, 14, 0}));
  settings.augment_below = "";  // 0: nothing is ever below it
  patterns("");
  EXPECT_EQ(choose({0.6, 0.0, 0.0}), (AiChoice{K::pass, 0, 0}));
  // The same seed gives the same choice.
  patterns("12345678");
  settings.movement_patterns[3] = "5";
  AiRandom a(42), b(42);
  EXPECT_EQ(choose_ai_action(state, settings, a), choose_ai_action(state, settings, b));
}

TEST_F(ComputerPlayer, AdvanceSendsAllButTheLastListedUnit) {
  patterns("5");
  for (const auto& [units, sent] : {std::pair{std::vector<std::string>{"a", "b", "c"}, 2}, {{"a"}, 0}}) {
    state = campaign(kMap);
    world = FakeWorld();
    put_units(state, 6, units);
    ScriptedRandom random({0.2, 0.0});
    ASSERT_EQ(comp_ai(state, panel, settings, cdata, world, random), AiOutcome::advanced);
    EXPECT_EQ(units_of(state, 10).size(), static_cast<std::size_t>(sent));
    EXPECT_EQ(units_of(state, 6), std::vector<std::string>{units.back()});
    EXPECT_EQ(world.log, "6\tA\t" + std::to_string(sent) + "\tAdvance\tMove\t10\t\t\r\n");
  }
}

TEST_F(ComputerPlayer, AugmentFillsFromTheRosterUpToTheTargetAndTheFifthSlot) {
  cdata[0] = {"P1", "", "P3", "P4", "P5"};
  settings.augment_below = "3";
  for (const auto& [fill, log_fill] : {std::pair{"5", "5"}, {"7", "7"}}) {
    state = campaign(kMap);
    world = FakeWorld();
    put_units(state, 6, {"old"});
    ScriptedRandom random({0.2});
    ASSERT_EQ((settings.augment_max_fill = fill, comp_ai(state, panel, settings, cdata, world, random)),
              AiOutcome::augmented);
    EXPECT_EQ(units_of(state, 6), (std::vector<std::string>{"old", "P1", "P3", "P4", "P5"}));
    EXPECT_EQ(world.calls, std::vector<std::string>{"count 6 1 5"});  // the real count, also for 7
    EXPECT_EQ(world.log, std::string("6\tA\t") + log_fill + "\tAugment\tAdd\t6\tA\t\r\n");
    EXPECT_EQ(std::pair(state.turn, state.current_team), std::pair(1L, 2));  // team A acted
  }
  // Team B has no cell of its own: it passes, and a pass counts no turn.
  ScriptedRandom random({0.2});
  state.field(3, owner) = Value();
  EXPECT_EQ(comp_ai(state, panel, settings, cdata, world, random), AiOutcome::passed);
  EXPECT_EQ(std::pair(state.turn, state.current_team), std::pair(1L, 1));
  // A fill target that reaches the turn limit ends the campaign as any action would.
  settings.turn_limit = "2";
  put_units(state, 6, {});
  ScriptedRandom again({0.2});
  comp_ai(state, panel, settings, cdata, world, again);
  EXPECT_EQ(world.messages, std::vector<std::string>{"Game Over: Turn Limit Reached. Game Over"});
}

}  // namespace
}  // namespace zorvane::testing
