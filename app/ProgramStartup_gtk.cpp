#include <exception>

#include "app/ProgramStartup.h"
#include "framework/core/FloatingPoint.h"
#include "framework/gtk/GtkFrameworkApplication.h"
#include "framework/gtk/StartupSupport.h"
#include "mainwindow/Unit12Module_gtk.h"

int RunProgram() {
  try {
    // Phase A: the framework's modules first, then the program's. The emulation module has
    // nothing to do on Linux: the web engine has no emulation modes.
    fw::gtk::GtkFrameworkApplication application;
    fw::MaskFloatingPointExceptions();
    Unit12::Initialization(application);

    // Phase B. Leaving this block destroys the application's forms (the exit procedure).
    RunStartupBlock(application);
    application.Run();
  } catch (const std::exception& e) {
    fw::gtk::ShowApplicationError(e);
    return 1;
  }
  return 0;
}
