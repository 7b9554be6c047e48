#include "framework/win32/WindowClasses.h"

#include <map>

#include "framework/win32/Errors.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

// The procedure each registered class stands on: the system class's for a superclass.
std::map<std::wstring, WNDPROC>& BaseProcedures() {
  static std::map<std::wstring, WNDPROC> procedures;
  return procedures;
}

}  // namespace

WNDPROC RegisterClassOnce(const std::wstring& name, const wchar_t* systemClass, WNDPROC procedure,
                          HICON icon, HICON smallIcon) {
  auto known = BaseProcedures().find(name);
  if (known != BaseProcedures().end()) return known->second;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  WNDPROC base = DefWindowProcW;
  if (systemClass) {
    if (!GetClassInfoExW(nullptr, systemClass, &wc))
      ThrowLastError(
          [&] { return "Cannot read the system's window class " + Narrow(systemClass); });
    base = wc.lpfnWndProc;
    wc.cbSize = sizeof wc;
  }
  wc.style = (wc.style | CS_DBLCLKS) & ~static_cast<UINT>(CS_GLOBALCLASS);
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExW(&wc)) {
    const DWORD error = GetLastError();
    if (error != ERROR_CLASS_ALREADY_EXISTS)
      ThrowSystemError(error, "Cannot register the window class " + Narrow(name));
  }
  BaseProcedures().emplace(name, base);
  return base;
}

WNDPROC BaseProcedureOf(HWND window) {
  wchar_t className[256];
  if (GetClassNameW(window, className, 256)) {
    auto known = BaseProcedures().find(className);
    if (known != BaseProcedures().end()) return known->second;
  }
  return DefWindowProcW;
}

}  // namespace fw::win32
