#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace testing_win32 {

// The first visible top-level window of `process` with this class, or null.
HWND VisibleWindowOf(DWORD process, const wchar_t* className);

// A program started as its own process, with the show command a shortcut would give it.
class ChildProcess {
 public:
  // `arguments` follow the quoted path on the command line; `output`, when given, is inherited
  // as the standard output and error.
  explicit ChildProcess(const std::wstring& path, WORD showCommand = SW_SHOWDEFAULT,
                        const std::wstring& arguments = L"", HANDLE output = nullptr);
  ~ChildProcess();  // kills the process if it still runs
  DWORD Id() const { return info_.dwProcessId; }
  // The first visible top-level window of the process with this class, waiting for it.
  HWND WaitForWindow(const wchar_t* className,
                     std::chrono::milliseconds timeout = std::chrono::seconds(20),
                     std::chrono::milliseconds poll = std::chrono::milliseconds(50)) const;
  // The exit code, or STILL_ACTIVE when it has not ended in time.
  DWORD WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

 private:
  PROCESS_INFORMATION info_{};
};

// What a program printed to the file it inherited, and its exit code (STILL_ACTIVE when it did
// not end in time).
struct ProgramOutput {
  DWORD exitCode = STILL_ACTIVE;
  std::string text;
};
ProgramOutput RunToEnd(const std::wstring& path, const std::wstring& arguments,
                       std::chrono::milliseconds timeout = std::chrono::seconds(20));

}  // namespace testing_win32
