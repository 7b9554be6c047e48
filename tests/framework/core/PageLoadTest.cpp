#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/PageLoad.h"
#include "tests/support/TestNames.h"

namespace fw {

// Readable commands in a failing step's message.
void PrintTo(const TPageCommand& command, std::ostream* out) {
  static constexpr const char* kActions[] = {"Navigate",    "FailAsTimeout", "StartTimer",
                                             "CancelTimer", "EndProcess",    "ShowRefusal",
                                             "GiveUp",      "PageShown"};
  static constexpr const char* kTimers[] = {"Retry", "LoadTimeout", "Patience"};
  *out << kActions[static_cast<int>(command.Action)] << "(" << command.Address << " "
       << kTimers[static_cast<int>(command.Timer)] << " " << command.Delay.count() << "s"
       << (command.ErrorPage ? " error page" : "") << ")";
}

}  // namespace fw

namespace {

using namespace std::chrono_literals;
using fw::TLoadFailure;
using fw::TPageCommand;
using fw::TPageCommands;
using fw::TPageTimer;
using TAction = TPageCommand::TAction;

constexpr TPageTimer kRetry = TPageTimer::Retry;
constexpr TPageTimer kLoad = TPageTimer::LoadTimeout;
constexpr TPageTimer kPatience = TPageTimer::Patience;
constexpr TLoadFailure kUnreachable = TLoadFailure::Unreachable;
constexpr TLoadFailure kRefused = TLoadFailure::AddressRefused;
constexpr TLoadFailure kReplaced = TLoadFailure::Replaced;
constexpr int kTimeout = 60;  // the load timeout of every case
const std::string A = "http://127.0.0.1:1/a";
const std::string B = "http://127.0.0.1:1/b";
const std::string kBlank = "about:blank";

// What the machine is to command.
TPageCommand Go(const std::string& address) {
  return {.Action = TAction::Navigate, .Address = address};
}
TPageCommand Arm(TPageTimer timer, int seconds) {
  return {.Action = TAction::StartTimer, .Timer = timer, .Delay = std::chrono::seconds(seconds)};
}
TPageCommand Disarm(TPageTimer timer) { return {.Action = TAction::CancelTimer, .Timer = timer}; }
TPageCommand End() { return {.Action = TAction::EndProcess}; }
TPageCommand Box(const std::string& address) {
  return {.Action = TAction::ShowRefusal, .Address = address};
}
TPageCommand GiveUp() { return {.Action = TAction::GiveUp}; }
TPageCommand Shown(const std::string& address, bool errorPage = false) {
  return {.Action = TAction::PageShown, .Address = address, .ErrorPage = errorPage};
}
TPageCommand TimedOut(const std::string& address) {
  return {.Action = TAction::FailAsTimeout, .Address = address, .Delay = 60s};
}

// One thing the engine, the program or the visitor does, and what the machine answers.
enum class Event {
  Program,
  Heading,
  Start,
  Fail,
  Commit,
  Finish,
  ErrorPage,
  Input,
  Unresponsive,
  Responsive,
  Crash,
  Ended,
  Due,
  Settings
};
struct Step {
  Event event;
  std::string address;  // Crash, Due: what the browser shows
  TPageCommands expected;
  TLoadFailure failure = kUnreachable;
  TPageTimer timer = kRetry;
  int number = 0;  // Crash: seconds after the start; Settings: the retry delay
};

Step Program(const std::string& a, TPageCommands e = {}) { return {Event::Program, a, e}; }
Step Heading(const std::string& a) { return {Event::Heading, a, {}}; }
Step Start(const std::string& a, TPageCommands e) { return {Event::Start, a, e}; }
Step Fail(const std::string& a, TLoadFailure f, TPageCommands e) { return {Event::Fail, a, e, f}; }
Step Commit() { return {Event::Commit, {}, {}}; }
Step Finish(const std::string& a, TPageCommands e) { return {Event::Finish, a, e}; }
Step ErrorPage(const std::string& a) { return {Event::ErrorPage, a, {Shown(a, true)}}; }
Step Input(TPageCommands e) { return {Event::Input, {}, e}; }
Step Unresponsive(TPageCommands e) { return {Event::Unresponsive, {}, e}; }
Step Responsive(TPageCommands e) { return {Event::Responsive, {}, e}; }
Step Crash(int at, const std::string& shown, TPageCommands e) {
  return {Event::Crash, shown, e, kUnreachable, kRetry, at};
}
Step Ended(TPageCommands e) { return {Event::Ended, {}, e}; }
Step Due(TPageTimer t, const std::string& shown, TPageCommands e) {
  return {Event::Due, shown, e, kUnreachable, t};
}
Step Settings(int retry, TPageCommands e) {
  return {Event::Settings, {}, e, kUnreachable, kRetry, retry};
}

TPageCommands Happen(fw::TPageLoad& load, const Step& step) {
  switch (step.event) {
    case Event::Program:
      return load.ProgramNavigates(step.address);
    case Event::Heading:
      load.Heading(step.address);
      return {};
    case Event::Start:
      return load.LoadStarted(step.address);
    case Event::Fail:
      return load.LoadFailed(step.address, step.failure);
    case Event::Commit:
      load.Committed();
      return {};
    case Event::Finish:
      return load.Finished(step.address);
    case Event::ErrorPage:
      return load.ErrorPageShown(step.address);
    case Event::Input:
      return load.VisitorInput();
    case Event::Unresponsive:
      return load.Unresponsive();
    case Event::Responsive:
      return load.Responsive();
    case Event::Crash:
      return load.ProcessGone(fw::TProcessEnd::Crashed, step.address,
                              fw::TCrashLimit::Clock::time_point{} + 1s * step.number);
    case Event::Ended:
      return load.ProcessGone(fw::TProcessEnd::EndedByProgram, A, {});
    case Event::Due:
      return load.TimerDue(step.timer, step.address);
    case Event::Settings:
      return load.SetRecovery({.RetryDelay = std::chrono::seconds(step.number),
                               .LoadTimeout = std::chrono::seconds(kTimeout)});
  }
  return {};
}

struct PageCase {
  std::string name;
  int retry;  // the retry's base delay in seconds; 0: off
  std::vector<Step> steps;
};

// A load of `address` that fails unreachable and is retried after `wait` seconds. A retry's
// own start keeps the count: a start taken for a new load would wait the base again.
std::vector<Step> FailedThenRetried(const std::string& address, int wait) {
  return {Start(address, {Arm(kLoad, kTimeout)}),
          Fail(address, kUnreachable, {Disarm(kLoad), Arm(kRetry, wait)}),
          Due(kRetry, {}, {Go(address)})};
}

std::vector<Step> Join(std::vector<std::vector<Step>> parts) {
  std::vector<Step> steps;
  for (std::vector<Step>& part : parts)
    for (Step& step : part) steps.push_back(std::move(step));
  return steps;
}

void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

class PageLoad : public testing::TestWithParam<PageCase> {};

TEST_P(PageLoad, CommandsWhatTheRulesSay) {
  const PageCase& c = GetParam();
  fw::TPageLoad load(
      {.RetryDelay = std::chrono::seconds(c.retry), .LoadTimeout = std::chrono::seconds(kTimeout)});
  int index = 0;
  for (const Step& step : c.steps) {
    EXPECT_EQ(Happen(load, step), step.expected) << "step " << index;
    ++index;
  }
}

// The retry: the wait doubles up to ten times the base, a load or the visitor starts it over.
INSTANTIATE_TEST_SUITE_P(
    Retry, PageLoad,
    testing::Values(
        PageCase{"off",
                 0,
                 {Start(A, {Arm(kLoad, kTimeout)}), Fail(A, kUnreachable, {Disarm(kLoad)}),
                  Due(kRetry, {}, {})}},
        PageCase{"doubles_up_to_ten_times", 5,
                 Join({FailedThenRetried(A, 5), FailedThenRetried(A, 10), FailedThenRetried(A, 20),
                       FailedThenRetried(A, 40), FailedThenRetried(A, 50), FailedThenRetried(A, 50),
                       FailedThenRetried(A, 50)})},
        PageCase{"the_longest_setting_caps_at_ten_hours", 3600,
                 Join({FailedThenRetried(A, 3600), FailedThenRetried(A, 7200),
                       FailedThenRetried(A, 14400), FailedThenRetried(A, 28800),
                       FailedThenRetried(A, 36000), FailedThenRetried(A, 36000)})},
        PageCase{"a_load_starts_the_schedule_over", 5,
                 Join({FailedThenRetried(A, 5),
                       FailedThenRetried(A, 10),
                       {Start(A, {Arm(kLoad, kTimeout)}), Commit(),
                        Finish(A, {Disarm(kLoad), Shown(A)})},
                       FailedThenRetried(A, 5)})},
        PageCase{"input_drops_the_pending_retry_and_starts_over", 5,
                 Join({FailedThenRetried(A, 5),
                       {Start(A, {Arm(kLoad, kTimeout)}),
                        Fail(A, kUnreachable, {Disarm(kLoad), Arm(kRetry, 10)}),
                        Input({Disarm(kRetry)}), Due(kRetry, {}, {}), Input({})},
                       FailedThenRetried(A, 5)})},
        PageCase{"another_load_drops_the_pending_retry",
                 5,
                 {Start(A, {Arm(kLoad, kTimeout)}),
                  Fail(A, kUnreachable, {Disarm(kLoad), Arm(kRetry, 5)}),
                  Start(B, {Disarm(kRetry), Arm(kLoad, kTimeout)}),
                  Fail(B, kUnreachable, {Disarm(kLoad), Arm(kRetry, 5)}),
                  Program(A, {Disarm(kRetry)}), Due(kRetry, {}, {})}},
        PageCase{"due_only_once",
                 7,
                 {Fail(A, kUnreachable, {Arm(kRetry, 7)}), Due(kRetry, {}, {Go(A)}),
                  Due(kRetry, {}, {})}},
        PageCase{"retries_the_address_that_failed_last",
                 5,
                 {Fail(A, kUnreachable, {Arm(kRetry, 5)}), Fail(B, kUnreachable, {Arm(kRetry, 10)}),
                  Due(kRetry, {}, {Go(B)})}},
        PageCase{"changing_the_delay_drops_what_is_pending",
                 5,
                 {Fail(A, kUnreachable, {Arm(kRetry, 5)}), Settings(0, {Disarm(kRetry)}),
                  Due(kRetry, {}, {}), Fail(A, kUnreachable, {})}},
        PageCase{"a_failure_without_an_address_is_not_retried",
                 5,
                 {Start(A, {Arm(kLoad, kTimeout)}), Fail({}, kUnreachable, {Disarm(kLoad)})}}),
    [](const testing::TestParamInfo<PageCase>& info) { return TestName(info.param.name); });

// What a failed load shows and where the screen stands after a load.
INSTANTIATE_TEST_SUITE_P(
    Failures, PageLoad,
    testing::Values(
        PageCase{"box_only_for_an_address_the_program_asked_for_and_the_engine_refused",
                 5,
                 {Program(A), Start(A, {Arm(kLoad, kTimeout)}),
                  Fail(A, kRefused, {Disarm(kLoad), Box(A)}), Start(B, {Arm(kLoad, kTimeout)}),
                  Fail(B, kRefused, {Disarm(kLoad)})}},
        PageCase{"the_program_asks_no_longer_once_its_page_arrived",
                 5,
                 {Program(A), Start(A, {Arm(kLoad, kTimeout)}), Commit(),
                  Fail(A, kRefused, {Disarm(kLoad)})}},
        PageCase{"an_unreachable_address_of_the_program_is_retried_without_a_box",
                 5,
                 {Program(A), Start(A, {Arm(kLoad, kTimeout)}),
                  Fail(A, kUnreachable, {Disarm(kLoad), Arm(kRetry, 5)})}},
        PageCase{"a_replaced_load_did_not_fail",
                 5,
                 {Program(A), Start(A, {Arm(kLoad, kTimeout)}), Fail(A, kReplaced, {Disarm(kLoad)}),
                  Finish(A, {Shown(A)}), Fail(B, kRefused, {Box(B)})}},
        PageCase{
            "a_failed_load_shows_the_error_page_not_the_page",
            5,
            {Start(A, {Arm(kLoad, kTimeout)}),
             Fail(A, kUnreachable, {Disarm(kLoad), Arm(kRetry, 5)}), Finish(A, {}), ErrorPage(A)}},
        PageCase{"a_silent_server_fails_as_a_timeout_and_is_retried",
                 5,
                 {Heading(A), Start({}, {Arm(kLoad, kTimeout)}), Due(kLoad, {}, {TimedOut(A)}),
                  Fail(A, kUnreachable, {Arm(kRetry, 5)}), Due(kLoad, {}, {})}},
        PageCase{"a_finished_load_ends_its_timeout",
                 5,
                 {Program(A), Start(A, {Arm(kLoad, kTimeout)}),
                  Finish(A, {Disarm(kLoad), Shown(A)}), Due(kLoad, {}, {})}}),
    [](const testing::TestParamInfo<PageCase>& info) { return TestName(info.param.name); });

// A hung page never holds the browser: the program's navigation ends it, and one left hung
// for the patience is reloaded once, then given up for the blank page.
INSTANTIATE_TEST_SUITE_P(
    Hang, PageLoad,
    testing::Values(
        PageCase{"a_tap_on_a_live_page_ends_nothing", 0, {Program(A, {})}},
        PageCase{"a_tap_on_a_hung_page_ends_its_process",
                 0,
                 {Unresponsive({Arm(kPatience, 15)}), Program(A, {End(), Disarm(kPatience)}),
                  Due(kPatience, A, {})}},
        PageCase{"a_tap_held_up_by_a_hang_found_later_goes_ahead",
                 0,
                 {Program(A, {}), Unresponsive({End(), Go(A)}), Due(kPatience, A, {})}},
        PageCase{"a_hang_after_the_tap_reached_its_page_waits",
                 0,
                 {Program(A, {}), Commit(), Unresponsive({Arm(kPatience, 15)}), Unresponsive({}),
                  Due(kPatience, A, {End(), Go(A)})}},
        PageCase{"a_page_that_answers_again_is_left_alone",
                 0,
                 {Unresponsive({Arm(kPatience, 15)}), Responsive({Disarm(kPatience)}),
                  Due(kPatience, A, {}), Program(A, {})}},
        PageCase{"hung_for_the_whole_patience_is_reloaded",
                 0,
                 {Unresponsive({Arm(kPatience, 15)}), Due(kPatience, A, {End(), Go(A)})}},
        PageCase{"a_hung_page_with_no_address_reloads_the_blank_page",
                 0,
                 {Unresponsive({Arm(kPatience, 15)}), Due(kPatience, {}, {End(), Go(kBlank)})}},
        PageCase{
            "hung_again_after_the_reload_goes_blank",
            0,
            {Unresponsive({Arm(kPatience, 15)}), Due(kPatience, A, {End(), Go(A)}), Responsive({}),
             Unresponsive({Arm(kPatience, 15)}), Due(kPatience, A, {End(), Go(kBlank)})}},
        PageCase{"a_tap_gives_the_next_page_its_own_reload",
                 0,
                 {Unresponsive({Arm(kPatience, 15)}), Due(kPatience, A, {End(), Go(A)}),
                  Unresponsive({Arm(kPatience, 15)}), Program(B, {End(), Disarm(kPatience)}),
                  Unresponsive({Arm(kPatience, 15)}), Due(kPatience, B, {End(), Go(B)})}},
        PageCase{"after_going_blank_the_next_hang_is_reloaded_again",
                 0,
                 {Unresponsive({Arm(kPatience, 15)}), Due(kPatience, A, {End(), Go(A)}),
                  Unresponsive({Arm(kPatience, 15)}), Due(kPatience, A, {End(), Go(kBlank)}),
                  Unresponsive({Arm(kPatience, 15)}), Due(kPatience, kBlank, {End(), Go(kBlank)})}},
        PageCase{"a_late_timer_after_the_tap_does_nothing",
                 0,
                 {Unresponsive({Arm(kPatience, 15)}), Program(A, {End(), Disarm(kPatience)}),
                  Due(kPatience, A, {})}},
        PageCase{"the_process_ending_drops_the_patience_and_the_load_timeout",
                 0,
                 {Start(A, {Arm(kLoad, kTimeout)}), Unresponsive({Arm(kPatience, 15)}),
                  Ended({Disarm(kPatience), Disarm(kLoad)}), Due(kPatience, A, {})}}),
    [](const testing::TestParamInfo<PageCase>& info) { return TestName(info.param.name); });

// A dead engine process is replaced and its page loaded again, until the third death within
// a minute gives up; the count then starts over. One the program ended is no death.
std::vector<Step> Deaths(std::vector<std::pair<int, bool>> deaths) {
  std::vector<Step> steps;
  for (const auto& [at, reloads] : deaths)
    steps.push_back(Crash(at, A, reloads ? TPageCommands{Go(A)} : TPageCommands{GiveUp()}));
  return steps;
}

INSTANTIATE_TEST_SUITE_P(
    Crash, PageLoad,
    testing::Values(
        PageCase{"one", 0, Deaths({{0, true}})},
        PageCase{"three_quickly", 0, Deaths({{0, true}, {1, true}, {2, false}})},
        PageCase{"third_just_inside_the_minute", 0, Deaths({{0, true}, {30, true}, {59, false}})},
        PageCase{"first_has_aged_out", 0, Deaths({{0, true}, {30, true}, {60, true}})},
        PageCase{"spread_over_hours", 0,
                 Deaths({{0, true}, {100, true}, {200, true}, {300, true}})},
        PageCase{"count_starts_over", 0,
                 Deaths({{0, true}, {1, true}, {2, false}, {3, true}, {4, true}, {5, false}})},
        PageCase{"ended_by_the_program_is_no_death", 0,
                 Join({{Ended({}), Ended({}), Ended({})}, Deaths({{0, true}})})},
        PageCase{"a_dead_process_with_no_address_reloads_the_blank_page",
                 0,
                 {Crash(0, {}, {Go(kBlank)})}},
        PageCase{"giving_up_drops_the_pending_retry",
                 5,
                 {Fail(A, kUnreachable, {Arm(kRetry, 5)}), Crash(0, A, {Go(A)}),
                  Unresponsive({Arm(kPatience, 15)}), Crash(1, A, {Disarm(kPatience), Go(A)}),
                  Crash(2, A, {Disarm(kRetry), GiveUp()}), Due(kRetry, {}, {})}}),
    [](const testing::TestParamInfo<PageCase>& info) { return TestName(info.param.name); });

}  // namespace

