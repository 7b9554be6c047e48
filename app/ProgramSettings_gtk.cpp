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

void Add(std::vector<SettingsLayer>& layers, const std::filesystem::path& path, bool mustExist) {
  if (auto layer = ReadSettingsFile(path, path.string(), mustExist)) {
    layers.push_back(std::move(*layer));
  }
}

}  // namespace

std::vector<SettingsLayer> SettingsSources(const CommandLine& line) {
  std::vector<SettingsLayer> layers;
  if (line.configFile) {
    Add(layers, *line.configFile, true);
    return layers;
  }
  // The administrator's file wins over the user's.
  if (const auto system = SystemSettingsFile()) Add(layers, *system, false);
  if (const auto user = UserConfigFolder()) Add(layers, *user / kFolder / "kiosk.json", false);
  return layers;
}

void PrintToCaller(const std::string& text) { std::cout << text << std::flush; }
