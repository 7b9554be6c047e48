#include <exception>
#include <optional>

#include "app/ProgramSettings.h"
#include "app/ProgramStartup.h"
#include "framework/core/FloatingPoint.h"
#include "framework/gtk/HiddenCursor.h"
#include "framework/gtk/PlatformApplication.h"
#include "framework/gtk/StartupSupport.h"
#include "mainwindow/Unit12Module_gtk.h"

int RunProgram(const std::vector<std::string>& arguments) {
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

    // Phase B. Leaving this block destroys the application's forms (the exit procedure).
    RunStartupBlock(application);
    StartWithSettings(application, settings);
    application.Run();
  } catch (const std::exception& e) {
    fw::gtk::ShowApplicationError(e);
    return 1;
  }
  return 0;
}
