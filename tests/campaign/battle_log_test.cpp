#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "campaign/battle_log.h"
#include "test_files.h"

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;

// An advance into an empty cell ends with an empty value and its tab; numbers are plain
// digits. A campaign loaded where no new campaign ever ran has no log yet: appending makes it.
TEST(BattleLog, ResetLeavesTheHeaderAndAppendsAddTabEndedLines) {
  TempDir dir;
  const std::string log = dir.write("blog.txt", "an old campaign's lines\r\n1\tA\t1\tAdvance\tMove\t2\t\t\r\n");
  const FileResult result = reset_battle_log(log);
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_TRUE(append_battle_log(log, {3, "A", 2, "Advance", "Move", 4, ""}).ok);
  ASSERT_TRUE(append_battle_log(log, {1600, "J", 10, "Augment", "Add", 1600, "J"}).ok);
  EXPECT_EQ(read_bytes(log), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n3\tA\t2\tAdvance\tMove\t4\t\t\r\n1600\tJ\t10\tAugment\tAdd\t1600\tJ\t\r\n");
  ASSERT_TRUE(append_battle_log(dir.file("new.txt"), {12, "B", 5, "Advance", "Attack", 13, "C"}).ok);
  EXPECT_EQ(read_bytes(dir.file("new.txt")), "12\tB\t5\tAdvance\tAttack\t13\tC\t\r\n");
}

TEST(BattleLog, FailuresSayWhyAndNameTheFile) {
  TempDir dir;
  const std::string log = dir.file("missing-folder/blog.txt");
  for (const FileResult& result : {reset_battle_log(log), append_battle_log(log, {1, "A", 1, "Advance", "Move", 2, ""})}) {
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("battle log \"" + log + "\""), std::string::npos) << result.error;
  }
  EXPECT_FALSE(std::filesystem::exists(log));
}

}  // namespace
}  // namespace zorvane
