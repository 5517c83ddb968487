// The small programs tests start in place of the game (record_args, never_ends,
// launch_and_wait), and what tests need around child processes: an environment variable
// for one test, the pids a helper wrote, waiting for a process to be gone, and running
// something from the event loop while a battle waits.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace zorvane::testing {

// Path of a helper program built beside the test executables.
inline std::string test_program(const char* name) { return std::string(ZORVANE_TEST_BIN_DIR "/") + name; }

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

// Runs `action` once, from the event loop (a battle's wait, say), as soon as `ready` holds.
inline void when(std::function<bool()> ready, std::function<void()> action) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, ready, action] {
    if (!ready()) return;
    timer->stop();
    timer->deleteLater();
    action();
  });
  timer->start();
}

}  // namespace zorvane::testing
