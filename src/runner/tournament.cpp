#include "runner/tournament.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <set>

#include "campaign/map_file.h"
#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"

namespace zorvane {
namespace {

constexpr int kGameColumns = 11;

QString q(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

std::vector<std::string> split_commas(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

std::optional<std::uint64_t> digits_value(const std::string& text) {
  const WholeNumber number = whole_number(text, UINT64_MAX);
  return number.in_range ? std::optional(number.value) : std::nullopt;
}

std::string fixed1(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string padded(const std::string& text, std::size_t width, bool left) {
  if (text.size() >= width) return text;
  return left ? text + std::string(width - text.size(), ' ') : std::string(width - text.size(), ' ') + text;
}

std::string duration_text(qint64 ms) {
  const qint64 seconds = (ms + 500) / 1000;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  return text;
}

// The game folders named: each folder that holds a game.csv, else the folders inside it
// that do, in name order.
std::vector<std::string> game_folders(const std::vector<std::string>& named, std::vector<std::string>& missing,
                                      std::vector<std::string>& repeated) {
  namespace fs = std::filesystem;
  std::vector<std::string> folders;
  std::set<std::string> seen;
  // A game named twice (the same folder, or a tournament's folder and one of its games)
  // counts once: the table would otherwise weigh it double.
  const auto add = [&](const std::string& game) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(fs::path(game), ec);
    if (!seen.insert(ec ? game : real.string()).second) {
      repeated.push_back(game);
    } else {
      folders.push_back(game);
    }
  };
  for (const std::string& folder : named) {
    std::error_code ec;
    if (fs::exists(platform_join(folder, kGameResultFileName), ec)) {
      add(folder);
      continue;
    }
    std::vector<std::string> inside;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code type_ec;
      if (it->is_directory(type_ec)) inside.push_back(it->path().string());
    }
    std::sort(inside.begin(), inside.end());
    const std::size_t before = folders.size();
    for (const std::string& game : inside) {
      if (fs::exists(platform_join(game, kGameResultFileName), ec)) {
        add(game);
      } else {
        missing.push_back(game);
      }
    }
    if (folders.size() == before && inside.empty()) missing.push_back(folder);
  }
  return folders;
}

// Reads the games' rows; a game that cannot be read is said, counted and left out.
std::vector<GameRow> read_games(const std::vector<std::string>& folders, std::ostream& err, int& unreadable) {
  std::vector<GameRow> rows;
  for (const std::string& folder : folders) {
    const std::string path = platform_join(folder, kGameResultFileName);
    const ReadResult file = read_file(path, kMaxGameResultBytes);
    GameRowsRead game = file.ok ? parse_game_result(file.bytes) : GameRowsRead{{}, file.error};
    if (!game.error.empty()) {
      err << "zorvane-campaign: the game result " << zorvane::quoted(path) << " cannot be used: " << game.error << "\n";
      ++unreadable;
      continue;
    }
    rows.insert(rows.end(), game.rows.begin(), game.rows.end());
  }
  return rows;
}

int write_table(const std::vector<GameRow>& rows, const std::string& out_folder, std::ostream& out, std::ostream& err) {
  const std::vector<TournamentLine> lines = tally_games(rows);
  out << tournament_table_text(lines);
  std::error_code ec;
  std::filesystem::create_directories(out_folder, ec);
  const std::string path = platform_join(out_folder, "tournament.csv");
  const FileResult written = write_generated_file(path, tournament_csv(lines));
  if (!written.ok) {
    err << "zorvane-campaign: " << zorvane::quoted(path) << " cannot be written: " << written.error << "\n";
    return kRunNoOutput;
  }
  out << "The table was written to " << path << "\n";
  return kRunEnded;
}

}  // namespace

std::string game_result_bytes(const std::vector<GameRow>& rows) {
  std::string bytes = std::string(kGameResultHeader) + "\r\n";
  for (const GameRow& r : rows) {
    bytes += std::to_string(r.seed) + "," + r.map + "," + r.team + "," + r.player + "," + r.result + "," +
             std::to_string(r.land) + "," + std::to_string(r.units) + "," + std::to_string(r.battles_won) + "," +
             std::to_string(r.battles_lost) + "," + std::to_string(r.turns) + "\r\n";
  }
  return bytes;
}

GameRowsRead parse_game_result(std::string_view bytes) {
  GameRowsRead read;
  const std::vector<std::string> lines = split_lines_any(bytes);
  if (lines.empty() || lines[0] != kGameResultHeader) {
    read.error = "its first line is not " + zorvane::quoted(kGameResultHeader);
    return read;
  }
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string where = "line " + std::to_string(i + 1) + ": ";
    const std::vector<std::string> f = split_commas(lines[i]);
    if (f.size() != kGameColumns - 1) {
      read.error = where + "it has " + std::to_string(f.size()) + " fields, not " + std::to_string(kGameColumns - 1);
      return read;
    }
    GameRow row;
    const std::optional<std::uint64_t> seed = digits_value(f[0]);
    row.map = f[1];
    row.team = f[2];
    row.player = f[3];
    row.result = f[4];
    long long* counts[] = {&row.land, &row.units, &row.battles_won, &row.battles_lost, &row.turns};
    bool numbers = seed.has_value();
    for (std::size_t k = 0; k < std::size(counts); ++k) {
      const std::optional<std::uint64_t> value = digits_value(f[5 + k]);
      numbers = numbers && value && *value <= static_cast<std::uint64_t>(INT64_MAX);
      if (numbers) *counts[k] = static_cast<long long>(*value);
    }
    if (!numbers) {
      read.error = where + "the seed and the counts must be whole numbers";
      return read;
    }
    row.seed = *seed;
    if (team_index(row.team) == 0) {
      read.error = where + quoted_excerpt(row.team) + " is not a team letter A to J";
      return read;
    }
    if (row.player != "none" && !player_from_word(row.player)) {
      read.error = where + quoted_excerpt(row.player) + " is no computer player";
      return read;
    }
    if (row.result != "won" && row.result != "lost" && row.result != "turn_limit" && row.result != "stopped") {
      read.error = where + quoted_excerpt(row.result) + " is not won, lost, turn_limit or stopped";
      return read;
    }
    read.rows.push_back(std::move(row));
  }
  if (read.rows.empty()) read.error = "it holds no team";
  return read;
}

std::vector<TournamentLine> tally_games(const std::vector<GameRow>& rows) {
  // The rows of one game: same seed and map, one after the other.
  std::map<std::pair<std::string, std::string>, TournamentLine> by_team;
  std::map<std::string, TournamentLine> by_player;
  for (std::size_t first = 0; first < rows.size();) {
    std::size_t last = first;
    while (last < rows.size() && rows[last].seed == rows[first].seed && rows[last].map == rows[first].map &&
           (last == first || rows[last].team > rows[last - 1].team)) {
      ++last;
    }
    long long all_land = 0, most = 0;
    for (std::size_t k = first; k < last; ++k) {
      all_land += rows[k].land;
      most = std::max(most, rows[k].land);
    }
    for (std::size_t k = first; k < last; ++k) {
      const GameRow& r = rows[k];
      TournamentLine& team_line = by_team[{r.team, r.player}];
      TournamentLine& player_line = by_player[r.player];
      team_line.team = r.team;
      player_line.team = "all";
      for (TournamentLine* line : {&team_line, &player_line}) {
        line->player = r.player;
        ++line->games;
        line->wins += r.result == "won";
        line->turn_limit_ends += r.result == "turn_limit";
        line->most_land += r.land == most;
        line->land_share_sum += all_land > 0 ? 100.0 * static_cast<double>(r.land) / static_cast<double>(all_land) : 0;
        line->battles_won += r.battles_won;
        line->battles_lost += r.battles_lost;
      }
    }
    first = last;
  }
  std::vector<TournamentLine> lines;
  for (const auto& [key, line] : by_team) lines.push_back(line);
  for (const auto& [key, line] : by_player) lines.push_back(line);
  return lines;
}

std::string tournament_table_text(const std::vector<TournamentLine>& lines) {
  std::string text = "team  player   games   wins  turn limit  most land  land share  battles won  battles lost\n";
  for (const TournamentLine& l : lines) {
    const std::string player = l.player == "none" ? "none" : std::string(player_name(*player_from_word(l.player)));
    text += padded(l.team, 6, true) + padded(player, 8, true) + padded(std::to_string(l.games), 6, false) +
            padded(std::to_string(l.wins), 7, false) + padded(std::to_string(l.turn_limit_ends), 12, false) +
            padded(std::to_string(l.most_land), 11, false) + padded(fixed1(l.mean_land_share()) + "%", 12, false) +
            padded(std::to_string(l.battles_won), 13, false) + padded(std::to_string(l.battles_lost), 14, false) + "\n";
  }
  return text;
}

std::string tournament_csv(const std::vector<TournamentLine>& lines) {
  std::string csv = "team,player,games,wins,turn_limit_ends,most_land,mean_land_share,battles_won,battles_lost\r\n";
  for (const TournamentLine& l : lines) {
    csv += l.team + "," + l.player + "," + std::to_string(l.games) + "," + std::to_string(l.wins) + "," +
           std::to_string(l.turn_limit_ends) + "," + std::to_string(l.most_land) + "," + fixed1(l.mean_land_share()) +
           "," + std::to_string(l.battles_won) + "," + std::to_string(l.battles_lost) + "\r\n";
  }
  return csv;
}

int merge_games(const std::vector<std::string>& folders, const std::string& out_folder, std::ostream& out,
                std::ostream& err) {
  std::vector<std::string> missing, repeated;
  const std::vector<std::string> games = game_folders(folders, missing, repeated);
  for (const std::string& folder : missing) {
    err << "zorvane-campaign: " << zorvane::quoted(folder) << " holds no " << kGameResultFileName
        << ": the game did not end, or it is no game folder\n";
  }
  for (const std::string& folder : repeated) {
    err << "zorvane-campaign: " << zorvane::quoted(folder) << " was named more than once; its game counts once\n";
  }
  int unreadable = 0;
  const std::vector<GameRow> rows = read_games(games, err, unreadable);
  out << "Games: " << games.size() - static_cast<std::size_t>(unreadable) << "\n";
  const int status = write_table(rows, out_folder, out, err);
  if (status != kRunEnded) return status;
  return unreadable > 0 || !missing.empty() ? kRunGamesFailed : kRunEnded;
}

int run_tournament(const RunnerOptions& options, std::ostream& out, std::ostream& err) {
  const MapReadResult map = read_map_file(options.map_path);
  if (!map.ok()) {
    err << "zorvane-campaign: " << map.error << "\n";
    return kRunBadMap;
  }
  std::error_code ec;
  std::filesystem::create_directories(options.out, ec);
  if (!std::filesystem::is_directory(options.out, ec)) {
    err << "zorvane-campaign: the folder " << zorvane::quoted(options.out) << " cannot be made\n";
    return kRunNoOutput;
  }
  const long long games = *options.games;
  const int jobs = options.jobs > 0 ? options.jobs : std::max(1, QThread::idealThreadCount());
  out << "Tournament on " << options.map_path << ": " << games << " games, seeds " << options.seed << " to "
      << options.seed + static_cast<std::uint64_t>(games - 1) << ", " << jobs << " at once\n"
      << std::flush;

  struct Game {
    std::uint64_t seed = 0;
    std::string folder;
  };
  std::vector<Game> all;
  for (long long k = 0; k < games; ++k) {
    const std::uint64_t seed = options.seed + static_cast<std::uint64_t>(k);
    all.push_back({seed, platform_join(options.out, "game-" + std::to_string(seed))});
  }

  QEventLoop loop;
  QElapsedTimer clock;
  clock.start();
  std::size_t next = 0;
  long long done = 0;
  int running = 0;
  std::vector<std::string> failures;
  const auto progress = [&] {
    const qint64 elapsed = clock.elapsed();
    std::string line = "games " + std::to_string(done) + " of " + std::to_string(games) + " done";
    line += done < games ? ", about " + duration_text(elapsed * (games - done) / std::max<long long>(done, 1)) + " left"
                         : " in " + duration_text(elapsed);
    if (done == 0) line = "games 0 of " + std::to_string(games) + " done";
    err << (options.progress_in_place ? "\r" : "") << line << (options.progress_in_place && done < games ? "" : "\n")
        << std::flush;
  };
  std::function<void()> start_next = [&] {
    while (running < jobs && next < all.size()) {
      const Game game = all[next++];
      std::error_code ec;
      std::filesystem::create_directories(game.folder, ec);
      auto* process = new QProcess;
      process->setProcessChannelMode(QProcess::MergedChannels);
      process->setStandardOutputFile(q(platform_join(game.folder, "output.txt")));
      process->setStandardInputFile(QProcess::nullDevice());
      QStringList arguments{q(options.map_path), QStringLiteral("--folder"), q(options.folder), QStringLiteral("--seed"),
                            QString::number(game.seed), QStringLiteral("--out"), q(game.folder)};
      if (options.players) arguments << QStringLiteral("--ai") << q(*options.players);
      if (options.teams) arguments << QStringLiteral("--teams") << q(*options.teams);
      if (options.max_actions) arguments << QStringLiteral("--max-actions") << QString::number(*options.max_actions);
      if (options.max_turns) arguments << QStringLiteral("--max-turns") << QString::number(*options.max_turns);
      ++running;
      const auto ended = [&, process, game](bool started, int status) {
        --running;
        ++done;
        if (!started || status != kRunEnded) {
          failures.push_back("game " + std::to_string(game.seed) + " (" + game.folder + ") " +
                             (started ? "ended with status " + std::to_string(status) : std::string("could not start")) +
                             ": see " + platform_join(game.folder, "output.txt"));
        }
        process->deleteLater();
        progress();
        start_next();
        if (running == 0) loop.quit();
      };
      QObject::connect(process, &QProcess::finished, &loop,
                       [ended](int code, QProcess::ExitStatus how) {
                         ended(true, how == QProcess::NormalExit ? code : -1);
                       });
      QObject::connect(process, &QProcess::errorOccurred, &loop, [ended](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) ended(false, -1);
      });
      process->start(q(options.program), arguments);
    }
  };
  progress();
  start_next();
  if (running > 0) loop.exec();

  for (const std::string& failure : failures) err << "zorvane-campaign: " << failure << "\n";
  std::vector<std::string> folders;
  for (const Game& game : all) folders.push_back(game.folder);
  std::vector<std::string> missing, repeated;
  int unreadable = 0;
  const std::vector<GameRow> rows = read_games(game_folders(folders, missing, repeated), err, unreadable);
  const int status = write_table(rows, options.out, out, err);
  if (status != kRunEnded) return status;
  return failures.empty() && unreadable == 0 && missing.empty() ? kRunEnded : kRunGamesFailed;
}

}  // namespace zorvane
