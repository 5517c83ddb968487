// Starts the tactical game and waits for it to end without polling, while events keep
// running. The game runs in its own process group, with no terminal: its input is closed
// and its output captured. An abort ends the game and everything it started; on Linux so
// does the end of this program, however it ends, and the end of every battle ends what the
// game left running, also outside its group and session.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <string>

class QProcess;

namespace zorvane {

enum class LaunchStatus {
  finished,         // the game ran and ended by itself (see exit_code and crashed)
  aborted,          // the game ran and was ended by abort()
  not_found,        // no file at the program's path (or no path at all)
  not_executable,   // the path names a folder or a file that may not be run
  failed_to_start,  // the system could not start it
  busy,             // a game is already running
};

struct LaunchResult {
  LaunchStatus status = LaunchStatus::not_found;
  int exit_code = -1;    // the game's exit code when it ended by itself
  bool crashed = false;  // it ended on a signal (or the system could not tell its code)
  QString error;         // why it did not start, naming the program; empty once started
  QString output;        // the last lines the game printed (standard output and error)

  // The process was created: a battle took place (possibly aborted).
  bool started() const { return status == LaunchStatus::finished || status == LaunchStatus::aborted; }
  // It ended by itself, but not well: a crash or a non-zero exit code.
  bool failed() const { return status == LaunchStatus::finished && (crashed || exit_code != 0); }
  // "exit code 3" or "crashed", for messages.
  QString ending() const;
};

// The game's command line after the program: "/S:" + scenario and "/B:" + result as two
// separate arguments, so paths with spaces arrive whole.
QStringList game_arguments(const QString& scenario_path, const QString& result_path);

// The program the setting names: trimmed, and taken against the program folder when relative.
QString game_program_path(const QString& program_folder, const std::string& game_exe_path);

// Replaces the result file's contents with "<empty>" CR LF. False with the reason when
// the file cannot be written.
bool reset_result_file(const QString& path, QString* error = nullptr);

class GameLauncher : public QObject {
  Q_OBJECT
 public:
  // How long an aborted game may take to end on SIGTERM before its group is killed.
  static constexpr int kAbortGraceMs = 1000;
  // How much of the game's output is kept: its last lines, at most this many bytes.
  static constexpr qsizetype kOutputKept = 2048;

  explicit GameLauncher(QObject* parent = nullptr);
  // Destroying the launcher while a game runs ends the game and its group.
  ~GameLauncher() override;

  // Starts the program with these arguments and the environment given (by default this
  // program's own), in the current working folder, and returns at once. `finished` tells
  // how it ended, from the event loop, also when it could not start at all. While a game
  // runs nothing starts and false is returned.
  bool start_game(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
  // start_game, then waits in an event loop of its own until the game has ended: for
  // programs without a window of their own to keep live (the headless runner, tests).
  // While a game runs it returns busy at once.
  LaunchResult launch_game(const QString& program, const QStringList& arguments,
                           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

  bool is_running() const { return process_ != nullptr; }
  // The running game's process id, 0 when none.
  qint64 process_id() const;
  // Kills the running game and its group at once and returns after `finished` has told
  // the (aborted) result: for a program that is about to end.
  void kill_now();

 public slots:
  // Ends the running game and its process group: SIGTERM first, SIGKILL after the grace.
  // Nothing happens when no game runs.
  void abort();

 signals:
  void game_started();
  void game_ended();
  void finished(const zorvane::LaunchResult& result);

 private:
  enum class Stop { ask, force };  // SIGTERM or SIGKILL to the game's group
  void stop_game(Stop how);
  void refuse(LaunchStatus status, const QString& error);
  void end_game(bool failed_to_start);
  void close_guard();

  QProcess* process_ = nullptr;
  QString program_;
  QByteArray output_;
  int guard_write_ = -1;  // our end of the pipe the game group's watcher waits on
  qint64 group_ = 0;  // the game's process group (its own pid)
  bool aborted_ = false;
  QTimer grace_timer_;
};

}  // namespace zorvane
