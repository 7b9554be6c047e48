#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "app/ProgramSettings.h"
#include "app/SystemSettingsFile.h"
#include "settings/SettingsFile.h"

namespace {

constexpr const char* kFolder = "duvuzezera-webmobclient";

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute, as the XDG rules say;
// none without a home.
std::optional<std::filesystem::path> UserConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && std::filesystem::path(xdg).is_absolute()) return xdg;
  const char* home = std::getenv("HOME");
  if (!home || !std::filesystem::path(home).is_absolute()) return std::nullopt;
  return std::filesystem::path(home) / ".config";
}

}  // namespace

std::vector<SettingsPath> SettingsFiles(const CommandLine& line) {
  if (line.configFile) return {*line.configFile};
  // The administrator's file wins over the user's.
  std::vector<SettingsPath> files;
  if (const auto system = SystemSettingsFile()) files.push_back(*system);
  if (const auto user = UserConfigFolder()) files.push_back(*user / kFolder / "kiosk.json");
  return files;
}

std::vector<SettingsLayer> SettingsSources(const CommandLine& line) {
  std::vector<SettingsLayer> layers;
  for (const SettingsPath& path : SettingsFiles(line)) {
    if (auto layer = ReadSettingsFile(path, path, line.configFile.has_value()))
      layers.push_back(std::move(*layer));
  }
  return layers;
}

void PrintToCaller(const std::string& text) { std::cout << text << std::flush; }
