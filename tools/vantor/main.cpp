// Vantor: the stand-in tactical game. Usage:
//   Vantor.exe /S:<scenario file> /B:<result file> [/R:<seed>] [/D:<milliseconds>]
// Without "/R:", the seed is taken from ZORVANE_BATTLE_SEED when it is set.
// Exit codes: 0 report written; 2 bad command line (no "/S:" or "/B:", a bad "/R:" or
// "/D:" number, a bad ZORVANE_BATTLE_SEED); 3 scenario unreadable; 4 no units; 5 result
// file not written. On any failure the result file is left untouched.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "vantor_game.h"

namespace fs = std::filesystem;

namespace {

// Reads at most max_bytes of a file; nothing when it cannot be opened or is a folder.
std::optional<std::string> read_text(const fs::path& path, std::size_t max_bytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(max_bytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(max_bytes));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

// The folder of this program, where the maps folder lives.
fs::path program_folder(const char* argv0) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.parent_path();
  return fs::absolute(fs::path(argv0 ? argv0 : ""), ec).parent_path();
}

// Written beside the target and renamed over it, so the shell never reads half a report.
bool write_atomic(const fs::path& path, const std::string& bytes, std::string& error) {
  fs::path temp = path;
  temp += ".vantor-tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = "cannot create " + temp.string();
      return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      error = "cannot write " + temp.string();
      std::error_code ec;
      out.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    error = "cannot replace " + path.string() + ": " + ec.message();
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  vantor::Options options = vantor::parse_command_line(arguments);
  if (options.error.empty() && !options.seed) vantor::take_seed_variable(std::getenv("ZORVANE_BATTLE_SEED"), options);
  if (!options.error.empty()) {
    std::cerr << "Vantor: " << options.error << "\n";
    return 2;
  }
  if (!options.scenario_path || options.scenario_path->empty() || !options.result_path ||
      options.result_path->empty()) {
    std::cerr << "Vantor: usage: Vantor.exe /S:<scenario file> /B:<result file> [/R:<seed>] [/D:<ms>]\n";
    return 2;
  }
  const auto scenario_text = read_text(*options.scenario_path, 1u << 20);
  if (!scenario_text) {
    std::cerr << "Vantor: cannot read the scenario " << *options.scenario_path << "\n";
    return 3;
  }
  vantor::Scenario scenario = vantor::parse_scenario(*scenario_text);
  if (scenario.units.empty()) {
    std::cerr << "Vantor: the scenario " << *options.scenario_path << " names no units\n";
    return 4;
  }
  if (scenario.units.size() > 10) {
    std::cerr << "Vantor: only the first ten of " << scenario.units.size() << " units fight\n";
    scenario.units.resize(10);
  }

  std::vector<vantor::UnitProgram> units;
  for (const auto& path : scenario.units) {
    const auto text = read_text(path, 64u << 10);
    if (!text) std::cerr << "Vantor: cannot read the unit program " << path << "; it fights with default values\n";
    units.push_back(vantor::parse_unit_program(vantor::file_name_of(path), text.value_or("")));
  }
  vantor::TacticalMap map;
  if (!scenario.map.empty()) {
    const auto text = read_text(program_folder(argc > 0 ? argv[0] : nullptr) / "maps" / scenario.map, 64u << 10);
    if (text) {
      map = vantor::parse_tactical_map(*text);
    } else {
      map.name = scenario.map;
    }
  }

  std::string warning;
  const std::vector<int> sides =
      vantor::battle_sides(std::getenv("ZORVANE_BATTLE_SIDES"), scenario, units.size(), warning);
  if (!warning.empty()) std::cerr << "Vantor: " << warning << "\n";

  std::uint64_t seed = 0;
  if (options.seed) {
    seed = *options.seed;
  } else {
    std::random_device device;
    seed = (static_cast<std::uint64_t>(device()) << 32) ^ device();
  }
  std::mt19937_64 random(seed);
  const vantor::BattleResult result = vantor::fight(scenario, units, map, random, sides);
  const std::string report = vantor::write_report(scenario, map, result, seed);

  if (options.delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options.delay_ms));
  std::string error;
  if (!write_atomic(*options.result_path, report, error)) {
    std::cerr << "Vantor: " << error << "\n";
    return 5;
  }
  return 0;
}
