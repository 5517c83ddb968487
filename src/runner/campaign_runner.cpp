#include "runner/campaign_runner.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "battle/battle_report.h"
#include "campaign/battle_log.h"
#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"
#include "turn/scoring.h"

namespace zorvane {
namespace {

QString q(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

std::optional<long long> whole_number(const std::string& text) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoll(text);
}

}  // namespace

std::string runner_help() {
  return "Usage: zorvane-campaign MAP [--folder DIR] [--teams LETTERS] [--seed N] [--max-actions N] [--out DIR]\n"
         "\n"
         "Plays a whole campaign on the map MAP (.aim) with the computer player for every team,\n"
         "fighting every battle with the configured tactical game, and no window.\n"
         "\n"
         "  --folder DIR       the program folder whose config.dat and c_data.dat are used\n"
         "                     (default: the folder this program lies in); relative settings,\n"
         "                     such as the game's location, are taken against it\n"
         "  --teams LETTERS    the teams the computer plays, e.g. ACE (default: every team on\n"
         "                     the map); a team not listed passes its turns\n"
         "  --seed N           the computer player's seed (default: from the clock); the same\n"
         "                     seed, map, settings and battle outcomes give the same campaign\n"
         "  --max-actions N    stop after N actions (default: no limit; the turn limit of\n"
         "                     config.dat applies)\n"
         "  --out DIR          where blog.txt, zorvtmp.scn, zorvtmp.txt, the final save\n"
         "                     campaign.sav and history.csv go (default: the current folder)\n"
         "  --help             this text\n"
         "\n"
         "history.csv has one row per team per turn (one turn: every team's move once):\n"
         "turn,team,land,units,battles_won,battles_lost.\n"
         "\n"
         "Exit status: 0 when the campaign ends (a winner, the turn limit, the action limit, or\n"
         "a whole turn in which every team passed); 1 bad command line; 2 bad map; 3 bad\n"
         "settings; 4 the tactical game could not fight a battle; 5 the output cannot be written.\n";
}

ParsedCommandLine parse_runner_command_line(const std::vector<std::string>& arguments,
                                            const std::string& program_folder, std::uint64_t clock_seed) {
  ParsedCommandLine parsed;
  RunnerOptions options;
  options.folder = program_folder;
  options.seed = clock_seed;
  const auto usage = [&](const std::string& why) {
    parsed.status = kRunUsage;
    parsed.message = "zorvane-campaign: " + why + "\n" + runner_help();
    return parsed;
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--help" || a == "-h") {
      parsed.message = runner_help();
      return parsed;
    }
    if (a.rfind("--", 0) == 0) {
      if (i + 1 >= arguments.size()) return usage(a + " needs a value");
      const std::string& value = arguments[++i];
      if (a == "--folder") {
        options.folder = value;
      } else if (a == "--out") {
        options.out = value;
      } else if (a == "--teams") {
        if (value.empty() || value.find_first_not_of("ABCDEFGHIJ") != std::string::npos) {
          return usage("--teams takes team letters A to J, not " + zorvane::quoted(value));
        }
        options.teams = value;
      } else if (a == "--seed") {
        const auto seed = whole_number(value);
        if (!seed) return usage("--seed takes a whole number, not " + zorvane::quoted(value));
        options.seed = static_cast<std::uint64_t>(*seed);
      } else if (a == "--max-actions") {
        const auto limit = whole_number(value);
        if (!limit) return usage("--max-actions takes a whole number, not " + zorvane::quoted(value));
        options.max_actions = *limit;
      } else {
        return usage("unknown option " + zorvane::quoted(a));
      }
    } else if (options.map_path.empty()) {
      options.map_path = a;
    } else {
      return usage("only one map can be played, but " + zorvane::quoted(options.map_path) + " and " + zorvane::quoted(a) + " were given");
    }
  }
  if (options.map_path.empty()) return usage("no map given");
  parsed.options = std::move(options);
  return parsed;
}

CampaignRunner::CampaignRunner(RunnerOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)), out_(out), err_(err), random_(options_.seed) {}

CampaignRunner::~CampaignRunner() = default;

int CampaignRunner::fail(int status, const std::string& text) {
  err_ << "zorvane-campaign: " << text << "\n";
  return status;
}

int CampaignRunner::load() {
  const std::string config_path = join_path(options_.folder, "config.dat");
  const std::vector<std::string> lines = read_config_lines(config_path);
  if (!apply_config_lines(lines, settings_)) {
    return fail(kRunBadSettings,
                lines.empty() ? "the settings " + zorvane::quoted(config_path) +
                                    " cannot be read (missing, empty, or not a plain file)"
                              : "the settings " + zorvane::quoted(config_path) + " are incomplete: it has " +
                                    std::to_string(lines.size()) + " of the " + std::to_string(kConfigLineCount) +
                                    " lines a config.dat holds");
  }
  const std::string roster_path = join_path(options_.folder, "c_data.dat");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(roster_path, ec)) {
    err_ << "zorvane-campaign: warning: no army rosters: " << roster_path << " is missing or not a plain file\n";
  }
  read_roster_file(roster_path, cdata_);

  const MapReadResult map = read_map_file(options_.map_path);
  if (!map.ok()) return fail(kRunBadMap, map.error);
  apply_map(*map.map, 0, 0, state_);

  settings_.computer_controlled.fill(0);
  for (int t = 1; t <= state_.team_count; ++t) {
    const std::string letter = team_letter(t);
    if (!options_.teams || options_.teams->find(letter) != std::string::npos) {
      settings_.computer_controlled[static_cast<std::size_t>(t - 1)] = 1;
    }
  }
  if (options_.teams) {
    for (char c : *options_.teams) {
      if (team_index(std::string(1, c)) > state_.team_count) {
        return fail(kRunUsage, "team " + std::string(1, c) + " is not on the map " + zorvane::quoted(options_.map_path));
      }
    }
  }

  if (!QDir().mkpath(q(options_.out))) return fail(kRunNoOutput, "the folder " + zorvane::quoted(options_.out) + " cannot be made");
  log_path_ = join_path(options_.out, kBattleLogFileName);
  const FileResult log = reset_battle_log(log_path_);
  if (!log.ok) return fail(kRunNoOutput, log.error);
  history_ = "turn,team,land,units,battles_won,battles_lost\r\n";
  return kRunEnded;
}

