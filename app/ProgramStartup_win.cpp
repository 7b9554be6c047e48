#include <exception>
#include <optional>
#include <string>

#include "app/ProgramSettings.h"
#include "app/ProgramSettings_win.h"
#include "app/ProgramStartup.h"
#include "app/SettingsReload.h"
#include "app/Supervisor_win.h"
#include "framework/core/FloatingPoint.h"
#include "framework/core/RestartBackoff.h"
#include "framework/win32/MetricsFile.h"
#include "framework/win32/PlatformApplication.h"
#include "framework/win32/SettingsWatch.h"
#include "framework/win32/StartupSupport.h"
#include "framework/win32/SystemLog.h"
#include "mainwindow/Unit12.h"
#include "mainwindow/Unit12Module_win.h"

int RunProgram(const std::vector<std::string>& arguments) {
  const fw::win32::SystemLog log;
  bool restartForMemory = false;
  try {
    const CommandLine line = ParseCommandLine(arguments);
    if (line.supervise && !line.help && !line.checkConfig) {
      std::vector<std::string> rest;
      for (const std::string& argument : arguments)
        if (argument != "--supervise") rest.push_back(argument);
      return Supervise(OwnCommandLine(rest), BuildFrozenWindowLimit());
    }
    const EffectiveSettings settings = ReadProgramSettings(line);
    if (int exitCode = 0; AnswerWithoutWindow(line, settings, exitCode)) return exitCode;

    // Phase A: the framework's modules first, then the program's in dependency order.
    fw::win32::PlatformApplication application;
    fw::MaskFloatingPointExceptions();
    Unit12::Initialization();

    // Phase B. Leaving this block destroys the application's forms (the exit procedure).
    RunStartupBlock(application);
    application.Metrics().SetInfo({DUVUZEZERA_VERSION, "windows", "Internet Explorer control"},
                                  fw::TMetrics::Clock::now());
    std::optional<fw::win32::MetricsFileKeeper> metricsFile;
    StartWithSettings(application, settings, [&]() -> std::optional<std::string> {
      const std::string& path = settings.Text("metricsFile");
      if (path.empty()) return std::nullopt;
      return metricsFile.emplace(path, application.Metrics()).Start();
    });

    std::optional<fw::win32::SettingsWatch> watch;
    SettingsReload reload(
        application, *Form12, line, settings,
        {.StartTimer =
             [&](std::chrono::milliseconds delay) {
               watch->StartTimer(delay, [&] { reload.TimerDue(); });
             },
         .HideCursor = nullptr,
         .UseMetricsFile = [&](const std::string& path) -> std::optional<std::string> {
           metricsFile.reset();
           if (path.empty()) return std::nullopt;
           return metricsFile.emplace(path, application.Metrics()).Start();
         }});
    watch.emplace(SettingsFiles(line), PolicyKey, [&] { reload.SourceChanged(); });
    // The browser control cannot give its memory back: only a new program does, started by
    // the supervisor at once.
    if (RunsUnderSupervisor()) {
      Form12->SetMemoryRestart([&] {
        restartForMemory = true;
        application.Terminate();
      });
    }
    application.Run();
  } catch (const std::exception& e) {
    fw::win32::ShowApplicationError(e);
    return 1;
  }
  return restartForMemory ? fw::TRestartBackoff::AtOnceExitCode : 0;
}
