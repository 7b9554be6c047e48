#pragma once

#include <windows.h>

// The main window module's start-up part: it prepares the process for the browser control
// before the application's start-up block runs.
namespace Unit12 {

// The thread mouse hook installed at start-up: 0 until then, or when installing failed.
// It is never removed; it ends with the thread.
extern HHOOK HMouseHook;

// Discards right-button down and up over any browser control, so that its own context menu
// never opens; on button-up the control's popup menu, if it has one, is shown instead.
LRESULT CALLBACK MouseProc(int nCode, WPARAM WP, LPARAM LP);

// Sets IE11 emulation for this executable, then installs MouseProc for this thread.
void Initialization();

}  // namespace Unit12
