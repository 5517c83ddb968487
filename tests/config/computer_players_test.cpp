// ai_players.dat and the command line's --ai: which computer player plays each team.
#include <gtest/gtest.h>

#include <tuple>

#include "config/computer_players.h"
#include "test_files.h"

namespace zorvane {
namespace {

constexpr PlayerKind C = PlayerKind::classic;
constexpr PlayerKind G = PlayerKind::general;

TEST(ComputerPlayersFile, WritesTenLinesThatReadBackToTheSameChoice) {
  const ComputerPlayers players{G, C, C, G, C, C, C, C, C, G};
  const std::string bytes = computer_players_file_bytes(players);
  EXPECT_EQ(bytes, "A=general\r\nB=classic\r\nC=classic\r\nD=general\r\nE=classic\r\nF=classic\r\nG=classic\r\n"
                   "H=classic\r\nI=classic\r\nJ=general\r\n");
  const ComputerPlayersRead read = parse_computer_players(bytes);
  EXPECT_EQ(std::tuple(read.players, read.error), std::tuple(players, ""));
  // Spaces, any case, LF line ends, empty lines and teams not named are all fine.
  EXPECT_EQ(parse_computer_players("\n C = GENERAL \n\nA=Classic").players, (ComputerPlayers{C, C, G, C, C, C, C, C, C, C}));
}

// A damaged file counts for nothing: Classic plays every team, and the error says which
// line and why.
TEST(ComputerPlayersFile, ADamagedFileMeansClassicForEveryTeamWithTheReason) {
  for (const auto& [bytes, says] : std::vector<std::pair<std::string, std::string>>{
           {"A=general\r\nK=general\r\n", "line 2: \"K=general\" is not a team letter"},
           {"A=general\r\nB=expert\r\n", "line 2: \"expert\" is no computer player"},
           {"A=general\r\na=general\r\n", "line 2: \"a=general\" is not a team letter"},
           {"A=general\r\nA=classic\r\n", "line 2: team A is named twice"},
           {"general\r\n", "line 1: \"general\" is not a team letter"},
           {"AB=general\r\n", "line 1:"},
           {std::string("A=gen\0eral", 10), "is no computer player"}}) {
    const ComputerPlayersRead read = parse_computer_players(bytes);
    EXPECT_EQ(read.players, ComputerPlayers{}) << bytes;
    EXPECT_NE(read.error.find(says), std::string::npos) << read.error;
  }
}

TEST(ComputerPlayersFile, AMissingFileIsNoErrorAndAnUnreadableOneIsNamed) {
  testing::TempDir dir;
  EXPECT_EQ(read_computer_players_file(dir.file("ai_players.dat")).error, "");
  dir.write("good.dat", "B=general\r\n");
  EXPECT_EQ(read_computer_players_file(dir.file("good.dat")).players[1], G);
  dir.write("big.dat", std::string(kMaxComputerPlayersBytes + 1, '\n'));
  for (const std::string& path : {dir.file("big.dat"), dir.fifo("pipe.dat"), dir.path()}) {
    const ComputerPlayersRead read = read_computer_players_file(path);
    EXPECT_EQ(read.players, ComputerPlayers{});
    EXPECT_NE(read.error.find("\"" + path + "\" cannot be used"), std::string::npos) << read.error;
    EXPECT_NE(read.error.find("Classic plays every team"), std::string::npos) << read.error;
  }
}

TEST(ComputerPlayersChoice, OneWordForEveryTeamOrLettersEachWithAWord) {
  ComputerPlayers players{};
  EXPECT_EQ(apply_players_choice("general", players), std::nullopt);
  EXPECT_EQ(players, (ComputerPlayers{G, G, G, G, G, G, G, G, G, G}));
  EXPECT_EQ(apply_players_choice("A=classic,C=classic", players), std::nullopt);
  EXPECT_EQ(players, (ComputerPlayers{C, G, C, G, G, G, G, G, G, G}));
  for (const char* bad : {"A=general,", "A=general,X=classic", "Z", "", "A=general;B=classic", "B=generals"}) {
    ComputerPlayers kept = players;
    EXPECT_NE(apply_players_choice(bad, kept), std::nullopt) << bad;
    EXPECT_EQ(kept, players) << bad;
  }
}

}  // namespace
}  // namespace zorvane
