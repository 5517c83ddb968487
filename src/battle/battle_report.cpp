#include "battle/battle_report.h"

#include "common/linefile.h"
#include "common/text.h"

namespace zorvane {
namespace {

// Columns counted from 1; a column past the end reads as empty.
std::string_view columns(std::string_view line, std::size_t first, std::size_t count) {
  if (first - 1 >= line.size()) return {};
  return line.substr(first - 1, count);
}

std::string_view trim_view(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The roster row (0..9) a place number names, or -1.
int row_of(std::string_view place) {
  const double value = numeric_value(place);
  for (int k = 1; k <= kBattleRosterRows; ++k) {
    if (value == k) return k - 1;
  }
  return -1;
}

void mark_no_report(BattleReport& report) {
  for (std::size_t i = 0; i < report.roster.size(); ++i) {
    if (report.roster[i].side == kDefenderSide) {
      report.roster[i].score = kHoldScore;
      report.killed[i] = false;
    }
  }
  report.best_score = 1000;
}

void read_line(BattleReport& report, std::string_view line) {
  if (trim_view(line) == kNoReportMarker) mark_no_report(report);
  if (trim_view(columns(line, 5, 5)) == "Place") {
    ++report.placings;
    const std::string_view score = columns(line, 79, 8);
    const int row = row_of(columns(line, 17, 2));
    if (row >= 0) {
      report.roster[static_cast<std::size_t>(row)].score = std::string(score);
      report.killed[static_cast<std::size_t>(row)] = false;
    }
    const double value = numeric_value(score);
    if (value > report.best_score) report.best_score = value;
  }
  if (line.size() >= 28 && trim_view(line.substr(27)) == kKillNoticeText) {
    const int row = row_of(columns(line, 17, 2));
    if (row >= 0) {
      report.roster[static_cast<std::size_t>(row)].score.assign(1, '0');
      report.killed[static_cast<std::size_t>(row)] = true;
    }
  }
}

}  // namespace

std::string no_report_bytes() { return std::string(kNoReportMarker) + "\r\n"; }

BattleReport read_battle_report(const BattleRoster& roster, std::string_view bytes) {
  BattleReport report;
  report.roster = roster;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    read_line(report, bytes.substr(start, end - start));
    start = end;
    if (start < bytes.size()) {
      if (bytes[start] == '\r' && start + 1 < bytes.size() && bytes[start + 1] == '\n') ++start;
      ++start;
    }
  }
  // Without a single placing, scores of 0 would let killed units and empty rows
  // "survive"; such a report is no report, and the defenders hold.
  if (report.placings == 0) {
    mark_no_report(report);
  } else {
    report.reported = true;
  }
  return report;
}

BattleReport read_battle_report_file(const BattleRoster& roster, const std::string& path, std::size_t max_bytes) {
  auto no_report = [&](std::string why) {
    BattleReport report = read_battle_report(roster, kNoReportMarker);
    report.read_error = std::move(why);
    return report;
  };
  // Read a line at a time from a plain file only: a pipe or device in its place is
  // refused instead of blocking, and a line megabytes long is cut, not kept whole.
  LineLimits limits;
  limits.max_bytes = max_bytes;
  limits.max_line_bytes = 4096;
  LineReader reader(path, LineEnds::any, limits);
  std::string bytes;
  for (std::string line; reader.next(line);) {
    bytes += line;
    bytes += '\n';
  }
  // Beyond the limit the rest is ignored, and so is the line the limit cut.
  const bool truncated = reader.failed() && reader.input_size() > max_bytes;
  if (reader.failed() && !truncated) return no_report(reader.error());
  BattleReport report = read_battle_report(roster, bytes);
  report.truncated = truncated;
  return report;
}

BattleOutcome battle_outcome(const BattleReport& report) {
  BattleOutcome outcome;
  std::size_t slot = 0;
  for (std::size_t i = 0; i < report.roster.size(); ++i) {
    const auto& row = report.roster[i];
    if (is_blank(row.unit) || report.killed[i]) continue;
    if (numeric_value(row.score) != report.best_score) continue;
    outcome.units[slot++] = row.unit;
    if (row.side == kAttackerSide) {
      ++outcome.attackers;
    } else {
      ++outcome.defenders;
    }
  }
  return outcome;
}

void apply_battle_outcome(const BattleOutcome& outcome, Cell& defending, const Value& attacking_owner) {
  const bool captured = outcome.captured();
  const auto slot = [&defending](int k) -> Value& { return defending[static_cast<std::size_t>(unit_1 - 1 + k)]; };
  // Only the first slots are listed for a battle; the units beyond them took no part and
  // stay where they are while their team holds the cell. The survivors take the other slots.
  std::array<bool, kUnitSlots> kept{};
  for (int k = kListedSlots; k < kUnitSlots && !captured; ++k) kept[static_cast<std::size_t>(k)] = !slot(k).is_blank();
  int k = 0;
  for (const std::string& unit : outcome.units) {
    if (unit.empty()) continue;
    while (k < kUnitSlots && kept[static_cast<std::size_t>(k)]) ++k;
    if (k == kUnitSlots) break;  // a full cell: survivors beyond it are lost
    slot(k++) = Value::text(unit);
  }
  for (; k < kUnitSlots; ++k) {
    if (!kept[static_cast<std::size_t>(k)]) slot(k) = Value();
  }
  if (captured) defending[static_cast<std::size_t>(owner - 1)] = attacking_owner;
}

}  // namespace zorvane
