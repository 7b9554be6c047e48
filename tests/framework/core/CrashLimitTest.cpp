#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/core/CrashLimit.h"
#include "tests/support/TestNames.h"

namespace {

using namespace std::chrono_literals;

struct CrashCase {
  std::string name;
  std::vector<int> deathsAt;  // seconds after the start
  std::vector<bool> reloads;  // the answer to each
};

class CrashLimit : public testing::TestWithParam<CrashCase> {};

TEST_P(CrashLimit, GivesUpOnTheThirdDeathWithinAMinute) {
  fw::TCrashLimit limit;
  std::vector<bool> answers;
  for (int at : GetParam().deathsAt)
    answers.push_back(limit.AllowsReload(fw::TCrashLimit::Clock::time_point{} + 1s * at));
  EXPECT_EQ(answers, GetParam().reloads);
}

INSTANTIATE_TEST_SUITE_P(
    Deaths, CrashLimit,
    testing::Values(
        CrashCase{"one", {0}, {true}}, CrashCase{"three_quickly", {0, 1, 2}, {true, true, false}},
        CrashCase{"third_just_inside_the_minute", {0, 30, 59}, {true, true, false}},
        CrashCase{"first_has_aged_out", {0, 30, 60}, {true, true, true}},
        CrashCase{"spread_over_hours", {0, 100, 200, 300}, {true, true, true, true}},
        // After giving up the count starts over: the page loaded by a tap may die
        // twice more before the next give-up.
        CrashCase{"count_starts_over", {0, 1, 2, 3, 4, 5}, {true, true, false, true, true, false}}),
    [](const testing::TestParamInfo<CrashCase>& info) { return TestName(info.param.name); });

}  // namespace
