#include <gtest/gtest.h>

#include <filesystem>

#include "common/linefile.h"
#include "test_files.h"

namespace zorvane {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLinesCr, CrLfAndCrEndLinesWhileLfStaysInTheLine) {
  EXPECT_EQ(split_lines_cr("a\r\nb\rc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(split_lines_cr("a\nb\r\n"), (Lines{"a\nb"}));
  EXPECT_EQ(split_lines_cr("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(split_lines_cr(""), Lines{});
  EXPECT_EQ(split_lines_cr("\r\n"), (Lines{""}));
}

TEST(SplitLinesAny, LfAloneAlsoEndsALine) {
  EXPECT_EQ(split_lines_any("a\nb\r\nc\rd"), (Lines{"a", "b", "c", "d"}));
}

TEST(JoinCrlf, EveryLineEndsWithCrLf) {
  EXPECT_EQ(join_crlf({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(ReadFile, ExplainsMissingFolderAndOversizeFiles) {
  testing::TempDir dir;
  EXPECT_FALSE(read_file(dir.file("none.txt")).ok);
  EXPECT_FALSE(read_file(dir.file("none.txt")).error.empty());
  const ReadResult folder = read_file(dir.path());
  EXPECT_FALSE(folder.ok);
  EXPECT_NE(folder.error.find("folder"), std::string::npos);
  const std::string path = dir.write("big.txt", std::string(100, 'x'));
  EXPECT_FALSE(read_file(path, 99).ok);
  const ReadResult whole = read_file(path, 100);
  ASSERT_TRUE(whole.ok);
  EXPECT_EQ(whole.bytes, std::string(100, 'x'));
}

TEST(WriteFileAtomic, ReplacesTheWholeFileAndLeavesNoTemporaryFile) {
  testing::TempDir dir;
  const std::string path = dir.write("config.dat", "old old old old\r\n");
  ASSERT_TRUE(write_file_atomic(path, "new\r\n").ok);
  EXPECT_EQ(testing::read_bytes(path), "new\r\n");
  EXPECT_FALSE(testing::file_exists(path + ".saving"));
}

TEST(WriteFileAtomic, FailureKeepsTheOldFileAndSaysWhy) {
  testing::TempDir dir;
  const std::string path = dir.write("config.dat", "old\r\n");
  // A folder where the temporary file would go makes the write fail before the rename.
  std::filesystem::create_directory(path + ".saving");
  const FileResult result = write_file_atomic(path, "new\r\n");
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(testing::read_bytes(path), "old\r\n");
}

TEST(WriteFileAtomic, RefusesToReplaceAFolder) {
  testing::TempDir dir;
  const std::string path = dir.file("c_data.dat");
  std::filesystem::create_directory(path);
  const FileResult result = write_file_atomic(path, "x");
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(WriteFileAtomic, MissingFolderFails) {
  testing::TempDir dir;
  EXPECT_FALSE(write_file_atomic(dir.file("no/such/folder/x.sav"), "x").ok);
}

TEST(AppendFile, AddsToTheEndAndCreatesMissingFiles) {
  testing::TempDir dir;
  const std::string path = dir.file("blog.txt");
  ASSERT_TRUE(append_file(path, "a\r\n").ok);
  ASSERT_TRUE(append_file(path, "b\r\n").ok);
  EXPECT_EQ(testing::read_bytes(path), "a\r\nb\r\n");
}

}  // namespace
}  // namespace zorvane
