// Test helper: a game that hangs. It forks a grandchild, writes "<own pid> <grandchild pid>"
// to the file named by ZORVANE_PID_FILE (written to a temporary name and renamed, so a
// reader sees both or nothing), and then both wait forever. With ZORVANE_IGNORE_TERM=1
// both ignore SIGTERM, so only SIGKILL ends them. With ZORVANE_DETACH=1 it is a game that
// leaves something behind: a child leaves the game's session (setsid) and does all of the
// above, while the game itself ends with exit code 0 once the pids are written.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

static bool env_is_one(const char* name) { return std::getenv(name) && std::string(std::getenv(name)) == "1"; }

int main() {
  if (env_is_one("ZORVANE_IGNORE_TERM")) std::signal(SIGTERM, SIG_IGN);
  const bool detach = env_is_one("ZORVANE_DETACH");
  int ready[2];
  if (pipe(ready) != 0) return 1;
  if (detach) {
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child > 0) {
      close(ready[1]);
      char done = 0;
      return read(ready[0], &done, 1) == 1 ? 0 : 1;
    }
    setsid();
  }
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    for (;;) pause();
  }
  if (const char* pid_file = std::getenv("ZORVANE_PID_FILE")) {
    const std::string temp = std::string(pid_file) + ".tmp";
    if (std::FILE* f = std::fopen(temp.c_str(), "w")) {
      std::fprintf(f, "%ld %ld\n", static_cast<long>(getpid()), static_cast<long>(child));
      std::fclose(f);
      std::rename(temp.c_str(), pid_file);
    }
  }
  const char done = 1;
  if (detach && write(ready[1], &done, 1) != 1) return 1;
  for (;;) pause();
}
