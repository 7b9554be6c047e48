#pragma once

#include <windows.h>

#include <vector>

#include "framework/core/TouchGestures.h"

namespace fw::win32 {

// The system's SetGestureConfig (Windows 7 on, looked up at run time). A test may put a
// recorder here to see what the program asks of a touch screen it does not have.
using SetGestureConfigCall = BOOL(WINAPI*)(HWND, DWORD, UINT, PGESTURECONFIG, UINT);
extern SetGestureConfigCall SetGestureConfigFunction;

// The configuration entries that ask the system for exactly these gestures.
std::vector<GESTURECONFIG> GestureConfigFor(const fw::TTouchGestures& gestures);

// Answers the gesture notification for a control's window. Where the system has no touch
// gestures the call fails, and there is nothing to configure.
void ConfigureTouchGestures(HWND window);

}  // namespace fw::win32
