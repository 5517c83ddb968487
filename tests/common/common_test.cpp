// Text and numbers, paths, colours, and the line and file routines every reader and writer uses.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <set>
#include <tuple>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/folder_lock.h"
#include "common/linefile.h"
#include "common/palette.h"
#include "common/paths.h"
#include "common/text.h"
#include "test_files.h"

namespace zorvane {
namespace {

// A text cut from a longer line (a column of a result file) is read only as far as it goes.
TEST(NumericValue, ReadsTheLeadingNumberAfterSpacesOrZeroWithEveryDigit) {
  const double most = std::numeric_limits<double>::max();
  for (const auto& [text, value] :
       {std::pair<std::string_view, double>{"  42abc", 42}, {"3.75", 3.75}, {"-7", -7}, {".5", 0.5}, {"1e3x", 1000},
        {"2E2", 200}, {"5e", 5}, {"5e+", 5}, {"+4", 4}, {" \t-7.5e-1", -0.75}, {"1e999", most}, {"-1e999", -most},
        {"", 0}, {"abc", 0}, {"x12", 0}, {"1x5", 1}, {"-", 0}, {".", 0}, {std::string_view("1.25", 3), 1.2},
        {std::string_view("12", 1), 1}, {std::string_view("2e5", 2), 2}, {std::string_view("7e55", 3), 7e5}}) {
    EXPECT_EQ(numeric_value(text), value) << text;
  }
  EXPECT_EQ(std::tuple(whole_value(" 2.5x"), whole_value("3.5")), std::tuple(2LL, 4LL));
  // 0 and 9 are digits like any other, before the point, after it and in the exponent.
  for (const auto& [text, value] : {std::pair<std::string_view, double>{"90", 90}, {"10.09", 10.09}, {"0.90", 0.9},
                                    {"9.0x", 9}, {"-0.009", -0.009}, {".9", 0.9}, {"2e09", 2e9}, {"1E90", 1e90}}) {
    EXPECT_EQ(numeric_value(text), value) << text;
  }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  for (const auto& [x, rounded] : {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {30.5, 30}, {31.5, 32}, {-2.5, -2}, {-3.5, -4},
                                   {30.1, 30}, {2.51, 3}, {std::nan(""), 0}}) {
    EXPECT_EQ(round_half_even(x), rounded) << x;
  }
  EXPECT_EQ(std::pair(round_half_even(1e19), round_half_even(-1e19)),
            std::pair(std::numeric_limits<long long>::max(), std::numeric_limits<long long>::min()));
}

TEST(PrintForms, NumbersCarrySignSpaceAndTrailingSpaceAndBlanksAreTrimmed) {
  EXPECT_EQ(std::tuple(print_number(30832), print_number(-4), str_number(1), str_number(-1)),
            std::tuple(" 30832 ", "-4 ", " 1", "-1"));
  EXPECT_EQ(std::tuple(is_blank(""), is_blank("   "), is_blank(" a "), trim("  a b  ")), std::tuple(true, true, false, "a b"));
  // Control characters are bytes 0 to 31 and 127; a space or a byte above 127 is none.
  EXPECT_EQ(std::tuple(has_control_char("a b~"), has_control_char("\xe9\x80"), has_control_char("a\x1f"), has_control_char("\x7f")),
            std::tuple(false, false, true, true));
}

TEST(QuotedExcerpt, LongTextsAreCutToAShortPrefixNotInsideACharacterAndControlsShowAsBytes) {
  const std::string accented = std::string(59, 'a') + "\xC3\xA9tude";  // "é" spans bytes 60 and 61
  for (const auto& [text, expected] :
       {std::pair{std::string(), std::string("\"\"")}, {std::string(60, 'x'), "\"" + std::string(60, 'x') + "\""},
        {std::string(1 << 20, 'x'), "\"" + std::string(60, 'x') + "...\""}, {accented, "\"" + std::string(59, 'a') + "...\""},
        // Not a character: at most three continuation bytes are given back, and shown as bytes.
        {std::string(56, 'a') + std::string(10, '\x80'), "\"" + std::string(56, 'a') + "\\x80...\""},
        // A terminal's escape sequence, DEL, a C1 control, a lone lead byte, a byte never in
        // UTF-8 and a tab show as bytes; "é" and "€" stay.
        {std::string("\x1B]0;x\x07\x7F\xC2\x9B\xC3z\xFF\t\xC3\xA9\xE2\x82\xAC"),
         "\"\\x1B]0;x\\x07\\x7F\\xC2\\x9B\\xC3z\\xFF\\x09\xC3\xA9\xE2\x82\xAC\""}}) {
    EXPECT_EQ(quoted_excerpt(text), expected) << text.size();
  }
}

// The folder part ends at the last separator; texts of four characters or fewer, texts
// without a separator, and separators in position 1 or 2 leave the text unchanged. The file
// name is the text after the last separator.
TEST(GetPath, TakesFolderPartAtLastSeparatorFromTheThirdPositionOnAndTheNameAfterIt) {
  for (const auto& [path, folder, name] :
       {std::tuple{"C:\\Games\\Vantor.exe", "C:\\Games", "Vantor.exe"}, {"C:\\Vantor.exe", "C:", "Vantor.exe"},
        {"/opt/games/Vantor.exe", "/opt/games", "Vantor.exe"}, {"C:/Games/sub\\Vantor.exe", "C:/Games/sub", "Vantor.exe"},
        {"C:\\a", "C:\\a", "a"}, {"", "", ""}, {"abcd", "abcd", "abcd"}, {"Vantor.exe", "Vantor.exe", "Vantor.exe"},
        {"\\Vantor.exe", "\\Vantor.exe", "Vantor.exe"}, {"a\\Vantor.exe", "a\\Vantor.exe", "Vantor.exe"},
        {"ab\\Vantor.exe", "ab", "Vantor.exe"}, {"maps/", "maps", ""}}) {
    EXPECT_EQ(GetPath(path), folder) << path;
    EXPECT_EQ(GetFileName(path), name) << path;
  }
}

TEST(JoinPath, UsesTheFoldersOwnSeparatorAndTakesRelativeSettingsAgainstTheProgramFolder) {
  // The scenario tests join backslash and empty folders.
  EXPECT_EQ(join_path("/opt/g", "a.ai"), "/opt/g/a.ai");
  const std::string sep(1, platform_separator());
  for (const auto& [folder, setting, path] :
       {std::tuple{"/prog", "vantor/Vantor.exe", "/prog" + sep + "vantor/Vantor.exe"},
        {"/prog/", " background.bmp ", "/prog" + sep + "background.bmp"}, {"/prog", "/abs/Vantor.exe", "/abs/Vantor.exe"},
        {"/prog", "C:\\Games\\Vantor.exe", "C:\\Games\\Vantor.exe"}, {"/prog", "   ", "   "}, {"", "a.bmp", "a.bmp"},
        {"/prog//", "a.bmp", "/prog" + sep + "a.bmp"}, {"/prog", "z:/a.bmp", "z:/a.bmp"}, {"/prog", "\\\\srv\\a", "\\\\srv\\a"},
        {"/prog", "C:a.bmp", "/prog" + sep + "C:a.bmp"}, {"/prog", "1:\\a", "/prog" + sep + "1:\\a"},
        {"/prog", "[:\\a", "/prog" + sep + "[:\\a"}, {"/prog", "@:/a", "/prog" + sep + "@:/a"}, {"/prog", "{:/a", "/prog" + sep + "{:/a"},
        {"/prog", "A:\\a", "A:\\a"}, {"/prog", "Z:/a", "Z:/a"}, {"/prog", "a:/a", "a:/a"}}) {
    EXPECT_EQ(resolve_in_folder(folder, setting), path) << setting;
  }
}

// A user's own copy wins over the shipped one; what neither holds is the user's to make.
TEST(JoinPath, RelativeSettingsAreTakenInTheFirstFolderThatHoldsThem) {
  testing::TempDir dir;
  for (const char* name : {"shipped/vantor/Vantor.exe", "shipped/background.bmp", "mine/background.bmp"}) dir.write(name, "");
  const std::string mine = dir.file("mine");
  const std::string shipped = dir.file("shipped");
  const std::string sep(1, platform_separator());
  for (const auto& [setting, folder, path] :
       {std::tuple{"vantor/Vantor.exe", shipped, shipped + sep + "vantor/Vantor.exe"},
        {" background.bmp ", mine, mine + sep + "background.bmp"}, {"maps/none.aim", mine, mine + sep + "maps/none.aim"},
        {"/abs/x.bmp", mine, "/abs/x.bmp"}, {"  ", mine, "  "}}) {
    EXPECT_EQ(std::pair(folder_holding({mine, shipped}, setting), resolve_in_folders({mine, shipped}, setting)),
              std::pair(folder, path))
        << setting;
  }
  EXPECT_EQ(std::pair(folder_holding({}, "a.bmp"), resolve_in_folders({}, "a.bmp")),
            std::pair(std::string(), std::string("a.bmp")));
}

TEST(Palette, ColourValuesHaveRedInTheLowByte) {
  EXPECT_EQ(std::tuple(rgb(15, 165, 0), rgb(112, 120, 0), rgb(255, 255, 255)), std::tuple(42255u, 30832u, 16777215u));
  EXPECT_EQ(std::tuple(palette_color(1), palette_color(12), palette_color(14)),
            std::tuple(rgb(0, 0, 128), rgb(255, 0, 0), rgb(255, 255, 0)));
  EXPECT_EQ(std::tuple(red_of(rgb(1, 2, 3)), green_of(rgb(1, 2, 3)), blue_of(rgb(1, 2, 3))), std::tuple(1, 2, 3));
}

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

Lines read_all(LineReader& reader) {
  Lines lines;
  for (std::string line; reader.next(line);) lines.push_back(line);
  return lines;
}

// The whole-text splitters: CR mode keeps LF in the line, any mode ends lines at LF too. The
// streaming reader must split exactly as they do, from memory and from a file, also where a
// CR LF straddles the reader's 64 KiB chunks.
TEST(LineReader, SplitsAsTheWholeTextSplittersFromMemoryAndFromAFile) {
  for (const auto& [text, cr, any] : {std::tuple{"a\r\nb\rc", Lines{"a", "b", "c"}, Lines{"a", "b", "c"}},
                                      {"a\nb\r\n", Lines{"a\nb"}, Lines{"a", "b"}},
                                      {"a\r\n\r\nb\r\n", Lines{"a", "", "b"}, Lines{"a", "", "b"}},
                                      {"", Lines{}, Lines{}}, {"\r\n", Lines{""}, Lines{""}},
                                      {"a\nb\r\nc\rd", Lines{"a\nb", "c", "d"}, Lines{"a", "b", "c", "d"}}}) {
    EXPECT_EQ(split_lines_cr(text), cr) << text;
    EXPECT_EQ(split_lines_any(text), any) << text;
  }
  EXPECT_EQ(join_crlf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  testing::TempDir dir;
  const std::string chunk(65535, 'x');
  for (const std::string& text :
       {std::string("a\r\nb\rc\nd"), std::string("\r\n\r\n"), std::string(), chunk + "\r\nb", chunk + "\r\r\n\n",
        chunk + "y\r\nz\r\n", std::string("last\r")}) {
    for (const LineEnds ends : {LineEnds::cr, LineEnds::any}) {
      const Lines expected = ends == LineEnds::cr ? split_lines_cr(text) : split_lines_any(text);
      LineReader memory(std::string_view(text), ends);
      LineReader file(dir.write("t.txt", text), ends);
      EXPECT_EQ(read_all(memory), expected) << text.size();
      EXPECT_EQ(read_all(file), expected) << text.size();
      EXPECT_EQ(std::tuple(file.failed(), file.bytes_used(), file.input_size()), std::tuple(false, text.size(), text.size()))
          << file.error();
    }
  }
}

TEST(LineReader, CutsLongLinesAndStopsAtTheByteLimit) {
  const std::string text = "short\n" + std::string(10, 'E') + "\n" + std::string(5000, 'L') + "\nafter\n";
  LineReader cut(std::string_view(text), LineEnds::any, {.max_line_bytes = 10});
  std::vector<std::pair<std::string, bool>> lines;
  for (std::string line; cut.next(line);) lines.push_back({line, cut.line_cut()});
  EXPECT_EQ(lines, (std::vector<std::pair<std::string, bool>>{
                       {"short", false}, {std::string(10, 'E'), false}, {std::string(10, 'L'), true}, {"after", false}}));
  LineReader limited(std::string_view(text), LineEnds::any, {.max_bytes = 1024});
  EXPECT_EQ(read_all(limited), (Lines{"short", std::string(10, 'E')}));
  EXPECT_EQ(limited.error(), "the file is larger than 1 KiB");
  for (const std::size_t max : {text.size(), text.size() - 1}) {
    LineReader exact(std::string_view(text), LineEnds::any, {.max_bytes = max});
    EXPECT_EQ(read_all(exact).size(), max == text.size() ? 4u : 3u);
    EXPECT_EQ(exact.failed(), max < text.size());
  }
  testing::TempDir dir;
  const std::string path = dir.write("big.txt", std::string(100, 'x'));
  EXPECT_EQ(read_file(path, 99).error, "the file is larger than 99 bytes");
  EXPECT_EQ(read_file(path, 100).bytes, std::string(100, 'x'));
  for (const auto& [bytes, text] : {std::pair{0ull, "0 bytes"}, {1ull, "1 byte"}, {1023ull, "1023 bytes"}, {1024ull, "1 KiB"},
                                    {1025ull, "1025 bytes"}, {1ull << 20, "1 MiB"}, {(3ull << 20) + 1024, "3073 KiB"}}) {
    EXPECT_EQ(size_text(bytes), text);
  }
}

// Started without standard input, the program gets descriptor 0 for the first file it
// opens, which must still be read and written. An append adds to the end and creates a
// missing file.
TEST(Files, AreReadAndWrittenThroughDescriptorZero) {
  testing::TempDir dir;
  const std::string path = dir.write("c_data.dat", "a\r\nb\r\n");
  const int saved = ::dup(0);
  ::close(0);
  Lines lines;
  {
    LineReader reader(path, LineEnds::any);
    lines = read_all(reader);
  }
  const ReadResult whole = read_file(path);
  const bool written = write_file_atomic(dir.file("config.dat"), "new\r\n").ok;
  const bool appended = append_file(dir.file("blog.txt"), "a\r\n").ok && append_file(dir.file("blog.txt"), "b\r\n").ok;
  ::dup2(saved, 0);
  ::close(saved);
  EXPECT_EQ(std::tuple(lines, whole.bytes, written && appended, testing::read_bytes(dir.file("config.dat")),
                       testing::read_bytes(dir.file("blog.txt"))),
            std::tuple(Lines{"a", "b"}, "a\r\nb\r\n", true, "new\r\n", "a\r\nb\r\n"));
}

// Reading a pipe or a device used to block for ever; every reader refuses them at once.
TEST(Readers, RefuseWhatIsNotAPlainFileNamingWhatItIs) {
  testing::TempDir dir;
  for (const auto& [path, reason] : std::vector<std::tuple<std::string, const char*>>{
      {dir.file("none.txt"), "the file does not exist"},
      {dir.path(), "it is a folder, not a file"},
      {dir.fifo("pipe"), "it is a named pipe, not a file"},
      {fs::exists("/dev/ptmx") ? "/dev/ptmx" : "/dev/null", "it is a device, not a file"}
  }) {
    const ReadResult whole = read_file(path);
    EXPECT_EQ(std::pair(whole.ok, whole.error), std::pair(false, std::string(reason))) << path;
    LineReader lines(path, LineEnds::any);
    std::string line;
    EXPECT_FALSE(lines.next(line)) << path;
    EXPECT_EQ(lines.error(), reason) << path;
    if (path != dir.file("none.txt")) { EXPECT_EQ(append_file(path, "x").error, reason) << path; }
  }
}

// The whole file is replaced, its mode kept, a symbolic link kept and its target written,
// and no temporary file is left.
TEST(WriteFileAtomic, ReplacesTheWholeFileKeepingItsModeAndLinks) {
  testing::TempDir dir;
  const std::string plain = dir.write("config.dat", "old old old old\r\n");
  ::chmod(plain.c_str(), 0600);
  const std::string target = dir.write("real/c_data.dat", "old old old old\r\n");
  fs::create_symlink("real/c_data.dat", dir.file("c_data.dat"));
  for (const auto& [path, written] : {std::pair{plain, plain}, {dir.file("c_data.dat"), target}}) {
    ASSERT_TRUE(write_file_atomic(path, "new\r\n").ok);
    EXPECT_EQ(testing::read_bytes(written), "new\r\n");
    EXPECT_FALSE(fs::exists(written + ".saving"));
  }
  EXPECT_EQ(fs::status(plain).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_TRUE(fs::is_symlink(dir.file("c_data.dat")));
}

TEST(WriteFileAtomic, FolderThatTakesNoNewFileGetsTheFileRewrittenInPlace) {
  testing::TempDir dir;
  const std::string folder = dir.file("locked");
  const std::string path = dir.write("locked/config.dat", "old old old old\r\n");
  const int code = testing::run_unprivileged(dir.path(), [&] {
    ::chmod(folder.c_str(), 0555);
    const int saved = ::dup(0);
    ::close(0);  // the rewrite in place gets descriptor 0, as in a program started without input
    const FileResult written = write_file_atomic(path, "new\r\n");
    FileResult failed;
    {
      testing::FileSizeLimit limit(64);  // a full disk: the room is taken before any byte is written
      failed = write_file_atomic(path, std::string(100, 'x'));
    }
    ::dup2(saved, 0);
    ::close(saved);
    ::chmod(folder.c_str(), 0755);
    return (written.ok ? 0 : 1) | (!failed.ok && !failed.error.empty() && !failed.old_file_damaged ? 0 : 2);
  });
  if (code == 77) GTEST_SKIP() << "cannot drop root's privileges here";
  EXPECT_EQ(code, 0);
  EXPECT_EQ(testing::read_bytes(path), "new\r\n");
}

// A failed write keeps the old file and says why; another writer's temporary file, even one
// at the name every writer once shared, is left alone, and a failed write leaves no temporary
// file of its own behind.
TEST(WriteFileAtomic, FailureKeepsTheOldFileSaysWhyAndNeverTouchesAnotherWritersTemporaryFile) {
  testing::TempDir dir;
  const std::string path = dir.write("autosave.sav", "old\r\n");
  const std::string other = dir.write("autosave.sav.saving", "the other copy's half-written save");
  const bool written = write_file_atomic(path, "new\r\n").ok;
  FileResult full;
  {
    testing::FileSizeLimit limit(2);  // a full disk makes the write fail before the rename
    full = write_file_atomic(path, "newer\r\n");
  }
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.insert(entry.path().filename().string());
  EXPECT_EQ(std::tuple(written, full.ok, full.error, testing::read_bytes(path), testing::read_bytes(other), names),
            std::tuple(true, false, "File too large", "new\r\n", "the other copy's half-written save",
                       std::set<std::string>{"autosave.sav", "autosave.sav.saving"}));

  fs::create_symlink("loop2", dir.file("loop1"));
  fs::create_symlink("loop1", dir.file("loop2"));
  fs::create_directory(dir.file("folder"));
  for (const auto& [where, reason] : {std::pair{dir.file("folder"), "a folder of that name is in the way"},
                                      {dir.fifo("pipe"), "it is a named pipe, not a file"},
                                      {dir.file("no/such/folder/x.sav"), "No such file or directory"},
                                      {dir.file("loop1"), "it is a chain of more than 40 symbolic links"}}) {
    EXPECT_EQ(write_file_atomic(where, "x").error, reason) << where;
  }
  EXPECT_TRUE(fs::is_directory(dir.file("folder")));
}

// A link planted where a generated file goes (in a shared folder, by another user, or by the
// game) is replaced, and what it points to is neither written nor created, also when the
// folders take no new file; a scratch file, not forced to disk, the same way. The user's own
// files keep writing through a link (above).
TEST(WriteGeneratedFile, ReplacesALinkPlantedAtItsPathInsteadOfWritingThroughIt) {
  testing::TempDir dir;
  const std::string victim = dir.write("home/.profile", "private\r\n");
  fs::create_symlink(victim, dir.file("campaign.sav"));
  for (const auto writer : {&write_generated_file, &write_scratch_file}) {
    fs::create_symlink(victim, dir.file("zorvtmp.scn"));
    fs::create_symlink(dir.file("home/new"), dir.file("history.csv"));
    for (const char* name : {"zorvtmp.scn", "history.csv"}) {
      EXPECT_TRUE(writer(dir.file(name), "generated\r\n").ok) << name;
      EXPECT_EQ(std::pair(fs::is_symlink(dir.file(name)), testing::read_bytes(dir.file(name))),
                std::pair(false, std::string("generated\r\n")))
          << name;
      fs::remove(dir.file(name));
    }
  }
  // A generated log is appended to: a link in its place is refused.
  fs::create_symlink(victim, dir.file("blog.txt"));
  EXPECT_EQ(append_file(dir.file("blog.txt"), "x", Links::replace).error, "it is a symbolic link, not a file");
  const int code = testing::run_unprivileged(dir.path(), [&] {
    for (const std::string& folder : {dir.path(), dir.file("home")}) ::chmod(folder.c_str(), 0555);
    const FileResult written = write_generated_file(dir.file("campaign.sav"), "generated\r\n");
    for (const std::string& folder : {dir.path(), dir.file("home")}) ::chmod(folder.c_str(), 0755);
    return written.ok || written.error.empty() ? 1 : 0;
  });
  if (code != 77) { EXPECT_EQ(code, 0); }
  EXPECT_EQ(std::pair(testing::read_bytes(victim), fs::exists(dir.file("home/new"))), std::pair(std::string("private\r\n"), false));
}

// The first copy takes the folder; a second learns who holds it and says so; once the first
// is gone, or was killed, the lock is taken again. With the system's locks and with the pid
// written in the file, the fallback where there are none.
TEST(FolderLock, ASecondCopyLearnsWhoHoldsTheFolderAndAKilledCopysLockIsTakenOver) {
  const std::string me = std::to_string(::getpid());
  for (const auto method : {FolderLock::Method::system, FolderLock::Method::pid}) {
    SCOPED_TRACE(method == FolderLock::Method::system ? "system" : "pid");
    testing::TempDir dir;
    {
      const FolderLock first(dir.path(), "zorvane", method);
      const FolderLock second(dir.path(), "zorvane-campaign", method);
      EXPECT_EQ(std::tuple(first.taken(), second.in_use(), second.holder().pid, second.holder().host, second.holder().program),
                std::tuple(true, true, ::getpid(), this_host_name(), "zorvane"));
      EXPECT_EQ(second.in_use_text(), "the folder " + dir.path() + " is in use by another copy of Zorvane (process " + me + ")");
    }
    EXPECT_TRUE(FolderLock(dir.path(), "zorvane", method).taken());

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t copy = ::fork();
    if (copy == 0) {
      const FolderLock held(dir.path(), "zorvane", method);
      const char said = held.taken() ? 'y' : 'n';
      [[maybe_unused]] const auto put = ::write(ready[1], &said, 1);
      for (;;) ::pause();
    }
    char said = 0;
    [[maybe_unused]] const auto got = ::read(ready[0], &said, 1);
    const FolderLock while_it_runs(dir.path(), "zorvane", method);
    ::kill(copy, SIGKILL);
    ::waitpid(copy, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    const FolderLock after(dir.path(), "zorvane-campaign", method);
    EXPECT_EQ(std::tuple(said, while_it_runs.holder().pid, after.taken()), std::tuple('y', copy, true));
    EXPECT_EQ(testing::read_bytes(dir.file("zorvane.lock")), me + "\n" + this_host_name() + "\nzorvane-campaign\n");
  }
}

// A lock written on another machine (here one cut short) cannot be checked from here, so only
// the system's lock overrides it; a lock file that cannot be made, or a link in its place, takes no lock and
// writes nothing through the link.
TEST(FolderLock, OtherHostsMissingFoldersAndPlantedLinks) {
  testing::TempDir dir;
  dir.write("shared/zorvane.lock", "123\nother-host\n");  // cut short: no program line
  const FolderLock by_pid(dir.file("shared"), "zorvane", FolderLock::Method::pid);
  EXPECT_EQ(std::pair(by_pid.in_use_text(), by_pid.holder().program),
            std::pair("the folder " + dir.file("shared") + " is in use by another copy of Zorvane (process 123 on host other-host)",
                      std::string()));
  EXPECT_TRUE(FolderLock(dir.file("shared")).taken());
  const std::string victim = dir.write("victim.txt", "private");
  dir.write("linked/x", "");
  fs::create_symlink(victim, dir.file("linked/zorvane.lock"));
  for (const std::string& folder : {dir.file("missing"), dir.file("linked")}) {
    const FolderLock lock(folder);
    EXPECT_EQ(lock.state(), FolderLock::State::unavailable) << folder;
    EXPECT_NE(lock.error().find("\"" + folder + "/zorvane.lock\" cannot be opened"), std::string::npos) << lock.error();
  }
  EXPECT_EQ(testing::read_bytes(victim), "private");
}

}  // namespace
}  // namespace zorvane
