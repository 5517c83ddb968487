// Helpers for tests that start the small helper programs (record_args, never_ends) in place
// of the tactical game, and check what they recorded or left behind.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_files.h"

namespace zorvane::testing {

inline QString q(const std::string& text) { return QString::fromStdString(text); }

// Path of a helper program built beside the test executables.
inline std::string test_program(const char* name) { return test_bin_dir() + "/" + name; }

// Sets an environment variable (which the started programs inherit) for one test.
struct ScopedEnv {
  ScopedEnv(const char* name, const std::string& value) : name(name) { qputenv(name, QByteArray::fromStdString(value)); }
  ~ScopedEnv() { qunsetenv(name); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  const char* name;
};

// The pids never_ends wrote: itself and the child it started.
inline std::vector<long> read_pids(const std::string& path) {
  std::ifstream in(path);
  std::vector<long> pids;
  for (long pid; in >> pid;) pids.push_back(pid);
  return pids;
}

// Waits up to 5 s for the process to be gone: no such process, or a zombie that merely
// waits for its new parent to reap it.
inline bool becomes_gone(long pid) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 5000) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z') return true;
    QThread::msleep(10);
  }
  return false;
}

}  // namespace zorvane::testing
