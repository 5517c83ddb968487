// Whole campaigns without a window, with the stand-in game fighting every battle.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <filesystem>
#include <set>
#include <sstream>

#include <unistd.h>

#include "campaign/save_file.h"
#include "common/folder_lock.h"
#include "common/linefile.h"
#include "runner/campaign_runner.h"
#include "test_files.h"

namespace zorvane::testing {
namespace {

const std::string kProgramFolder = ZORVANE_PROGRAM_DIR;

std::multiset<std::string> all_units(const CampaignState& s) {
  std::multiset<std::string> units;
  for (int n = 1; n <= s.cell_count(); ++n) {
    for (int k = 0; k < kUnitSlots; ++k) {
      if (!s.field(n, unit_1 + k).is_blank()) units.insert(s.field(n, unit_1 + k).to_text());
    }
  }
  return units;
}

// Every shipped map over two seeds, to its end or 50 actions. After every action only
// owners and unit slots may change; moves keep every unit, augmentations only add, battles
// only take away; the log, the final save and the history are written.
TEST(CampaignRunner, PlaysEveryShippedMapKeepingTheRulesInvariant) {
  for (const auto& entry : std::filesystem::directory_iterator(kProgramFolder + "/maps")) {
    for (std::uint64_t seed : {7u, 8u}) {
      const std::string map = entry.path().string();
      SCOPED_TRACE(map + " seed " + std::to_string(seed));
      TempDir out;
      std::ostringstream said, errors;
      CampaignRunner runner(RunnerOptions{map, kProgramFolder, std::nullopt, seed, 50, out.path(), {}}, said, errors);
      int checked = 0;
      runner.after_action = [&](const CampaignState& before, const CampaignState& after, const TurnEvents& events) {
        ++checked;
        int changed_cells = 0;
        for (int n = 1; n <= kMaxCells; ++n) {
          bool changed = false;
          for (int f = 1; f <= kFieldCount; ++f) {
            if (before.field(n, f) == after.field(n, f)) continue;
            changed = true;
            ASSERT_TRUE(f == owner || f >= unit_1) << "cell " << n << " field " << f;
          }
          changed_cells += changed;
        }
        const auto was = all_units(before), is = all_units(after);
        const std::string last_log = split_lines_cr(read_bytes(out.file("blog.txt"))).back();
        if (events.result == TurnEvents::Result::passed) {
          EXPECT_EQ(changed_cells, 0);
        } else if (events.log->type == "Augment") {
          EXPECT_TRUE(std::includes(is.begin(), is.end(), was.begin(), was.end()));
          EXPECT_EQ(changed_cells, is == was ? 0 : 1);
        } else if (last_log.find("\tAttack\t") != std::string::npos) {
          EXPECT_TRUE(std::includes(was.begin(), was.end(), is.begin(), is.end())) << "a battle only takes units away";
          EXPECT_LE(changed_cells, 2);
        } else {
          EXPECT_EQ(is, was) << "a move keeps every unit";
        }
      };
      ASSERT_EQ(runner.run(), kRunEnded) << errors.str();
      EXPECT_GT(checked, 0);
      EXPECT_NE(said.str().find(runner.actions() >= 50 ? "action limit" : "Team"), std::string::npos) << said.str();
      EXPECT_EQ(split_lines_cr(read_bytes(out.file("blog.txt"))).size(), static_cast<std::size_t>(runner.actions()) + 1);
      const CampaignLoadResult loaded = load_campaign_save(out.file("campaign.sav"), kProgramFolder, 0, 0);
      ASSERT_TRUE(loaded.ok()) << loaded.error;
      EXPECT_EQ(std::pair(loaded.state->current_team, all_units(*loaded.state)),
                std::pair(runner.state().current_team, all_units(runner.state())));
      EXPECT_EQ(split_lines_cr(read_bytes(out.file("history.csv")))[0], "turn,team,land,units,battles_won,battles_lost");
    }
  }
}

// A program folder with the shipped files, config.dat lines (from 0) replaced.
std::string folder_with(const TempDir& dir, const std::map<int, std::string>& config_lines) {
  auto lines = split_lines_any(read_bytes(kProgramFolder + "/config.dat"));
  for (const auto& [i, line] : config_lines) lines[static_cast<std::size_t>(i)] = line;
  dir.write("config.dat", join_crlf(lines));
  dir.write("c_data.dat", read_bytes(kProgramFolder + "/c_data.dat"));
  return dir.path();
}

struct RunResult {
  int status = 0;
  std::string said, errors;
};
RunResult run(const RunnerOptions& options) {
  std::ostringstream said, errors;
  CampaignRunner runner(options, said, errors);
  const int status = runner.run();
  return {status, said.str(), errors.str()};
}

TEST(CampaignRunner, BadMapSettingsOrGameStopWithAClearMessageAndTheCampaignSoFar) {
  TempDir dir;
  dir.write("maps/small.aim", "A1\r\n1B\r\n");
  dir.write("bad.aim", "12\r\n");
  folder_with(dir, {});
  // The game is missing, and both teams start next to each other with units to fight.
  for (const auto& [map, folder, teams, status, says] : std::vector<std::tuple<std::string, std::string, const char*, int, const char*>>{
      {dir.file("bad.aim"), dir.path(), nullptr, kRunBadMap, "bad.aim"},
      {dir.file("maps/small.aim"), dir.file("nowhere"), nullptr, kRunBadSettings, "config.dat"},
      {dir.file("maps/small.aim"), dir.path(), "AC", kRunUsage, "team C is not on the map"},
      {dir.file("maps/small.aim"), dir.path(), nullptr, kRunNoBattle, "Vantor.exe"}
  }) {
    TempDir out;
    const RunResult r = run(RunnerOptions{map, folder, teams ? std::optional<std::string>(teams) : std::nullopt, 1, std::nullopt, out.path(), {}});
    EXPECT_EQ(r.status, status) << says << r.said;
    EXPECT_NE(r.errors.find(says), std::string::npos) << r.errors;
    if (status != kRunNoBattle) continue;
    // What was played before the battle that could not be fought is kept.
    EXPECT_TRUE(load_campaign_save(out.file("campaign.sav"), dir.path(), 0, 0).ok());
    EXPECT_EQ(split_lines_cr(read_bytes(out.file("history.csv")))[0], "turn,team,land,units,battles_won,battles_lost");
    EXPECT_NE(r.said.find("written to"), std::string::npos);
  }
}

// Nothing is played when an output cannot be written: a folder where a file goes says so
// before the first action, also for the battle's scratch files.
TEST(CampaignRunner, OutputsAreCheckedBeforeTheFirstAction) {
  for (const char* in_the_way : {"campaign.sav", "history.csv", "zorvtmp.scn", "zorvtmp.txt"}) {
    TempDir out;
    out.write(std::string(in_the_way) + "/x", "");
    const RunResult r = run(RunnerOptions{kProgramFolder + "/maps/duel-8.aim", kProgramFolder, std::nullopt, 1, 5, out.path(), {}});
    EXPECT_EQ(r.status, kRunNoOutput) << in_the_way;
    EXPECT_NE(r.errors.find(in_the_way), std::string::npos) << r.errors;
    EXPECT_EQ(r.said.find("turn 1"), std::string::npos) << in_the_way;
  }
}

// In a shared folder another user may plant links where the outputs go, or another run may
// be writing: the links are replaced and their targets left alone; a folder in use is refused.
TEST(CampaignRunner, AFolderSharedWithOthersIsSafe) {
  TempDir out, elsewhere;
  const std::string victim = elsewhere.write("private.txt", "mine\r\n");
  for (const char* name : {"campaign.sav", "history.csv", "blog.txt", "zorvtmp.scn", "zorvtmp.txt"}) {
    std::filesystem::create_symlink(victim, out.file(name));
  }
  const RunnerOptions options{kProgramFolder + "/maps/duel-8.aim", kProgramFolder, std::nullopt, 1, 10, out.path(), {}};
  RunResult r = run(options);
  EXPECT_EQ(r.status, kRunEnded) << r.errors;
  EXPECT_EQ(read_bytes(victim), "mine\r\n");
  EXPECT_FALSE(std::filesystem::is_symlink(out.file("campaign.sav")) || std::filesystem::is_symlink(out.file("blog.txt")));
  const FolderLock held(out.path(), "zorvane-campaign");
  ASSERT_TRUE(held.taken());
  r = run(options);
  EXPECT_EQ(r.status, kRunNoOutput);
  EXPECT_NE(r.errors.find("is in use by another copy of Zorvane (process " + std::to_string(::getpid()) + ")"),
            std::string::npos) << r.errors;
}

// A run ends when every team passed a whole turn, and after a cap of turns when its turn
// limit can never be reached. A backslash in --out is part of the folder's name.
TEST(CampaignRunner, EndsOnARoundOfPassesOrATurnCap) {
  TempDir dir;
  std::map<int, std::string> idle{{24, "0"}, {35, ""}};  // never augment, no turn limit
  for (int i = 26; i < 34; ++i) idle[i] = "";            // no movement pattern
  folder_with(dir, idle);
  const std::string out = dir.file("back\\slash");
  RunResult r = run(RunnerOptions{kProgramFolder + "/maps/triad-13.aim", dir.path(), std::nullopt, 1, std::nullopt, out, {}});
  EXPECT_EQ(r.status, kRunEnded) << r.errors;
  EXPECT_NE(r.said.find("No winner: every team passed a whole turn"), std::string::npos) << r.said;
  EXPECT_EQ(split_lines_cr(read_bytes(out + "/history.csv")).size(), 4u);  // header, one turn of three teams
  EXPECT_TRUE(std::filesystem::exists(out + "/blog.txt"));

  TempDir busy;
  folder_with(busy, {{35, "1e9"}});
  RunnerOptions capped{kProgramFolder + "/maps/triad-13.aim", busy.path(), std::nullopt, 1, std::nullopt, busy.file("out"), 2};
  r = run(capped);
  EXPECT_EQ(r.status, kRunEnded) << r.errors;
  EXPECT_NE(r.said.find("the run stopped after 2 turns (--max-turns); the turn limit \"1e9\" of config.dat can never be reached"),
            std::string::npos) << r.said;
  EXPECT_EQ(split_lines_cr(read_bytes(busy.file("out/history.csv"))).size(), 7u);
}

TEST(CampaignRunner, CommandLineTakesItsOptionsAndExplainsMistakes) {
  const auto parse = [](std::vector<std::string> args) { return parse_runner_command_line(args, "/prog", 99); };
  const RunnerOptions o = parse({"m.aim", "--folder", "/f", "--teams", "ACE", "--seed", "12", "--max-actions", "30",
                                 "--out", "o"}).options.value();
  EXPECT_EQ(std::tuple(o.map_path, o.folder, o.teams, o.seed, o.max_actions, o.out),
            std::tuple("m.aim", "/f", std::optional<std::string>("ACE"), 12u, std::optional<long long>(30), "o"));
  const RunnerOptions plain = parse({"m.aim"}).options.value();
  EXPECT_EQ(std::tuple(plain.folder, plain.seed, plain.out), std::tuple("/prog", 99u, "."));
  EXPECT_EQ(parse({"m.aim", "--seed", "18446744073709551615"}).options.value().seed, UINT64_MAX);
  EXPECT_NE(parse({"m.aim", "--seed", "18446744073709551616"}).message.find("out of range"), std::string::npos);
  const ParsedCommandLine help = parse({"--help"});
  EXPECT_TRUE(!help.options && help.status == kRunEnded && help.message.find("--max-actions") != std::string::npos);
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {}, {"a.aim", "b.aim"}, {"m.aim", "--teams", "AK"}, {"m.aim", "--seed", "-1"}, {"m.aim", "--seed"},
           {"m.aim", "--colour", "red"}, {"m.aim", "--seed", "18446744073709551616"}}) {
    const ParsedCommandLine r = parse(bad);
    EXPECT_TRUE(!r.options && r.status == kRunUsage && r.message.find("Usage:") != std::string::npos) << ::testing::PrintToString(bad);
  }
}

}  // namespace
}  // namespace zorvane::testing
