#include "tests/support/win32/RunLog.h"

#include <chrono>
#include <fstream>
#include <stdexcept>

#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/WindowTesting.h"

namespace testing_win32 {

RunLog::RunLog(const wchar_t* fileName) : path_(std::filesystem::temp_directory_path() / fileName) {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  if (!SetEnvironmentVariableW(L"DUVUZEZERA_TEST_RUN_LOG", path_.c_str()))
    throw std::runtime_error("cannot name the run log");
}

RunLog::~RunLog() {
  SetEnvironmentVariableW(L"DUVUZEZERA_TEST_RUN_LOG", nullptr);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

std::vector<DWORD> RunLog::Runs(DWORD besides) const {
  std::vector<DWORD> runs;
  std::ifstream in(path_);
  for (DWORD id = 0; in >> id;)
    if (id != besides) runs.push_back(id);
  return runs;
}

HWND RunLog::WaitForMainWindow(std::size_t index, DWORD besides) const {
  HWND window = nullptr;
  PumpUntil(
      [&] {
        const std::vector<DWORD> runs = Runs(besides);
        window = runs.size() > index ? VisibleWindowOf(runs[index], L"TForm12") : nullptr;
        return window != nullptr;
      },
      std::chrono::seconds(30));
  return window;
}

void RunLog::EndRuns(DWORD besides) const {
  for (DWORD run : Runs(besides)) {
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, run)) {
      TerminateProcess(process, 1);
      CloseHandle(process);
    }
  }
}

}  // namespace testing_win32
