#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/LoadRetry.h"
#include "tests/support/TestNames.h"

namespace {

using namespace std::chrono_literals;
using fw::TFailedLoadResponse;
using fw::TLoadFailure;

TEST(FailedLoad, BoxOnlyForAnAddressTheProgramAskedForAndTheEngineRefused) {
  struct Row {
    TLoadFailure failure;
    bool programAsked;
    TFailedLoadResponse response;
  };
  const Row rows[] = {
      {TLoadFailure::Replaced, true, {.Box = false, .Retry = false}},
      {TLoadFailure::Replaced, false, {.Box = false, .Retry = false}},
      {TLoadFailure::AddressRefused, true, {.Box = true, .Retry = false}},
      {TLoadFailure::AddressRefused, false, {.Box = false, .Retry = false}},
      {TLoadFailure::Unreachable, true, {.Box = false, .Retry = true}},
      {TLoadFailure::Unreachable, false, {.Box = false, .Retry = true}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(fw::RespondToFailedLoad(row.failure, row.programAsked), row.response)
        << static_cast<int>(row.failure) << " asked by the program: " << row.programAsked;
  }
}

// One thing that happens to the retry; for Fail, the wait it answers (0: none).
enum class Event { Fail, Due, Cancel, Loaded };
struct Step {
  Event event;
  int seconds = 0;
};

struct RetryCase {
  std::string name;
  int base;
  std::vector<Step> steps;
};

class LoadRetry : public testing::TestWithParam<RetryCase> {};

TEST_P(LoadRetry, WaitsTheBaseThenDoublesUpToTenTimesUntilItLoads) {
  fw::TLoadRetry retry(std::chrono::seconds(GetParam().base));
  int index = 0;
  for (const Step& step : GetParam().steps) {
    switch (step.event) {
      case Event::Fail: {
        const std::optional<std::chrono::seconds> wait = retry.Failed("http://127.0.0.1:1/");
        EXPECT_EQ(wait.value_or(0s).count(), step.seconds) << "step " << index;
        break;
      }
      case Event::Due:
        EXPECT_EQ(retry.Due().has_value(), step.seconds != 0) << "step " << index;
        break;
      case Event::Cancel:
        retry.Cancel();
        break;
      case Event::Loaded:
        retry.Loaded();
        break;
    }
    ++index;
  }
}

// For Due, seconds 1 means "the address comes back", 0 "nothing is pending".
INSTANTIATE_TEST_SUITE_P(
    Schedules, LoadRetry,
    testing::Values(RetryCase{"off", 0, {{Event::Fail, 0}, {Event::Due, 0}}},
                    RetryCase{"doubles_up_to_ten_times",
                              5,
                              {{Event::Fail, 5},
                               {Event::Due, 1},
                               {Event::Fail, 10},
                               {Event::Due, 1},
                               {Event::Fail, 20},
                               {Event::Due, 1},
                               {Event::Fail, 40},
                               {Event::Due, 1},
                               {Event::Fail, 50},
                               {Event::Due, 1},
                               {Event::Fail, 50},
                               {Event::Due, 1},
                               {Event::Fail, 50}}},
                    RetryCase{"the_longest_setting_caps_at_ten_hours",
                              3600,
                              {{Event::Fail, 3600},
                               {Event::Fail, 7200},
                               {Event::Fail, 14400},
                               {Event::Fail, 28800},
                               {Event::Fail, 36000},
                               {Event::Fail, 36000}}},
                    RetryCase{"a_load_starts_the_schedule_over",
                              5,
                              {{Event::Fail, 5},
                               {Event::Due, 1},
                               {Event::Fail, 10},
                               {Event::Due, 1},
                               {Event::Loaded},
                               {Event::Fail, 5}}},
                    RetryCase{"input_drops_the_pending_retry_and_starts_over",
                              5,
                              {{Event::Fail, 5},
                               {Event::Due, 1},
                               {Event::Fail, 10},
                               {Event::Cancel},
                               {Event::Due, 0},
                               {Event::Fail, 5}}},
                    RetryCase{
                        "due_only_once", 7, {{Event::Fail, 7}, {Event::Due, 1}, {Event::Due, 0}}}),
    [](const testing::TestParamInfo<RetryCase>& info) { return TestName(info.param.name); });

TEST(LoadRetry, RetriesTheAddressThatFailedLast) {
  fw::TLoadRetry retry(5s);
  (void)retry.Failed("http://127.0.0.1:1/a");
  (void)retry.Failed("http://127.0.0.1:1/b");
  EXPECT_EQ(retry.Due(), "http://127.0.0.1:1/b");
}

TEST(LoadRetry, ChangingTheDelayDropsWhatIsPending) {
  fw::TLoadRetry retry(5s);
  (void)retry.Failed("http://127.0.0.1:1/");
  retry.SetBase(0s);
  EXPECT_FALSE(retry.Pending());
  EXPECT_FALSE(retry.Failed("http://127.0.0.1:1/").has_value());
}

}  // namespace
