#include <windows.h>
#include <gtest/gtest.h>

#include <optional>

#include "app/ProgramStartup.h"
#include "framework/win32/SystemInfo.h"
#include "mainwindow/Unit12Module_win.h"
#include "tests/support/win32/EmulationRegistry.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

// What was true at the moment the first browser control's window was being created.
struct AtFirstBrowser {
  bool seen = false;
  std::optional<DWORD> emulationValue;
  bool mouseHookInstalled = false;
};
AtFirstBrowser atFirstBrowser;
HHOOK cbtHook = nullptr;

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && !atFirstBrowser.seen &&
      ClassOf(reinterpret_cast<HWND>(wParam)) == L"TWebBrowser") {
    atFirstBrowser.seen = true;
    atFirstBrowser.emulationValue = ReadEmulationValue(fw::win32::ExecutableFileName());
    atFirstBrowser.mouseHookInstalled = Unit12::HMouseHook != nullptr;
  }
  return CallNextHookEx(cbtHook, code, wParam, lParam);
}

void CALLBACK CloseOnceShown(HWND, UINT, UINT_PTR timer, DWORD) {
  if (HWND form = FindWindowW(L"TForm12", L"Form12"); form && IsWindowVisible(form)) {
    KillTimer(nullptr, timer);
    PostMessageW(form, WM_CLOSE, 0, 0);
  }
}

TEST(StartupOrder, EmulationValueAndMouseHookExistBeforeTheFirstBrowserControl) {
  DeleteEmulationKey();
  cbtHook = SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(cbtHook, nullptr);
  SetTimer(nullptr, 0, 100, CloseOnceShown);
  EXPECT_EQ(RunProgram(), 0);
  UnhookWindowsHookEx(cbtHook);
  ASSERT_TRUE(atFirstBrowser.seen);
  EXPECT_EQ(atFirstBrowser.emulationValue, 11001u);
  EXPECT_TRUE(atFirstBrowser.mouseHookInstalled);
  // The value outlives the program.
  EXPECT_EQ(ReadEmulationValue(L"app_startup_tests.exe"), 11001u);
}

}  // namespace
