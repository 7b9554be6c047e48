#include "app/ProgramSettings.h"

#include <algorithm>
#include <stdexcept>

#include "framework/core/Application.h"
#include "framework/core/DisplayHours.h"
#include "framework/core/EventLog.h"
#include "mainwindow/IdleReset.h"
#include "mainwindow/MemoryLimit.h"
#include "mainwindow/NavigationTargets.h"
#include "mainwindow/PageRecovery.h"
#include "mainwindow/Unit12.h"
#include "settings/SettingsReport.h"

SettingsLayer BuiltInSettings() {
  const NavigationConfig& navigation = BuildNavigationConfig();
  SettingsLayer layer{"built-in", {}, {}};
  layer.values = {
      {"clinicHost", navigation.ClinicHost},
      {"siteDomain", navigation.SiteDomain},
      {"siteWwwHost", navigation.SiteWwwHost},
      {"overviewVideo", navigation.OverviewVideo},
      {"playlist", navigation.Playlist},
      {"idleResetSeconds", static_cast<std::int64_t>(BuildIdleResetTimeout().count())},
      {"idleWarningSeconds", static_cast<std::int64_t>(BuildIdleWarning().count())},
      {"retrySeconds", static_cast<std::int64_t>(BuildRetryDelay().count())},
      {"hideCursor", false},
      {"lockdown", false},
      {"allowedHosts", std::vector<std::string>{}},
      {"onScreenKeyboard", true},
      {"exitCode", std::string()},
      {"metricsFile", std::string()},
      {"displayOffSeconds", std::int64_t{0}},
      {"displayHours", std::string()},
      {"memoryLimitMiB", static_cast<std::int64_t>(BuildMemoryLimitMiB())},
  };
  return layer;
}

EffectiveSettings ReadProgramSettings(const CommandLine& line) {
  EffectiveSettings settings = ResolveSettings(SettingsSources(line), BuiltInSettings());
  settings.problems.insert(settings.problems.begin(), line.problems.begin(), line.problems.end());
  return settings;
}

void UseSettings(TForm12& form, const EffectiveSettings& settings) {
  form.UseSettings(
      {settings.Text("clinicHost"), settings.Text("siteDomain"), settings.Text("siteWwwHost"),
       settings.Text("overviewVideo"), settings.Text("playlist")},
      std::chrono::seconds(settings.WholeNumber("idleResetSeconds")),
      std::chrono::seconds(settings.WholeNumber("idleWarningSeconds")));
  form.UseRetryDelay(std::chrono::seconds(settings.WholeNumber("retrySeconds")));
  form.UseLockdown(settings.Switch("lockdown"), settings.TextList("allowedHosts"));
  form.UseOnScreenKeyboard(settings.Switch("onScreenKeyboard"));
  form.UseExitCode(settings.Text("exitCode"));
  // Refused hours never reach here: the built-in value, always on, took their place.
  const auto hours = fw::TDisplayHours::Parse(settings.Text("displayHours"));
  form.UseDisplaySleep(std::chrono::seconds(settings.WholeNumber("displayOffSeconds")),
                       hours.Hours.value_or(fw::TDisplayHours()));
  form.UseMemoryLimit(static_cast<std::uint32_t>(settings.WholeNumber("memoryLimitMiB")));
}

bool AnswerWithoutWindow(const CommandLine& line, const EffectiveSettings& settings,
                         int& exitCode) {
  if (line.help) {
    PrintToCaller(CommandLineHelp());
    exitCode = 0;
    return true;
  }
  if (line.checkConfig) {
    PrintToCaller(CheckConfigReport(settings));
    exitCode = settings.problems.empty() ? 0 : 1;
    return true;
  }
  return false;
}

std::string SettingsSourcesText(const EffectiveSettings& settings) {
  std::vector<std::string> sources;
  for (const EffectiveSetting& setting : settings.settings) {
    if (std::find(sources.begin(), sources.end(), setting.source) == sources.end())
      sources.push_back(setting.source);
  }
  std::string text;
  for (const std::string& source : sources) text += (text.empty() ? "" : ", ") + source;
  return text;
}

void StartWithSettings(fw::TApplication& application, const EffectiveSettings& settings,
                       const std::function<std::optional<std::string>()>& startMetricsFile) {
  UseSettings(*Form12, settings);
  Form12->ReportScreen();
  fw::LogEvent(fw::TEvent::Started, SettingsSourcesText(settings));
  for (const SettingProblem& problem : settings.problems)
    fw::LogEvent(fw::TEvent::SettingsProblem, problem.Describe());
  EffectiveSettings reported = settings;
  application.Metrics().SettingsProblems(static_cast<int>(settings.problems.size()));
  if (startMetricsFile) {
    if (const std::optional<std::string> failure = startMetricsFile()) {
      std::string source;
      for (const EffectiveSetting& setting : settings.settings) {
        if (setting.key == "metricsFile") source = setting.source;
      }
      reported.problems.push_back({source, "metricsFile", *failure});
      fw::LogEvent(fw::TEvent::SettingsProblem, reported.problems.back().Describe());
      application.Metrics().SettingsProblems(static_cast<int>(reported.problems.size()));
    }
  }
  // The framework's error box, as every other message at start: captioned with the title.
  if (!reported.problems.empty()) {
    application.HandleException(std::runtime_error(SettingsProblemsMessage(reported)));
  }
}
