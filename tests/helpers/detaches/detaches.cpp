// Test helper: a game that leaves something behind. It forks a child that leaves the game's
// process group and session (setsid) and forks a grandchild; the child writes "<child pid>
// <grandchild pid>" to the file named by ZORVANE_PID_FILE (written to a temporary name and
// renamed, so a reader sees both or nothing), and both wait forever. The game itself ends
// with exit code 0 once the file is written.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main() {
  int ready[2];
  if (pipe(ready) != 0) return 1;
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    setsid();
    const pid_t grandchild = fork();
    if (grandchild == 0) {
      for (;;) pause();
    }
    if (const char* pid_file = std::getenv("ZORVANE_PID_FILE")) {
      const std::string temp = std::string(pid_file) + ".tmp";
      if (std::FILE* f = std::fopen(temp.c_str(), "w")) {
        std::fprintf(f, "%ld %ld\n", static_cast<long>(getpid()), static_cast<long>(grandchild));
        std::fclose(f);
        std::rename(temp.c_str(), pid_file);
      }
    }
    const char done = 1;
    if (write(ready[1], &done, 1) != 1) return 1;
    for (;;) pause();
  }
  close(ready[1]);
  char done = 0;
  return read(ready[0], &done, 1) == 1 ? 0 : 1;
}
