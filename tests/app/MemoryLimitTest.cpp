#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/RestartBackoff.h"
#include "framework/win32/Handles.h"
#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/RunLog.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_win32;

constexpr auto kTimeout = std::chrono::seconds(IDLE_RESET_SECONDS);

HWND FindChild(HWND parent, const wchar_t* className, const std::wstring& text) {
  for (HWND child : ChildrenTopDown(parent)) {
    if (ClassOf(child) == className && TextOf(child) == text) return child;
    if (HWND inner = FindChild(child, className, text)) return inner;
  }
  return nullptr;
}

bool SplashShows(HWND form) {
  const HWND splash = FindChild(form, L"TPanel", L"Duvuzezera");
  return splash && IsWindowVisible(splash);
}

// The test copy of the program, whose memory is always over its limit, and the run log its
// copies write their process ids to.
class OverMemoryLimit : public testing::Test {
 protected:
  void TearDown() override {
    log_.EndRuns(Supervisor());
    program_.reset();
  }

  // The copies of the program started, oldest first.
  std::vector<DWORD> Runs() const { return log_.Runs(Supervisor()); }

  HWND WaitForMainWindow(std::size_t index) const {
    return log_.WaitForMainWindow(index, Supervisor());
  }

  // A supervisor logs itself too.
  DWORD Supervisor() const { return supervised_ && program_ ? program_->Id() : 0; }

  void Start(bool supervised) {
    supervised_ = supervised;
    program_.emplace(OVER_LIMIT_PROGRAM_PATH, SW_SHOWDEFAULT, supervised ? L"--supervise" : L"");
  }

  // A tap on "Кабинет" and the clinic's request; the idle time starts after it. A window the
  // supervisor has just started may still be taking its place: the tap is tried again.
  void OpenClinic(HWND form) {
    const HWND button = FindChild(form, L"TButton", L"Кабинет");
    ASSERT_NE(button, nullptr);
    const std::size_t before = clinic_.Requests().size();
    bool requested = false;
    for (int attempt = 0; attempt < 3 && !requested; ++attempt) {
      ClickAt(CentreOf(button));
      requested = PumpUntil([&] { return clinic_.Requests().size() > before; }, 5s);
    }
    ASSERT_TRUE(requested) << "the tap opened no page";
    EXPECT_FALSE(SplashShows(form));
  }

  LoopbackHttpServer clinic_{CLINIC_PORT};
  RunLog log_{L"memory-limit-runs.txt"};
  bool supervised_ = false;
  std::optional<ChildProcess> program_;
};

TEST_F(OverMemoryLimit, UnderSupervisionTheIdleResetEndsTheProgramForAFreshOneAtOnce) {
  Start(true);
  const HWND first = WaitForMainWindow(0);
  ASSERT_NE(first, nullptr);
  const fw::win32::UniqueKernelHandle process(
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, Runs().front()));
  ASSERT_TRUE(process);
  OpenClinic(first);
  // Never under the visitor: the page is there up to the reset.
  PumpFor(kTimeout - 2s);
  EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

  ASSERT_EQ(WaitForSingleObject(process.get(), 10'000), static_cast<DWORD>(WAIT_OBJECT_0))
      << "the program did not end at the idle reset";
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(process.get(), &code));
  EXPECT_EQ(code, static_cast<DWORD>(fw::TRestartBackoff::AtOnceExitCode));
  const HWND second = WaitForMainWindow(1);
  ASSERT_NE(second, nullptr) << "the supervisor started no fresh program";
  EXPECT_TRUE(SplashShows(second));
  ASSERT_TRUE(PostMessageW(second, WM_CLOSE, 0, 0));
  EXPECT_EQ(program_->WaitForExit(30s), 0u);
  EXPECT_EQ(Runs().size(), 2u);
}

TEST_F(OverMemoryLimit, WithoutASupervisorTheProgramGoesOnAfterTheIdleReset) {
  Start(false);
  const HWND form = program_->WaitForWindow(L"TForm12");
  ASSERT_NE(form, nullptr);
  OpenClinic(form);
  ASSERT_TRUE(PumpUntil([&] { return SplashShows(form); }, kTimeout + 10s));
  PumpFor(3s);
  EXPECT_EQ(program_->WaitForExit(0ms), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(IsWindowVisible(form));
  // The next visitor's tap still opens the page.
  OpenClinic(form);
  ASSERT_TRUE(PostMessageW(form, WM_CLOSE, 0, 0));
  EXPECT_EQ(program_->WaitForExit(30s), 0u);
}

}  // namespace
