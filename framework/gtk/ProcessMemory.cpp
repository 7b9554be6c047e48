#include "framework/gtk/ProcessMemory.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace fw::gtk {

namespace {

// The parent's id from /proc/<pid>/stat; the command name before it may hold spaces and ')'.
int ParentOf(const std::string& pid) {
  std::ifstream stat("/proc/" + pid + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return -1;
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(line.substr(close + 1));
  std::string state;
  int parent = -1;
  rest >> state >> parent;
  return parent;
}

// Kilobytes, as smaps_rollup gives them; nothing for a process that is gone.
long long PssKilobytes(int pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  for (std::string line; std::getline(rollup, line);) {
    if (line.rfind("Pss:", 0) == 0) return std::stoll(line.substr(4));
  }
  return 0;
}

}  // namespace

std::vector<fw::TMemoryFigure> ProcessTreeMemory() {
  std::multimap<int, int> children;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    children.emplace(ParentOf(name), std::stoi(name));
  }
  std::set<int> tree{static_cast<int>(getpid())};
  std::vector<int> pending{static_cast<int>(getpid())};
  while (!pending.empty()) {
    const int parent = pending.back();
    pending.pop_back();
    const auto [first, last] = children.equal_range(parent);
    for (auto it = first; it != last; ++it) {
      if (tree.insert(it->second).second) pending.push_back(it->second);
    }
  }
  long long total = 0;
  for (int pid : tree) total += PssKilobytes(pid);
  if (total == 0) return {};
  return {{"memory_pss_bytes",
           "Proportional set size of the program and its descendants, the page engine's "
           "processes included.",
           static_cast<double>(total) * 1024}};
}

}  // namespace fw::gtk
