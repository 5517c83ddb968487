#include "bridge/game_launcher.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

#include "battle/battle_report.h"
#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/prctl.h>
#endif

namespace zorvane {
namespace {

// Kills whatever is left of a process group whose leader has been reaped. The group id
// stays reserved while any member lives, so this cannot reach an unrelated process.
void kill_group(qint64 group) {
#ifdef Q_OS_UNIX
  if (group > 0) ::kill(-static_cast<pid_t>(group), SIGKILL);
#else
  Q_UNUSED(group);
#endif
}

#ifdef Q_OS_UNIX
// Runs in the forked child before the game is executed: only async-signal-safe calls.
// The child becomes the leader of its own process group. Then it leaves a watcher in that
// group, orphaned at once, that blocks reading the guard pipe: when this program closes its
// end (the battle is over, or the program ended in any way at all), the watcher kills the
// whole group, so nothing the game started outlives the battle.
void enter_own_group(int guard_read, int guard_write, pid_t parent) {
  ::setpgid(0, 0);
#ifdef Q_OS_LINUX
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(127);  // the program died before the request took hold
#else
  (void)parent;
#endif
  if (guard_read < 0) return;
  const pid_t middle = ::fork();
  if (middle == 0) {
    if (::fork() == 0) {
      // An abort asks the group with SIGTERM and kills it after a grace: the watcher stays
      // to the end, which also keeps the group's id from being reused meanwhile.
      struct sigaction ignore {};
      ignore.sa_handler = SIG_IGN;
      for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) ::sigaction(sig, &ignore, nullptr);
      ::close(guard_write);
      for (int fd = 0; fd < 3; ++fd) ::close(fd);
      // Nothing else of this program may stay open here (a pipe Qt waits on, say).
#ifdef SYS_close_range
      if (::syscall(SYS_close_range, 3u, static_cast<unsigned>(guard_read) - 1u, 0u) != 0 ||
          ::syscall(SYS_close_range, static_cast<unsigned>(guard_read) + 1u, ~0u, 0u) != 0)
#endif
      {
        struct rlimit limit {};
        const int last = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 65536
                             ? static_cast<int>(limit.rlim_cur)
                             : 65536;
        for (int fd = 3; fd < last; ++fd) {
          if (fd != guard_read) ::close(fd);
        }
      }
      char byte = 0;
      while (::read(guard_read, &byte, 1) < 0 && errno == EINTR) {
      }
      ::kill(0, SIGKILL);
      ::_exit(0);
    }
    ::_exit(0);
  }
  if (middle > 0) {
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
  }
  ::close(guard_read);
}
#endif

// Makes this program the subreaper of what its games start (Linux): a process whose parent
// ends, such as a child the game detached into a session of its own, becomes a child of
// this program instead of init's, where the battle's end finds it.
void adopt_what_games_leave() {
#ifdef Q_OS_LINUX
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
#endif
}

#ifdef Q_OS_LINUX
// This program's children other than `spare`, from /proc.
std::vector<pid_t> children_except(pid_t spare) {
  std::vector<pid_t> children;
  const pid_t self = ::getpid();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(name));
    if (pid == spare) continue;
    std::ifstream in(entry.path() / "stat");
    std::string stat;
    std::getline(in, stat);
    // "pid (name) state ppid ...": the name may hold anything, so count from its last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 1));
    std::string state;
    long parent = 0;
    if (rest >> state >> parent && parent == self) children.push_back(pid);
  }
  return children;
}
#endif

// Called once at the end of every battle: ends what the game left. Its process group
// first (the watcher among it); then, on Linux, every child this program adopted, and
// theirs in turn, each reaped, until none is left. This program starts no process but
// the game, so every child besides the game (`game`, which Qt reaps) is something the game
// left behind.
void end_what_the_game_left(qint64 game) {
#ifdef Q_OS_LINUX
  kill_group(game);
  for (int round = 0; round < 1000; ++round) {
    const std::vector<pid_t> left = children_except(static_cast<pid_t>(game));
    if (left.empty()) return;
    for (const pid_t pid : left) ::kill(pid, SIGKILL);
    for (const pid_t pid : left) {
      while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
  }
#else
  Q_UNUSED(game);
#endif
}

// The last lines of what the game printed, at most `limit` bytes.
void keep_tail(QByteArray& kept, const QByteArray& more, qsizetype limit) {
  kept += more;
  if (kept.size() > limit) kept.remove(0, kept.size() - limit);
}

}  // namespace

