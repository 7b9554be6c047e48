#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/SettingsLayer.h"

// What the program was asked on its command line.
struct CommandLine {
  std::optional<std::string> configFile;  // --config <file>
  bool checkConfig = false;               // --check-config
  bool help = false;                      // --help
  bool supervise = false;                 // --supervise (Windows)
  std::vector<SettingProblem> problems;   // unknown options, a --config without its file
};

// `arguments` without the program's own name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What --help prints.
std::string CommandLineHelp();
