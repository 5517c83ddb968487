// Result file: read_battle_report, battle_outcome and apply_battle_outcome on any bytes, with
// the battle roster that build_scenario fills. The input's first line (up to the first line
// feed) chooses the battle: "attackers|defenders|terrain", the unit names separated by
// commas; the rest is the result file. The roster must come back with its units and sides
// untouched, the survivors must be exactly the rows the report scores best that hold a unit
// and were not last reported killed (never more than the roster rows), and applying the
// outcome may write only the ten unit slots and the owner of the defending cell (slots 6
// to 10 only when it is captured).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "battle/battle_report.h"
#include "battle/scenario.h"
#include "common/text.h"
#include "fuzz_check.h"

namespace {

using namespace zorvane;

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// The unit names of one side; an empty text names no unit at all.
std::vector<std::string> names(std::string_view list) {
  std::vector<std::string> out;
  if (list.empty()) return out;
  for (const auto name : split(list, ',')) out.emplace_back(name);
  return out;
}

void check_scenario(const Scenario& scenario, const std::vector<std::string>& attackers,
                    const std::vector<std::string>& defenders) {
  std::size_t row = 0;
  std::size_t unit_lines = 0;
  for (const auto* side : {&attackers, &defenders}) {
    for (const auto& name : *side) {
      if (row >= scenario.roster.size()) break;
      const BattleRosterRow& r = scenario.roster[row++];
      FUZZ_CHECK(r.unit == name && r.score.empty());
      FUZZ_CHECK(r.side == (side == &attackers ? kAttackerSide : kDefenderSide));
      if (!is_blank(name)) ++unit_lines;
    }
  }
  for (; row < scenario.roster.size(); ++row) FUZZ_CHECK(scenario.roster[row] == BattleRosterRow{});
  std::size_t found = 0;
  for (const auto& line : scenario.lines) found += line.rfind("unit=", 0) == 0 ? 1 : 0;
  FUZZ_CHECK(found == unit_lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = zorvane::fuzz::as_text(data, size);
  const std::size_t header_end = input.find('\n');
  const std::string_view header = input.substr(0, header_end);
  const std::string_view bytes =
      header_end == std::string_view::npos ? std::string_view() : input.substr(header_end + 1);
  const std::vector<std::string_view> parts = split(header, '|');
  const std::vector<std::string> attackers = names(parts[0]);
  const std::vector<std::string> defenders = names(parts.size() > 1 ? parts[1] : std::string_view());
  const std::string_view terrain = parts.size() > 2 ? parts[2] : std::string_view("3");

  Settings settings;
  settings.game_exe_path = "C:\\Games\\Vantor\\Vantor.exe";
  const Scenario scenario = build_scenario(terrain, settings, attackers, defenders);
  check_scenario(scenario, attackers, defenders);

  const BattleReport report = read_battle_report(scenario.roster, bytes);
  FUZZ_CHECK(report.reported == (report.placings > 0));
  FUZZ_CHECK(!report.truncated && report.read_error.empty());
  FUZZ_CHECK(report.best_score == report.best_score);  // never NaN
  FUZZ_CHECK(report.best_score >= 0);
  int holding_defenders = 0;
  for (std::size_t i = 0; i < report.roster.size(); ++i) {
    const BattleRosterRow& row = report.roster[i];
    FUZZ_CHECK(row.unit == scenario.roster[i].unit && row.side == scenario.roster[i].side);
    if (report.killed[i]) FUZZ_CHECK(row.score == "0");
    if (!report.reported && row.side == kDefenderSide) {
      FUZZ_CHECK(row.score == kHoldScore && !report.killed[i]);
      if (!is_blank(row.unit)) ++holding_defenders;
    }
  }
  if (!report.reported) FUZZ_CHECK(report.best_score == 1000);

  const BattleOutcome outcome = battle_outcome(report);
  std::size_t slot = 0;
  int attackers_left = 0;
  int defenders_left = 0;
  for (std::size_t i = 0; i < report.roster.size(); ++i) {
    const BattleRosterRow& row = report.roster[i];
    if (is_blank(row.unit) || report.killed[i] || numeric_value(row.score) != report.best_score) continue;
    FUZZ_CHECK(slot < outcome.units.size() && outcome.units[slot++] == row.unit);
    ++(row.side == kAttackerSide ? attackers_left : defenders_left);
  }
  for (std::size_t k = slot; k < outcome.units.size(); ++k) FUZZ_CHECK(outcome.units[k].empty());
  FUZZ_CHECK(outcome.attackers == attackers_left && outcome.defenders == defenders_left);
  FUZZ_CHECK(outcome.attackers + outcome.defenders <= kBattleRosterRows);
  if (!report.reported) FUZZ_CHECK(outcome.attackers == 0 && outcome.defenders == holding_defenders);

  // Only the ten unit slots and the owner may change.
  Cell cell;
  for (int f = 1; f <= kFieldCount; ++f) cell[static_cast<std::size_t>(f - 1)] = Value::text("field " + std::to_string(f));
  const Cell before = cell;
  const Value attacking_owner = Value::text("B");
  apply_battle_outcome(outcome, cell, attacking_owner);
  for (int f = 1; f <= kFieldCount; ++f) {
    const auto k = static_cast<std::size_t>(f - 1);
    if (f == owner) {
      FUZZ_CHECK(cell[k] == (outcome.captured() ? attacking_owner : before[k]));
    } else if (f >= unit_1 && f <= unit_10) {
      // A cell its team holds keeps its unlisted units (slots 6 to 10, all filled here).
      const auto at = static_cast<std::size_t>(f - unit_1);
      const bool kept = !outcome.captured() && at >= static_cast<std::size_t>(kListedSlots);
      const std::string& unit = outcome.units[at];
      FUZZ_CHECK(cell[k] == (kept ? before[k] : unit.empty() ? Value() : Value::text(unit)));
    } else {
      FUZZ_CHECK(cell[k] == before[k]);
    }
  }
  return 0;
}
