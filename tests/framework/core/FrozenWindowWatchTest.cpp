#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/core/FrozenWindowWatch.h"
#include "tests/support/TestNames.h"

namespace {

using namespace std::chrono_literals;

// A question to the window, in seconds from the start: answered, or given up on at `gaveUp`.
struct Question {
  int asked;
  int gaveUp;  // -1: answered
  bool frozen;
};

struct FrozenCase {
  std::string name;
  std::vector<Question> questions;
};

class FrozenWindowWatch : public testing::TestWithParam<FrozenCase> {};

TEST_P(FrozenWindowWatch, CountsAWindowFrozenOnlyAfterTheLimitWithoutAnyAnswer) {
  const fw::TFrozenWindowWatch::Clock::time_point start{};
  fw::TFrozenWindowWatch watch(30s);
  int index = 0;
  for (const Question& question : GetParam().questions) {
    if (question.gaveUp < 0) {
      watch.Answered();
      EXPECT_FALSE(question.frozen) << "question " << index;
    } else {
      EXPECT_EQ(watch.Unanswered(start + std::chrono::seconds(question.asked),
                                 start + std::chrono::seconds(question.gaveUp)),
                question.frozen)
          << "question " << index;
    }
    ++index;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Questions, FrozenWindowWatch,
    testing::Values(
        FrozenCase{"answers_are_never_frozen", {{0, -1, false}, {3, -1, false}, {60, -1, false}}},
        FrozenCase{"frozen_at_the_limit_from_the_first_unanswered_question",
                   {{0, -1, false}, {1, 3, false}, {4, 6, false}, {28, 30, false}, {29, 31, true}}},
        FrozenCase{"one_long_wait_for_an_answer_counts_too", {{10, 40, true}}},
        FrozenCase{"a_few_busy_seconds_then_an_answer_start_over",
                   {{0, 2, false},
                    {3, 5, false},
                    {6, -1, false},
                    {7, 9, false},
                    {35, 36, false},
                    {36, 37, true}}},
        FrozenCase{"a_window_that_never_answered_counts_from_its_first_question",
                   {{5, 7, false}, {20, 22, false}, {33, 35, true}}},
        FrozenCase{"stays_frozen_until_it_answers",
                   {{0, 30, true}, {31, 33, true}, {34, -1, false}, {35, 37, false}}}),
    [](const testing::TestParamInfo<FrozenCase>& info) { return TestName(info.param.name); });

}  // namespace