BattleAnswer CampaignRunner::fight_battle(std::string_view terrain, const std::vector<std::string>& attackers,
                                          const std::vector<std::string>& defenders) {
  const int attacker = state_.current_team;
  const int defender = team_index(state_.field(static_cast<int>(whole_value(panel_.target)), owner).to_text());
  BattleRunResult run = battles_runner_.run_battle(q(options_.folder), settings_, terrain, attackers, defenders,
                                                   q(options_.out));
  if (!run.fought) {
    battle_error_ = run.error.toLocal8Bit().toStdString();
    return BattleAnswer{false, {}, battle_error_};
  }
  if (!run.no_report.isEmpty()) err_ << "zorvane-campaign: " << run.no_report.toLocal8Bit().toStdString() << "\n";
  ++battles_;
  const bool captured = battle_outcome(run.report).captured();
  for (const auto& [team, won] : {std::pair{attacker, captured}, {defender, !captured}}) {
    if (team < 1 || team > kTeamCount) continue;
    (won ? won_ : lost_)[static_cast<std::size_t>(team - 1)] += 1;
  }
  return BattleAnswer{true, std::move(run.report), {}};
}

void CampaignRunner::append_log(const BattleLogEntry& entry) {
  const FileResult written = append_battle_log(log_path_, entry);
  if (!written.ok) err_ << "zorvane-campaign: " << written.error << "\n";
}

void CampaignRunner::message(const std::string& text, const std::string& title) {
  // The undone attack's message is told once, with the exit status, by run().
  if (title != "Notice") out_ << title << ": " << text << "\n";
}

void CampaignRunner::record_round(int round) {
  const Score score = count_score(state_);
  int left = 0;
  for (int t = 1; t <= state_.team_count; ++t) {
    const auto i = static_cast<std::size_t>(t - 1);
    history_ += std::to_string(round) + "," + team_letter(t) + "," + std::to_string(score.land[i]) + "," +
                std::to_string(score.units[i]) + "," + std::to_string(won_[i]) + "," + std::to_string(lost_[i]) + "\r\n";
    if (score.land[i] > 0) ++left;
  }
  out_ << "turn " << round << ", actions " << actions_ << ", battles " << battles_ << ", teams left " << left << "\n";
}

void CampaignRunner::print_summary() {
  const Score score = count_score(state_);
  out_ << "\nteam   land  units  battles won  battles lost\n";
  for (int t = 1; t <= state_.team_count; ++t) {
    const auto i = static_cast<std::size_t>(t - 1);
    out_ << "  " << team_letter(t) << std::setw(9) << score.land[i] << std::setw(7) << score.units[i] << std::setw(13)
         << won_[i] << std::setw(14) << lost_[i] << "\n";
  }
}

int CampaignRunner::run() {
  if (const int status = load(); status != kRunEnded) return status;
  out_ << "Playing " << options_.map_path << ": " << state_.team_count << " teams, seed " << options_.seed << "\n";

  std::string ending;
  int round = 0;
  bool acted_this_round = false;
  while (!ended_) {
    if (options_.max_actions && actions_ >= *options_.max_actions) {
      ending = "the action limit of " + std::to_string(*options_.max_actions) + " was reached";
      break;
    }
    const int team = state_.current_team;
    std::optional<CampaignState> before;
    if (after_action) before = state_;
    AiOutcome outcome = AiOutcome::passed;
    if (settings_.computer_controlled[static_cast<std::size_t>(team - 1)] == 1) {
      outcome = comp_ai(state_, panel_, settings_, cdata_, *this, random_);
    } else {
      pass_turn(state_, false);
    }
    if (outcome == AiOutcome::undone) {
      return fail(kRunNoBattle, battle_error_ + "\nNo battle could be fought; the campaign stops here.");
    }
    if (outcome != AiOutcome::passed) {
      ++actions_;
      acted_this_round = true;
    }
    if (after_action) after_action(*before, state_, outcome);
    if (state_.current_team <= team || ended_) {
      record_round(++round);
      if (!acted_this_round && !ended_) {
        ending = "every team passed a whole turn: no one can act any more";
        break;
      }
      acted_this_round = false;
    }
  }

  const std::string save_path = join_path(options_.out, "campaign.sav");
  const FileResult saved = write_campaign_save(save_path, state_);
  const FileResult history = write_file_atomic(join_path(options_.out, "history.csv"), history_);
  print_summary();
  const Score score = count_score(state_);
  if (score.winner && ended_) {
    out_ << "Winner: team " << team_letter(*score.winner) << "\n";
  } else {
    if (ended_) ending = "the turn limit was reached";
    out_ << "No winner: " << ending << "\n";
  }
  if (!saved.ok) return fail(kRunNoOutput, saved.error);
  if (!history.ok) return fail(kRunNoOutput, "history.csv cannot be written: " + history.error);
  return kRunEnded;
}

}  // namespace zorvane
