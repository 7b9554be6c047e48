#include <webkit2/webkit2.h>

#include <exception>
#include <optional>
#include <string>

#include "app/ProgramSettings.h"
#include "app/ProgramStartup.h"
#include "app/SettingsReload.h"
#include "framework/core/FloatingPoint.h"
#include "framework/gtk/EngineMemory.h"
#include "framework/gtk/HiddenCursor.h"
#include "framework/gtk/MetricsFile.h"
#include "framework/gtk/PlatformApplication.h"
#include "framework/gtk/SettingsWatch.h"
#include "framework/gtk/StartupSupport.h"
#include "framework/gtk/SystemLog.h"
#include "mainwindow/Unit12.h"
#include "mainwindow/Unit12Module_gtk.h"

int RunProgram(const std::vector<std::string>& arguments) {
  const fw::gtk::SystemLog log;
  try {
    const CommandLine line = ParseCommandLine(arguments);
    const EffectiveSettings settings = ReadProgramSettings(line);
    if (int exitCode = 0; AnswerWithoutWindow(line, settings, exitCode)) return exitCode;

    // Phase A: the framework's modules first, then the program's. The emulation module has
    // nothing to do on Linux: the web engine has no emulation modes.
    fw::gtk::PlatformApplication application;
    std::optional<fw::gtk::HiddenCursor> hiddenCursor;
    if (settings.Switch("hideCursor")) hiddenCursor.emplace();
    fw::MaskFloatingPointExceptions();
    Unit12::Initialization(application);

    // The engine's own limit is fixed when the browser's view is made.
    fw::gtk::LimitEngineMemory(static_cast<std::uint32_t>(settings.WholeNumber("memoryLimitMiB")));
    // Phase B. Leaving this block destroys the application's forms (the exit procedure).
    RunStartupBlock(application);
    application.Metrics().SetInfo({DUVUZEZERA_VERSION, "linux",
                                   "WebKitGTK " + std::to_string(webkit_get_major_version()) + "." +
                                       std::to_string(webkit_get_minor_version()) + "." +
                                       std::to_string(webkit_get_micro_version())},
                                  fw::TMetrics::Clock::now());
    std::optional<fw::gtk::MetricsFileKeeper> metricsFile;
    StartWithSettings(application, settings, [&]() -> std::optional<std::string> {
      const std::string& path = settings.Text("metricsFile");
      if (path.empty()) return std::nullopt;
      return metricsFile.emplace(path, application.Metrics()).Start();
    });

    std::optional<fw::gtk::SettingsWatch> watch;
    SettingsReload reload(
        application, *Form12, line, settings,
        {.StartTimer =
             [&](std::chrono::milliseconds delay) {
               watch->StartTimer(delay, [&] { reload.TimerDue(); });
             },
         .HideCursor =
             [&](bool hide) {
               if (!hide)
                 hiddenCursor.reset();
               else if (!hiddenCursor)
                 hiddenCursor.emplace();
             },
         .UseMetricsFile = [&](const std::string& path) -> std::optional<std::string> {
           metricsFile.reset();
           if (path.empty()) return std::nullopt;
           return metricsFile.emplace(path, application.Metrics()).Start();
         }});
    watch.emplace(SettingsFiles(line), [&] { reload.SourceChanged(); });
    application.Run();
  } catch (const std::exception& e) {
    fw::gtk::ShowApplicationError(e);
    return 1;
  }
  return 0;
}
