#include "tests/support/win32/ChildProcess.h"

#include <stdexcept>
#include <thread>

namespace testing_win32 {

ChildProcess::ChildProcess(const std::wstring& path, WORD showCommand) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showCommand;
  std::wstring commandLine = L"\"" + path + L"\"";
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info_)) {
    throw std::runtime_error("cannot start the program (error " + std::to_string(GetLastError()) +
                             ")");
  }
}

ChildProcess::~ChildProcess() {
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, std::chrono::milliseconds timeout,
                                 std::chrono::milliseconds poll) const {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found;
  };
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    Search search{info_.dwProcessId, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t name[256] = {};
          GetClassNameW(window, name, 256);
          if (owner == s->pid && IsWindowVisible(window) && lstrcmpW(name, s->className) == 0) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(poll.count())) == WAIT_OBJECT_0)
      return nullptr;
  }
  return nullptr;
}

DWORD ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

}  // namespace testing_win32
