#include "runner/campaign_runner.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "battle/battle_report.h"
#include "campaign/battle_log.h"
#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "common/folder_lock.h"
#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"
#include "turn/players.h"
#include "turn/scoring.h"
#include "battle/scenario.h"
#include "bridge/unit_programs.h"
#include "runner/tournament.h"

namespace zorvane {
namespace {

QString q(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace

WholeNumber whole_number(const std::string& text, std::uint64_t largest) {
  WholeNumber number;
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return number;
  number.digits = true;
  for (char c : text) {
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (number.value > (largest - digit) / 10) return number;
    number.value = number.value * 10 + digit;
  }
  number.in_range = true;
  return number;
}

std::string runner_help() {
  return "Usage: zorvane-campaign MAP [--folder DIR] [--teams LETTERS] [--ai PLAYERS] [--seed N]\n"
         "                        [--max-actions N] [--max-turns N] [--out DIR] [--games N [--jobs J]]\n"
         "       zorvane-campaign --merge DIR... [--out DIR]\n"
         "\n"
         "Plays a whole campaign on the map MAP (.aim) with the computer player for every team,\n"
         "fighting every battle with the configured tactical game, and no window.\n"
         "\n"
         "  --folder DIR       the folder whose config.dat and c_data.dat are used (default:\n"
         "                     the folder this program lies in, or the installed data folder\n"
         "                     beside it); relative settings, such as the game's location,\n"
         "                     are taken against it\n"
         "  --teams LETTERS    the teams the computer plays, e.g. ACE (default: every team on\n"
         "                     the map); a team not listed passes its turns\n"
         "  --ai PLAYERS       the computer player of each team, over ai_players.dat: classic\n"
         "                     or general for every team, or e.g. A=general,C=classic\n"
         "  --seed N           the campaign's seed (default: from the clock): the computer\n"
         "                     players' and, through ZORVANE_BATTLE_SEED, each battle's; the\n"
         "                     same seed, map and settings give the same campaign\n"
         "  --max-actions N    stop after N actions (default: no limit; the turn limit of\n"
         "                     config.dat applies)\n"
         "  --max-turns N      stop after N turns (default: 1000, or the turn limit of\n"
         "                     config.dat when that is a larger whole number), so a run whose\n"
         "                     turn limit is blank or never reached still ends\n"
         "  --out DIR          where blog.txt, zorvtmp.scn, zorvtmp.txt, the final save\n"
         "                     campaign.sav, history.csv and game.csv go (default: the current\n"
         "                     folder)\n"
         "  --games N          a tournament: N campaigns with seeds N0, N0+1, ... (N0 from\n"
         "                     --seed), each one process in its own folder game-<seed> under\n"
         "                     --out; prints a table per team and computer player and writes it\n"
         "                     to tournament.csv\n"
         "  --jobs J           campaigns of a tournament played at once (default: the machine's\n"
         "                     cores)\n"
         "  --merge DIR...     one table of the games in these folders (game folders, or\n"
         "                     folders holding them), printed and written to tournament.csv\n"
         "                     in --out\n"
         "  --help             this text\n"
         "\n"
         "history.csv has one row per team per turn (one turn: every team's move once):\n"
         "turn,team,land,units,battles_won,battles_lost. game.csv has one row per team, how the\n"
         "campaign ended for it (won, lost, turn_limit or stopped) and its final counts.\n"
         "\n"
         "Every output is checked before the first action, and the campaign as it stands is\n"
         "written to campaign.sav and history.csv whenever the run stops.\n"
         "\n"
         "Exit status: 0 when the campaign ends (a winner, the turn limit, the action or turn\n"
         "cap, or a whole turn in which every team passed); 1 bad command line; 2 bad map; 3 bad\n"
         "settings; 4 the tactical game could not fight a battle; 5 the output cannot be written;\n"
         "6 a tournament or merge in which some game left no result.\n";
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
    if (a == "--merge") {
      while (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) options.merge.push_back(arguments[++i]);
      if (options.merge.empty()) return usage("--merge needs the game folders");
      continue;
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
      } else if (a == "--ai") {
        ComputerPlayers players{};
        if (const auto why = apply_players_choice(value, players)) return usage("--ai: " + *why);
        options.players = value;
      } else if (a == "--games" || a == "--jobs") {
        const WholeNumber number = whole_number(value, a == "--jobs" ? 256 : 1000000);
        if (!number.in_range || number.value == 0) {
          return usage(a + " takes a whole number from 1 to " + (a == "--jobs" ? "256" : "1000000") + ", not " +
                       zorvane::quoted(value));
        }
        if (a == "--games") options.games = static_cast<long long>(number.value);
        if (a == "--jobs") options.jobs = static_cast<int>(number.value);
      } else if (a == "--seed" || a == "--max-actions" || a == "--max-turns") {
        const std::uint64_t largest = a == "--seed" ? UINT64_MAX : static_cast<std::uint64_t>(INT64_MAX);
        const WholeNumber number = whole_number(value, largest);
        if (!number.digits) return usage(a + " takes a whole number, not " + zorvane::quoted(value));
        if (!number.in_range) {
          return usage(a + " " + value + " is out of range: it takes 0 to " + std::to_string(largest));
        }
        if (a == "--seed") options.seed = number.value;
        if (a == "--max-actions") options.max_actions = static_cast<long long>(number.value);
        if (a == "--max-turns") options.max_turns = static_cast<long long>(number.value);
      } else {
        return usage("unknown option " + zorvane::quoted(a));
      }
    } else if (options.map_path.empty()) {
      options.map_path = a;
    } else {
      return usage("only one map can be played, but " + zorvane::quoted(options.map_path) + " and " + zorvane::quoted(a) + " were given");
    }
  }
  if (!options.merge.empty()) {
    if (!options.map_path.empty() || options.games) return usage("--merge takes game folders, not a map to play");
  } else if (options.map_path.empty()) {
    return usage("no map given");
  }
  if (options.jobs > 0 && !options.games) return usage("--jobs goes with --games");
  parsed.options = std::move(options);
  return parsed;
}

CampaignRunner::CampaignRunner(RunnerOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)), out_(out), err_(err), random_(options_.seed) {
  // The runner plays until a round goes by in which nobody could act.
  engine_.end_on_round_of_passes(true);
}

