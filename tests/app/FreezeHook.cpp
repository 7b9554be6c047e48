// Linked into a test copy of the program only. Every start adds its process id to the file
// that DUVUZEZERA_TEST_RUN_LOG names; the registered message "DuvuzezeraTestFreeze" posted to
// a window of the main thread blocks that thread for wParam milliseconds, as a page script
// that never returns would.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/core/CallbackBoundary.h"
#include "framework/win32/Handles.h"

namespace {

UINT FreezeMessage() {
  static const UINT message = RegisterWindowMessageW(L"DuvuzezeraTestFreeze");
  return message;
}

LRESULT CALLBACK BlockOnRequest(int code, WPARAM removal, LPARAM data) {
  fw::AtCallbackBoundary([&] {
    const auto& message = *reinterpret_cast<const MSG*>(data);
    if (code == HC_ACTION && removal == PM_REMOVE && FreezeMessage() != 0 &&
        message.message == FreezeMessage()) {
      Sleep(static_cast<DWORD>(message.wParam));
    }
  });
  return CallNextHookEx(nullptr, code, removal, data);
}

void LogThisRun() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"DUVUZEZERA_TEST_RUN_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  std::ofstream(std::filesystem::path(path), std::ios::app) << GetCurrentProcessId() << "\n";
}

// Static construction runs on the thread that later runs the program's windows.
struct FreezeHook {
  FreezeHook() { LogThisRun(); }
  fw::win32::UniqueHook hook{
      SetWindowsHookExW(WH_GETMESSAGE, BlockOnRequest, nullptr, GetCurrentThreadId())};
} const installed;

}  // namespace
