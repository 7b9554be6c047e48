#include <exception>

#include "app/ProgramStartup.h"
#include "framework/core/FloatingPoint.h"
#include "browser/u_LibIEInit.h"
#include "framework/win32/StartupSupport.h"
#include "framework/win32/Win32Application.h"
#include "mainwindow/Unit12Module_win.h"

int RunProgram() {
  try {
    // Phase A: the framework's modules first, then the program's in dependency order.
    fw::win32::Win32Application application;
    fw::MaskFloatingPointExceptions();
    u_LibIEInit::Initialization();
    Unit12::Initialization();

    // Phase B. Leaving this block destroys the application's forms (the exit procedure).
    RunStartupBlock(application);
    application.Run();
  } catch (const std::exception& e) {
    fw::win32::ShowApplicationError(e);
    return 1;
  }
  return 0;
}
