#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/HangRecovery.h"
#include "tests/support/TestNames.h"

namespace {

using fw::THangStep;

// One thing the engine or the program does, and what the rule answers.
enum class Event { Unresponsive, Responsive, Navigate, Committed, PatienceOut };

struct Step {
  Event event;
  // Navigate: 1 when the process must end first; Unresponsive, PatienceOut: the THangStep
  int answer = 0;
};

struct HangCase {
  std::string name;
  std::vector<Step> steps;
};

int Answer(fw::THangRecovery& hang, Event event) {
  switch (event) {
    case Event::Unresponsive:
      return static_cast<int>(hang.Unresponsive());
    case Event::Committed:
      hang.Committed();
      return 0;
    case Event::Responsive:
      hang.Responsive();
      return 0;
    case Event::Navigate:
      return hang.Navigating() ? 1 : 0;
    case Event::PatienceOut:
      return static_cast<int>(hang.PatienceOut());
  }
  return -1;
}

constexpr int kNone = static_cast<int>(THangStep::None);
constexpr int kReload = static_cast<int>(THangStep::EndAndReload);
constexpr int kBlank = static_cast<int>(THangStep::EndAndBlank);
constexpr int kNavigate = static_cast<int>(THangStep::EndAndNavigate);

class HangRecovery : public testing::TestWithParam<HangCase> {};

TEST_P(HangRecovery, EndsTheHungProcessOnATapAndReloadsOnlyOnceByItself) {
  fw::THangRecovery hang;
  int index = 0;
  for (const Step& step : GetParam().steps) {
    EXPECT_EQ(Answer(hang, step.event), step.answer) << "step " << index;
    ++index;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, HangRecovery,
    testing::Values(
        HangCase{"a_tap_on_a_live_page_ends_nothing", {{Event::Navigate, 0}}},
        HangCase{"a_tap_on_a_hung_page_ends_its_process",
                 {{Event::Unresponsive, kNone}, {Event::Navigate, 1}, {Event::PatienceOut, kNone}}},
        HangCase{
            "a_tap_held_up_by_a_hang_found_later_goes_ahead",
            {{Event::Navigate, 0}, {Event::Unresponsive, kNavigate}, {Event::PatienceOut, kNone}}},
        HangCase{"a_hang_after_the_tap_reached_its_page_waits",
                 {{Event::Navigate, 0},
                  {Event::Committed},
                  {Event::Unresponsive, kNone},
                  {Event::PatienceOut, kReload}}},
        HangCase{"a_page_that_answers_again_is_left_alone",
                 {{Event::Unresponsive, kNone},
                  {Event::Responsive},
                  {Event::PatienceOut, kNone},
                  {Event::Navigate, 0}}},
        HangCase{"hung_for_the_whole_patience_is_reloaded",
                 {{Event::Unresponsive, kNone}, {Event::PatienceOut, kReload}}},
        HangCase{"hung_again_after_the_reload_goes_blank",
                 {{Event::Unresponsive, kNone},
                  {Event::PatienceOut, kReload},
                  {Event::Responsive},
                  {Event::Unresponsive, kNone},
                  {Event::PatienceOut, kBlank}}},
        HangCase{"a_tap_gives_the_next_page_its_own_reload",
                 {{Event::Unresponsive, kNone},
                  {Event::PatienceOut, kReload},
                  {Event::Unresponsive, kNone},
                  {Event::Navigate, 1},
                  {Event::Unresponsive, kNone},
                  {Event::PatienceOut, kReload}}},
        HangCase{"after_going_blank_the_next_hang_is_reloaded_again",
                 {{Event::Unresponsive, kNone},
                  {Event::PatienceOut, kReload},
                  {Event::Unresponsive, kNone},
                  {Event::PatienceOut, kBlank},
                  {Event::Unresponsive, kNone},
                  {Event::PatienceOut, kReload}}},
        HangCase{
            "a_late_timer_after_the_tap_does_nothing",
            {{Event::Unresponsive, kNone}, {Event::Navigate, 1}, {Event::PatienceOut, kNone}}}),
    [](const testing::TestParamInfo<HangCase>& info) { return TestName(info.param.name); });

}  // namespace
