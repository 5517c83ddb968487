// The stand-in game's files: parse_scenario, parse_unit_program and parse_tactical_map on any
// bytes, then a short fight and its report. The input is cut at every line "%%": the first
// part is the scenario, the second the tactical map, the others unit programs (the scenario's
// unit k takes part 2 + k, round the parts there are). Every value read must lie in its range;
// the fight must leave at least one unit standing, every fallen unit listed once and scored
// below the standing ones; and the report, read back by Zorvane's own result reader, must
// place every unit with its score and report exactly the fallen as killed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "battle/battle_report.h"
#include "common/text.h"
#include "fuzz_check.h"
#include "vantor_game.h"

namespace {

constexpr std::string_view kPartBreak = "\n%%\n";
// Battles are kept short (at most 50 rounds) so the fuzzer spends its time in the readers.
constexpr int kMaxClickLimit = 250;

std::vector<std::string_view> parts_of(std::string_view input) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = input.find(kPartBreak, start);
    if (end == std::string_view::npos) {
      parts.push_back(input.substr(start));
      return parts;
    }
    parts.push_back(input.substr(start, end - start));
    start = end + kPartBreak.size();
  }
}

bool in_range(int value, int low, int high) { return value >= low && value <= high; }

bool one_line(std::string_view text) { return text.find_first_of("\r\n") == std::string_view::npos; }

void check_scenario(const vantor::Scenario& s) {
  FUZZ_CHECK(in_range(s.damage, 0, 1000) && in_range(s.fuel, 0, 100'000) && in_range(s.ammo, 0, 100'000));
  FUZZ_CHECK(in_range(s.click_limit, 0, 1'000'000) && in_range(s.overheat, 10, 1000));
  FUZZ_CHECK(in_range(s.node_bonus, 0, 100));
  FUZZ_CHECK(one_line(s.title) && one_line(s.map) && one_line(s.background));
  FUZZ_CHECK(s.map.find_first_of("\\/") == std::string::npos);
  for (const auto& unit : s.units) {
    FUZZ_CHECK(!unit.empty() && one_line(unit));
    FUZZ_CHECK(unit.front() != ' ' && unit.front() != '\t' && unit.back() != ' ' && unit.back() != '\t');
  }
}

void check_unit(const vantor::UnitProgram& u, std::string_view file) {
  FUZZ_CHECK(u.file == file);
  FUZZ_CHECK(in_range(u.hull, 1, 1000) && in_range(u.armor, 0, 50) && in_range(u.attack, 1, 200));
  FUZZ_CHECK(in_range(u.range, 1, 20) && in_range(u.speed, 0, 10) && in_range(u.accuracy, 1, 100));
  FUZZ_CHECK(in_range(u.repair, 0, 50));
  FUZZ_CHECK(one_line(u.name));
}

void check_map(const vantor::TacticalMap& m) {
  FUZZ_CHECK(!m.name.empty() && one_line(m.name));
  FUZZ_CHECK(in_range(m.width, 5, 200) && in_range(m.height, 5, 200) && in_range(m.cover, 0, 90));
  FUZZ_CHECK(in_range(m.hazard, 0, 20) && in_range(m.mobility, 10, 200));
}

