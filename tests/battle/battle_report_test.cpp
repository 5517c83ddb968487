#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "battle/battle_report.h"
#include "test_files.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace zorvane {
namespace {

using testing::TempDir;

// A placing: "Place" in columns 5-9, the place number in columns 17-18, the score from
// column 79 on.
std::string placing(const std::string& place, const std::string& score) {
  std::string line = "    Place 1st";
  line.resize(16, ' ');
  line += place;
  line += "  Some unit (some.ai)";
  line.resize(78, ' ');
  line += score;
  return line;
}

// A kill notice: the place number in columns 17-18, the notice from column 28 on.
std::string kill_notice(const std::string& place) {
  std::string line = "    Unit no.";
  line.resize(16, ' ');
  line += place;
  line.resize(27, ' ');
  return line + "is killed! ...Memorial flag planted!";
}

std::string crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

BattleRoster roster_of(const std::vector<std::pair<std::string, std::string>>& rows) {
  BattleRoster roster;
  for (std::size_t i = 0; i < rows.size(); ++i) roster[i] = BattleRosterRow{"", rows[i].first, rows[i].second};
  return roster;
}

// Two attackers (rows 1, 2) against two defenders (rows 3, 4).
BattleRoster two_on_two() { return roster_of({{"1", "a.ai"}, {"1", "b.ai"}, {"2", "c.ai"}, {"2", "d.ai"}}); }

// A defending cell of team "B" holding six units, so every slot's rewrite shows.
Cell defending_cell() {
  Cell cell;
  cell[owner - 1] = Value::text("B");
  cell[terrain - 1] = Value::text("3");
  for (int k = 0; k < 6; ++k) cell[static_cast<std::size_t>(unit_1 - 1 + k)] = Value::text("old" + std::to_string(k) + ".ai");
  return cell;
}

std::vector<std::string> slots_of(const Cell& cell) {
  std::vector<std::string> out;
  for (int f = unit_1; f <= unit_10; ++f) out.push_back(cell[static_cast<std::size_t>(f - 1)].to_text());
  return out;
}

std::vector<std::string> with_empties(std::vector<std::string> units) {
  units.resize(kUnitSlots);
  return units;
}

Cell apply(const BattleReport& report) {
  Cell cell = defending_cell();
  apply_battle_outcome(battle_outcome(report), cell, Value::text("A"));
  return cell;
}

TEST(BattleReport, KillAfterPlacingLeavesOnlyUntouchedBestAttacker) {
  const std::string report = crlf({placing(" 1", "     120"), placing(" 2", "     120"), placing(" 3", "      40"),
                                   placing(" 4", "      40"), kill_notice(" 2")});
  const BattleReport read = read_battle_report(two_on_two(), report);
  EXPECT_EQ(read.best_score, 120);
  EXPECT_EQ(read.roster[0].score, "     120");
  EXPECT_EQ(read.roster[1].score, "0");
  EXPECT_EQ(read.roster[2].score, "      40");
  EXPECT_TRUE(read.reported);
  const Cell cell = apply(read);
  EXPECT_EQ(slots_of(cell), with_empties({"a.ai"}));
  EXPECT_TRUE(cell[unit_1 - 1 + 1].is_empty()) << "slot 2 emptied, not left with old text";
  EXPECT_EQ(cell[owner - 1].to_text(), "A");
}

TEST(BattleReport, PlacingAfterKillNoticeOverwritesIt) {
  const std::string report = crlf({placing(" 1", "     120"), kill_notice(" 2"), placing(" 2", "     120"),
                                   placing(" 3", "      40"), placing(" 4", "      40")});
  const BattleReport read = read_battle_report(two_on_two(), report);
  EXPECT_EQ(read.roster[1].score, "     120");
  const BattleOutcome outcome = battle_outcome(read);
  EXPECT_EQ(outcome.attackers, 2);
  EXPECT_EQ(outcome.defenders, 0);
  const Cell cell = apply(read);
  EXPECT_EQ(slots_of(cell), with_empties({"a.ai", "b.ai"}));
  EXPECT_EQ(cell[owner - 1].to_text(), "A");
}

TEST(BattleReport, AttackWithTiedSurvivorsKeepsOwner) {
  const BattleRoster roster = roster_of({{"1", "a.ai"}, {"2", "c.ai"}});
  const BattleReport read = read_battle_report(roster, crlf({placing(" 2", "      75"), placing(" 1", "      75")}));
  const BattleOutcome outcome = battle_outcome(read);
  EXPECT_EQ(outcome.attackers, 1);
  EXPECT_EQ(outcome.defenders, 1);
  EXPECT_FALSE(outcome.captured());
  const Cell cell = apply(read);
  EXPECT_EQ(slots_of(cell), with_empties({"a.ai", "c.ai"})) << "survivors in roster order";
  EXPECT_EQ(cell[owner - 1].to_text(), "B");
}

TEST(BattleReport, PlaceNumbersOutsideRosterOnlyRaiseBestScore) {
  const std::string report =
      crlf({placing(" 1", "      50"), placing(" 3", "      50"), placing(" 0", "      90"), placing("11", "      70")});
  const BattleReport read = read_battle_report(two_on_two(), report);
  EXPECT_EQ(read.best_score, 90);
  EXPECT_EQ(read.placings, 4);
  for (std::size_t i : {1u, 3u}) EXPECT_EQ(read.roster[i].score, "") << "row " << i + 1;
  const Cell cell = apply(read);
  EXPECT_EQ(slots_of(cell), with_empties({})) << "nobody reached 90";
  EXPECT_EQ(cell[owner - 1].to_text(), "B");
}

TEST(BattleReport, ScoreIsCutToColumns79To86) {
  const BattleReport read = read_battle_report(two_on_two(), crlf({placing(" 1", "123456789")}));
  EXPECT_EQ(read.roster[0].score, "12345678");
  EXPECT_EQ(read.best_score, 12345678);
}

TEST(BattleReport, LineShorterThan79ColumnsGivesEmptyScore) {
  std::string short_placing = placing(" 1", "");
  short_placing.resize(60);
  const BattleReport read = read_battle_report(two_on_two(), crlf({short_placing, placing(" 3", "      10")}));
  EXPECT_EQ(read.roster[0].score, "");
  EXPECT_EQ(read.best_score, 10);
  EXPECT_EQ(slots_of(apply(read)), with_empties({"c.ai"}));
}

TEST(BattleReport, PlacingMissingItsPlaceNumberColumnsNamesNoRow) {
  const BattleReport read = read_battle_report(two_on_two(), crlf({"    Place", "    Place   x", placing(" 1", "5")}));
  EXPECT_EQ(read.placings, 3);
  EXPECT_EQ(read.roster[0].score, "5");
  EXPECT_EQ(read.best_score, 5);
}

TEST(BattleReport, PlaceNumberIsReadByValue) {
  const BattleRoster roster = roster_of({{"1", "a.ai"}, {"1", "b.ai"}, {"2", "c.ai"}, {"2", "d.ai"}, {"2", "e.ai"}});
  const BattleReport read = read_battle_report(
      roster, crlf({placing("2 ", "      11"), placing("03", "      12"), placing("4x", "      13"), placing("5.", "      14")}));
  EXPECT_EQ(read.roster[1].score, "      11");
  EXPECT_EQ(read.roster[2].score, "      12");
  EXPECT_EQ(read.roster[3].score, "      13");
  EXPECT_EQ(read.roster[4].score, "      14");
}

TEST(BattleReport, LaterPlacingOverwritesEarlierOneButBestScoreStays) {
  const BattleReport read =
      read_battle_report(two_on_two(), crlf({placing(" 1", "     300"), placing(" 1", "      20"), placing(" 3", "20")}));
  EXPECT_EQ(read.roster[0].score, "      20");
  EXPECT_EQ(read.best_score, 300) << "best_score is never lowered";
  EXPECT_EQ(slots_of(apply(read)), with_empties({})) << "nobody holds 300 any more";
}

TEST(BattleReport, NoReportMarkerLetsDefendersHold) {
  for (const std::string marker : {"<empty>\r\n", "  <empty>  \r\n", "<empty>"}) {
    const BattleReport read = read_battle_report(two_on_two(), marker);
    EXPECT_EQ(read.best_score, 1000);
    EXPECT_FALSE(read.reported);
    EXPECT_EQ(read.roster[0].score, "");
    EXPECT_EQ(read.roster[2].score, "1000");
    EXPECT_EQ(read.roster[3].score, "1000");
    const Cell cell = apply(read);
    EXPECT_EQ(slots_of(cell), with_empties({"c.ai", "d.ai"}));
    EXPECT_EQ(cell[owner - 1].to_text(), "B");
  }
}

TEST(BattleReport, MarkerIsNotRecognisedInsideOtherText) {
  const BattleReport read = read_battle_report(two_on_two(), crlf({"x<empty>", placing(" 1", "9")}));
  EXPECT_TRUE(read.reported);
  EXPECT_EQ(read.roster[2].score, "");
}

// A report with no placing would leave best_score at 0, and every row scored 0 (killed
// units included) would survive; it is treated as no report instead.
TEST(BattleReport, ReportWithoutPlacingsCountsAsNoReport) {
  const BattleReport read =
      read_battle_report(two_on_two(), crlf({"Vantor battle report", kill_notice(" 1"), kill_notice(" 3")}));
  EXPECT_FALSE(read.reported);
  EXPECT_EQ(read.placings, 0);
  EXPECT_EQ(read.best_score, 1000);
  const Cell cell = apply(read);
  EXPECT_EQ(slots_of(cell), with_empties({"c.ai", "d.ai"}));
  EXPECT_EQ(cell[owner - 1].to_text(), "B");
}

TEST(BattleReport, KilledRowsNeverSurviveEvenAtBestScoreZero) {
  const BattleReport read = read_battle_report(
      two_on_two(), crlf({placing(" 1", "0"), placing(" 2", "0"), placing(" 3", "0"), kill_notice(" 3"), kill_notice(" 4")}));
  EXPECT_EQ(read.best_score, 0);
  const BattleOutcome outcome = battle_outcome(read);
  EXPECT_EQ(slots_of(apply(read)), with_empties({"a.ai", "b.ai"}));
  EXPECT_EQ(outcome.attackers, 2);
  EXPECT_EQ(outcome.defenders, 0) << "rows without a unit are not counted as defenders";
}

TEST(BattleReport, ReportsWithOtherLineEndsReadTheSame) {
  const std::vector<std::string> lines = {placing(" 1", "     120"), placing(" 2", "     120"),
                                          placing(" 3", "      40"), kill_notice(" 2")};
  const BattleReport expected = read_battle_report(two_on_two(), crlf(lines));
  for (const std::string end : {"\n", "\r"}) {
    std::string bytes;
    for (const auto& line : lines) bytes += line + end;
    const BattleReport read = read_battle_report(two_on_two(), bytes);
    EXPECT_EQ(read.roster, expected.roster);
    EXPECT_EQ(read.best_score, expected.best_score);
  }
  // The last line may lack its line end.
  const std::string last_unended = crlf({placing(" 1", "1")}) + kill_notice(" 1");
  EXPECT_EQ(read_battle_report(two_on_two(), last_unended).roster[0].score, "0");
}

TEST(BattleReport, SurroundingSpacesOfKillNoticeAreIgnored) {
  const BattleReport read = read_battle_report(two_on_two(), crlf({placing(" 1", "5"), kill_notice(" 1") + "   "}));
  EXPECT_EQ(read.roster[0].score, "0");
  std::string shifted = kill_notice(" 3");
  shifted.insert(27, "  ");
  EXPECT_EQ(read_battle_report(two_on_two(), crlf({placing(" 3", "5"), shifted})).roster[2].score, "0");
}

TEST(BattleReport, AlteredKillNoticeIsIgnored) {
  std::string wrong = kill_notice(" 1");
  wrong.back() = '.';
  std::string early = kill_notice(" 1");
  early.erase(20, 1);  // the notice starts in column 27
  const BattleReport read = read_battle_report(two_on_two(), crlf({placing(" 1", "5"), wrong, early}));
  EXPECT_EQ(read.roster[0].score, "5");
}

TEST(BattleReport, JunkAndNulBytesGiveNoReportWithoutCrash) {
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
  junk += std::string(100, '\0');
  const BattleReport read = read_battle_report(two_on_two(), junk);
  EXPECT_FALSE(read.reported);
  EXPECT_EQ(slots_of(apply(read)), with_empties({"c.ai", "d.ai"}));
}

TEST(BattleReport, NulBytesInsideAPlacingAreKeptInItsColumns) {
  std::string line = placing(" 1", "      77");
  line[30] = '\0';
  std::string score_line = placing(" 2", std::string("  \0 88", 6));
  const BattleReport read = read_battle_report(two_on_two(), crlf({line, score_line}));
  EXPECT_EQ(read.roster[0].score, "      77");
  EXPECT_EQ(read.roster[1].score, std::string("  \0 88", 6));
  EXPECT_EQ(read.best_score, 77) << "a score starting with a NUL reads as 0";
}

TEST(BattleReport, HugeLineDoesNotHideTheLinesAfterIt) {
  const std::string huge(5u << 20, 'x');
  const BattleReport read =
      read_battle_report(two_on_two(), crlf({huge, placing(" 1", "      60"), huge + "Place", placing(" 3", "40")}));
  EXPECT_EQ(read.roster[0].score, "      60");
  EXPECT_EQ(read.best_score, 60);
}

TEST(BattleReportFile, ReadsTheFileItNames) {
  TempDir dir;
  const std::string path = dir.write("zorvtmp.txt", crlf({placing(" 3", "      40"), placing(" 1", "      50")}));
  const BattleReport read = read_battle_report_file(two_on_two(), path);
  EXPECT_TRUE(read.reported);
  EXPECT_TRUE(read.read_error.empty());
  EXPECT_EQ(read.best_score, 50);
  EXPECT_EQ(slots_of(apply(read)), with_empties({"a.ai"}));
}

TEST(BattleReportFile, MissingOrUnreadableFileCountsAsNoReport) {
  TempDir dir;
  dir.write("folder/inside.txt", "x");
  for (const std::string& path : {dir.file("missing.txt"), dir.file("folder")}) {
    const BattleReport read = read_battle_report_file(two_on_two(), path);
    EXPECT_FALSE(read.reported) << path;
    EXPECT_FALSE(read.read_error.empty()) << path;
    EXPECT_EQ(read.best_score, 1000);
    const Cell cell = apply(read);
    EXPECT_EQ(slots_of(cell), with_empties({"c.ai", "d.ai"}));
    EXPECT_EQ(cell[owner - 1].to_text(), "B");
  }
}

#ifndef _WIN32
TEST(BattleReportFile, PipeInPlaceOfFileIsNotWaitedFor) {
  TempDir dir;
  const std::string path = dir.file("zorvtmp.txt");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const BattleReport read = read_battle_report_file(two_on_two(), path);
  EXPECT_FALSE(read.reported);
  EXPECT_FALSE(read.read_error.empty());
}
#endif

TEST(BattleReportFile, TextBeyondTheLimitIsIgnored) {
  TempDir dir;
  const std::string head = crlf({placing(" 3", "      40")});
  const std::string filler(100, 'x');
  const std::string path = dir.write("zorvtmp.txt", head + filler + "\r\n" + crlf({placing(" 1", "      99")}));
  const BattleReport read = read_battle_report_file(two_on_two(), path, head.size() + filler.size() + 2 + 20);
  EXPECT_TRUE(read.truncated);
  EXPECT_EQ(read.best_score, 40) << "the placing past the limit is not read";
  EXPECT_EQ(read.roster[0].score, "") << "nor is the part of it that fits";
  EXPECT_EQ(read.roster[2].score, "      40");
}

TEST(BattleReportFile, FileOfExactlyTheLimitIsReadWhole) {
  TempDir dir;
  const std::string bytes = crlf({placing(" 1", "      99")});
  const std::string path = dir.write("zorvtmp.txt", bytes);
  const BattleReport read = read_battle_report_file(two_on_two(), path, bytes.size());
  EXPECT_FALSE(read.truncated);
  EXPECT_EQ(read.best_score, 99);
}

TEST(BattleReportFile, OneHugeLinePastTheLimitIsNoReport) {
  TempDir dir;
  const std::string path = dir.write("zorvtmp.txt", placing(" 1", "      99") + std::string(4096, ' '));
  const BattleReport read = read_battle_report_file(two_on_two(), path, 1024);
  EXPECT_TRUE(read.truncated);
  EXPECT_FALSE(read.reported);
  EXPECT_EQ(read.best_score, 1000);
}

TEST(BattleOutcome, SideOtherThanOneCountsAsDefender) {
  BattleReport report;
  report.roster = roster_of({{"1", "a.ai"}, {"x", "b.ai"}, {"", "c.ai"}});
  for (auto& row : report.roster) row.score = row.unit.empty() ? "" : "7";
  report.best_score = 7;
  const BattleOutcome outcome = battle_outcome(report);
  EXPECT_EQ(outcome.attackers, 1);
  EXPECT_EQ(outcome.defenders, 2);
}

TEST(BattleOutcome, CapturedOnlyWithMoreAttackers) {
  BattleReport report;
  report.roster = roster_of({{"1", "a.ai"}, {"1", "b.ai"}, {"2", "c.ai"}});
  for (auto& row : report.roster) row.score = "5";
  report.best_score = 5;
  Cell cell = defending_cell();
  apply_battle_outcome(battle_outcome(report), cell, Value::text("E"));
  EXPECT_EQ(cell[owner - 1].to_text(), "E");
  EXPECT_EQ(slots_of(cell), with_empties({"a.ai", "b.ai", "c.ai"}));
  EXPECT_EQ(cell[terrain - 1].to_text(), "3") << "other fields untouched";
}

TEST(BattleOutcome, ScoresCompareByValue) {
  BattleReport report;
  report.roster = roster_of({{"1", "a.ai"}, {"2", "c.ai"}});
  report.roster[0].score = "   120.0";
  report.roster[1].score = "120abc";
  report.best_score = 120;
  EXPECT_EQ(battle_outcome(report).units[1], "c.ai");
}

TEST(BattleOutcome, NoReportBytesAreTheMarkerLine) { EXPECT_EQ(no_report_bytes(), "<empty>\r\n"); }

}  // namespace
}  // namespace zorvane