QString LaunchResult::ending() const {
  return crashed ? QStringLiteral("crashed") : QStringLiteral("exit code %1").arg(exit_code);
}

QStringList game_arguments(const QString& scenario_path, const QString& result_path) {
  return {QStringLiteral("/S:") + scenario_path, QStringLiteral("/B:") + result_path};
}

QString game_program_path(const QString& program_folder, const std::string& game_exe_path) {
  const std::string folder = QFile::encodeName(program_folder).toStdString();
  return QFile::decodeName(QByteArray::fromStdString(trim(resolve_in_folder(folder, game_exe_path))));
}

bool reset_result_file(const QString& path, QString* error) {
  // A scratch file the game replaces at once: generated, not forced to disk.
  const FileResult written = write_scratch_file(QFile::encodeName(path).toStdString(), no_report_bytes());
  if (!written.ok && error) *error = QString::fromLocal8Bit(written.error.c_str());
  return written.ok;
}

GameLauncher::GameLauncher(QObject* parent) : QObject(parent) {
  adopt_what_games_leave();
  grace_timer_.setSingleShot(true);
  grace_timer_.setInterval(kAbortGraceMs);
  connect(&grace_timer_, &QTimer::timeout, this, [this] { stop_game(Stop::force); });
}

GameLauncher::~GameLauncher() {
  if (process_) {
    // Nobody is left to hear the result.
    process_->disconnect(this);
    stop_game(Stop::force);
    kill_group(group_);
    process_->waitForFinished(kAbortGraceMs);
    delete process_;
  }
  close_guard();
}

qint64 GameLauncher::process_id() const { return process_ ? process_->processId() : 0; }

void GameLauncher::close_guard() {
#ifdef Q_OS_UNIX
  // Closing our end tells the watcher in the game's group to end whatever is left there.
  if (guard_write_ >= 0) ::close(guard_write_);
#endif
  guard_write_ = -1;
}

void GameLauncher::refuse(LaunchStatus status, const QString& error) {
  LaunchResult result;
  result.status = status;
  result.error = error;
  // Always told from the event loop, as a started game's end is: callers see one order.
  QMetaObject::invokeMethod(this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
}

bool GameLauncher::start_game(const QString& program, const QStringList& arguments,
                              const QProcessEnvironment& environment) {
  // The running game's listeners must not hear of this refusal.
  if (process_) return false;
  if (program.trimmed().isEmpty()) {
    refuse(LaunchStatus::not_found, tr("No tactical game is set: the game's path is empty."));
    return true;
  }
  const QFileInfo info(program);
  if (!info.exists()) {
    refuse(LaunchStatus::not_found, tr("The tactical game was not found: %1").arg(program));
    return true;
  }
  if (info.isDir() || !info.isExecutable()) {
    refuse(LaunchStatus::not_executable, tr("The tactical game is not an executable program: %1").arg(program));
    return true;
  }

  auto* process = new QProcess(this);
  process->setProgram(program);
  process->setArguments(arguments);
  process->setProcessEnvironment(environment);
  // No terminal for the game: a background group that reads or writes one is stopped
  // (stty tostop). What it prints is kept, to show when the battle goes wrong.
  process->setProcessChannelMode(QProcess::MergedChannels);
  process->setStandardInputFile(QProcess::nullDevice());
  output_.clear();
  connect(process, &QProcess::readyReadStandardOutput, this,
          [this, process] { keep_tail(output_, process->readAllStandardOutput(), kOutputKept); });
#ifdef Q_OS_UNIX
  int guard[2] = {-1, -1};
  if (::pipe(guard) == 0) {
    for (int fd : guard) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  } else {
    guard[0] = guard[1] = -1;
  }
  guard_write_ = guard[1];
  const pid_t parent = ::getpid();
  process->setChildProcessModifier([guard_read = guard[0], guard_write = guard[1], parent] {
    enter_own_group(guard_read, guard_write, parent);
  });
#endif
  connect(process, &QProcess::finished, this, [this] { end_game(false); });
  // A program that cannot start never emits finished: waiting for that alone would hang.
  connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) end_game(true);
  });
  connect(process, &QProcess::started, this, &GameLauncher::game_started);

  process_ = process;
  aborted_ = false;
  program_ = program;
  process->start();
