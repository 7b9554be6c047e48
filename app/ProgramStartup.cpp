#include "app/ProgramStartup.h"

#include <stdexcept>

#include "app/ProgramSettings.h"
#include "settings/SettingsReport.h"

#include "framework/core/Application.h"
#include "framework/core/StyleManager.h"
#include "mainwindow/Unit12.h"

void RunStartupBlock(fw::TApplication& application, bool selectStyle) {
  application.Initialize();
  application.UseMetropolisUI();
  if (selectStyle) fw::TStyleManager::TrySetStyle("Metropolis UI Dark", true);
  application.SetMainFormOnTaskBar(true);
  application.SetTitle("Кабинет Duvuzezera");
  application.CreateForm(Form12);
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
  // The framework's error box, as every other message at start: captioned with the title.
  if (!settings.problems.empty()) {
    application.HandleException(std::runtime_error(SettingsProblemsMessage(settings)));
  }
}
