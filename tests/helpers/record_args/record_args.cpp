// Test helper: writes what it was started with to the file named by ZORVANE_RECORD_FILE:
//   cwd=<working folder>
//   env=<value of ZORVANE_RECORD_ENV>
//   sides=<value of ZORVANE_BATTLE_SIDES>
//   argc=<number of arguments after the program>
//   arg=<each argument>       (one line each, in order)
//   seed=<value of ZORVANE_BATTLE_SEED>
// It prints "record_args ran" on its standard output and error. Exit code ZORVANE_RECORD_EXIT (default 0), or 1 when nothing can be recorded.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  const char* record = std::getenv("ZORVANE_RECORD_FILE");
  if (!record) return 1;
  std::ofstream out(record, std::ios::binary | std::ios::trunc);
  if (!out) return 1;
  const auto env = [](const char* name) { return std::string(std::getenv(name) ? std::getenv(name) : ""); };
  std::error_code ec;
  out << "cwd=" << std::filesystem::current_path(ec).string() << "\n";
  out << "env=" << env("ZORVANE_RECORD_ENV") << "\nsides=" << env("ZORVANE_BATTLE_SIDES") << "\nargc=" << (argc - 1) << "\n";
  for (int i = 1; i < argc; ++i) out << "arg=" << argv[i] << "\n";
  out << "seed=" << env("ZORVANE_BATTLE_SEED") << "\n";
  std::cout << "record_args ran" << std::endl;
  std::cerr << "record_args ran" << std::endl;
  return std::atoi(env("ZORVANE_RECORD_EXIT").c_str());
}
