#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "campaign/battle_log.h"
#include "test_files.h"

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;

TEST(BattleLogFormat, HeaderHasSevenWordsAndNoTrailingTab) {
  EXPECT_EQ(std::string(kBattleLogHeader), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n");
}

TEST(BattleLogFormat, AdvanceIntoAnEmptyCellEndsWithAnEmptyValueAndTab) {
  const BattleLogEntry entry{3, "A", 2, "Advance", "Move", 4, ""};
  EXPECT_EQ(battle_log_line(entry), "3\tA\t2\tAdvance\tMove\t4\t\t\r\n");
}

TEST(BattleLogFormat, NumbersArePlainDigits) {
  const BattleLogEntry entry{1600, "J", 10, "Augment", "Add", 1600, "J"};
  EXPECT_EQ(battle_log_line(entry), "1600\tJ\t10\tAugment\tAdd\t1600\tJ\t\r\n");
  const BattleLogEntry attack{12, "B", 5, "Advance", "Attack", 13, "C"};
  EXPECT_EQ(battle_log_line(attack), "12\tB\t5\tAdvance\tAttack\t13\tC\t\r\n");
}

TEST(BattleLogFile, ResetLeavesOnlyTheHeader) {
  TempDir dir;
  const std::string log = dir.write("blog.txt", "an old campaign's lines\r\n1\tA\t1\tAdvance\tMove\t2\t\t\r\n");
  const FileResult result = reset_battle_log(log);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(read_bytes(log), kBattleLogHeader);
}

TEST(BattleLogFile, AppendAddsLinesAfterTheHeader) {
  TempDir dir;
  const std::string log = dir.file("blog.txt");
  ASSERT_TRUE(reset_battle_log(log).ok);
  ASSERT_TRUE(append_battle_log(log, {3, "A", 2, "Advance", "Move", 4, ""}).ok);
  ASSERT_TRUE(append_battle_log(log, {7, "B", 3, "Augment", "Add", 7, "B"}).ok);
  EXPECT_EQ(read_bytes(log), std::string(kBattleLogHeader) + "3\tA\t2\tAdvance\tMove\t4\t\t\r\n" +
                                 "7\tB\t3\tAugment\tAdd\t7\tB\t\r\n");
}

TEST(BattleLogFile, AppendCreatesAMissingLog) {
  // A campaign loaded where no new campaign ever ran has no log yet.
  TempDir dir;
  const std::string log = dir.file("blog.txt");
  ASSERT_TRUE(append_battle_log(log, {1, "A", 1, "Advance", "Capture", 2, ""}).ok);
  EXPECT_EQ(read_bytes(log), "1\tA\t1\tAdvance\tCapture\t2\t\t\r\n");
}

TEST(BattleLogFile, FailuresSayWhyAndNameTheFile) {
  TempDir dir;
  const std::string log = dir.file("missing-folder/blog.txt");
  FileResult result = reset_battle_log(log);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("\"" + log + "\""), std::string::npos) << result.error;
  result = append_battle_log(log, {1, "A", 1, "Advance", "Move", 2, ""});
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("battle log"), std::string::npos) << result.error;
  EXPECT_FALSE(std::filesystem::exists(log));
}

TEST(BattleLogFile, FolderInTheWayKeepsItsContents) {
  TempDir dir;
  dir.write("blog.txt/inside.txt", "kept");
  const FileResult result = reset_battle_log(dir.file("blog.txt"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(read_bytes(dir.file("blog.txt/inside.txt")), "kept");
}

}  // namespace
}  // namespace zorvane
