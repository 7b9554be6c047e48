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

// Text the system has for an HRESULT: the thread's error info when the failing object
// left one, else the system's message, else the code in hex.
std::wstring DescribeHResult(HRESULT hr);

// Throws EOleException for a failure code, with `context` (if any) before the description.
void OleCheck(HRESULT hr, const std::string& context = {});

}  // namespace fw::win32
