// Campaigns that repeat, and tournaments: many games, one table.
#include <gtest/gtest.h>

#include <QFile>
#include <filesystem>
#include <map>
#include <sstream>

#include "common/linefile.h"
#include "runner/campaign_runner.h"
#include "runner/tournament.h"
#include "test_files.h"

namespace zorvane::testing {
namespace {

const std::string kProgramFolder = ZORVANE_PROGRAM_DIR;

// The same seed twice: the same campaign to the byte, battles by the stand-in game included;
// another seed, another campaign.
TEST(Seed, PlaysTheSameCampaignTwiceByteForByte) {
  std::map<std::uint64_t, std::vector<std::string>> runs;
  for (const std::uint64_t seed : {11u, 11u, 12u}) {
    TempDir out;
    RunnerOptions options{kProgramFolder + "/maps/duel-8.aim", kProgramFolder, std::nullopt, seed, std::nullopt,
                          out.path(), {}};
    options.players = "A=general";
    std::ostringstream said, errors;
    ASSERT_EQ(CampaignRunner(options, said, errors).run(), kRunEnded) << errors.str();
    std::vector<std::string> files;
    for (const char* name : {"blog.txt", "history.csv", "campaign.sav", "game.csv"}) files.push_back(read_bytes(out.file(name)));
    if (runs.count(seed)) {
      EXPECT_EQ(files, runs[seed]);
    } else {
      runs[seed] = files;
    }
  }
  EXPECT_NE(runs[11][0], runs[12][0]);
}

// A stand-in game that gives every battle to the attackers, at once.
std::string fake_game_folder(const TempDir& dir) {
  const std::string game = dir.write("game/attackers-win",
                                     "#!/bin/sh\n"
                                     "out=${2#/B:}; sides=$ZORVANE_BATTLE_SIDES; k=1; : > \"$out.part\"\n"
                                     "while [ -n \"$sides\" ]; do\n"
                                     "  side=${sides%\"${sides#?}\"}; sides=${sides#?}\n"
                                     "  score=0; [ \"$side\" = 1 ] && score=100\n"
                                     "  printf '    Place       %2d%60s%8d\\r\\n' $k '' $score >> \"$out.part\"; k=$((k+1))\n"
                                     "done\n"
                                     "mv \"$out.part\" \"$out\"\n");
  std::filesystem::permissions(game, std::filesystem::perms::owner_all);
  auto lines = split_lines_any(read_bytes(kProgramFolder + "/config.dat"));
  lines[0] = game;
  dir.write("config.dat", join_crlf(lines));
  dir.write("c_data.dat", read_bytes(kProgramFolder + "/c_data.dat"));
  dir.write("ai_players.dat", "B=general\r\n");
  return dir.path();
}

struct Said {
  int status = 0;
  std::string out, err;
};

// The table's lines as tournament.csv holds them, worked out from what each game's own
// files say: the last round of history.csv and the runner's last words in output.txt.
std::vector<std::string> table_from_games(const std::vector<std::string>& folders,
                                          const std::vector<std::string>& players) {
  struct Line {
    long long games = 0, wins = 0, limit = 0, most = 0, won = 0, lost = 0;
    double share = 0;
  };
  std::map<std::string, Line> teams;
  for (const std::string& folder : folders) {
    const auto rows = split_lines_cr(read_bytes(folder + "/history.csv"));
    const std::string last_turn = rows.back().substr(0, rows.back().find(','));
    std::vector<std::vector<std::string>> last;
    for (const std::string& row : rows) {
      if (row.substr(0, row.find(',')) != last_turn) continue;
      std::vector<std::string> fields;
      std::stringstream in(row);
      for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
      last.push_back(fields);
    }
    const std::string said = read_bytes(folder + "/output.txt");
    long long all = 0, most = 0;
    for (const auto& f : last) all += std::stoll(f[2]), most = std::max(most, std::stoll(f[2]));
    for (const auto& f : last) {
      Line& l = teams[f[1]];
      ++l.games;
      l.wins += said.find("Winner: team " + f[1]) != std::string::npos;
      l.limit += said.find("the turn limit was reached") != std::string::npos && f[2] != "0";
      l.most += std::stoll(f[2]) == most;
      l.share += 100.0 * std::stoll(f[2]) / static_cast<double>(all);
      l.won += std::stoll(f[4]);
      l.lost += std::stoll(f[5]);
    }
  }
  std::vector<std::string> csv;
  for (const auto& [team, l] : teams) {
    char share[32];
    std::snprintf(share, sizeof share, "%.1f", l.share / static_cast<double>(l.games));
    csv.push_back(team + "," + players.at(static_cast<std::size_t>(team[0] - 'A')) + "," + std::to_string(l.games) + "," +
                  std::to_string(l.wins) + "," + std::to_string(l.limit) + "," + std::to_string(l.most) + "," + share +
                  "," + std::to_string(l.won) + "," + std::to_string(l.lost));
  }
  return csv;
}

// Four games in two processes with a game that is quick to answer: every game keeps its
// folder and files, the table adds up what the games' own files say, a second run prints
// the same table, and a merge of the folders gives it again.
TEST(Tournament, PlaysEveryGameInItsOwnFolderAndTablesWhatTheirFilesSay) {
  TempDir dir;
  RunnerOptions options{kProgramFolder + "/maps/duel-8.aim", fake_game_folder(dir), std::nullopt, 5, std::nullopt,
                        dir.file("first"), {}};
  options.players = "A=general";
  options.games = 4;
  options.jobs = 2;
  options.program = kProgramFolder + "/zorvane-campaign";
  const auto tournament = [&](const std::string& out) {
    options.out = out;
    std::ostringstream said, errors;
    const int status = run_tournament(options, said, errors);
    return Said{status, said.str(), errors.str()};
  };
  const Said first = tournament(dir.file("first"));
  ASSERT_EQ(first.status, kRunEnded) << first.err;
  EXPECT_NE(first.err.find("games 4 of 4 done in "), std::string::npos) << first.err;
  std::vector<std::string> folders;
  for (int seed = 5; seed <= 8; ++seed) {
    folders.push_back(dir.file("first/game-" + std::to_string(seed)));
    for (const char* name : {"blog.txt", "history.csv", "campaign.sav", "game.csv", "output.txt"}) {
      EXPECT_TRUE(std::filesystem::is_regular_file(folders.back() + "/" + name)) << folders.back() << name;
    }
  }
  // B is General by ai_players.dat in the folder, A by --ai.
  std::vector<std::string> expected = table_from_games(folders, {"general", "general"});
  const auto csv = split_lines_cr(read_bytes(dir.file("first/tournament.csv")));
  ASSERT_EQ(csv.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(csv.begin() + 1, csv.begin() + 3), expected);
  EXPECT_EQ(csv[3].substr(0, 12), "all,general,");

  const Said second = tournament(dir.file("second"));
  const auto table = [](const std::string& out) { return out.substr(out.find("team "), out.find("The table") - out.find("team ")); };
  EXPECT_EQ(table(second.out), table(first.out));

  // A game named again, inside its tournament's folder and by another path, counts once.
  std::ostringstream merged, merge_errors;
  EXPECT_EQ(merge_games({dir.file("first"), dir.file("first/../first/game-6")}, dir.file("merged"), merged, merge_errors),
            kRunEnded);
  EXPECT_EQ(merge_errors.str(), "zorvane-campaign: \"" + dir.file("first/../first/game-6") +
                                    "\" was named more than once; its game counts once\n");
  EXPECT_EQ(read_bytes(dir.file("merged/tournament.csv")), read_bytes(dir.file("first/tournament.csv")));
  EXPECT_EQ(table(merged.str()), table(first.out));

  // A damaged game's result is named and left out; the others still make the table.
  dir.write("first/game-6/game.csv", "seed,map\r\n");
  std::ostringstream partial, partial_errors;
  EXPECT_EQ(merge_games({folders[0], folders[1]}, dir.file("partial"), partial, partial_errors), kRunGamesFailed);
  EXPECT_NE(partial_errors.str().find(folders[1] + "/game.csv\" cannot be used"), std::string::npos) << partial_errors.str();
  EXPECT_EQ(split_lines_cr(read_bytes(dir.file("partial/tournament.csv")))[1].substr(0, 12), "A,general,1,");
}

TEST(Tournament, CommandLineTakesPlayersGamesJobsAndFoldersToMerge) {
  const auto parse = [](std::vector<std::string> args) { return parse_runner_command_line(args, "/prog", 99); };
  const RunnerOptions o = parse({"m.aim", "--ai", "A=general,B=classic", "--games", "24", "--jobs", "2"}).options.value();
  EXPECT_EQ(std::tuple(o.players, o.games, o.jobs),
            std::tuple(std::optional<std::string>("A=general,B=classic"), std::optional<long long>(24), 2));
  const RunnerOptions m = parse({"--merge", "a", "b", "--out", "o"}).options.value();
  EXPECT_EQ(std::tuple(m.merge, m.out, m.map_path), std::tuple(std::vector<std::string>{"a", "b"}, "o", ""));
  for (const auto& [args, says] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"m.aim", "--ai", "A=expert"}, "\"expert\" is no computer player"},
           {{"m.aim", "--games", "0"}, "--games takes a whole number from 1"},
           {{"m.aim", "--jobs", "2"}, "--jobs goes with --games"},
           {{"m.aim", "--merge", "a"}, "--merge takes game folders, not a map"},
           {{"--merge"}, "--merge needs the game folders"}}) {
    const ParsedCommandLine r = parse(args);
    EXPECT_TRUE(!r.options && r.status == kRunUsage) << says;
    EXPECT_NE(r.message.find(says), std::string::npos) << r.message;
  }
}

}  // namespace
}  // namespace zorvane::testing
