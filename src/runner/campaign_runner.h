// A whole campaign played by the computer player with no window: the same rules, the same
// battles through the tactical game, a battle log, a final save and a history of every
// round. Qt Core only (the game's process); no display needed.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "bridge/battle_runner.h"
#include "campaign/state.h"
#include "config/roster.h"
#include "config/settings.h"
#include "turn/action_panel.h"
#include "turn/computer_player.h"
#include "turn/world.h"

namespace zorvane {

struct RunnerOptions {
  std::string map_path;
  std::string folder;               // config.dat, c_data.dat; relative settings are taken against it
  std::optional<std::string> teams;  // letters of the teams the computer plays; others pass
  std::uint64_t seed = 0;
  std::optional<long long> max_actions;
  std::string out = ".";            // blog.txt, zorvtmp.scn, zorvtmp.txt, campaign.sav, history.csv
};

// Exit statuses of zorvane-campaign.
enum RunnerExit : int {
  kRunEnded = 0,      // a winner, the turn limit, the action limit or a round of passes
  kRunUsage = 1,
  kRunBadMap = 2,
  kRunBadSettings = 3,
  kRunNoBattle = 4,   // the game could not be started (or failed before it reported)
  kRunNoOutput = 5,   // the output folder or its files cannot be written
};

// Parses the command line (without the program name). Returns the options, or an exit
// status with the message to print (the help text for --help, with status kRunEnded).
struct ParsedCommandLine {
  std::optional<RunnerOptions> options;
  int status = kRunEnded;
  std::string message;
};
ParsedCommandLine parse_runner_command_line(const std::vector<std::string>& arguments,
                                            const std::string& program_folder, std::uint64_t clock_seed);

std::string runner_help();

class CampaignRunner : private TurnWorld {
 public:
  CampaignRunner(RunnerOptions options, std::ostream& out, std::ostream& err);
  ~CampaignRunner() override;

  // Plays the campaign to its end; returns the exit status.
  int run();

  // Called after every action (augment, advance, pass) with the state before and after it.
  std::function<void(const CampaignState& before, const CampaignState& after, AiOutcome outcome)> after_action;

  const CampaignState& state() const { return state_; }
  long long actions() const { return actions_; }
  long long battles() const { return battles_; }

 private:
  BattleAnswer fight_battle(std::string_view terrain, const std::vector<std::string>& attackers,
                            const std::vector<std::string>& defenders) override;
  void draw_owner_badge(int, int) override {}
  void draw_count_badge(int, int, const Value&) override {}
  void append_log(const BattleLogEntry& entry) override;
  void message(const std::string& text, const std::string& title) override;
  void snapshot() override {}
  void show_statistics() override {}
  void end_campaign() override { ended_ = true; }
  void hide_map() override {}

  int load();
  void record_round(int round);
  void print_summary();
  int fail(int status, const std::string& text);

  RunnerOptions options_;
  std::ostream& out_;
  std::ostream& err_;
  Settings settings_;
  Roster cdata_{};
  CampaignState state_;
  ActionPanelModel panel_;
  AiRandom random_;
  BattleRunner battles_runner_;
  std::string log_path_;
  std::string history_;
  std::string battle_error_;
  bool ended_ = false;
  long long actions_ = 0;
  long long battles_ = 0;
  std::array<int, kTeamCount> won_{};
  std::array<int, kTeamCount> lost_{};
};

}  // namespace zorvane
