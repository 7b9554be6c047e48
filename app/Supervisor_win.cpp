#include "app/Supervisor_win.h"

#include <windows.h>

#include <chrono>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "framework/core/CallbackBoundary.h"
#include "framework/core/EventLog.h"
#include "framework/core/FrozenWindowWatch.h"
#include "framework/core/RestartBackoff.h"
#include "framework/win32/Errors.h"
#include "framework/win32/Handles.h"
#include "framework/win32/SystemLog.h"
#include "framework/win32/Unicode.h"

namespace {

using fw::win32::UniqueKernelHandle;

// One argument as CommandLineToArgvW and the C runtime split it again: in quotes, with the
// backslashes before a quote doubled.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) fw::win32::ThrowLastError("The program's own path cannot be read");
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

// The main window is asked this often whether it still answers, and waited for this long.
constexpr DWORD kAskEveryMs = 1000;
constexpr UINT kAnswerWithinMs = 2000;
// The exit code a frozen program is ended with: any but 0 restarts it.
constexpr UINT kFrozenExitCode = ERROR_TIMEOUT;
constexpr wchar_t kMainWindowClass[] = L"TForm12";
// Inherited by the program the supervisor starts, which tells it so.
constexpr wchar_t kSupervisedVariable[] = L"DUVUZEZERA_SUPERVISED";

struct MainWindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM data) {
  return fw::AtCallbackBoundary(FALSE, [&]() -> BOOL {
    auto& search = *reinterpret_cast<MainWindowSearch*>(data);
    DWORD owner = 0;
    wchar_t className[64] = {};
    if (GetWindowThreadProcessId(window, &owner) == 0 || owner != search.process ||
        !IsWindowVisible(window) ||
        GetClassNameW(window, className, static_cast<int>(std::size(className))) == 0 ||
        std::wstring_view(className) != kMainWindowClass) {
      return TRUE;
    }
    search.found = window;
    return FALSE;
  });
}

// Null until the program has shown its main window: a program still starting is not frozen.
HWND MainWindowOf(DWORD process) {
  MainWindowSearch search{process, nullptr};
  // Ending early makes EnumWindows report a failure; only the window found counts.
  EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The Application event log is where an administrator of a Windows kiosk looks first.
void ReportFrozen(const std::wstring& command, std::chrono::seconds limit) {
  fw::LogEvent(fw::TEvent::ProgramFrozen, "nothing answered for " + std::to_string(limit.count()) +
                                              " s: " + fw::win32::Narrow(command));
}

// Ends with the program's exit code; a frozen program is ended first.
DWORD RunOnce(const std::wstring& command, std::chrono::seconds frozenAfter) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = command;  // CreateProcessW may write into it
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    fw::win32::ThrowLastError([&] { return "Cannot start " + fw::win32::Narrow(command); });
  }
  const UniqueKernelHandle process(info.hProcess);
  const UniqueKernelHandle thread(info.hThread);
  fw::TFrozenWindowWatch watch(frozenAfter);
  for (;;) {
    const DWORD waited = WaitForSingleObject(process.get(), kAskEveryMs);
    if (waited == WAIT_OBJECT_0) break;
    if (waited != WAIT_TIMEOUT) fw::win32::ThrowLastError("Waiting for the program failed");
    const HWND window = MainWindowOf(info.dwProcessId);
    if (!window) continue;
    const auto asked = fw::TFrozenWindowWatch::Clock::now();
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerWithinMs,
                            &result)) {
      watch.Answered();
      continue;
    }
    // A window destroyed meanwhile is a program ending, not a frozen one.
    if (GetLastError() == ERROR_INVALID_WINDOW_HANDLE) continue;
    if (!watch.Unanswered(asked, fw::TFrozenWindowWatch::Clock::now())) continue;
    ReportFrozen(command, frozenAfter);
    // It may have ended by itself meanwhile; its own exit code then counts.
    if (!TerminateProcess(process.get(), kFrozenExitCode) &&
        WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) {
      fw::win32::ThrowLastError("The frozen program cannot be ended");
    }
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0)
      fw::win32::ThrowLastError("Waiting for the program failed");
    break;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code))
    fw::win32::ThrowLastError("The program's exit code cannot be read");
  return code;
}

}  // namespace

std::wstring OwnCommandLine(const std::vector<std::string>& arguments) {
  std::wstring line = Quoted(ExecutablePath());
  for (const std::string& argument : arguments) line += L" " + Quoted(fw::win32::Widen(argument));
  return line;
}

bool RunsUnderSupervisor() {
  wchar_t value[2] = {};
  return GetEnvironmentVariableW(kSupervisedVariable, value, 2) == 1 && value[0] == L'1';
}

int Supervise(const std::wstring& command, std::chrono::seconds frozenAfter) {
  const fw::win32::SystemLog log;
  if (!SetEnvironmentVariableW(kSupervisedVariable, L"1"))
    fw::win32::ThrowLastError("The supervised program's environment cannot be set");
  fw::TRestartBackoff backoff;
  for (;;) {
    const auto started = std::chrono::steady_clock::now();
    const DWORD code = RunOnce(command, frozenAfter);
    const std::optional<std::chrono::seconds> wait =
        backoff.Ended(static_cast<int>(code), std::chrono::steady_clock::now() - started);
    if (!wait) return 0;
    fw::LogEvent(fw::TEvent::Restarted, "exit code " + std::to_string(code) + ", again in " +
                                            std::to_string(wait->count()) + " s");
    Sleep(static_cast<DWORD>(std::chrono::milliseconds(*wait).count()));
  }
}
