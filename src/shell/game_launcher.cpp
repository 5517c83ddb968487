#include "shell/game_launcher.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

#include "battle/battle_report.h"
#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
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

}  // namespace

QStringList game_arguments(const QString& scenario_path, const QString& result_path) {
  return {QStringLiteral("/S:") + scenario_path, QStringLiteral("/B:") + result_path};
}

QString game_program_path(const QString& program_folder, const std::string& game_exe_path) {
  const std::string folder = QFile::encodeName(program_folder).toStdString();
  return QFile::decodeName(QByteArray::fromStdString(trim(resolve_in_folder(folder, game_exe_path))));
}

bool reset_result_file(const QString& path, QString* error) {
  const FileResult written = write_file_atomic(QFile::encodeName(path).toStdString(), no_report_bytes());
  if (!written.ok && error) *error = QString::fromLocal8Bit(written.error.c_str());
  return written.ok;
}

GameLauncher::GameLauncher(QObject* parent) : QObject(parent) {
  grace_timer_.setSingleShot(true);
  grace_timer_.setInterval(kAbortGraceMs);
  connect(&grace_timer_, &QTimer::timeout, this, [this] { stop_game(Stop::force); });
}

GameLauncher::~GameLauncher() {
  if (process_) {
    stop_game(Stop::force);
    kill_group(group_);
  }
}

qint64 GameLauncher::process_id() const { return process_ ? process_->processId() : 0; }

LaunchResult GameLauncher::launch_game(const QString& program, const QStringList& arguments) {
  LaunchResult result;
  if (process_) {
    result.status = LaunchStatus::busy;
    result.error = tr("A battle is already in progress.");
    return result;
  }
  if (program.trimmed().isEmpty()) {
    result.status = LaunchStatus::not_found;
    result.error = tr("No tactical game is set: the game's path is empty.");
    return result;
  }
  const QFileInfo info(program);
  if (!info.exists()) {
    result.status = LaunchStatus::not_found;
    result.error = tr("The tactical game was not found: %1").arg(program);
    return result;
  }
  if (info.isDir() || !info.isExecutable()) {
    result.status = LaunchStatus::not_executable;
    result.error = tr("The tactical game is not an executable program: %1").arg(program);
    return result;
  }

  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  // The game's output goes where ours goes: nothing to buffer or read while we wait.
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
  process.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif

  QEventLoop loop;
  bool failed = false;
  connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  // A program that cannot start never emits finished: waiting for that alone would hang.
  connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    failed = true;
    loop.quit();
  });
  connect(&process, &QProcess::started, this, &GameLauncher::game_started);

  process_ = &process;
  aborted_ = false;
  process.start();
  group_ = process.processId();
  const qint64 group = group_;
  QPointer<GameLauncher> self(this);
  if (!failed && process.state() != QProcess::NotRunning) loop.exec();
  if (!self) {
    // Destroyed mid-battle; its destructor has already ended the game.
    return {LaunchStatus::aborted, -1, {}};
  }
  if (!failed && process.state() != QProcess::NotRunning) {
    // The loop was ended from outside (the application is quitting): end the game too.
    aborted_ = true;
    stop_game(Stop::force);
    process.waitForFinished(kAbortGraceMs);
  }
  grace_timer_.stop();
  if (aborted_) kill_group(group);  // whatever the game started and left behind
  process_ = nullptr;
  group_ = 0;

  if (failed) {
    result.status = LaunchStatus::failed_to_start;
    result.error = tr("The tactical game could not be started: %1 (%2)").arg(program, process.errorString());
  } else {
    result.status = aborted_ ? LaunchStatus::aborted : LaunchStatus::finished;
    if (process.exitStatus() == QProcess::NormalExit) result.exit_code = process.exitCode();
  }
  emit game_ended();
  return result;
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
