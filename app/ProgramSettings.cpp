#include "app/ProgramSettings.h"

#include <stdexcept>

#include "framework/core/Application.h"
#include "mainwindow/IdleReset.h"
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

void StartWithSettings(fw::TApplication& application, const EffectiveSettings& settings) {
  UseSettings(*Form12, settings);
  Form12->ReportScreen();
  // The framework's error box, as every other message at start: captioned with the title.
  if (!settings.problems.empty()) {
    application.HandleException(std::runtime_error(SettingsProblemsMessage(settings)));
  }
}
