// The General: only moves the engine accepts, home cells taken, attacks only with the odds
// it claims, and force judged from the unit programs when they can be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "battle/unit_strength.h"
#include "campaign/map_file.h"
#include "config/roster.h"
#include "config/settings.h"
#include "turn/engine.h"
#include "turn/general_player.h"
#include "turn/players.h"

namespace zorvane::testing {
namespace {

const std::string kData = std::string(ZORVANE_SOURCE_DIR) + "/data/";

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The stand-in game's shipped unit programs, as the bridge hands them over.
UnitStrengths shipped_strengths() {
  UnitStrengths strengths;
  for (const auto& entry : std::filesystem::directory_iterator(kData + "vantor")) {
    if (entry.path().extension() != ".ai") continue;
    strengths.emplace(entry.path().filename().string(), parse_unit_strength(read_all(entry.path().string())).value());
  }
  return strengths;
}

double odds_of(const std::vector<std::string>& attackers, const std::vector<std::string>& defenders,
               const UnitStrengths& strengths) {
  std::vector<UnitStrength> a, d;
  for (const auto& unit : attackers) a.push_back(strength_of(strengths, unit));
  for (const auto& unit : defenders) d.push_back(strength_of(strengths, unit));
  return stack_strength(a) / stack_strength(d);
}

// A fought battle's answer: the attackers win with a chance that grows with their odds.
BattleAnswer fought(const BattleRequest& battle, const UnitStrengths& strengths, AiRandom& random) {
  const double odds = odds_of(battle.attackers, battle.defenders, strengths);
  const bool attackers_win = random.uniform() < odds * odds / (1 + odds * odds);
  BattleAnswer answer;
  answer.kind = BattleAnswer::Kind::fought;
  answer.report.reported = true;
  answer.report.best_score = 10;
  std::size_t row = 0;
  for (const auto* side : {&battle.attackers, &battle.defenders}) {
    const bool attacking = side == &battle.attackers;
    for (const std::string& unit : *side) {
      answer.report.roster[row++] = {attacking == attackers_win ? "10" : "0", attacking ? "1" : "2", unit};
    }
  }
  return answer;
}

// Plays a campaign on a shipped map with the shipped settings and rosters, the teams in
// `general` played by the General and the others by Classic; every General's choice is
// handed to `check` with the state it was made on, before the engine takes it.
struct Campaign {
  Settings settings;
  Roster cdata{};
  TurnEngine engine{settings, cdata};

  Campaign(const std::string& map, const std::string& general) {
    apply_config_lines(read_config_lines(kData + "config.dat"), settings);
    read_roster_file(kData + "c_data.dat", cdata);
    settings.computer_controlled.fill(1);
    for (const char team : general) settings.computer_players[static_cast<std::size_t>(team - 'A')] = PlayerKind::general;
    EXPECT_EQ(engine.start_new(kData + "maps/" + map, 0, 0), std::nullopt);
  }

