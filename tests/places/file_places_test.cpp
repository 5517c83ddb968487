// Where the program's files live: a portable folder keeps everything; a read-only folder or
// a standard install sends what run time writes to the user's folder and looks relative
// paths up there first.
#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

#include "places/file_places.h"
#include "test_files.h"

namespace zorvane::testing {
namespace {

namespace fs = std::filesystem;

QString q(const std::string& text) { return QString::fromStdString(text); }

// What the places say, one line each, paths shown below the test's folder.
std::string facts(const FilePlaces& places, const TempDir& dir) {
  const auto below = [&](const QString& path) {
    const std::string p = path.toStdString();
    return p.rfind(dir.path(), 0) == 0 ? p.substr(dir.path().size()) : p;
  };
  std::string out = std::string(places.installed() ? "installed" : "portable") + " user " + below(places.user_folder()) +
                    " data " + below(places.data_folder()) + " maps " + below(places.maps_folder()) + "\n";
  for (const char* name : {"config.dat", "c_data.dat", "blog.txt", "zorvtmp.scn", "zorvtmp.txt", "autosave.sav",
                           "ZIDizizi.bmp", "Help.txt", "notes.txt"}) {
    out += std::string(name) + " " + below(places.file(QString::fromLatin1(name))) + "\n";
  }
  for (const char* setting : {"vantor/Vantor.exe", " background.bmp", "maps/none.aim"}) {
    out += std::string(setting) + " " + below(q(places.resolve(setting))) + "\n";
  }
  return out + places.problem().toStdString();
}

// The lines facts() gives for each name: in `folder` unless listed in `elsewhere`.
std::string expected(const std::string& head, const std::string& folder,
                     std::initializer_list<std::pair<std::string, std::string>> elsewhere) {
  std::string out = head + "\n";
  for (const char* name : {"config.dat", "c_data.dat", "blog.txt", "zorvtmp.scn", "zorvtmp.txt", "autosave.sav",
                           "ZIDizizi.bmp", "Help.txt", "notes.txt", "vantor/Vantor.exe", " background.bmp",
                           "maps/none.aim"}) {
    std::string path = folder + "/" + std::string(name).substr(name[0] == ' ' ? 1 : 0);
    for (const auto& [other, where] : elsewhere) {
      if (other == name) path = where;
    }
    out += std::string(name) + " " + path + "\n";
  }
  return out;
}

// The shipped files of a program folder, with what an earlier portable run left in it.
void ship(const TempDir& dir, const std::string& folder) {
  for (const char* name : {"config.dat", "c_data.dat", "Help.txt", "background.bmp", "blog.txt", "autosave.sav",
                           "vantor/Vantor.exe", "maps/duel-8.aim"}) {
    dir.write(folder + "/" + name, std::string("shipped ") + name + "\r\n");
  }
}

TEST(FilePlaces, WritableProgramFolderKeepsEveryFileInIt) {
  TempDir dir;
  ship(dir, "prog");
  const FilePlaces places = FilePlaces::choose(q(dir.file("prog")), q(dir.file("home")));
  EXPECT_EQ(facts(places, dir), expected("portable user /prog data /prog maps /prog", "/prog", {}));
  EXPECT_EQ(places.search_folders(), std::vector<std::string>{dir.file("prog")});
  EXPECT_FALSE(fs::exists(dir.file("home")));
  // The build's own program folder stays portable.
  EXPECT_EQ(FilePlaces::data_folder_for(q(ZORVANE_PROGRAM_DIR)), q(ZORVANE_PROGRAM_DIR));
}

// Run as "nobody" when the tests run as root, who could write anywhere.
TEST(FilePlaces, ReadOnlyProgramFolderSendsRunTimeFilesToTheUsersFolder) {
  TempDir dir;
  ship(dir, "prog");
  const std::string prog = dir.file("prog");
  const std::string user = dir.file("home/.local/share/zorvane");
  const int code = run_unprivileged(dir.path(), [&] {
    ::chmod(prog.c_str(), 0555);
    dir.write("facts-1.txt", facts(FilePlaces::choose(q(prog), q(user)), dir));
    // The next start keeps the user's edited settings, gets back a removed c_data.dat, and
    // prefers the user's own copies of other files.
    dir.write("home/.local/share/zorvane/config.dat", "mine\r\n");
    fs::remove(user + "/c_data.dat");
    dir.write("home/.local/share/zorvane/Help.txt", "");
    dir.write("home/.local/share/zorvane/background.bmp", "");
    dir.write("facts-2.txt", facts(FilePlaces::choose(q(prog), q(user)), dir));
    ::chmod(prog.c_str(), 0755);
    return 0;
  });
  if (code == 77) GTEST_SKIP() << "cannot drop root's privileges here";
  ASSERT_EQ(code, 0);
  const std::string mine = "/home/.local/share/zorvane";
  const std::string head = "installed user " + mine + " data /prog maps /prog/maps";
  const std::pair<std::string, std::string> vantor{"vantor/Vantor.exe", "/prog/vantor/Vantor.exe"};
  EXPECT_EQ(read_bytes(dir.file("facts-1.txt")),
            expected(head, mine, {{"Help.txt", "/prog/Help.txt"}, vantor, {" background.bmp", "/prog/background.bmp"}}));
  EXPECT_EQ(read_bytes(dir.file("facts-2.txt")), expected(head, mine, {vantor}));
  EXPECT_EQ(std::pair(read_bytes(user + "/config.dat"), read_bytes(user + "/c_data.dat")),
            std::pair(std::string("mine\r\n"), std::string("shipped c_data.dat\r\n")));
  // Nobody else reads this user's log and saves.
  EXPECT_EQ(fs::status(user).permissions(), fs::perms::owner_all);
}

TEST(FilePlaces, StandardInstallIsFoundBesideTheProgramAndNeverWrittenToAndAnUnusableUsersFolderIsSaid) {
  TempDir dir;
  ship(dir, "usr/share/zorvane");
  const QString bin = q(dir.file("usr/bin"));
  fs::create_directories(bin.toStdString());
  EXPECT_EQ(FilePlaces::data_folder_for(q(dir.path())), q(dir.path()));  // no data anywhere: the folder itself
  const FilePlaces places = FilePlaces::choose(bin, q(dir.file("home/zorvane")));
  const std::string data = "/usr/share/zorvane";
  EXPECT_EQ(facts(places, dir),
            expected("installed user /home/zorvane data " + data + " maps " + data + "/maps", "/home/zorvane",
                     {{"Help.txt", data + "/Help.txt"}, {"vantor/Vantor.exe", data + "/vantor/Vantor.exe"},
                      {" background.bmp", data + "/background.bmp"}}));
  EXPECT_EQ(places.search_folders(), (std::vector<std::string>{dir.file("home/zorvane"), dir.file("usr/share/zorvane")}));
  EXPECT_EQ(read_bytes(dir.file("home/zorvane/config.dat")), "shipped config.dat\r\n");
  EXPECT_TRUE(places.description().contains(q(dir.file("home/zorvane"))) &&
              places.description().contains(q(dir.file("usr/share/zorvane"))));

  // A user's folder that cannot be made or filled is said by name.
  dir.write("elsewhere", "a file where the folder would go");
  const FilePlaces blocked = FilePlaces::choose(bin, q(dir.file("elsewhere/zorvane")));
  EXPECT_EQ(blocked.problem().toStdString(),
            "The folder for your own files \"" + dir.file("elsewhere/zorvane") + "\" could not be made.");
  EXPECT_EQ(blocked.file("config.dat").toStdString(), dir.file("elsewhere/zorvane/config.dat"));

  fs::remove(dir.file("usr/share/zorvane/c_data.dat"));
  dir.fifo("usr/share/zorvane/c_data.dat");
  const FilePlaces unread = FilePlaces::choose(bin, q(dir.file("user")));
  EXPECT_EQ(unread.problem().toStdString(), "The shipped \"" + dir.file("usr/share/zorvane/c_data.dat") +
                                                "\" could not be copied to \"" + dir.file("user/c_data.dat") +
                                                "\": it is a named pipe, not a file.");
  EXPECT_EQ(read_bytes(dir.file("user/config.dat")), "shipped config.dat\r\n");
}

}  // namespace
}  // namespace zorvane::testing
