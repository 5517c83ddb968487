// The turn engine: clicks on the map and the action panel, resolving actions (moves,
// captures, augments, battles), turns and scoring, the ends, and the computer player's
// choices, all as the window and the headless runner drive them.
#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "campaign/map_file.h"
#include "common/text.h"
#include "turn/action_panel.h"
#include "turn/computer_player.h"
#include "turn/engine.h"
#include "turn/scoring.h"
#include "turn/selection.h"
#include "test_files.h"

namespace zorvane::testing {
namespace {

// The map laid on a picture of the given size (43 pixels and 4 columns give 10-pixel cells).
CampaignState campaign(const std::string& map_text, int picture = 43) {
  const MapReadResult read = parse_map(map_text, "test.aim");
  EXPECT_TRUE(read.ok()) << read.error;
  CampaignState state;
  if (read.ok()) apply_map(*read.map, picture, picture, state);
  return state;
}

void put_units(CampaignState& state, int n, const std::vector<std::string>& units, const char* team = nullptr) {
  for (int k = 0; k < kUnitSlots; ++k) {
    state.field(n, unit_1 + k) = k < static_cast<int>(units.size()) ? Value::text(units[static_cast<std::size_t>(k)]) : Value();
  }
  if (team) state.field(n, owner) = Value::text(team);
}

std::vector<std::string> units_of(const CampaignState& state, int n) {
  std::vector<std::string> out;
  for (int k = 0; k < kUnitSlots; ++k) out.push_back(state.field(n, unit_1 + k).to_text());
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

// Cells 10 pixels wide on a 43-pixel picture: a 3-pixel margin right and below the grid.
const std::string kMap = "A1B0\r\n1111\r\n11C1\r\n1111\r\n";

// An engine over a campaign on kMap; battles are answered from `reports` (none left: the
// game could not fight it).
struct Turn : ::testing::Test {
  Settings settings;
  Roster cdata{};
  TurnEngine engine{settings, cdata};
  CampaignState& state = engine.state();
  ActionPanelModel panel;
  std::vector<Frame> drawn;
  std::deque<std::string> reports;
  std::vector<TurnEvents> events;  // every engine call's, in order
  std::string log;                 // the battle log's lines so far

  Turn() { engine.start(campaign(kMap)); }

  // Clicks at the centre of a cell; draws what the click asks for and opens the panel.
  void click(int n) {
    const ClickResult r = map_click(state, state.field(n, x_px).to_whole() + 5, state.field(n, y_px).to_whole() + 5);
    drawn.insert(drawn.end(), r.frames.begin(), r.frames.end());
    if (r.open_panel) {
      if (auto removal = open_action_panel(state, panel, cdata, state.source_cell, state.target_cell)) drawn.push_back(*removal);
    }
  }
  // Chooses the first available entry `count` times.
  void choose_first(int count) {
    for (int i = 0; i < count; ++i) {
      panel.available_selected = 0;
      choose_unit(state, panel);
    }
  }
  // Hands an action to the engine and a pending battle its answer, as a driver does.
  TurnEvents::Result play(const Action& action) {
    events.push_back(engine.act(action));
    if (events.back().result == TurnEvents::Result::battle_pending) events.push_back(engine.answer_battle(answer()));
    if (events.back().log) log += battle_log_line(*events.back().log);
    if (events.back().result != TurnEvents::Result::rejected) close_panel(state, panel);
    return events.back().result;
  }
  // The answer to the pending battle: the next report, read over the two sides' units.
  BattleAnswer answer() {
    const BattleRequest& battle = *engine.pending_battle();
    if (reports.empty()) return BattleAnswer{BattleAnswer::Kind::not_fought, {}, "The tactical game was not found: Vantor.exe"};
    BattleRoster roster;
    std::size_t row = 0;
    for (const auto& unit : battle.attackers) roster[row++] = {"", "1", unit};
    for (const auto& unit : battle.defenders) roster[row++] = {"", "2", unit};
    BattleAnswer fought{BattleAnswer::Kind::fought, read_battle_report(roster, reports.front()), {}};
    reports.pop_front();
    return fought;
  }
  // Opens the panel from `from` to `to`, chooses the first `count` available entries, then "OK".
  TurnEvents::Result act(int from, int to, int count) {
    open_action_panel(state, panel, cdata, from, to);
    EXPECT_TRUE(panel.visible);
    choose_first(count);
    return play(panel_action(panel).value_or(Action{}));
  }
  std::vector<Badge> badges() const { return events.back().badges; }
};

using R = TurnEvents::Result;
Badge owner_badge(int cell, int team) { return {Badge::Kind::owner, cell, team, 0}; }
Badge count_badge(int cell, int team, long long count) { return {Badge::Kind::count, cell, team, count}; }

// A border between tiles goes by rounding halves to even: 10 / 10 = 0.5 rounds to 0 and stays
// with the left tile, 20 / 10 = 1.5 rounds to 2 and goes to the right one. Cells after a
// blank map line are only hit where they are drawn.
TEST(HitTest, RoundsHalvesToEvenOnBordersAndIgnoresMarginsAndHoles) {
  const CampaignState state = campaign(kMap);
  for (const auto& [x, y, cell] : {std::tuple{0, 0, 1}, {5, 5, 1}, {9, 9, 1}, {10, 0, 1}, {20, 0, 3}, {15, 15, 6}, {39, 39, 16},
                                   {30, 10, 3}, {35, 0, 0} /* a hole */, {42, 0, 0}, {0, 42, 0}, {-6, 0, 0}, {0, -6, 0}}) {
    EXPECT_EQ(hit_test(state, x, y).value_or(0), cell) << x << "," << y;
  }
  const CampaignState blank_line = campaign("A1B\r\n\r\n111\r\n", 31);
  EXPECT_EQ(hit_test(blank_line, 5, 15), std::nullopt);  // the blank band
  EXPECT_EQ(hit_test(blank_line, 5, 25), std::nullopt);  // drawn here is cell 4, numbered as if in row 2
}

struct Selection : Turn {};

// Another team's source leaves no frame and no panel; a diagonal neighbour opens the panel,
// a cell two away does not.
TEST_F(Selection, DiagonalNeighbourOpensThePanelACellTwoAwayOrAnotherTeamsSourceDoesNot) {
  click(3);  // team B's cell while team A is to move
  click(2);
  EXPECT_EQ(std::pair(panel.visible, state.sel_state), std::pair(false, 0));
  // Every frame drawn was removed again: the last one on each cell is in its own colour.
  EXPECT_EQ(drawn.back(), (Frame{10, 0, 42255}));
  EXPECT_EQ(drawn[drawn.size() - 3], (Frame{20, 0, 30832}));
  engine.start(campaign(kMap));
  drawn.clear();
  click(1);
  EXPECT_EQ(drawn, (std::vector<Frame>{{0, 0, palette_color(14)}}));
  click(3);  // two columns away: ignored, the source stays chosen
  EXPECT_EQ(drawn.size(), 1u);
  EXPECT_EQ(state.sel_state, -1);
  click(6);
  EXPECT_EQ(drawn, (std::vector<Frame>{{0, 0, palette_color(14)}, {0, 0, 30832}, {10, 10, palette_color(12)}}));
  EXPECT_EQ(std::tuple(panel.visible, panel.mode, panel.source, panel.target, panel.icon, panel.current_header),
            std::tuple(true, "Advance", 1, 6, PanelIcon::flag, kAdvanceHeader));
  EXPECT_TRUE(!panel.add_enabled && !panel.remove_enabled && panel.ok_enabled);
  // The next click starts a new selection and removes the target's frame first.
  click(16);
  EXPECT_EQ(drawn[3], (Frame{10, 10, 42255}));
}

TEST_F(Selection, AdvanceCountsOwnUnitsButNotAnEnemysTowardsFive) {
  put_units(state, 1, {"a1", "a2", "a3", "a4", "a5"});
  put_units(state, 2, {"u1", "u2", "u3"}, "A");
  open_action_panel(state, panel, cdata, 1, 2);
  EXPECT_EQ(panel.current, (std::vector<std::string>{"u1", "u2", "u3"}));
  EXPECT_EQ(state.new_count, 3);
  int added = 0;
  for (int i = 0; i < 4; ++i) {
    panel.available_selected = 0;
    select_available(panel);
    EXPECT_TRUE(panel.add_enabled);
    const auto before = panel.chosen.size();
    choose_unit(state, panel);
    added += static_cast<int>(panel.chosen.size() - before);
    // A unit moved to "Chosen" leaves "Available", and with it the selection and ">".
    if (panel.chosen.size() > before) { EXPECT_TRUE(!panel.add_enabled && panel.available_selected == -1); }
  }
  EXPECT_EQ(added, 2);
  EXPECT_EQ(panel.available, (std::vector<std::string>{"a3", "a4", "a5"}));

  put_units(state, 2, {"e1", "e2", "e3", "e4", "e5"}, "B");
  open_action_panel(state, panel, cdata, 1, 2);
  EXPECT_EQ(std::pair(panel.current.size(), state.new_count), std::pair(std::size_t{5}, 0));
  choose_first(6);
  EXPECT_EQ(panel.chosen.size(), 5u);
  // "<" returns the chosen entry to the end of "Available".
  panel.chosen_selected = 1;
  select_chosen(panel);
  EXPECT_TRUE(panel.remove_enabled);
  unchoose_unit(state, panel);
  EXPECT_EQ(std::tuple(panel.available, state.new_count, panel.remove_enabled), std::tuple(std::vector<std::string>{"a2"}, 4, false));
}

TEST_F(Selection, AugmentOffersTheRosterAndOcupiedOnlyCancel) {
  cdata[0] = {"p1.ai", " ", "p3.ai", "", ""};
  put_units(state, 1, {"x", "y"});
  open_action_panel(state, panel, cdata, 1, 1);
  EXPECT_EQ(std::tuple(panel.mode, panel.icon, panel.current_header, panel.available),
            std::tuple("Augment", PanelIcon::unit, kAugmentHeader, std::vector<std::string>{"p1.ai", "p3.ai"}));
  panel.available_selected = 0;
  select_available(panel);
  for (int i = 0; i < 4; ++i) choose_unit(state, panel);
  // The roster entry stays listed and selected, so it is added again until five units are counted.
  EXPECT_TRUE(panel.add_enabled && panel.available_selected == 0);
  EXPECT_EQ(panel.chosen, (std::vector<std::string>{"p1.ai", "p1.ai", "p1.ai"}));
  EXPECT_EQ(panel.available.size(), 2u);

  put_units(state, 1, {"a", "b", "c", "d", "e"});
  open_action_panel(state, panel, cdata, 1, 1);
  EXPECT_EQ(panel.mode, "Ocupied");
  EXPECT_FALSE(panel.add_enabled || panel.remove_enabled || panel.ok_enabled);
  cancel_action_panel(state, panel);
  EXPECT_EQ(std::pair(panel.visible, state.new_count), std::pair(false, 0));
}

struct Resolution : Turn {};

// Slots beyond the fifth are not listed in the panel and keep their units.
TEST_F(Resolution, AugmentPutsTheNewUnitsBeforeTheOldOnes) {
  cdata[0] = {"new1", "new2", "", "", ""};
  put_units(state, 1, {"X", "Y", "Z", "", "", "Q"});
  open_action_panel(state, panel, cdata, 1, 1);
  for (int row : {0, 1}) {
    panel.available_selected = row;
    choose_unit(state, panel);
  }
  EXPECT_EQ(panel.chosen, (std::vector<std::string>{"new1", "new2"}));
  ASSERT_EQ(play(*panel_action(panel)), R::resolved);
  EXPECT_EQ(units_of(state, 1), (std::vector<std::string>{"new1", "new2", "X", "Y", "Z", "Q"}));
  EXPECT_EQ(log, "1\tA\t2\tAugment\tAdd\t1\tA\t\r\n");
  EXPECT_EQ(badges(), (std::vector<Badge>{owner_badge(1, 1), count_badge(1, 1, 6), count_badge(1, 1, 6)}));
  EXPECT_TRUE(!panel.visible && panel.available.empty() && panel.chosen.empty() && panel.current.empty());
  EXPECT_EQ(std::tuple(state.action_count, state.current_team, state.turn), std::tuple(1L, 2, 1L));
}

TEST_F(Resolution, AdvancesMoveCaptureOrAddWithoutABattle) {
  // target_owner: nullptr: nobody
  using Units = std::vector<std::string>;
  for (const auto& [name, target_owner, target_units, after, line] : std::vector<std::tuple<const char*, const char*, Units, Units, const char*>>{
      {"all units out into a cell nobody owns, holding units", nullptr, {"w"}, {"a1", "a2", "w"},
       "1\tA\t2\tAdvance\tMove\t2\t\t\r\n"},
      {"into an empty enemy cell", "B", {}, {"a1", "a2"}, "1\tA\t2\tAdvance\tCapture\t2\tB\t\r\n"},
      {"into an own empty cell", "A", {}, {"a1", "a2"}, "1\tA\t2\tAdvance\tCapture\t2\tA\t\r\n"},
      {"into an own cell with units", "A", {"o"}, {"a1", "a2", "o"}, "1\tA\t2\tAdvance\tAdd\t2\tA\t\r\n"}
  }) {
    SCOPED_TRACE(name);
    engine.start(campaign(kMap));
    log.clear();
    put_units(state, 1, {"a1", "a2"}, "A");
    put_units(state, 2, target_units);
    state.field(2, owner) = target_owner ? Value::text(target_owner) : Value();
    ASSERT_EQ(act(1, 2, 2), R::resolved);
    // The emptied source stays owned.
    EXPECT_EQ(std::pair(units_of(state, 1), units_of(state, 2)), std::pair(Units{}, after));
    EXPECT_EQ(state.field(1, owner).to_text() + state.field(2, owner).to_text(), "AA");
    EXPECT_EQ(log, line);
    EXPECT_FALSE(events.back().battle);
    EXPECT_EQ(badges(), (std::vector<Badge>{owner_badge(2, 1), count_badge(2, 1, static_cast<long long>(after.size())),
                                            count_badge(1, 1, 0)}));
  }
}

// A battle is pending until its answer, and meanwhile the campaign is as it was before the
// action (what the statistics count and a save would hold). A battle that was not fought
// or was aborted undoes the attack; one fought puts the survivors in the cell. Slot 6 is
// not listed in the panel, and its unit stays where it was.
TEST_F(Resolution, AttackWaitsForItsBattleAndIsUndoneUnlessFought) {
  put_units(state, 1, {"a1", "a2", "a3", "", "", "s6"}, "A");
  put_units(state, 2, {"d1"}, "B");
  const CampaignState before = state;
  const auto unchanged = [&] {
    EXPECT_TRUE(state.cells == before.cells);
    EXPECT_EQ(std::tuple(state.action_count, state.current_team, state.turn, state.action_type),
              std::tuple(before.action_count, before.current_team, before.turn, before.action_type));
  };
  open_action_panel(state, panel, cdata, 1, 2);
  choose_first(1);
  const TurnEvents pending = engine.act(*panel_action(panel));
  ASSERT_EQ(pending.result, R::battle_pending);
  EXPECT_EQ(std::tuple(pending.battle->attacking_team, pending.battle->defending_team, pending.battle->cell,
                       pending.battle->terrain, pending.battle->attackers, pending.battle->defenders),
            std::tuple(1, 2, 2, "1", std::vector<std::string>{"a1"}, std::vector<std::string>{"d1"}));
  unchanged();
  EXPECT_EQ(engine.count().units[0], 6);  // the attackers still count where they stand
  EXPECT_EQ(engine.act(Action{}).result, R::rejected);  // nothing else happens meanwhile
  for (const auto kind : {BattleAnswer::Kind::not_fought, BattleAnswer::Kind::aborted}) {
    const TurnEvents undone = engine.answer_battle(BattleAnswer{kind, {}, "The tactical game was not found: Vantor.exe"});
    EXPECT_EQ(undone.result, R::undone);
    EXPECT_NE(undone.reason.find(kind == BattleAnswer::Kind::aborted ? "aborted" : "Vantor.exe"), std::string::npos);
    EXPECT_TRUE(undone.badges.empty() && !undone.log);
    unchanged();
    if (kind == BattleAnswer::Kind::aborted) {
      EXPECT_EQ(battle_summary_text(*undone.summary),
                "Turn 0, cell 2: team A attacked team B with 1 unit against 1; the battle was not fought (aborted), no "
                "unit was lost and team B still holds the cell.");
    } else {
      ASSERT_EQ(engine.act(*panel_action(panel)).result, R::battle_pending);
    }
  }
  EXPECT_EQ(engine.answer_battle(BattleAnswer{}).result, R::rejected);  // nothing pending

  // Rows 1-2 attack (a1, a2), row 3 defends (d1); the attackers share the best score.
  reports.push_back(joined({placing(" 1", "90"), placing(" 2", "90"), placing(" 3", "10")}));
  ASSERT_EQ(act(1, 2, 2), R::resolved);
  EXPECT_EQ(units_of(state, 1), (std::vector<std::string>{"a3", "", "", "", "", "s6"}));  // the rest packed
  EXPECT_EQ(units_of(state, 2), (std::vector<std::string>{"a1", "a2"}));
  EXPECT_EQ(std::pair(state.field(2, owner).to_text(), events.back().outcome->captured()), std::pair(std::string("A"), true));
  EXPECT_EQ(events.back().battle->number, 1);
  EXPECT_EQ(battle_summary_text(*events.back().summary),
            "Turn 0, cell 2: team A attacked team B, 2 units against 1; after the battle 2 against 0: team A takes the cell.");
  EXPECT_EQ(log, "1\tA\t2\tAdvance\tAttack\t2\tB\t\r\n");
  // B strikes back from its home and loses: rows 2 and 3 defend (a1, a2) and share the best score.
  put_units(state, 3, {"b1"}, "B");
  reports.push_back(joined({placing(" 1", "5"), placing(" 2", "70"), placing(" 3", "70")}));
  ASSERT_EQ(act(3, 2, 1), R::resolved);
  EXPECT_EQ(battle_summary_text(*events.back().summary),
            "Turn 1, cell 2: team B attacked team A, 1 unit against 2; after the battle 0 against 2: team A holds the cell.");
}

// Only the team to move acts, only on the map, with its own units, into a neighbour, and
// never more than a cell can take; a refused action changes nothing.
TEST_F(Resolution, ActionsAreCheckedBeforeAnythingChanges) {
  put_units(state, 1, {"a1", "a2"});
  put_units(state, 3, {"b1"});
  put_units(state, 5, {"o1", "o2", "o3", "o4"}, "A");
  put_units(state, 8, {"h1"}, "A");  // next to the hole, cell 4
  cdata[0] = {"r1", "", "", "", ""};
  const CampaignState before = state;
  for (const auto& [why, action] : std::vector<std::pair<const char*, Action>>{
           {"another team's cell", advance_action(state, 3, 2, {"b1"})},
           {"outside the map", Action{ActionKind::augment, 17, 17, {}, {}, 0}},
           {"a hole", advance_action(state, 8, 4, {"h1"})},
           {"not a neighbour", advance_action(state, 1, 3, {"a1"})},
           {"units not on the cell", Action{ActionKind::advance, 1, 2, {"zz"}, {"a1", "a2"}, 0}},
           {"a unit left out", Action{ActionKind::advance, 1, 2, {"a1"}, {}, 0}},
           {"more than an own cell takes", advance_action(state, 1, 5, {"a1", "a2"})},
           {"not in the roster", Action{ActionKind::augment, 1, 1, {"x"}, {}, 0}},
           {"augment elsewhere", Action{ActionKind::augment, 1, 2, {}, {}, 0}}}) {
    const TurnEvents refused = engine.act(action);
    EXPECT_EQ(refused.result, R::rejected) << why;
    EXPECT_FALSE(refused.reason.empty()) << why;
  }
  EXPECT_TRUE(state.cells == before.cells && state.current_team == 1 && state.action_count == 0);
  EXPECT_EQ(play(advance_action(state, 1, 5, {"a1"})), R::resolved);
  EXPECT_EQ(play(advance_action(state, 3, 2, {"b1"})), R::resolved);  // now B's turn
}

TEST_F(Resolution, TurnLimitEndsTheCampaignAfterTeamOnesActionThatReachesIt) {
  std::tie(settings.turn_limit, settings.auto_snapshot) = std::pair("3.0", 1);
  put_units(state, 1, {"a"}, "A");
  put_units(state, 3, {"b"}, "B");
  put_units(state, 11, {"c"}, "C");
  int limit_at = 0;
  for (int action = 1; action <= 9 && limit_at == 0; ++action) {
    const int cell = state.current_team == 1 ? 1 : state.current_team == 2 ? 3 : 11;
    act(cell, cell, 0);
    EXPECT_TRUE(events.back().snapshot);
    if (events.back().ended) limit_at = action;
  }
  EXPECT_EQ(std::pair(limit_at, state.turn), std::pair(7, 3L));  // team A's third action: turn becomes 3
  EXPECT_TRUE(events.back().ended->turn_limit && !events.back().ended->winner && engine.ended());
  EXPECT_EQ(act(3, 3, 0), R::rejected);  // the campaign is over
  settings.turn_limit = " ";
  EXPECT_FALSE(turn_limit_reached(state, settings));
}

// The headless runner ends a campaign when every team has passed in a row; the window does
// not. Team A counts the turns while it holds land; after that the first team that still
// does. A team without land is passed over, whoever plays it.
TEST_F(Resolution, ARoundOfPassesEndsWhenAskedForAndTurnsGoOnWhenTeamAHoldsNoLand) {
  for (int i = 0; i < 4; ++i) EXPECT_EQ(play(Action{}), R::passed);
  EXPECT_FALSE(engine.ended());
  engine.start(campaign(kMap));
  engine.end_on_round_of_passes(true);
  play(Action{});
  play(Action{});
  ASSERT_EQ(act(11, 11, 0), R::resolved);  // team C acts: the count starts again
  for (int i = 0; i < 2; ++i) play(Action{});
  EXPECT_FALSE(engine.ended());
  play(Action{});
  EXPECT_TRUE(engine.ended() && events.back().ended->round_of_passes);

  engine.end_on_round_of_passes(false);
  settings.turn_limit = "2";
  engine.start(campaign(kMap));
  state.field(1, owner) = Value();  // A's only cell
  engine.start(state);
  EXPECT_EQ(state.current_team, 2);
  for (int i = 0; i < 3 && !engine.ended(); ++i) act(state.current_team == 2 ? 3 : 11, state.current_team == 2 ? 3 : 11, 0);
  EXPECT_EQ(std::tuple(state.turn, engine.ended(), events.back().ended->turn_limit), std::tuple(2L, true, true));
  // C loses its land to B's capture: A and C are skipped, B plays on.
  engine.start(campaign(kMap));
  state.field(1, owner) = Value();
  state.field(11, owner) = Value();
  state.field(7, owner) = Value::text("C");
  state.current_team = 2;
  ASSERT_EQ(act(3, 7, 0), R::resolved);
  EXPECT_EQ(events.back().skipped, (std::vector<int>{3, 1}));
  EXPECT_EQ(state.current_team, 2);
}

TEST(Scoring, CountsLandAndUnitsAndDeclaresTheLastTeamStandingAfterTwoActions) {
  // Ten teams; all but J have lost their land.
  CampaignState state = campaign("ABCD\r\nEFGH\r\nIJ11\r\n1111\r\n");
  for (int n = 1; n <= 9; ++n) state.field(n, owner) = Value();
  put_units(state, 10, {"u", "", "u"});  // slots 1 and 3: three units
  put_units(state, 12, {"v"}, "J");
  put_units(state, 13, {"w"}, "j");  // not a team
  Settings settings;
  Roster rosters{};
  TurnEngine engine(settings, rosters);
  for (long actions : {0, 1, 2}) {
    state.action_count = actions;
    engine.start(state);
    EXPECT_FALSE(engine.count().winner) << actions;
  }
  EXPECT_EQ(std::tuple(engine.state().team_land[9], engine.state().team_units[9], engine.state().team_land[0]),
            std::tuple(2, 4, 0));
  state.action_count = 3;
  engine.start(state);
  EXPECT_EQ(engine.count().winner, 10);
  EXPECT_TRUE(engine.ended());
  // Two teams with land: no winner, whatever the count of actions.
  state.field(1, owner) = Value::text("A");
  EXPECT_FALSE(count_score(state).winner);
}

// Each team takes a land line and a units line, each with its bar (green, blue) ten pixels up
// from the line's foot, and a gap of six pixels; bars scale to the panel less 120 pixels.
TEST(Scoring, StatisticsLayoutMarksLeadersAndScalesBarsToThePanel) {
  std::string map = "ABC1111111\r\n";
  for (int r = 1; r < 10; ++r) map += "1111111111\r\n";
  CampaignState state = campaign(map);
  state.turn = 4;
  state.team_land = {50, 30, 50, 99};  // team D lies beyond team_count and is not shown
  state.team_units = {10, 12, 0, 99};
  const StatsLayout layout = stats_layout(state, 553, 12);
  std::vector<std::tuple<int, int, std::string>> texts;
  for (const auto& t : layout.texts) texts.push_back({t.x, t.y, t.text});
  EXPECT_EQ(texts, (std::vector<std::tuple<int, int, std::string>>{
                       {10, 20, "Turn: 4"}, {10, 32, "A   Land   50"}, {10, 44, "    Kribbles 10"}, {10, 62, "B   Land   30"},
                       {10, 74, "    Kribbles 12"}, {10, 92, "C   Land   50"}, {10, 104, "    Kribbles 0"}}));
  const float widths[] = {216.5f, 8.66f, 129.9f, 10.392f, 216.5f, 0};  // 433 / 100 cells per land, 433 / 500 per unit
  const int ys[] = {34, 46, 64, 76, 94, 106};
  ASSERT_EQ(layout.bars.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_FLOAT_EQ(layout.bars[i].width, widths[i]) << i;
    EXPECT_EQ(std::tuple(layout.bars[i].x, layout.bars[i].y, layout.bars[i].colour), std::tuple(120, ys[i], i % 2 ? rgb(0, 0, 255) : rgb(0, 255, 0))) << i;
  }
  // Land: A and C tie for the lead, both get the flag; units: A led, then B overtook it.
  std::vector<std::tuple<int, int, int>> marks;
  for (const auto& m : layout.sprites) marks.push_back({m.picid, m.x, m.y});
  EXPECT_EQ(marks, (std::vector<std::tuple<int, int, int>>{{62, 15, 29}, {61, 15, 71}, {62, 15, 89}}));
  state.team_land = state.team_units = {};
  EXPECT_EQ(stats_layout(state, 553, 12).sprites.size(), 6u);  // all zero: every team leads
}

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
const std::string kAiMap = "11B1\r\n1A11\r\n1110\r\n1111\r\n";
using K = AiChoice::Kind;

struct ComputerPlayer : Turn {
  ComputerPlayer() { engine.start(campaign(kAiMap)); }
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
  for (const auto& [pattern, choice] : std::vector<std::tuple<std::string, AiChoice>>{
      {"12345678", {K::advance, 6, 7}},  // north: own; north-east: B's home; east: B's cell
      {"5", {K::advance, 6, 10}},
      {"x8", {K::advance, 6, 1}},  // other characters name no direction
      {"123x", {K::advance, 6, 7}},
      {"9x0 ", {K::pass, 0, 0}},
      {"xxxxxxxx5", {K::pass, 0, 0}},  // only the first eight characters count
      {"", {K::pass, 0, 0}}
  }) {
    patterns(pattern);
    EXPECT_EQ(choose({0.6, 0.0}), choice) << pattern;  // downwards: cell 6 before own cell 2
  }
  // The pattern drawn is the k-th of eight: 0.9 picks the eighth.
  settings.movement_patterns[7] = "7";
  EXPECT_EQ(choose({0.6, 0.9}), (AiChoice{K::advance, 6, 5}));
}

TEST_F(ComputerPlayer, ScanStopsAtTheFirstOwnCellThatAugmentsOrAdvances) {
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
    engine.start(campaign(kAiMap));
    log.clear();
    put_units(state, 6, units);
    ScriptedRandom random({0.2, 0.0});
    ASSERT_EQ(play(computer_action(state, settings, cdata, random)), R::resolved);
    EXPECT_EQ(units_of(state, 10).size(), static_cast<std::size_t>(sent));
    EXPECT_EQ(units_of(state, 6), std::vector<std::string>{units.back()});
    EXPECT_EQ(log, "6\tA\t" + std::to_string(sent) + "\tAdvance\tMove\t10\t\t\r\n");
  }
}

TEST_F(ComputerPlayer, AugmentFillsFromTheTeamsRosterUpToTheTargetAndTheFifthSlot) {
  cdata[0] = {"P1", "", "P3", "P4", "P5"};
  settings.augment_below = "3";
  for (const auto& [fill, log_fill] : {std::pair{"5", "5"}, {"7", "7"}}) {
    engine.start(campaign(kAiMap));
    log.clear();
    put_units(state, 6, {"old"});
    ScriptedRandom random({0.2});
    settings.augment_max_fill = fill;
    ASSERT_EQ(play(computer_action(state, settings, cdata, random)), R::resolved);
    EXPECT_EQ(units_of(state, 6), (std::vector<std::string>{"old", "P1", "P3", "P4", "P5"}));
    EXPECT_EQ(badges(), std::vector<Badge>{count_badge(6, 1, 5)});  // the real count, also for 7
    EXPECT_EQ(log, std::string("6\tA\t") + log_fill + "\tAugment\tAdd\t6\tA\t\r\n");
    EXPECT_EQ(std::pair(state.turn, state.current_team), std::pair(1L, 2));  // team A acted
    EXPECT_FALSE(events.back().snapshot);
  }
  // Team B's only cell is its home; with nothing below the threshold and no pattern, it passes,
  // and a pass counts no turn.
  put_units(state, 3, {"b1", "b2", "b3"});
  patterns("");
  ScriptedRandom random({0.2});
  EXPECT_EQ(play(computer_action(state, settings, cdata, random)), R::passed);
  EXPECT_EQ(std::pair(state.turn, state.current_team), std::pair(1L, 1));
  // A fill target that reaches the turn limit ends the campaign as any action would.
  settings.turn_limit = "2";
  put_units(state, 6, {});
  ScriptedRandom again({0.2});
  play(computer_action(state, settings, cdata, again));
  EXPECT_TRUE(events.back().ended && events.back().ended->turn_limit);

  // The last team, "J", augments from its own roster too; a blank roster entry gives way to
  // the first one, while a filled one is taken as it stands, from the second slot on.
  engine.start(campaign(kAiMap));
  std::tie(settings.turn_limit, settings.augment_max_fill, state.team_count, state.current_team) = std::tuple("", "5", 10, 10);
  log.clear();
  cdata[9] = {"J1", "J2", "", "J4", " "};
  put_units(state, 6, {"old"}, "J");
  ScriptedRandom j({0.2});
  ASSERT_EQ(play(computer_action(state, settings, cdata, j)), R::resolved);
  EXPECT_EQ(units_of(state, 6), (std::vector<std::string>{"old", "J2", "J1", "J4", "J1"}));
  EXPECT_EQ(std::tuple(badges(), log, state.current_team),
            std::tuple(std::vector<Badge>{count_badge(6, 10, 5)}, "6\tJ\t5\tAugment\tAdd\t6\tJ\t\r\n", 2));  // A has no land
}

// Every cell's neighbours are the same for a player's second click and for every direction
// a computer pattern can name: the eight cells around it on the grid, never the first cell
// of the next row for the last of a row, also after a blank map line.
TEST(Neighbours, ThePlayerAndTheComputerAgreeOnEveryCellEdgesIncluded) {
  for (const auto& [map, picture] : {std::pair{kMap, 43}, {std::string("A1B\r\n\r\n111\r\n"), 31}}) {
    CampaignState state = campaign(map, picture);
    const int cells = static_cast<int>(state.spots.size());
    const auto click = [&](int n) {
      return map_click(state, static_cast<int>(state.field(n, x_px).to_whole()) + state.cell_w / 2,
                       static_cast<int>(state.field(n, y_px).to_whole()) + state.cell_h / 2);
    };
    for (int a = 1; a <= cells; ++a) {
      std::set<int> computer{a};
      for (int d = 1; d <= 8; ++d) {
        // Holes are clicked by nobody; the computer sees them but never picks them.
        const auto n = compass_neighbour(state, a, d);
        if (n && state.field(*n, terrain).to_text() != "0") computer.insert(*n);
      }
      std::set<int> player;
      for (int b = 1; b <= cells; ++b) {
        state.sel_state = 0;
        click(a);
        if (state.sel_state == -1 && click(b).open_panel) player.insert(b);
      }
      // A hole, or a cell after a blank line, which the pointer never hits: no source.
      if (player.empty()) continue;
      EXPECT_EQ(player, computer) << "cell " << a;
    }
  }
  // On 4 by 4, east of cell 4 and west of cell 5 are beyond the edge.
  const CampaignState state = campaign(kMap);
  EXPECT_EQ(std::tuple(compass_neighbour(state, 4, 3), compass_neighbour(state, 5, 7), compass_neighbour(state, 8, 2)),
            std::tuple(std::nullopt, std::nullopt, std::nullopt));
  EXPECT_EQ(compass_neighbour(state, 6, 8).value_or(0), 1);
}

}  // namespace
}  // namespace zorvane::testing
