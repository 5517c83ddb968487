// A whole campaign played by the computer player with no window: a loop over the turn
// engine, battles fought by the tactical game through the battle bridge, a battle log, a
// final save and a history of every round. Qt Core only (the game's process).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bridge/battle_runner.h"
#include "config/roster.h"
#include "config/settings.h"
#include "turn/computer_player.h"
#include "turn/engine.h"

namespace zorvane {

class FolderLock;

struct RunnerOptions {
  std::string map_path;
  std::string folder;               // config.dat, c_data.dat; relative settings are taken against it
  std::optional<std::string> teams;  // letters of the teams the computer plays; others pass
  std::uint64_t seed = 0;
  std::optional<long long> max_actions;
  std::string out = ".";            // blog.txt, zorvtmp.scn, zorvtmp.txt, campaign.sav, history.csv
  std::optional<long long> max_turns;  // rounds before the run stops; see kDefaultTurnCap
  std::optional<std::string> players = std::nullopt;  // --ai: over the players of ai_players.dat
  std::optional<long long> games = std::nullopt;      // --games: a tournament of this many campaigns
  int jobs = 0;                       // --jobs: games played at once; 0 for the machine's cores
  std::vector<std::string> merge{};   // --merge: game folders whose results make one table
  std::string program{};              // this program, started once for every game of a tournament
  bool progress_in_place = false;      // the tournament's progress line is rewritten (a terminal)
};

// Rounds a run plays at most when neither --max-turns nor a turn limit beyond it says
// otherwise: a limit that is blank, not a whole number above 0, or never reached because
// turns stall, must not let a run go on for ever.
inline constexpr long long kDefaultTurnCap = 1000;
// A turn limit up to this is taken as the run's cap when it is larger than the default.
inline constexpr long long kLargestTurnLimit = 100000;

// A whole number of digits only, as the command line and game.csv write them. Beyond
// `largest` it is out of range.
struct WholeNumber {
  bool digits = false;
  bool in_range = false;
  std::uint64_t value = 0;
};
WholeNumber whole_number(const std::string& text, std::uint64_t largest);

// Exit statuses of zorvane-campaign.
enum RunnerExit : int {
  kRunEnded = 0,      // a winner, the turn limit, the action or turn cap, or a round of passes
  kRunUsage = 1,
  kRunBadMap = 2,
  kRunBadSettings = 3,
  kRunNoBattle = 4,   // the game could not fight a battle (the campaign so far is written)
  kRunNoOutput = 5,   // the output folder or its files cannot be written
  kRunGamesFailed = 6,  // a tournament or a merge: some game left no result
};

// The file every campaign writes beside its history: one row per team, how it ended.
inline constexpr char kGameResultFileName[] = "game.csv";

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

class CampaignRunner {
 public:
  CampaignRunner(RunnerOptions options, std::ostream& out, std::ostream& err);
  ~CampaignRunner();

  // Plays the campaign to its end; returns the exit status.
  int run();

  // Called after every engine call that changed the campaign (an action or a pass), with the
  // state before and after it.
  std::function<void(const CampaignState& before, const CampaignState& after, const TurnEvents& events)> after_action;

  const CampaignState& state() const { return engine_.state(); }
  long long actions() const { return actions_; }
  long long battles() const { return battles_; }

 private:
  int load();
  int prepare_outputs();
  TurnEvents fight(const BattleRequest& request);
  void record(const TurnEvents& events);
  void record_round(int round);
  // Writes the campaign as it stands and the history; false with why when it could not.
  bool write_outputs(std::string& error);
  void print_summary();
  // game.csv: how the campaign ended for every team.
  bool write_game_result(const std::optional<CampaignEnd>& end, std::string& error);
  int fail(int status, const std::string& text);
  std::string output_file(std::string_view name) const;
  bool turn_limit_reachable() const;
  long long turn_cap() const;

  RunnerOptions options_;
  std::ostream& out_;
  std::ostream& err_;
  Settings settings_;
  Roster cdata_{};
  TurnEngine engine_{settings_, cdata_};
  AiRandom random_;
  BattleRunner battles_runner_;
  std::unique_ptr<FolderLock> out_lock_;  // held while this run writes its --out folder
  std::string history_;
  long long actions_ = 0;
  long long battles_ = 0;
  std::array<int, kTeamCount> won_{};
  std::array<int, kTeamCount> lost_{};
};

}  // namespace zorvane
