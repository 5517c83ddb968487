#include "config/computer_players.h"

#include <filesystem>

#include "common/linefile.h"
#include "common/text.h"

namespace zorvane {
namespace {

constexpr std::string_view kLetters = "ABCDEFGHIJ";

std::string_view trim_view(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "L=word" for one team: its index 0..9 and the kind, or why it is not one.
struct TeamChoice {
  std::size_t team = 0;
  PlayerKind kind = PlayerKind::classic;
  std::string error;
};
TeamChoice team_choice(std::string_view text) {
  TeamChoice choice;
  const auto eq = text.find('=');
  const std::string_view letter = trim_view(text.substr(0, eq));
  if (eq == std::string_view::npos || letter.size() != 1 || kLetters.find(letter[0]) == std::string_view::npos) {
    choice.error = quoted_excerpt(text) + " is not a team letter A to J, \"=\" and a player";
    return choice;
  }
  choice.team = kLetters.find(letter[0]);
  const std::string_view word = trim_view(text.substr(eq + 1));
  const std::optional<PlayerKind> kind = player_from_word(word);
  if (!kind) {
    choice.error = quoted_excerpt(word) + " is no computer player (classic or general)";
    return choice;
  }
  choice.kind = *kind;
  return choice;
}

}  // namespace

std::string_view player_name(PlayerKind kind) { return kind == PlayerKind::general ? "General" : "Classic"; }

std::string_view player_word(PlayerKind kind) { return kind == PlayerKind::general ? "general" : "classic"; }

std::optional<PlayerKind> player_from_word(std::string_view word) {
  const std::string lower = to_lower_ascii(word);
  for (const PlayerKind kind : kPlayerKinds) {
    if (lower == player_word(kind)) return kind;
  }
  return std::nullopt;
}

std::string computer_players_file_bytes(const ComputerPlayers& players) {
  std::string bytes;
  for (std::size_t t = 0; t < players.size(); ++t) {
    bytes += kLetters[t];
    bytes += '=';
    bytes += player_word(players[t]);
    bytes += "\r\n";
  }
  return bytes;
}

ComputerPlayersRead parse_computer_players(std::string_view bytes) {
  ComputerPlayersRead read;
  ComputerPlayers players{};
  std::array<bool, 10> named{};
  int line_number = 0;
  for (const std::string& line : split_lines_any(bytes)) {
    ++line_number;
    if (trim_view(line).empty()) continue;
    const TeamChoice choice = team_choice(line);
    std::string error = choice.error;
    if (error.empty() && named[choice.team]) error = "team " + std::string(1, kLetters[choice.team]) + " is named twice";
    if (!error.empty()) {
      read.error = "line " + std::to_string(line_number) + ": " + error;
      return read;
    }
    named[choice.team] = true;
    players[choice.team] = choice.kind;
  }
  read.players = players;
  return read;
}

ComputerPlayersRead read_computer_players_file(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return {};
  const ReadResult file = read_file(path, kMaxComputerPlayersBytes);
  ComputerPlayersRead read = file.ok ? parse_computer_players(file.bytes) : ComputerPlayersRead{{}, file.error};
  if (!read.error.empty()) {
    read.error = "The computer players file " + zorvane::quoted(path) + " cannot be used, so Classic plays every team: " +
                 read.error + ".";
  }
  return read;
}

std::optional<std::string> apply_players_choice(std::string_view choice, ComputerPlayers& players) {
  if (const std::optional<PlayerKind> kind = player_from_word(trim_view(choice))) {
    players.fill(*kind);
    return std::nullopt;
  }
  ComputerPlayers chosen = players;
  std::size_t start = 0;
  while (start <= choice.size()) {
    const std::size_t comma = std::min(choice.find(',', start), choice.size());
    const TeamChoice one = team_choice(choice.substr(start, comma - start));
    if (!one.error.empty()) return one.error;
    chosen[one.team] = one.kind;
    start = comma + 1;
  }
  players = chosen;
  return std::nullopt;
}

}  // namespace zorvane
