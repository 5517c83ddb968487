// zorvane-campaign: a whole campaign played by the computer player, without a window; or a
// tournament of many, or one table of games played elsewhere.
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <iostream>
#include <unistd.h>

#include "places/file_places.h"
#include "runner/campaign_runner.h"
#include "runner/tournament.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  const zorvane::ParsedCommandLine parsed = zorvane::parse_runner_command_line(
      arguments, zorvane::FilePlaces::data_folder_for(QCoreApplication::applicationDirPath()).toLocal8Bit().toStdString(),
      static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()));
  if (!parsed.options) {
    (parsed.status == zorvane::kRunEnded ? std::cout : std::cerr) << parsed.message;
    return parsed.status;
  }
  zorvane::RunnerOptions options = *parsed.options;
  if (!options.merge.empty()) return zorvane::merge_games(options.merge, options.out, std::cout, std::cerr);
  if (options.games) {
    options.program = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    options.progress_in_place = ::isatty(STDERR_FILENO) != 0;
    return zorvane::run_tournament(options, std::cout, std::cerr);
  }
  zorvane::CampaignRunner runner(options, std::cout, std::cerr);
  return runner.run();
}
