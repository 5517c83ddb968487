#include "config/army.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/text.h"

namespace zorvane {

std::vector<std::string> list_unit_programs(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code ec;
  const fs::path root = folder.empty() ? fs::path("/") : fs::path(folder);
  fs::directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  if (ec) return names;
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code type_ec;
    if (!it->is_regular_file(type_ec) || type_ec) continue;
    const std::string lower = to_lower_ascii(name);
    if (lower.size() < 3 || lower.compare(lower.size() - 3, 3, ".ai") != 0) continue;
    if (is_blank(lower) || has_control_char(lower)) continue;
    names.push_back(lower);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void assignments(ArmySelection& panel, const Roster& cdata, int team, std::vector<std::string> storage) {
  panel.storage.clear();
  for (auto& name : storage) {
    if (!is_blank(name)) panel.storage.push_back(std::move(name));
  }
  panel.army.clear();
  panel.army_count = 0;
  if (team < 1 || team > 10) return;
  for (int slot = 1; slot <= kRosterSlots; ++slot) {
    const std::string& entry = cdata[static_cast<std::size_t>(team - 1)][static_cast<std::size_t>(slot - 1)];
    if (!is_blank(entry)) {
      panel.army.push_back(entry);
      panel.army_count = slot;
    }
  }
}

bool army_add(ArmySelection& panel, int selected) {
  if (selected < 0 || selected >= static_cast<int>(panel.storage.size())) return false;
  if (panel.army_count >= kRosterSlots) return false;
  panel.army.push_back(panel.storage[static_cast<std::size_t>(selected)]);
  ++panel.army_count;
  return true;
}

bool army_remove(ArmySelection& panel, int selected) {
  if (selected < 0 || selected >= static_cast<int>(panel.army.size())) return false;
  panel.army.erase(panel.army.begin() + selected);
  --panel.army_count;
  return true;
}

void c_update(const ArmySelection& panel, Roster& cdata, int team) {
  if (team < 1 || team > 10) return;
  auto& row = cdata[static_cast<std::size_t>(team - 1)];
  for (std::size_t k = 0; k < kRosterSlots; ++k) {
    row[k] = k < panel.army.size() && !is_blank(panel.army[k]) ? panel.army[k] : std::string();
  }
}

}  // namespace zorvane
