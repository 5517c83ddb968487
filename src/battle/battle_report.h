// The tactical game's result file "zorvtmp.txt": reading its placings and kill notices into
// the battle roster, and applying the outcome to the defending cell. Pure functions over
// bytes and values; the file is never trusted.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "battle/battle_roster.h"
#include "campaign/state.h"

namespace zorvane {

inline constexpr char kResultFileName[] = "zorvtmp.txt";
// The result file's contents before the game runs; still there afterwards means no report.
inline constexpr char kNoReportMarker[] = "<empty>";
inline constexpr char kKillNoticeText[] = "is killed! ...Memorial flag planted!";
// The score every defender gets when there is no report, so the defenders hold.
inline constexpr char kHoldScore[] = "1000";
// Only this much of a result file is read. Beyond it the rest is ignored, and so is a
// line cut by the limit, so a cut placing never yields a cut score.
inline constexpr std::size_t kMaxReportBytes = std::size_t{16} << 20;

struct BattleReport {
  BattleRoster roster;     // the score column filled from the report
  double best_score = 0;   // the highest placing score seen (1000 when there is no report)
  int placings = 0;        // lines read as placings, whatever their place number
  // Rows whose last line in the report was a kill notice: they never survive, even
  // when the report scores nobody above 0.
  std::array<bool, kBattleRosterRows> killed{};
  // False when the game left no report (the marker only, no placing at all, or a file
  // that could not be read): the defenders then hold.
  bool reported = false;
  bool truncated = false;  // the file was longer than the limit; its tail was ignored
  std::string read_error;  // why the file could not be read; empty when it was
};

// The result file's bytes before a battle: the marker and CR LF.
std::string no_report_bytes();

// Reads a report. Lines end at CR LF, CR or LF. Three kinds of line count, each line
// tested against all three in this order:
//  - "<empty>" (spaces around allowed): defenders score "1000", best_score becomes 1000;
//  - a placing, "Place" in columns 5-9: the row named by columns 17-18 (1..10) gets the
//    text of columns 79-86 as its score; its value raises best_score;
//  - a kill notice, the text from column 28 on reading "is killed! ...Memorial flag
//    planted!": the row named by columns 17-18 gets "0".
// Later lines overwrite earlier ones. A report with no placing at all counts as no
// report: it is read as if it held only the marker.
BattleReport read_battle_report(const BattleRoster& roster, std::string_view bytes);

// Reads the result file at path (at most max_bytes of it). A missing or unreadable file
// counts as no report, with read_error saying why.
BattleReport read_battle_report_file(const BattleRoster& roster, const std::string& path,
                                     std::size_t max_bytes = kMaxReportBytes);

struct BattleOutcome {
  // The survivors' unit names in roster order, then empty up to the tenth slot.
  std::array<std::string, kBattleRosterRows> units;
  int attackers = 0;  // surviving rows of side "1"
  int defenders = 0;  // surviving rows of any other side
  // The defending cell passes to the attacking team only when attackers outnumber defenders.
  bool captured() const { return attackers > defenders; }
};

// Survivors are the rows whose score's value equals best_score, except rows that hold
// no unit and rows last reported killed.
BattleOutcome battle_outcome(const BattleReport& report);

// A cell's slots that are listed for a battle (unit_1..unit_5, the action panel's "Current").
inline constexpr int kListedSlots = 5;

// Writes the survivors into the defending cell's slots and, when captured, sets its owner to
// the attacking team (the source cell's owner). A captured cell holds the survivors alone
// (the rest of its slots emptied). A cell its team holds keeps the units in slots 6 to 10,
// which took no part in the battle: the survivors fill the other slots in order (those of
// a full cell that find none are lost) and the rest of slots 1 to 5 are emptied.
void apply_battle_outcome(const BattleOutcome& outcome, Cell& defending, const Value& attacking_owner);

}  // namespace zorvane
