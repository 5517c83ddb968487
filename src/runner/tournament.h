// Tournaments: many campaigns on one map, each a process of its own with its own seed and
// folder (so any game can be replayed by its seed, and games can be spread over machines),
// and the table of their results per team and computer player.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runner/campaign_runner.h"

namespace zorvane {

// One team's end of one campaign: a row of game.csv.
struct GameRow {
  std::uint64_t seed = 0;
  std::string map;     // the map's file name
  std::string team;    // "A".."J"
  std::string player;  // "classic", "general", or "none" for a team the computer did not play
  std::string result;  // "won", "lost", "turn_limit" or "stopped" (any other end of the run)
  long long land = 0;
  long long units = 0;
  long long battles_won = 0;
  long long battles_lost = 0;
  long long turns = 0;
  friend bool operator==(const GameRow&, const GameRow&) = default;
};

inline constexpr char kGameResultHeader[] = "seed,map,team,player,result,land,units,battles_won,battles_lost,turns";
// The most bytes a game.csv may hold: ten short rows.
inline constexpr std::uint64_t kMaxGameResultBytes = 16u << 10;

// game.csv: the header and one row per team, CR LF.
std::string game_result_bytes(const std::vector<GameRow>& rows);
struct GameRowsRead {
  std::vector<GameRow> rows;
  std::string error;  // what is wrong with the file; empty when it was read
};
GameRowsRead parse_game_result(std::string_view bytes);

// A line of the table: a team and the computer player that played it, over every game; or
// a player over every team it played ("all").
struct TournamentLine {
  std::string team;  // "A".."J", or "all"
  std::string player;
  long long games = 0;
  long long wins = 0;
  long long turn_limit_ends = 0;
  long long most_land = 0;         // games it ended with the most land (ties count for each)
  double land_share_sum = 0;       // its final share of the teams' land, summed over games, in %
  long long battles_won = 0;
  long long battles_lost = 0;
  double mean_land_share() const { return games > 0 ? land_share_sum / static_cast<double>(games) : 0; }
};

// The table of every game's rows (rows of a game share its seed and map): per team and
// player in letter order, then per player over all its teams.
std::vector<TournamentLine> tally_games(const std::vector<GameRow>& rows);
// The table as printed, and as tournament.csv.
std::string tournament_table_text(const std::vector<TournamentLine>& lines);
std::string tournament_csv(const std::vector<TournamentLine>& lines);

// Plays options.games campaigns on options.map_path with seeds options.seed, +1, ... in
// options.jobs processes of options.program at once, each in the folder game-<seed> under
// options.out, then prints the table and writes tournament.csv there. The progress goes to
// err. Returns an exit status.
int run_tournament(const RunnerOptions& options, std::ostream& out, std::ostream& err);

// Puts the results of game folders into one table (a folder holding no game.csv stands for
// the game folders inside it), printed and written as tournament.csv into out_folder.
int merge_games(const std::vector<std::string>& folders, const std::string& out_folder, std::ostream& out,
                std::ostream& err);

}  // namespace zorvane
