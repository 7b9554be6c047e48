#include "tests/support/win32/ScriptedRun.h"

#include <windows.h>

namespace testing_win32 {

namespace {

std::function<void()> pendingScript;
bool timedOut = false;
UINT_PTR expiry = 0;

void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  auto script = std::move(pendingScript);
  pendingScript = nullptr;
  if (script) script();
}

void CALLBACK Expire(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  timedOut = true;
  PostQuitMessage(0);
}

}  // namespace

bool RunWithScript(fw::TApplication& application, std::function<void()> script,
                   std::chrono::milliseconds timeout) {
  timedOut = false;
  pendingScript = [script = std::move(script), timeout] {
    script();
    expiry = SetTimer(nullptr, 0, static_cast<UINT>(timeout.count()), Expire);
  };
  SetTimer(nullptr, 0, 200, RunScript);
  application.Run();
  if (expiry) KillTimer(nullptr, expiry);
  expiry = 0;
  return !timedOut;
}

}  // namespace testing_win32