CampaignRunner::~CampaignRunner() = default;

int CampaignRunner::fail(int status, const std::string& text) {
  err_ << "zorvane-campaign: " << text << "\n";
  return status;
}

std::string CampaignRunner::output_file(std::string_view name) const { return platform_join(options_.out, name); }

bool CampaignRunner::turn_limit_reachable() const {
  const std::string& limit = settings_.turn_limit;
  const double value = numeric_value(limit);
  return !is_blank(limit) && value >= 1 && value <= kLargestTurnLimit && value == static_cast<long long>(value);
}

long long CampaignRunner::turn_cap() const {
  if (options_.max_turns) return *options_.max_turns;
  if (turn_limit_reachable()) return std::max(kDefaultTurnCap, static_cast<long long>(numeric_value(settings_.turn_limit)));
  return kDefaultTurnCap;
}

int CampaignRunner::load() {
  const std::string config_path = platform_join(options_.folder, "config.dat");
  const std::vector<std::string> lines = read_config_lines(config_path);
  if (!apply_config_lines(lines, settings_)) {
    return fail(kRunBadSettings,
                lines.empty() ? "the settings " + zorvane::quoted(config_path) +
                                    " cannot be read (missing, empty, or not a plain file)"
                              : "the settings " + zorvane::quoted(config_path) + " are incomplete: it has " +
                                    std::to_string(lines.size()) + " of the " + std::to_string(kConfigLineCount) +
                                    " lines a config.dat holds");
  }
  const std::string roster_path = platform_join(options_.folder, "c_data.dat");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(roster_path, ec)) {
    err_ << "zorvane-campaign: warning: no army rosters: " << roster_path << " is missing or not a plain file\n";
  }
  read_roster_file(roster_path, cdata_);

  if (const auto error = engine_.start_new(options_.map_path, 0, 0)) return fail(kRunBadMap, *error);
  const int teams = engine_.state().team_count;
  if (options_.teams) {
    for (char c : *options_.teams) {
      if (team_index(std::string(1, c)) > teams) {
        return fail(kRunUsage, "team " + std::string(1, c) + " is not on the map " + zorvane::quoted(options_.map_path) +
                                   ", which has teams A to " + team_letter(teams));
      }
    }
  }
  const ComputerPlayersRead players = read_computer_players_file(platform_join(options_.folder, kComputerPlayersFileName));
  if (!players.error.empty()) err_ << "zorvane-campaign: warning: " << players.error << "\n";
  settings_.computer_players = players.players;
  if (options_.players) apply_players_choice(*options_.players, settings_.computer_players);
  settings_.computer_controlled.fill(0);
  for (int t = 1; t <= teams; ++t) {
    if (!options_.teams || options_.teams->find(team_letter(t)) != std::string::npos) {
      settings_.computer_controlled[static_cast<std::size_t>(t - 1)] = 1;
    }
  }
  return prepare_outputs();
}

