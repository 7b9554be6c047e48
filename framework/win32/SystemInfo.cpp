#include "framework/win32/SystemInfo.h"

#include <vector>

#include "framework/win32/Handles.h"

namespace fw::win32 {

std::wstring ExecutableFileName() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      const std::wstring full(path.data(), length);
      const auto slash = full.find_last_of(L"\\/");
      return slash == std::wstring::npos ? full : full.substr(slash + 1);
    }
    path.resize(path.size() * 2);
  }
}

int MonitorPixelsPerInch(HMONITOR monitor) {
  // GetDpiForMonitor exists from Windows 8.1 on; older systems have one resolution for all.
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  if (UniqueModule shcore(LoadLibraryW(L"shcore.dll")); shcore) {
    auto getDpi = reinterpret_cast<GetDpiForMonitorFn>(
        reinterpret_cast<void*>(GetProcAddress(shcore.get(), "GetDpiForMonitor")));
    UINT x = 0, y = 0;
    if (getDpi && SUCCEEDED(getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && x > 0)
      return static_cast<int>(x);
  }
  BorrowedDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : 96;
}

namespace {

int MonitorPixelsPerInchOfWindow(HWND window) {
  // GetDpiForWindow (Windows 10 on) answers without loading another library.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpi) {
    if (const UINT dpi = getDpi(window); dpi > 0) return static_cast<int>(dpi);
  }
  return MonitorPixelsPerInch(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

}  // namespace

int (*WindowPixelsPerInch)(HWND window) = MonitorPixelsPerInchOfWindow;

}  // namespace fw::win32
