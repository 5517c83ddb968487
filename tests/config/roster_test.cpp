#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/linefile.h"
#include "config/army.h"
#include "config/roster.h"
#include "test_files.h"

namespace zorvane {
namespace {

// Numbered unit names, one a line, each line ended by `end`.
std::string numbered_lines(int count, const char* end = "\r\n") {
  std::string out;
  for (int i = 1; i <= count; ++i) out += "u" + std::to_string(i) + ".ai" + end;
  return out;
}

// c_data.dat fills the table in cycles of 50 lines, streamed so that a file of any length
// costs one line of memory; long lines are cut, and what is not a plain file empties all.
TEST(ReadRosterFile, FillsFiftyLineCyclesAndRefusesWhatIsNotAFile) {
  testing::TempDir dir;
  const struct {
    std::string path;
    std::vector<std::tuple<int, int, std::string>> slots;  // team and slot from 0, entry
  } cases[] = {
      {dir.write("seven.dat", numbered_lines(7)), {{0, 4, "u5.ai"}, {1, 0, "u6.ai"}, {1, 1, "u7.ai"}, {1, 2, ""}}},
      {dir.write("fifty-one.dat", numbered_lines(51)), {{0, 0, "u51.ai"}, {0, 1, "u2.ai"}, {9, 4, "u50.ai"}}},
      {dir.write("lf.dat", numbered_lines(120, "\n")), {{0, 0, "u101.ai"}, {3, 4, "u120.ai"}, {4, 0, "u71.ai"}}},
      {dir.write("spaces.dat", "  tank.ai  \r\n"), {{0, 0, "tank.ai"}, {0, 1, ""}}},
      {dir.write("long.dat", std::string(1 << 20, 'x') + "\r\nb.ai"), {{0, 0, std::string(4096, 'x')}, {0, 1, "b.ai"}}},
      {dir.fifo("pipe.dat"), {{0, 0, ""}}},
      {dir.file("missing.dat"), {{0, 0, ""}}},
  };
  for (const auto& c : cases) {
    Roster r;
    r[0][0] = r[9][4] = "left over";
    read_roster_file(c.path, r);
    for (const auto& [team, slot, entry] : c.slots) EXPECT_EQ(r[team][slot], entry) << c.path << " " << team << slot;
    if (c.slots.size() == 1) { EXPECT_EQ(r, Roster{}) << c.path; }
  }
}

TEST(RosterFile, WritesFiftyLinesTeamMajorAndReadsBack) {
  Roster r{};
  r[0] = {"a.ai", "b.ai", "", "", ""};
  r[9] = {"j1.ai", "", "", "", "j5.ai"};
  const std::string bytes = roster_file_bytes(r);
  std::vector<std::string> lines(50);
  std::tie(lines[0], lines[1], lines[45], lines[49]) = std::tuple("a.ai", "b.ai", "j1.ai", "j5.ai");
  EXPECT_EQ(bytes, join_crlf(lines));
  testing::TempDir dir;
  Roster back;
  read_roster_file(dir.write("c_data.dat", bytes), back);
  EXPECT_EQ(back, r);
}

// A team's army holds five units at most, counted up to the last filled roster slot; the same
// unit may be added twice; removing packs the roster; nothing selected does nothing.
TEST(Army, AddStopsAtFiveCountedUpToTheLastFilledSlotAndRemovePacksTheRoster) {
  Roster r{};
  r[2] = {"a.ai", "", "c.ai", "", ""};
  ArmySelection panel;
  assignments(panel, r, 3, {"a.ai", "b.ai", "c.ai"});
  EXPECT_EQ(panel.army, (std::vector<std::string>{"a.ai", "c.ai"}));
  EXPECT_EQ(panel.army_count, 3);
  EXPECT_FALSE(army_add(panel, -1) || army_add(panel, 3) || army_remove(panel, 2) || army_remove(panel, -1));
  EXPECT_TRUE(army_add(panel, 1) && army_add(panel, 1));
  EXPECT_FALSE(army_add(panel, 0));  // counted five, though the list holds four
  c_update(panel, r, 3);
  EXPECT_EQ(r[2], (std::array<std::string, 5>{"a.ai", "c.ai", "b.ai", "b.ai", ""}));
  EXPECT_TRUE(army_remove(panel, 1));
  c_update(panel, r, 3);
  EXPECT_EQ(r[2], (std::array<std::string, 5>{"a.ai", "b.ai", "b.ai", "", ""}));
  EXPECT_TRUE(army_add(panel, 2));  // removing made room for one
  EXPECT_FALSE(army_add(panel, 0));
  EXPECT_EQ(panel.army, (std::vector<std::string>{"a.ai", "b.ai", "b.ai", "c.ai"}));
}

TEST(ListUnitPrograms, FindsAiFilesInLowerCaseSkippingFoldersHiddenAndUnsafeNames) {
  testing::TempDir dir;
  for (const char* name : {"Tank.AI", "scout.ai", "notes.txt", ".hidden.ai", "bad\nname.ai", "tab\tname.ai"}) dir.write(name, "x");
  std::filesystem::create_directory(dir.file("folder.ai"));
  EXPECT_EQ(list_unit_programs(dir.path()), (std::vector<std::string>{"scout.ai", "tank.ai"}));
  EXPECT_TRUE(list_unit_programs(dir.file("missing")).empty());
}

}  // namespace
}  // namespace zorvane