int CampaignRunner::prepare_outputs() {
  // Every output is tried before the first action: a campaign played for nothing because
  // its results cannot be written helps nobody.
  std::error_code ec;
  std::filesystem::create_directories(options_.out, ec);
  if (!std::filesystem::is_directory(options_.out, ec)) {
    return fail(kRunNoOutput, "the folder " + zorvane::quoted(options_.out) + " cannot be made");
  }
  // Two runs writing one folder would mix their battles and outputs.
  out_lock_ = std::make_unique<FolderLock>(options_.out, "zorvane-campaign");
  if (out_lock_->in_use()) {
    return fail(kRunNoOutput, out_lock_->in_use_text() + "; give this run a folder of its own with --out");
  }
  for (const std::string_view name : {kBattleLogFileName, std::string_view("campaign.sav"), std::string_view("history.csv"),
                                      std::string_view(kGameResultFileName), std::string_view(kScenarioFileName),
                                      std::string_view(kResultFileName)}) {
    const std::string path = output_file(name);
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
      return fail(kRunNoOutput, zorvane::quoted(path) + " cannot be written: it is " +
                                    (std::filesystem::is_directory(status) ? "a folder" : "not a plain file"));
    }
  }
  // A result left by an earlier run in this folder must not pass for this one's.
  std::filesystem::remove(output_file(kGameResultFileName), ec);
  // Every output is generated: a link planted in its place (a shared /tmp, say) is replaced,
  // never written through.
  const FileResult log = reset_battle_log(output_file(kBattleLogFileName), Links::replace);
  if (!log.ok) return fail(kRunNoOutput, log.error);
  history_ = "turn,team,land,units,battles_won,battles_lost\r\n";
  std::string error;
  if (!write_outputs(error)) return fail(kRunNoOutput, error);
  return kRunEnded;
}

bool CampaignRunner::write_outputs(std::string& error) {
  const FileResult saved = write_campaign_save(output_file("campaign.sav"), engine_.state(), Links::replace);
  if (!saved.ok) {
    error = saved.error;
    return false;
  }
  const FileResult history = write_generated_file(output_file("history.csv"), history_);
  if (!history.ok) error = "history.csv cannot be written: " + history.error;
  return history.ok;
}

TurnEvents CampaignRunner::fight(const BattleRequest& request) {
  const BattleRunResult run =
      battles_runner_.run_battle(q(options_.folder), settings_, request.terrain, request.attackers, request.defenders,
                                 q(options_.out), battle_seed(options_.seed, request.number));
  if (!run.no_report.isEmpty()) err_ << "zorvane-campaign: " << run.no_report.toLocal8Bit().toStdString() << "\n";
  return engine_.answer_battle(battle_answer(run));
}

void CampaignRunner::record(const TurnEvents& events) {
  if (events.result == TurnEvents::Result::resolved) ++actions_;
  if (events.log) {
    const FileResult written = append_battle_log(output_file(kBattleLogFileName), *events.log, Links::replace);
    if (!written.ok) err_ << "zorvane-campaign: " << written.error << "\n";
  }
  if (events.outcome && events.battle) {
    ++battles_;
    const bool captured = events.outcome->captured();
    for (const auto& [team, won] :
         {std::pair{events.battle->attacking_team, captured}, {events.battle->defending_team, !captured}}) {
      if (team < 1 || team > kTeamCount) continue;
      (won ? won_ : lost_)[static_cast<std::size_t>(team - 1)] += 1;
    }
  }
}

void CampaignRunner::record_round(int round) {
  const Score score = count_score(engine_.state());
  int left = 0;
  for (int t = 1; t <= engine_.state().team_count; ++t) {
    const auto i = static_cast<std::size_t>(t - 1);
    history_ += std::to_string(round) + "," + team_letter(t) + "," + std::to_string(score.land[i]) + "," +
                std::to_string(score.units[i]) + "," + std::to_string(won_[i]) + "," + std::to_string(lost_[i]) + "\r\n";
    if (score.land[i] > 0) ++left;
  }
  out_ << "turn " << round << ", actions " << actions_ << ", battles " << battles_ << ", teams left " << left << "\n";
}