void check_battle(const vantor::Scenario& scenario, const std::vector<vantor::UnitProgram>& units,
                  const vantor::BattleResult& result) {
  FUZZ_CHECK(result.fighters.size() == units.size());
  FUZZ_CHECK(result.round_limit == std::clamp(scenario.click_limit / 5, 1, 5000));
  FUZZ_CHECK(result.rounds >= 0 && result.rounds <= result.round_limit);
  std::vector<int> times_fallen(units.size(), 0);
  for (const int index : result.fallen) {
    FUZZ_CHECK(index >= 0 && static_cast<std::size_t>(index) < units.size());
    ++times_fallen[static_cast<std::size_t>(index)];
  }
  int standing = 0;
  for (std::size_t i = 0; i < result.fighters.size(); ++i) {
    const vantor::Fighter& f = result.fighters[i];
    FUZZ_CHECK(f.place == static_cast<int>(i) + 1);
    FUZZ_CHECK(f.fuel >= 0 && f.ammo >= 0 && f.hits_taken >= 0 && f.dealt >= 0 && f.kills >= 0);
    FUZZ_CHECK(times_fallen[i] == (f.alive ? 0 : 1));
    if (f.alive) {
      ++standing;
      FUZZ_CHECK(f.hull >= 1 && f.hull <= f.program.hull);
      FUZZ_CHECK(f.score == result.best_score);
    } else {
      FUZZ_CHECK(f.hull == 0);
      FUZZ_CHECK(f.fell_in_round >= 1 && f.fell_in_round <= result.rounds);
      FUZZ_CHECK(f.score >= 0 && f.score < result.best_score);
    }
  }
  FUZZ_CHECK(standing >= 1);
  FUZZ_CHECK(result.best_score <= 99'999'999);  // fits the report's eight score columns
}

// The report as Zorvane reads it: every unit placed with its score, the fallen killed.
void check_report(const std::string& report, const vantor::BattleResult& result) {
  FUZZ_CHECK(report.size() >= 2 && report.compare(report.size() - 2, 2, "\r\n") == 0);
  FUZZ_CHECK(std::count(report.begin(), report.end(), '\r') == std::count(report.begin(), report.end(), '\n'));
  FUZZ_CHECK(report.find("\r\n") != std::string::npos);
  for (std::size_t at = report.find_first_of("\r\n"); at != std::string::npos; at = report.find_first_of("\r\n", at + 2)) {
    FUZZ_CHECK(report.compare(at, 2, "\r\n") == 0);
  }

  zorvane::BattleRoster roster;
  const std::size_t half = (result.fighters.size() + 1) / 2;
  for (std::size_t i = 0; i < result.fighters.size(); ++i) {
    roster[i] = {"", i < half ? zorvane::kAttackerSide : zorvane::kDefenderSide, "unit" + std::to_string(i + 1)};
  }
  const zorvane::BattleReport read = zorvane::read_battle_report(roster, report);
  FUZZ_CHECK(read.reported);
  FUZZ_CHECK(read.placings == static_cast<int>(result.fighters.size()));
  FUZZ_CHECK(read.best_score == static_cast<double>(result.best_score));
  int standing = 0;
  for (std::size_t i = 0; i < result.fighters.size(); ++i) {
    const vantor::Fighter& f = result.fighters[i];
    FUZZ_CHECK(read.killed[i] == !f.alive);
    FUZZ_CHECK(zorvane::numeric_value(read.roster[i].score) == static_cast<double>(f.alive ? f.score : 0));
    standing += f.alive ? 1 : 0;
  }
  const zorvane::BattleOutcome outcome = zorvane::battle_outcome(read);
  FUZZ_CHECK(outcome.attackers + outcome.defenders == standing);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> parts = parts_of(zorvane::fuzz::as_text(data, size));
  vantor::Scenario scenario = vantor::parse_scenario(parts[0]);
  check_scenario(scenario);
  const vantor::TacticalMap map = vantor::parse_tactical_map(parts.size() > 1 ? parts[1] : std::string_view());
  check_map(map);

  // As the game does: a scenario without units is refused, only the first ten fight.
  if (scenario.units.empty()) return 0;
  if (scenario.units.size() > 10) scenario.units.resize(10);
  std::vector<vantor::UnitProgram> units;
  for (std::size_t k = 0; k < scenario.units.size(); ++k) {
    const std::string file = vantor::file_name_of(scenario.units[k]);
    const std::string_view text = parts.size() > 2 ? parts[2 + k % (parts.size() - 2)] : std::string_view();
    units.push_back(vantor::parse_unit_program(file, text));
    check_unit(units.back(), file);
  }

  scenario.click_limit = std::min(scenario.click_limit, kMaxClickLimit);
  std::mt19937_64 random(20261206);
  const vantor::BattleResult result = vantor::fight(scenario, units, map, random);
  check_battle(scenario, units, result);
  check_report(vantor::write_report(scenario, map, result, 20261206), result);
  return 0;
}
