#include "tests/support/win32/ChildProcess.h"

#include <memory>
#include <stdexcept>
#include <thread>

#include "tests/support/win32/NetworkFence.h"

namespace testing_win32 {

namespace {
struct CloseFile {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueFile = std::unique_ptr<void, CloseFile>;
}  // namespace

ChildProcess::ChildProcess(const std::wstring& path, WORD showCommand,
                           const std::wstring& arguments, HANDLE output) {
  RequirePrivateNetwork();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showCommand;
  if (output) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
  }
  std::wstring commandLine = L"\"" + path + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, output != nullptr, 0,
                      nullptr, nullptr, &startup, &info_)) {
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

HWND VisibleWindowOf(DWORD process, const wchar_t* className) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found;
  };
  Search search{process, className, nullptr};
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
  return search.found;
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, std::chrono::milliseconds timeout,
                                 std::chrono::milliseconds poll) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (HWND found = VisibleWindowOf(info_.dwProcessId, className)) return found;
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

ProgramOutput RunToEnd(const std::wstring& path, const std::wstring& arguments,
                       std::chrono::milliseconds timeout) {
  wchar_t folder[MAX_PATH];
  wchar_t name[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"out", 0, name))
    throw std::runtime_error("no temporary file for the program's output");
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE opened = CreateFileW(
      name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (opened == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot open the program's output file");
  const UniqueFile file(opened);
  ProgramOutput result;
  {
    ChildProcess program(path, SW_SHOWDEFAULT, arguments, file.get());
    result.exitCode = program.WaitForExit(timeout);
  }
  std::string text(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
  if (!text.empty() &&
      !ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr))
    throw std::runtime_error("cannot read the program's output");
  text.resize(read);
  result.text = std::move(text);
  return result;
}

}  // namespace testing_win32
