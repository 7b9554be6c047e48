#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/RunLog.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_win32;

constexpr std::chrono::seconds kFrozenAfter{FROZEN_SECONDS};

bool Running(DWORD process) {
  const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
  if (!handle) return false;
  const bool running = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
  CloseHandle(handle);
  return running;
}

// The test copy of the program under --supervise: the supervisor and each program it starts
// write their process ids to the run log.
class FrozenProgram : public testing::Test {
 protected:
  void SetUp() override {
    log_.emplace(L"frozen-program-runs.txt");
    supervisor_.emplace(FREEZABLE_PROGRAM_PATH, SW_SHOWDEFAULT, L"--supervise");
  }
  void TearDown() override {
    if (log_ && supervisor_) log_->EndRuns(supervisor_->Id());
    supervisor_.reset();
    log_.reset();
  }

  // The programs the supervisor started, oldest first.
  std::vector<DWORD> Runs() const { return log_->Runs(supervisor_->Id()); }

  // The main window of the `index`th run, once that run has shown it.
  HWND WaitForMainWindow(std::size_t index) const {
    return log_->WaitForMainWindow(index, supervisor_->Id());
  }

  static void Block(HWND window, std::chrono::milliseconds duration) {
    const UINT freeze = RegisterWindowMessageW(L"DuvuzezeraTestFreeze");
    ASSERT_NE(freeze, 0u);
    ASSERT_TRUE(PostMessageW(window, freeze, static_cast<WPARAM>(duration.count()), 0));
  }

  // Ends the program as "Выход" does; the supervisor then ends too.
  void CloseAndExpectTheEnd(HWND window) const {
    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_EQ(supervisor_->WaitForExit(30s), 0u);
  }

  std::optional<RunLog> log_;
  std::optional<ChildProcess> supervisor_;
};

TEST_F(FrozenProgram, ABlockLongerThanTheLimitEndsTheProgramAndStartsItAgain) {
  const HWND first = WaitForMainWindow(0);
  ASSERT_NE(first, nullptr);
  const DWORD frozen = Runs().front();
  Block(first, kFrozenAfter * 6);
  ASSERT_TRUE(PumpUntil([&] { return Runs().size() == 2; }, kFrozenAfter + 20s))
      << "the frozen program was not started again";
  EXPECT_FALSE(Running(frozen));
  const HWND second = WaitForMainWindow(1);
  ASSERT_NE(second, nullptr);
  CloseAndExpectTheEnd(second);
  EXPECT_EQ(Runs().size(), 2u);
}

TEST_F(FrozenProgram, AWindowBusyForAFewSecondsIsLeftAlone) {
  const HWND window = WaitForMainWindow(0);
  ASSERT_NE(window, nullptr);
  const DWORD run = Runs().front();
  Block(window, 5s);
  PumpFor(500ms);
  DWORD_PTR answer = 0;
  EXPECT_FALSE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer))
      << "the window's thread was not blocked";
  // Long enough for the block and then for the limit, counted from the block's start.
  PumpFor(kFrozenAfter + 10s);
  EXPECT_EQ(Runs().size(), 1u);
  EXPECT_TRUE(Running(run));
  EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
  CloseAndExpectTheEnd(window);
  EXPECT_EQ(Runs().size(), 1u);
}

}  // namespace
