// zorvane-campaign: a whole campaign played by the computer player, without a window.
#include <QCoreApplication>
#include <QDateTime>
#include <iostream>

#include "places/file_places.h"
#include "runner/campaign_runner.h"

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
  zorvane::CampaignRunner runner(*parsed.options, std::cout, std::cerr);
  return runner.run();
}
