// Test helper: a game that hangs. It forks a grandchild, writes "<own pid> <grandchild pid>"
// to the file named by ZORVANE_PID_FILE (written to a temporary name and renamed, so a
// reader sees both or nothing), and then both wait forever. With ZORVANE_IGNORE_TERM=1
// both ignore SIGTERM, so only SIGKILL ends them.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main() {
  if (const char* v = std::getenv("ZORVANE_IGNORE_TERM"); v && std::string(v) == "1") std::signal(SIGTERM, SIG_IGN);
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
  for (;;) pause();
}
