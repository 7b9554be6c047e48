#include "app/Supervisor_win.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "framework/core/RestartBackoff.h"
#include "framework/win32/Handles.h"
#include "framework/win32/SystemInfo.h"
#include "framework/win32/Unicode.h"

namespace {

using UniqueKernelHandle = fw::win32::UniqueHandle<HANDLE, CloseHandle>;

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

// Ends with the program's exit code.
DWORD RunOnce(const std::wstring& command) {
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
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0)
    fw::win32::ThrowLastError("Waiting for the program failed");
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

int Supervise(const std::wstring& command) {
  fw::TRestartBackoff backoff;
  for (;;) {
    const auto started = std::chrono::steady_clock::now();
    const DWORD code = RunOnce(command);
    const std::optional<std::chrono::seconds> wait =
        backoff.Ended(static_cast<int>(code), std::chrono::steady_clock::now() - started);
    if (!wait) return 0;
    Sleep(static_cast<DWORD>(std::chrono::milliseconds(*wait).count()));
  }
}
