#pragma once

#include <windows.h>

#include <string>

namespace fw::win32 {

// Registers the program's window class `name` once, as a superclass of `systemClass` (or of
// none), double clicks on. Returns the procedure its windows fall back on.
WNDPROC RegisterClassOnce(const std::wstring& name, const wchar_t* systemClass, WNDPROC procedure,
                          HICON icon, HICON smallIcon);

// The procedure a window of a registered class falls back on; DefWindowProcW for any other.
WNDPROC BaseProcedureOf(HWND window);

}  // namespace fw::win32
