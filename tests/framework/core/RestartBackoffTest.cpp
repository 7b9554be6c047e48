#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/core/RestartBackoff.h"
#include "tests/support/TestNames.h"

namespace {

using namespace std::chrono_literals;

struct ProgramRun {
  int exitCode;
  int ranSeconds;
  int wait;  // -1: not started again
};

struct BackoffCase {
  std::string name;
  std::vector<ProgramRun> runs;
};

class RestartBackoff : public testing::TestWithParam<BackoffCase> {};

TEST_P(RestartBackoff, RestartsAfterAFailureWithDoublingWaitsAndStopsAfterZero) {
  fw::TRestartBackoff backoff;
  int index = 0;
  for (const ProgramRun& run : GetParam().runs) {
    const auto wait = backoff.Ended(run.exitCode, std::chrono::seconds(run.ranSeconds));
    EXPECT_EQ(wait ? static_cast<int>(wait->count()) : -1, run.wait) << "run " << index;
    ++index;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RestartBackoff,
    testing::Values(BackoffCase{"a_normal_end_is_the_end", {{0, 1, -1}}},
                    BackoffCase{"an_early_normal_end_after_failures_too", {{3, 0, 1}, {0, 0, -1}}},
                    BackoffCase{"doubles_up_to_a_minute",
                                {{1, 0, 1},
                                 {1, 0, 2},
                                 {1, 0, 4},
                                 {1, 0, 8},
                                 {1, 0, 16},
                                 {1, 0, 32},
                                 {1, 0, 60},
                                 {1, 0, 60}}},
                    BackoffCase{"any_code_but_zero_fails", {{-1, 0, 1}, {255, 0, 2}, {3, 0, 4}}},
                    BackoffCase{"a_restart_asked_for_comes_at_once_and_starts_the_count_over",
                                {{3, 0, 1}, {3, 0, 2}, {75, 0, 0}, {75, 0, 0}, {3, 0, 1}}},
                    BackoffCase{"a_long_run_starts_over",
                                {{3, 0, 1}, {3, 0, 2}, {3, 0, 4}, {3, 61, 1}, {3, 60, 2}}}),
    [](const testing::TestParamInfo<BackoffCase>& info) { return TestName(info.param.name); });

}  // namespace