bool CampaignRunner::write_game_result(const std::optional<CampaignEnd>& end, std::string& error) {
  const Score score = count_score(engine_.state());
  std::vector<GameRow> rows;
  for (int t = 1; t <= engine_.state().team_count; ++t) {
    const auto i = static_cast<std::size_t>(t - 1);
    GameRow row;
    row.seed = options_.seed;
    row.map = GetFileName(options_.map_path);
    // One field of a line of commas.
    for (char& c : row.map) c = c == ',' || static_cast<unsigned char>(c) < 32 ? '_' : c;
    row.team = team_letter(t);
    row.player = engine_.computer_plays(t) ? std::string(player_word(computer_player_of(settings_, t))) : "none";
    row.result = end && end->winner ? (*end->winner == t ? "won" : "lost")
                 : score.land[i] == 0 ? "lost"
                 : end && end->turn_limit ? "turn_limit"
                                          : "stopped";
    row.land = score.land[i];
    row.units = score.units[i];
    row.battles_won = won_[i];
    row.battles_lost = lost_[i];
    row.turns = engine_.state().turn;
    rows.push_back(std::move(row));
  }
  const FileResult written = write_generated_file(output_file(kGameResultFileName), game_result_bytes(rows));
  if (!written.ok) error = std::string(kGameResultFileName) + " cannot be written: " + written.error;
  return written.ok;
}

void CampaignRunner::print_summary() {
  const Score score = count_score(engine_.state());
  out_ << "\nteam   land  units  battles won  battles lost\n";
  for (int t = 1; t <= engine_.state().team_count; ++t) {
    const auto i = static_cast<std::size_t>(t - 1);
    out_ << "  " << team_letter(t) << std::setw(9) << score.land[i] << std::setw(7) << score.units[i] << std::setw(13)
         << won_[i] << std::setw(14) << lost_[i] << "\n";
  }
}

int CampaignRunner::run() {
  if (const int status = load(); status != kRunEnded) return status;
  out_ << "Playing " << options_.map_path << ": " << engine_.state().team_count << " teams, seed " << options_.seed
       << "\n";

  std::string ending;
  std::string battle_error;
  std::optional<CampaignEnd> end;
  const long long cap = turn_cap();
  int round = 0;
  while (!end && ending.empty()) {
    if (options_.max_actions && actions_ >= *options_.max_actions) {
      ending = "the action limit of " + std::to_string(*options_.max_actions) + " was reached";
      break;
    }
    const int team = engine_.team_to_move();
    std::optional<CampaignState> before;
    if (after_action) before = engine_.state();
    // A team the computer does not play passes its turns.
    const Action action = engine_.computer_plays(team)
                              ? choose_computer_action(engine_.state(), settings_, cdata_, random_,
                                                       game_unit_strengths(q(options_.folder), settings_))
                              : Action{};
    TurnEvents events = engine_.act(action);
    if (events.result == TurnEvents::Result::battle_pending) events = fight(*events.battle);
    if (events.result == TurnEvents::Result::undone) {
      battle_error = events.reason;
      break;
    }
    record(events);
    if (after_action) after_action(*before, engine_.state(), events);
    end = events.ended;
    if (engine_.team_to_move() <= team || end) {
      record_round(++round);
      if (!end && round >= cap) {
        ending = "the run stopped after " + std::to_string(cap) + " turns (--max-turns)";
        if (!turn_limit_reachable()) {
          ending += "; the turn limit " + zorvane::quoted_excerpt(settings_.turn_limit) + " of config.dat can never be reached";
        }
      }
    }
  }

  std::string write_error;
  // A game that could not fight a battle leaves no result: a tournament counts it as failed.
  const bool written = write_outputs(write_error) && (!battle_error.empty() || write_game_result(end, write_error));
  print_summary();
  if (!battle_error.empty()) {
    if (written) out_ << "The campaign as it stood was written to " << output_file("campaign.sav") << "\n";
    fail(kRunNoBattle, battle_error + "\nNo battle could be fought; the campaign stops here.");
    return written ? kRunNoBattle : fail(kRunNoOutput, write_error);
  }
  if (end && end->winner) {
    out_ << "Winner: team " << team_letter(*end->winner) << "\n";
  } else {
    if (end && end->turn_limit) ending = "the turn limit was reached";
    if (end && end->round_of_passes) ending = "every team passed a whole turn: no one can act any more";
    out_ << "No winner: " << ending << "\n";
  }
  if (!written) return fail(kRunNoOutput, write_error);
  return kRunEnded;
}

}  // namespace zorvane
