// Temporary folders, byte-exact file helpers, a simulated full disk, and the lines of a
// battle report for tests.
#pragma once

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "config/settings.h"

namespace zorvane::testing {

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvane-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Tests may leave read-only files or folders behind; make them writable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() joined with a relative name.
  std::string file(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }
  // Writes bytes to a file in the folder (creating folders on the way); returns its path.
  std::string write(const std::string& name, const std::string& bytes) const {
    const std::string p = file(name);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(p).parent_path(), ec);
    std::ofstream(p, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  // Makes a named pipe in the folder (nothing ever writes to it); returns its path.
  std::string fifo(const std::string& name) const {
    const std::string p = file(name);
    if (::mkfifo(p.c_str(), 0600) != 0) std::abort();
    return p;
  }

 private:
  std::string path_;
};

// Makes writes beyond `bytes` fail in this process, as a full disk would, until it goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

// Runs `body` without root's power to ignore permissions: in a child process as user
// "nobody" when the tests run as root (the folder and everything in it are handed to that
// user first). The body's return is the child's exit code; 77: the privileges could not be
// dropped.
inline int run_unprivileged(const std::string& folder, const std::function<int()>& body) {
  if (::geteuid() != 0) return body();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    [[maybe_unused]] const int r = ::lchown(entry.path().c_str(), 65534, 65534);
  }
  [[maybe_unused]] const int r = ::chown(folder.c_str(), 65534, 65534);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(77);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

// The whole file as bytes; "" when it cannot be read.
inline std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  if (in) ss << in.rdbuf();
  return ss.str();
}

// A configuration with every setting filled: map paths with spaces around some, switches in
// all three states (0, 1, 2), and movement patterns of every length.
inline Settings sample_settings() {
  Settings s;
  s.game_exe_path = "C:\\Games\\Vantor.exe";
  s.terrain_maps = {"C:\\maps\\green.map", "C:\\maps\\dark.map", " C:\\maps\\brown.map", "C:\\maps\\red.map ",
                    "C:\\maps\\white.map"};
  std::tie(s.battle_damage, s.battle_fuel, s.battle_ammo, s.battle_click_limit) = std::tuple("100", "200", "300", "400");
  std::tie(s.last_alive_bonus, s.disable_strategy_node, s.shield_overheat, s.blood_mode) = std::tuple(1, 0, 2, 1);
  s.computer_controlled = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
  std::tie(s.augment_below, s.augment_max_fill) = std::pair("2", "3");
  s.movement_patterns = {"12345678", "87654321", "1", "", "5", "x", "  33  ", "8"};
  std::tie(s.background_image, s.turn_limit, s.auto_snapshot, s.run_maximized) = std::tuple("back.bmp", "", 1, true);
  std::tie(s.window_width, s.window_height) = std::pair("800", "600");
  return s;
}

// A placing: "Place" in columns 5-9, the place number in columns 17-18, the score from
// column 79 on.
inline std::string placing(const std::string& place, const std::string& score) {
  std::string line = "    Place 1st   " + place + "  Some unit (some.ai)";
  line.resize(78, ' ');
  return line + score;
}

// A kill notice: the place number in columns 17-18, the notice from column 28 on.
inline std::string kill_notice(const std::string& place) {
  return "    Unit no.    " + place + std::string(9, ' ') + "is killed! ...Memorial flag planted!";
}

// The lines, each ended by `end`.
inline std::string joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string out;
  for (const auto& line : lines) out += line + end;
  return out;
}

}  // namespace zorvane::testing
