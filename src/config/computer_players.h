// Which computer player plays each team: "Classic", the program's first player and the
// default, or "General". Kept apart from config.dat (which stays 41 lines) in a file of its
// own beside it, "ai_players.dat": one line per team, "A=classic" to "J=general", CR LF.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zorvane {

enum class PlayerKind { classic, general };
inline constexpr PlayerKind kPlayerKinds[] = {PlayerKind::classic, PlayerKind::general};

// Classic for every team unless told otherwise: index team - 1.
using ComputerPlayers = std::array<PlayerKind, 10>;

inline constexpr char kComputerPlayersFileName[] = "ai_players.dat";
// The most bytes the file may hold: ten short lines, with room for spaces around them.
inline constexpr std::size_t kMaxComputerPlayersBytes = 4096;

// "Classic", "General": as the AI panel and the turn indicator show them.
std::string_view player_name(PlayerKind kind);
// "classic", "general": as the file and the command line write them.
std::string_view player_word(PlayerKind kind);
// The kind a word names, in any case; nothing for another word.
std::optional<PlayerKind> player_from_word(std::string_view word);

// The whole file: ten lines, team A first.
std::string computer_players_file_bytes(const ComputerPlayers& players);

struct ComputerPlayersRead {
  ComputerPlayers players{};  // Classic for every team unless the whole file was good
  std::string error;          // a damaged file: what is wrong with it; empty otherwise
};
// Reads the bytes of the file: lines "L=word" (CR LF, CR or LF; spaces around the letter
// and the word allowed; empty lines passed over), each team at most once, a team not
// named played by Classic. Anything else makes the file damaged: Classic for every team.
ComputerPlayersRead parse_computer_players(std::string_view bytes);
// Reads the file at path: a missing file is no error (Classic for every team); one that
// cannot be read or is damaged gives Classic for every team and the error, naming the file.
ComputerPlayersRead read_computer_players_file(const std::string& path);

// Applies a command line's choice: one word for every team ("general"), or a list of
// "L=word" joined by commas ("A=general,C=classic"). Returns why it is not one, with
// nothing changed.
std::optional<std::string> apply_players_choice(std::string_view choice, ComputerPlayers& players);

}  // namespace zorvane
