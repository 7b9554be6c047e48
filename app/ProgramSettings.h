#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "settings/CommandLine.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLayer.h"

class TForm12;
namespace fw {
class TApplication;
}

// The values the program was built with, every key.
SettingsLayer BuiltInSettings();

// The sources above the built-in values, highest first: the platform's policies and files,
// or the file the command line names (ProgramSettings_win.cpp, ProgramSettings_gtk.cpp).
std::vector<SettingsLayer> SettingsSources(const CommandLine& line);
// The files among them, whether they exist or not, highest first.
std::vector<SettingsPath> SettingsFiles(const CommandLine& line);

// The settings in effect, with the command line's problems first.
EffectiveSettings ReadProgramSettings(const CommandLine& line);

// The main window runs with `settings` in place of the build's values.
void UseSettings(TForm12& form, const EffectiveSettings& settings);

// Text for --help and --check-config, to whoever started the program.
void PrintToCaller(const std::string& text);

// What the command line asks that needs no window: the exit code once answered.
bool AnswerWithoutWindow(const CommandLine& line, const EffectiveSettings& settings, int& exitCode);

// The sources the settings in effect came from, for the log.
std::string SettingsSourcesText(const EffectiveSettings& settings);

// Once the main window exists: it takes `settings`, the log hears where they came from, the
// metrics file is written the first time (`startMetricsFile`: its failure, when it failed),
// and one box lists what was refused, that failure included.
void StartWithSettings(fw::TApplication& application, const EffectiveSettings& settings,
                       const std::function<std::optional<std::string>()>& startMetricsFile = {});