namespace {

// The counts an operator watches, one each per load however often a backend reports its end.
TEST(PageLoadCounts, EachLoadCountsOnceByOutcomeAndKind) {
  fw::TMetrics metrics;
  metrics.Tapped("clinic", true);
  fw::TPageLoad load({.RetryDelay = 5s, .LoadTimeout = std::chrono::seconds(kTimeout)});
  load.CountInto(&metrics);
  const auto count = [&](const std::string& series) {
    const std::string text = metrics.Exposition();
    std::string line = "\n";
    line.append(fw::TMetrics::Prefix).append(series).append(" ");
    const std::size_t at = text.find(line);
    return at == std::string::npos
               ? std::string("missing")
               : text.substr(at + line.size(),
                             text.find('\n', at + line.size()) - (at + line.size()));
  };
  const auto ignore = [](const TPageCommands&) {};

  ignore(load.LoadStarted(kBlank));  // the blank document under the splash
  ignore(load.Finished(kBlank));
  ignore(load.LoadStarted(A));
  ignore(load.Finished(A));  // navigation complete, then document complete
  ignore(load.Finished(A));
  ignore(load.LoadStarted(A));
  ignore(load.LoadFailed(A, kReplaced));
  ignore(load.LoadStarted(A));
  ignore(load.LoadFailed(A, kUnreachable, fw::TFailureKind::Refused));
  ignore(load.Finished(A));
  ignore(load.TimerDue(kRetry, A));
  ignore(load.LoadStarted(A));
  load.ServerAnswered(503);
  ignore(load.Finished(A));
  ignore(load.ProcessGone(fw::TProcessEnd::Crashed, A, {}));
  ignore(load.ProcessGone(fw::TProcessEnd::EndedByProgram, A, {}));

  EXPECT_EQ(count("page_loads_total{button=\"clinic\",outcome=\"loaded\"}"), "1");
  EXPECT_EQ(count("page_loads_total{button=\"clinic\",outcome=\"failed\"}"), "2");
  EXPECT_EQ(count("load_failures_total{kind=\"refused\"}"), "1");
  EXPECT_EQ(count("load_failures_total{kind=\"http_error\"}"), "1");
  EXPECT_EQ(count("load_failures_total{kind=\"other\"}"), "0") << "a replaced load is none";
  EXPECT_EQ(count("load_retries_total"), "1");
  EXPECT_EQ(count("web_process_crashes_total"), "1");
}

}  // namespace
