#include <gtest/gtest.h>

#include <filesystem>

#include "common/linefile.h"
#include "config/army.h"
#include "config/roster.h"
#include "test_files.h"

namespace zorvane {
namespace {

std::vector<std::string> numbered_lines(int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back("u" + std::to_string(i) + ".ai");
  return lines;
}

TEST(ReadRoster, SevenLinesFillTeamAAndTwoSlotsOfTeamB) {
  Roster r;
  read_roster(numbered_lines(7), r);
  EXPECT_EQ(r[0], (std::array<std::string, 5>{"u1.ai", "u2.ai", "u3.ai", "u4.ai", "u5.ai"}));
  EXPECT_EQ(r[1], (std::array<std::string, 5>{"u6.ai", "u7.ai", "", "", ""}));
  for (std::size_t team = 2; team < 10; ++team) EXPECT_EQ(r[team], (std::array<std::string, 5>{}));
}

TEST(ReadRoster, FiftyFirstLineStartsASecondCycleAtTeamA) {
  Roster r;
  read_roster(numbered_lines(51), r);
  EXPECT_EQ(r[0][0], "u51.ai");
  EXPECT_EQ(r[0][1], "u2.ai");
  EXPECT_EQ(r[9][4], "u50.ai");
}

TEST(ReadRoster, NamesLoseSurroundingSpacesAndMissingFileEmptiesAll) {
  Roster r;
  read_roster({"  tank.ai  "}, r);
  EXPECT_EQ(r[0][0], "tank.ai");
  read_roster({}, r);
  EXPECT_EQ(r[0][0], "");
}

// c_data.dat is streamed: a file of any length keeps the cycles rule without being held
// whole, long lines are cut, and what is not a plain file empties the table.
TEST(ReadRosterFile, StreamsTheCyclesAndRefusesWhatIsNotAFile) {
  testing::TempDir dir;
  std::string cycles;
  for (const auto& line : numbered_lines(120)) cycles += line + "\n";
  Roster r;
  read_roster_file(dir.write("c.dat", cycles), r);
  EXPECT_EQ(r[0][0], "u101.ai");
  EXPECT_EQ(r[3][4], "u120.ai");
  EXPECT_EQ(r[4][0], "u71.ai");
  read_roster_file(dir.write("long.dat", std::string(1 << 20, 'x') + "\r\nb.ai"), r);
  EXPECT_EQ(r[0][0], std::string(4096, 'x'));
  EXPECT_EQ(r[0][1], "b.ai");
  read_roster_file(dir.fifo("pipe.dat"), r);
  EXPECT_EQ(r, Roster{});
}

TEST(RosterFile, WritesFiftyLinesTeamMajorAndReadsBack) {
  Roster r{};
  r[0] = {"a.ai", "b.ai", "", "", ""};
  r[9] = {"j1.ai", "", "", "", "j5.ai"};
  const std::string bytes = roster_file_bytes(r);
  EXPECT_EQ(bytes.substr(0, 14), "a.ai\r\nb.ai\r\n\r\n");
  EXPECT_EQ(split_lines_any(bytes).size(), 50u);
  Roster back;
  read_roster(split_lines_cr(bytes), back);
  EXPECT_EQ(back, r);
}

TEST(Army, AddStopsAtFiveAndRemoveMakesRoomAgain) {
  Roster r{};
  ArmySelection panel;
  assignments(panel, r, 1, {"a.ai", "b.ai"});
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(army_add(panel, i % 2));
  EXPECT_FALSE(army_add(panel, 0));
  EXPECT_EQ(panel.army.size(), 5u);
  EXPECT_TRUE(army_remove(panel, 4));
  EXPECT_TRUE(army_add(panel, 1));
  EXPECT_FALSE(army_add(panel, 1));
}

TEST(Army, NothingSelectedDoesNothing) {
  ArmySelection panel;
  assignments(panel, Roster{}, 1, {"a.ai"});
  EXPECT_FALSE(army_add(panel, -1));
  EXPECT_FALSE(army_add(panel, 1));
  EXPECT_FALSE(army_remove(panel, 0));
  EXPECT_TRUE(panel.army.empty());
}

TEST(Army, SameUnitTwiceGivesTwoEntriesAndRemovingPacksTheRoster) {
  Roster r{};
  ArmySelection panel;
  assignments(panel, r, 3, {"a.ai", "b.ai", "c.ai"});
  army_add(panel, 0);
  army_add(panel, 0);
  army_add(panel, 2);
  c_update(panel, r, 3);
  EXPECT_EQ(r[2], (std::array<std::string, 5>{"a.ai", "a.ai", "c.ai", "", ""}));
  army_remove(panel, 1);
  c_update(panel, r, 3);
  EXPECT_EQ(r[2], (std::array<std::string, 5>{"a.ai", "c.ai", "", "", ""}));
}

TEST(Army, RosterWithAGapCountsUpToTheLastFilledSlot) {
  Roster r{};
  r[0] = {"a.ai", "", "c.ai", "", ""};
  ArmySelection panel;
  assignments(panel, r, 1, {"x.ai"});
  EXPECT_EQ(panel.army, (std::vector<std::string>{"a.ai", "c.ai"}));
  EXPECT_EQ(panel.army_count, 3);
  EXPECT_TRUE(army_add(panel, 0));
  EXPECT_TRUE(army_add(panel, 0));
  EXPECT_FALSE(army_add(panel, 0));  // counted five, though the list holds four
}

TEST(ListUnitPrograms, FindsAiFilesInLowerCaseSkippingFoldersHiddenAndUnsafeNames) {
  testing::TempDir dir;
  dir.write("Tank.AI", "x");
  dir.write("scout.ai", "x");
  dir.write("notes.txt", "x");
  dir.write(".hidden.ai", "x");
  dir.write("bad\nname.ai", "x");
  dir.write("tab\tname.ai", "x");
  std::filesystem::create_directory(dir.file("folder.ai"));
  EXPECT_EQ(list_unit_programs(dir.path()), (std::vector<std::string>{"scout.ai", "tank.ai"}));
}

TEST(ListUnitPrograms, MissingFolderGivesNoNames) {
  testing::TempDir dir;
  EXPECT_TRUE(list_unit_programs(dir.file("missing")).empty());
}

}  // namespace
}  // namespace zorvane