#ifdef Q_OS_UNIX
  // Only the watcher reads the guard.
  if (guard[0] >= 0) ::close(guard[0]);
#endif
  if (process_ == process) group_ = process->processId();
  return true;
}

void GameLauncher::end_game(bool failed_to_start) {
  QProcess* process = process_;
  if (!process) return;
  process_ = nullptr;
  grace_timer_.stop();
  const qint64 group = group_;
  group_ = 0;
  if (aborted_) kill_group(group);  // whatever the game started and left behind
  end_what_the_game_left(group);
  close_guard();
  keep_tail(output_, process->readAllStandardOutput(), kOutputKept);
  process->disconnect(this);
  process->deleteLater();

  LaunchResult result;
  result.output = QString::fromLocal8Bit(output_).trimmed();
  if (failed_to_start) {
    result.status = LaunchStatus::failed_to_start;
    result.error = tr("The tactical game could not be started: %1 (%2)").arg(program_, process->errorString());
  } else {
    result.status = aborted_ ? LaunchStatus::aborted : LaunchStatus::finished;
    result.crashed = process->exitStatus() != QProcess::NormalExit;
    if (!result.crashed) result.exit_code = process->exitCode();
  }
  emit game_ended();
  emit finished(result);
}

LaunchResult GameLauncher::launch_game(const QString& program, const QStringList& arguments,
                                       const QProcessEnvironment& environment) {
  LaunchResult result;
  if (process_) {
    result.status = LaunchStatus::busy;
    result.error = tr("A battle is already in progress.");
    return result;
  }
  QEventLoop loop;
  const QMetaObject::Connection done = connect(this, &GameLauncher::finished, &loop, [&](const LaunchResult& r) {
    result = r;
    loop.quit();
  });
  QPointer<GameLauncher> self(this);
  start_game(program, arguments, environment);
  loop.exec();
  if (!self) {
    // Destroyed mid-battle; its destructor has already ended the game.
    result.status = LaunchStatus::aborted;
    return result;
  }
  // The loop was ended from outside (the application is quitting): end the game too.
  if (is_running()) kill_now();
  disconnect(done);
  return result;
}

void GameLauncher::kill_now() {
  if (!process_) return;
  aborted_ = true;
  stop_game(Stop::force);
  // finished arrives from within the wait, so the result is told before this returns.
  if (process_ && !process_->waitForFinished(kAbortGraceMs)) end_game(false);
}

void GameLauncher::abort() {
  if (!process_ || aborted_) return;
  aborted_ = true;
  stop_game(Stop::ask);
  grace_timer_.start();
}

void GameLauncher::stop_game(Stop how) {
  if (!process_ || process_->state() == QProcess::NotRunning) return;
#ifdef Q_OS_UNIX
  const int signal_number = how == Stop::ask ? SIGTERM : SIGKILL;
  if (group_ > 0) {
    // Before the child's setpgid has run the group does not exist yet: signal the child.
    if (::kill(-static_cast<pid_t>(group_), signal_number) != 0) ::kill(static_cast<pid_t>(group_), signal_number);
    return;
  }
#endif
  if (how == Stop::ask) {
    process_->terminate();
  } else {
    process_->kill();
  }
}

}  // namespace zorvane