  template <typename Check>
  void play(std::uint64_t seed, const UnitStrengths& strengths, int actions, Check check) {
    AiRandom random(seed), battles(seed + 1);
    for (int k = 0; k < actions && !engine.ended(); ++k) {
      const int team = engine.team_to_move();
      Action action;
      if (computer_player_of(settings, team) == PlayerKind::general) {
        AiRandom copy = random;
        const GeneralChoice choice = general_choice(engine.state(), cdata, strengths, copy);
        check(engine.state(), choice);
      }
      action = choose_computer_action(engine.state(), settings, cdata, random, strengths);
      TurnEvents events = engine.act(action);
      ASSERT_NE(events.result, TurnEvents::Result::rejected) << "team " << team << ": " << events.reason;
      if (events.result == TurnEvents::Result::battle_pending) {
        events = engine.answer_battle(fought(*events.battle, strengths, battles));
      }
    }
  }
};

std::vector<std::string> listed(const CampaignState& state, int n) {
  std::vector<std::string> units;
  for (int slot = unit_1; slot < unit_1 + 5; ++slot) {
    if (!state.field(n, slot).is_blank()) units.push_back(state.field(n, slot).to_text());
  }
  return units;
}

// Every shipped map, several seeds, the General beside Classic and against itself, with the
// game's strengths and with none (another game): the engine never turns one of its moves
// down, and an attack's claimed odds are its stack's over the defenders', never below the
// least it attacks with.
TEST(General, MakesOnlyMovesAPlayerCouldMakeAndAttacksOnlyWithTheOddsItClaims) {
  const UnitStrengths game = shipped_strengths();
  int attacks = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kData + "maps")) {
    for (const auto& [general, seed, strengths] : {std::tuple{"A", 1, &game}, {"BD", 2, &game}, {"ABCDEFGHIJ", 3, &game},
                                                   {"ABCDEFGHIJ", 4, nullptr}}) {
      SCOPED_TRACE(entry.path().filename().string() + " " + general + " seed " + std::to_string(seed));
      Campaign campaign(entry.path().filename().string(), general);
      const UnitStrengths none;
      const UnitStrengths& table = strengths ? *strengths : none;
      campaign.play(static_cast<std::uint64_t>(seed), table, 600, [&](const CampaignState& state, const GeneralChoice& c) {
        const Action& a = c.action;
        const bool attack = a.kind == ActionKind::advance && state.field(a.to, owner).to_text() != team_letter(state.current_team) &&
                            !state.field(a.to, owner).is_blank() && !listed(state, a.to).empty();
        if (!attack) {
          EXPECT_EQ(c.odds, 0);
          return;
        }
        ++attacks;
        EXPECT_NEAR(c.odds, odds_of(a.units, listed(state, a.to), table), 1e-9);
        EXPECT_GE(c.odds, kGeneralLeastOdds);
      });
    }
  }
  EXPECT_GT(attacks, 100);
}

// A team's home cell is a target like any other: held weakly it is attacked, left empty it
// is taken with one unit.
TEST(General, TakesHomeCells) {
  const UnitStrengths game = shipped_strengths();
  for (const auto& [defenders, kind, sent] :
       {std::tuple{std::vector<std::string>{"scout.ai"}, "attack", 5u}, {{}, "capture", 1u}}) {
    const MapReadResult read = parse_map("A1\r\n1B\r\n", "home.aim");
    ASSERT_TRUE(read.ok());
    CampaignState state;
    apply_map(*read.map, 0, 0, state);
    for (int k = 0; k < 5; ++k) state.field(1, unit_1 + k) = Value::text("tank.ai");
    for (std::size_t k = 0; k < defenders.size(); ++k) state.field(4, unit_1 + static_cast<int>(k)) = Value::text(defenders[k]);
    Roster cdata{};
    cdata[0] = {"tank.ai", "", "", "", ""};
    AiRandom random(1);
    const Action action = general_choice(state, cdata, game, random).action;
    EXPECT_EQ(std::tuple(action.kind, action.from, action.to, action.units.size()),
              std::tuple(ActionKind::advance, 1, 4, sent))
        << kind;
  }
}

// One tank against one scout: the game's unit programs make it a safe attack; with units
// nothing is known of (another game), one against one is no attack, and the General
// reinforces first.
TEST(General, JudgesForceByTheUnitProgramsWhenItCanAndByCountsOtherwise) {
  const MapReadResult read = parse_map("A1\r\n1B\r\n", "duel.aim");
  ASSERT_TRUE(read.ok());
  CampaignState state;
  apply_map(*read.map, 0, 0, state);
  state.field(1, unit_1) = Value::text("tank.ai");
  state.field(4, unit_1) = Value::text("scout.ai");
  Roster cdata{};
  cdata[0] = {"scout.ai", "tank.ai", "", "", ""};
  AiRandom random(1);
  const GeneralChoice known = general_choice(state, cdata, shipped_strengths(), random);
  EXPECT_EQ(std::tuple(known.action.kind, known.action.to), std::tuple(ActionKind::advance, 4));
  EXPECT_GE(known.odds, kGeneralOdds);
  const GeneralChoice counted = general_choice(state, cdata, UnitStrengths{}, random);
  EXPECT_EQ(counted.action, (Action{ActionKind::augment, 1, 1, std::vector<std::string>(4, "scout.ai"), {}, 0}));
  // With the programs known, augmentations add the roster's strongest unit.
  state.field(4, unit_1) = Value::text("tank.ai");
  for (int k = 1; k < 5; ++k) state.field(4, unit_1 + k) = Value::text("tank.ai");
  EXPECT_EQ(general_choice(state, cdata, shipped_strengths(), random).action.units, std::vector<std::string>(4, "tank.ai"));
}

}  // namespace
}  // namespace zorvane::testing
