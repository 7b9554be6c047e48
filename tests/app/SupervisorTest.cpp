#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/Supervisor_win.h"

namespace {

constexpr std::chrono::seconds kFrozenAfter{30};

int RunsIn(const std::filesystem::path& log) {
  std::ifstream in(log);
  int runs = 0;
  for (std::string line; std::getline(in, line);) ++runs;
  return runs;
}

class Supervisor : public testing::Test {
 protected:
  void SetUp() override {
    log_ = std::filesystem::temp_directory_path() / "supervised-runs.txt";
    std::filesystem::remove(log_);
  }
  void TearDown() override { std::filesystem::remove(log_); }
  std::wstring Command(const std::wstring& codes) const {
    return L"\"" SUPERVISED_CHILD L"\" \"" + log_.wstring() + L"\" " + codes;
  }
  std::filesystem::path log_;
};

TEST_F(Supervisor, StartsTheProgramAgainAfterAFailureAndStopsAfterZero) {
  EXPECT_EQ(Supervise(Command(L"3 0"), kFrozenAfter), 0);
  EXPECT_EQ(RunsIn(log_), 2);
}

TEST_F(Supervisor, AProgramThatEndsNormallyRunsOnce) {
  EXPECT_EQ(Supervise(Command(L"0 3"), kFrozenAfter), 0);
  EXPECT_EQ(RunsIn(log_), 1);
}

TEST_F(Supervisor, AProgramThatCannotBeStartedIsReported) {
  EXPECT_THROW(Supervise(L"\"C:\\no such folder\\program.exe\"", kFrozenAfter), std::exception);
}

}  // namespace
