#pragma once

#include <windows.h>

#include <string>

namespace fw::win32 {

// The running executable's file name (last component of its module path, as the system
// spells it).
std::wstring ExecutableFileName();

// The effective pixels per inch of a monitor (96 where the system cannot tell).
int MonitorPixelsPerInch(HMONITOR monitor);

// The pixels per inch of the monitor that holds `window`. A test may put a stand-in here for
// monitors the machine does not have.
extern int (*WindowPixelsPerInch)(HWND window);

}  // namespace fw::win32
