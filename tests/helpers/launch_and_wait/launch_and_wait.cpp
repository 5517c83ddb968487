// Test helper: launches argv[1] through the game launcher and waits for it, as Zorvane
// does during a battle. Exit code 0 once the program has ended.
#include <QCoreApplication>

#include "bridge/game_launcher.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  zorvane::GameLauncher launcher;
  const zorvane::LaunchResult result = launcher.launch_game(QString::fromLocal8Bit(argv[1]), {});
  return result.started() ? 0 : 1;
}
