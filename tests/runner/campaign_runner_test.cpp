// Whole campaigns without a window, with the stand-in game fighting every battle.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "campaign/save_file.h"
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
      CampaignRunner runner(RunnerOptions{map, kProgramFolder, std::nullopt, seed, 50, out.path()}, said, errors);
      int checked = 0;
      runner.after_action = [&](const CampaignState& before, const CampaignState& after, AiOutcome outcome) {
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
        if (outcome == AiOutcome::passed) {
          EXPECT_EQ(changed_cells, 0);
        } else if (outcome == AiOutcome::augmented) {
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

TEST(CampaignRunner, BadMapSettingsOrGameStopWithAClearMessage) {
  TempDir dir;
  dir.write("maps/small.aim", "A1\r\n1B\r\n");
  dir.write("bad.aim", "12\r\n");
  for (const char* name : {"config.dat", "c_data.dat"}) dir.write(name, read_bytes(kProgramFolder + "/" + name));
  // The game is missing, and both teams start next to each other with units to fight.
  for (const auto& [map, folder, status, says] : std::vector<std::tuple<std::string, std::string, int, const char*>>{
      {dir.file("bad.aim"), dir.path(), kRunBadMap, "bad.aim"},
      {dir.file("maps/small.aim"), dir.file("nowhere"), kRunBadSettings, "config.dat"},
      {dir.file("maps/small.aim"), dir.path(), kRunNoBattle, "Vantor.exe"}
  }) {
    TempDir out;
    std::ostringstream said, errors;
    CampaignRunner runner(RunnerOptions{map, folder, std::nullopt, 1, std::nullopt, out.path()}, said, errors);
    EXPECT_EQ(runner.run(), status) << says << said.str();
    EXPECT_NE(errors.str().find(says), std::string::npos) << errors.str();
  }
}

TEST(CampaignRunner, CommandLineTakesItsOptionsAndExplainsMistakes) {
  const auto parse = [](std::vector<std::string> args) { return parse_runner_command_line(args, "/prog", 99); };
  const RunnerOptions o = parse({"m.aim", "--folder", "/f", "--teams", "ACE", "--seed", "12", "--max-actions", "30",
                                 "--out", "o"}).options.value();
  EXPECT_EQ(std::tuple(o.map_path, o.folder, o.teams, o.seed, o.max_actions, o.out),
            std::tuple("m.aim", "/f", std::optional<std::string>("ACE"), 12u, std::optional<long long>(30), "o"));
  const RunnerOptions plain = parse({"m.aim"}).options.value();
  EXPECT_EQ(std::tuple(plain.folder, plain.seed, plain.out), std::tuple("/prog", 99u, "."));
  const ParsedCommandLine help = parse({"--help"});
  EXPECT_TRUE(!help.options && help.status == kRunEnded && help.message.find("--max-actions") != std::string::npos);
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {}, {"a.aim", "b.aim"}, {"m.aim", "--teams", "AK"}, {"m.aim", "--seed", "-1"}, {"m.aim", "--seed"},
           {"m.aim", "--colour", "red"}}) {
    const ParsedCommandLine r = parse(bad);
    EXPECT_TRUE(!r.options && r.status == kRunUsage && r.message.find("Usage:") != std::string::npos) << ::testing::PrintToString(bad);
  }
}

}  // namespace
}  // namespace zorvane::testing
