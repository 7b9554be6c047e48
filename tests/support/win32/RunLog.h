#pragma once

#include <windows.h>

#include <cstddef>
#include <filesystem>
#include <vector>

namespace testing_win32 {

// The file a test copy of the program writes its process id to at every start
// (DUVUZEZERA_TEST_RUN_LOG), named for as long as the object lives.
class RunLog {
 public:
  explicit RunLog(const wchar_t* fileName);
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // The copies started, oldest first; `besides` is left out (a supervisor logs itself too).
  std::vector<DWORD> Runs(DWORD besides = 0) const;
  // The main window of the `index`th copy once it shows one; null after 30 s.
  HWND WaitForMainWindow(std::size_t index, DWORD besides = 0) const;
  // Every copy still running is ended, so that none outlives the test.
  void EndRuns(DWORD besides = 0) const;

 private:
  std::filesystem::path path_;
};

}  // namespace testing_win32
