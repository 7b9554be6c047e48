#include "framework/win32/SystemInfo.h"

#include <oleauto.h>

#include <cwchar>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Unicode.h"

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

std::wstring DescribeHResult(HRESULT hr) {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) == S_OK && info) {
    UniqueBstr description;
    if (SUCCEEDED(info->GetDescription(description.put())) && !description.str().empty())
      return description.str();
  }
  wchar_t* filled = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&filled), 0, nullptr);
  const UniqueLocalText buffer(filled);
  std::wstring text;
  if (length && buffer) {
    text.assign(buffer.get(), length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
      text.pop_back();
    }
  }
  if (text.empty()) {
    wchar_t hex[32];
    std::swprintf(hex, 32, L"OLE error %08X", static_cast<unsigned>(hr));
    text = hex;
  }
  return text;
}

OleInitialization::OleInitialization() {
  OleCheck(OleInitialize(nullptr), "OLE cannot be initialized");
}

ComInitialization::ComInitialization() {
  OleCheck(CoInitialize(nullptr), "COM cannot be initialized");
}

void ThrowSystemError(DWORD error, const std::string& context) {
  throw fw::Exception(context + " (error " + std::to_string(error) + ")");
}

void OleCheck(HRESULT hr, const std::string& context) {
  if (SUCCEEDED(hr)) return;
  const std::string description = Narrow(DescribeHResult(hr));
  throw fw::EOleException(context.empty() ? description : context + ": " + description, hr);
}

}  // namespace fw::win32
