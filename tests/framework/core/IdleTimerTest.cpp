#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/IdleTimer.h"
#include "tests/support/ManualApplication.h"
#include "tests/support/TestNames.h"

namespace {

using namespace std::chrono_literals;
using fw::TIdleTimer;
using fw::TInputEdge;

fw::TInputSource Key(int code) { return fw::TInputSource::Key(static_cast<std::uint32_t>(code)); }
fw::TInputSource Button(int number) {
  return fw::TInputSource::Button(static_cast<std::uint32_t>(number));
}

// One step of a quiet spell: at `at` seconds after the start, something happens.
struct Event {
  enum Kind { Arm, Disarm, Press, Release, Other, Pointer } kind;
  int at;
  int source = 0;  // what is pressed or released; the pointer's x for Pointer
};

struct SpellCase {
  std::string name;
  std::vector<Event> events;
  int notDueAt;  // seconds; -1: not checked
  int dueAt;     // seconds; -1: never due within the case
};

TIdleTimer::Clock::time_point At(int seconds) {
  return TIdleTimer::Clock::time_point{} + 1s * seconds;
}

class IdleSpell : public testing::TestWithParam<SpellCase> {};

TEST_P(IdleSpell, FallsDueOnlyAfterAWholeQuietTimeoutWithNothingHeld) {
  TIdleTimer timer;
  for (const Event& e : GetParam().events) {
    switch (e.kind) {
      case Event::Arm:
        timer.Arm(30s, At(e.at));
        break;
      case Event::Disarm:
        timer.Disarm();
        break;
      case Event::Press:
        timer.Input(TInputEdge::Press, Key(e.source), At(e.at));
        break;
      case Event::Release:
        timer.Input(TInputEdge::Release, Key(e.source), At(e.at));
        break;
      case Event::Other:
        timer.Input(TInputEdge::Other, {}, At(e.at));
        break;
      case Event::Pointer:
        timer.PointerAt({e.source, 7}, At(e.at));
        break;
    }
  }
  const SpellCase& c = GetParam();
  if (c.notDueAt >= 0) {
    EXPECT_FALSE(timer.Due(At(c.notDueAt)));
  }
  if (c.dueAt < 0) {
    EXPECT_FALSE(timer.Due(At(100000)));
    return;
  }
  EXPECT_FALSE(timer.Due(At(c.dueAt) - 1ms));
  EXPECT_TRUE(timer.Due(At(c.dueAt)));
  EXPECT_EQ(timer.Remaining(At(c.dueAt)), 0s);
}

constexpr int kKeyA = 65, kKeyB = 66;

INSTANTIATE_TEST_SUITE_P(
    Rules, IdleSpell,
    testing::Values(
        SpellCase{"never armed, never due", {{Event::Other, 5}}, -1, -1},
        SpellCase{"armed: the spell starts then", {{Event::Other, 0}, {Event::Arm, 10}}, -1, 40},
        SpellCase{"input starts the spell again", {{Event::Arm, 0}, {Event::Other, 20}}, 30, 50},
        SpellCase{"a held key holds it off until released",
                  {{Event::Arm, 0}, {Event::Press, 5, kKeyA}, {Event::Release, 500, kKeyA}},
                  100,
                  530},
        SpellCase{"a repeated press is one hold",
                  {{Event::Arm, 0},
                   {Event::Press, 1, kKeyA},
                   {Event::Press, 2, kKeyA},
                   {Event::Release, 3, kKeyA}},
                  -1,
                  33},
        SpellCase{"one of two holds released: still held",
                  {{Event::Arm, 0},
                   {Event::Press, 1, kKeyA},
                   {Event::Press, 2, kKeyB},
                   {Event::Release, 3, kKeyA}},
                  -1,
                  -1},
        SpellCase{"a hold begun before arming counts",
                  {{Event::Press, 0, kKeyA}, {Event::Arm, 1}},
                  -1,
                  -1},
        SpellCase{"a release never pressed is plain input",
                  {{Event::Arm, 0}, {Event::Release, 10, kKeyB}},
                  -1,
                  40},
        SpellCase{"a pointer that moves is input",
                  {{Event::Arm, 0}, {Event::Pointer, 5, 100}, {Event::Pointer, 20, 101}},
                  -1,
                  50},
        SpellCase{"a pointer reported where it stands is not",
                  {{Event::Arm, 0}, {Event::Pointer, 5, 100}, {Event::Pointer, 20, 100}},
                  -1,
                  35},
        SpellCase{"disarmed, never due", {{Event::Arm, 0}, {Event::Disarm, 10}}, -1, -1},
        SpellCase{"armed again: a new spell",
                  {{Event::Arm, 0}, {Event::Disarm, 10}, {Event::Arm, 50}},
                  -1,
                  80}),
    [](const testing::TestParamInfo<SpellCase>& info) { return TestName(info.param.name); });

TEST(IdleSpellWhileHeld, WaitsAWholeTimeoutBeforeLookingAgain) {
  TIdleTimer timer;
  timer.Arm(30s, At(0));
  timer.Input(TInputEdge::Press, Key(kKeyA), At(1));
  EXPECT_EQ(timer.Remaining(At(40)), 30s);
  timer.Input(TInputEdge::Release, Key(kKeyA), At(41));
  EXPECT_EQ(timer.Remaining(At(50)), 21s);
}

// Windows numbers the left button 1 among its keys: a key's release must not end the button's
// hold, nor the other way round.
TEST(IdleSpellWhileHeld, AKeyAndAButtonOfTheSameNumberAreTwoHolds) {
  TIdleTimer timer;
  timer.Arm(30s, At(0));
  timer.Input(TInputEdge::Press, Key(1), At(1));
  timer.Input(TInputEdge::Press, Button(1), At(2));
  timer.Input(TInputEdge::Release, Key(1), At(3));
  EXPECT_TRUE(timer.Holding());
  timer.Input(TInputEdge::Press, fw::TInputSource::Touch(1), At(4));
  timer.Input(TInputEdge::Release, Button(1), At(5));
  EXPECT_TRUE(timer.Holding()) << "the contact is still down";
  timer.Input(TInputEdge::Release, fw::TInputSource::Touch(1), At(6));
  EXPECT_FALSE(timer.Holding());
}

// The application's watch: a timer exists only while watching, and the handler runs once.
class IdleWatch : public testing::Test {
 protected:
  ManualApplication app;
  int idles = 0;
  void Watch(std::chrono::milliseconds timeout) {
    app.WatchIdle(timeout, [this] { ++idles; });
  }
};

TEST_F(IdleWatch, AZeroTimeoutStartsNoTimer) {
  Watch(0ms);
  EXPECT_FALSE(app.WatchingIdle());
  EXPECT_FALSE(app.timer);
  app.Wait(100000s);
  EXPECT_EQ(idles, 0);
}

TEST_F(IdleWatch, RunsTheHandlerOnceWhenTheSpellEndsAndStopsTheTimer) {
  Watch(30s);
  EXPECT_EQ(app.timer, 30s);
  app.Wait(29s);
  EXPECT_EQ(idles, 0);
  app.Wait(1s);
  EXPECT_EQ(idles, 1);
  EXPECT_FALSE(app.WatchingIdle());
  EXPECT_FALSE(app.timer);
  app.Wait(1000s);
  EXPECT_EQ(idles, 1);
}

TEST_F(IdleWatch, InputPostponesTheHandlerByAWholeTimeout) {
  Watch(30s);
  app.Wait(20s);
  EXPECT_FALSE(app.InputArrived(TInputEdge::Other));
  app.Wait(29s);
  EXPECT_EQ(idles, 0);
  app.Wait(1s);
  EXPECT_EQ(idles, 1);
}

TEST_F(IdleWatch, AHeldButtonPostponesItUntilReleasedAndAWholeTimeoutLater) {
  Watch(30s);
  EXPECT_FALSE(app.InputArrived(TInputEdge::Press, Button(1)));
  app.Wait(300s);
  EXPECT_EQ(idles, 0);
  EXPECT_FALSE(app.InputArrived(TInputEdge::Release, Button(1)));
  app.Wait(29s);
  EXPECT_EQ(idles, 0);
  app.Wait(31s);  // the timer was set for a whole timeout while the button was held
  EXPECT_EQ(idles, 1);
}

TEST_F(IdleWatch, WatchingAgainDoesNotStartTheSpellAgain) {
  Watch(30s);
  app.Wait(20s);
  Watch(30s);
  app.Wait(10s);
  EXPECT_EQ(idles, 1);
}

TEST_F(IdleWatch, StoppedWatchRunsNothing) {
  Watch(30s);
  app.Wait(10s);
  app.StopWatchingIdle();
  EXPECT_FALSE(app.timer);
  app.Wait(1000s);
  EXPECT_EQ(idles, 0);
}

TEST_F(IdleWatch, AFailingHandlerIsShownOnceAndEndsTheWatch) {
  app.WatchIdle(30s, [] { throw std::runtime_error("the cookies stayed"); });
  app.Wait(1000s);
  EXPECT_EQ(app.errors, std::vector<std::string>{"the cookies stayed."});
  EXPECT_FALSE(app.WatchingIdle());
}

// The alarm shares the watch's one timer: each goes off at its own time, input moves only the
// watch, and stopping one leaves the other running.
TEST_F(IdleWatch, AnAlarmAndTheWatchShareTheTimerAndNeitherMovesTheOther) {
  int alarms = 0;
  Watch(30s);
  app.Wait(5s);
  app.SetAlarm(40s, [&] { ++alarms; });
  EXPECT_EQ(app.timer, 25s);  // the watch's end comes first
  app.Wait(20s);
  EXPECT_FALSE(app.InputArrived(TInputEdge::Other));
  app.StopWatchingIdle();
  EXPECT_EQ(app.timer, 20s);  // the alarm is still under way, input or not
  app.Wait(19s);
  EXPECT_EQ(alarms, 0);
  Watch(30s);
  app.Wait(1s);
  EXPECT_EQ(alarms, 1);
  EXPECT_EQ(idles, 0);
  EXPECT_EQ(app.timer, 29s);
  app.Wait(29s);
  EXPECT_EQ(idles, 1);
  EXPECT_EQ(alarms, 1);
  EXPECT_FALSE(app.timer);
}

TEST_F(IdleWatch, AnAlarmSetAgainReplacesTheOneUnderWayAndACancelledOneRunsNothing) {
  std::vector<std::string> rang;
  app.SetAlarm(30s, [&] { rang.push_back("first"); });
  app.Wait(20s);
  app.SetAlarm(30s, [&] { rang.push_back("second"); });
  app.Wait(29s);
  EXPECT_TRUE(rang.empty());
  app.Wait(1s);
  EXPECT_EQ(rang, std::vector<std::string>{"second"});
  EXPECT_FALSE(app.timer);
  app.SetAlarm(30s, [&] { rang.push_back("third"); });
  app.CancelAlarm();
  EXPECT_FALSE(app.timer);
  app.Wait(1000s);
  EXPECT_EQ(rang.size(), 1u);
}

TEST_F(IdleWatch, AFailingAlarmIsShownOnceAndTheWatchGoesOn) {
  Watch(30s);
  app.SetAlarm(10s, [] { throw std::runtime_error("the pad stayed"); });
  app.Wait(30s);
  EXPECT_EQ(app.errors, std::vector<std::string>{"the pad stayed."});
  EXPECT_EQ(idles, 1);
}

}  // namespace

namespace {

using fw::TIdlePhase;

// A spell of 30 s whose last 10 s are the warning, unless the case arms it otherwise.
struct WarningStep {
  enum Kind { Arm, ArmWithWarning, Press, Release, Other, SoundOn, SoundOff } kind;
  int atMs;
  int value = 0;  // the warning in seconds for ArmWithWarning; what is pressed or released
};

struct Expected {
  int atMs;
  TIdlePhase phase;
  int secondsLeft = -1;  // -1: not checked
};

struct WarningCase {
  std::string name;
  std::vector<WarningStep> steps;
  std::vector<Expected> expected;
};

class IdleWarningPhases : public testing::TestWithParam<WarningCase> {};

TEST_P(IdleWarningPhases, FollowInputAndSound) {
  TIdleTimer timer;
  const auto at = [](int ms) { return TIdleTimer::Clock::time_point{} + 1ms * ms; };
  for (const WarningStep& s : GetParam().steps) {
    switch (s.kind) {
      case WarningStep::Arm:
        timer.Arm(30s, 10s, at(s.atMs));
        break;
      case WarningStep::ArmWithWarning:
        timer.Arm(30s, 1s * s.value, at(s.atMs));
        break;
      case WarningStep::Press:
        timer.Input(TInputEdge::Press, Key(s.value), at(s.atMs));
        break;
      case WarningStep::Release:
        timer.Input(TInputEdge::Release, Key(s.value), at(s.atMs));
        break;
      case WarningStep::Other:
        timer.Input(TInputEdge::Other, {}, at(s.atMs));
        break;
      case WarningStep::SoundOn:
        timer.SoundPlaying(true, at(s.atMs));
        break;
      case WarningStep::SoundOff:
        timer.SoundPlaying(false, at(s.atMs));
        break;
    }
  }
  for (const Expected& e : GetParam().expected) {
    SCOPED_TRACE(e.atMs);
    EXPECT_EQ(timer.Phase(at(e.atMs)), e.phase);
    if (e.secondsLeft >= 0) {
      EXPECT_EQ(timer.SecondsLeft(at(e.atMs)), e.secondsLeft);
    }
  }
}

using W = WarningStep;
constexpr auto Q = TIdlePhase::Quiet, Wn = TIdlePhase::Warning, D = TIdlePhase::Due;

INSTANTIATE_TEST_SUITE_P(
    Rules, IdleWarningPhases,
    testing::Values(
        WarningCase{"the last seconds are the warning, counted down",
                    {{W::Arm, 0}},
                    {{19999, Q}, {20000, Wn, 10}, {25500, Wn, 5}, {29999, Wn, 1}, {30000, D}}},
        WarningCase{"input in the quiet spell moves the warning",
                    {{W::Arm, 0}, {W::Other, 15000}},
                    {{34999, Q}, {35000, Wn, 10}, {45000, D}}},
        WarningCase{"input in the warning ends it and starts the spell again",
                    {{W::Arm, 0}, {W::Press, 25000, 1}, {W::Release, 25100, 1}},
                    {{25100, Q}, {45099, Q}, {45100, Wn, 10}, {55100, D}}},
        WarningCase{"sound in the quiet spell holds it off",
                    {{W::Arm, 0}, {W::SoundOn, 5000}},
                    {{1000000, Q}}},
        WarningCase{"sound that stops starts the spell again",
                    {{W::Arm, 0}, {W::SoundOn, 5000}, {W::SoundOff, 100000}},
                    {{119999, Q}, {120000, Wn, 10}, {130000, D}}},
        WarningCase{"sound starting in the warning ends it",
                    {{W::Arm, 0}, {W::SoundOn, 25000}},
                    {{25000, Q}, {1000000, Q}}},
        WarningCase{"sound starting and stopping in the warning: a new spell",
                    {{W::Arm, 0}, {W::SoundOn, 22000}, {W::SoundOff, 24000}},
                    {{24000, Q}, {43999, Q}, {44000, Wn}, {54000, D}}},
        WarningCase{"sound stopping that never played changes nothing",
                    {{W::Arm, 0}, {W::SoundOff, 10000}},
                    {{20000, Wn}, {30000, D}}},
        WarningCase{"sound and a held key: the spell waits for both",
                    {{W::Arm, 0},
                     {W::Press, 5000, 1},
                     {W::SoundOn, 6000},
                     {W::Release, 10000, 1},
                     {W::SoundOff, 50000}},
                    {{49999, Q}, {69999, Q}, {70000, Wn}, {80000, D}}},
        WarningCase{
            "no warning: quiet until due", {{W::ArmWithWarning, 0, 0}}, {{29999, Q}, {30000, D}}},
        WarningCase{"a warning longer than the spell is all of it",
                    {{W::ArmWithWarning, 0, 40}},
                    {{1, Wn, 30}, {30000, D}}}),
    [](const testing::TestParamInfo<WarningCase>& info) { return TestName(info.param.name); });

// The application's watch with a warning, on the hand-moved clock.
class IdleWarningWatch : public testing::Test {
 protected:
  ManualApplication app;
  std::vector<int> counts;
  int ends = 0, idles = 0;
  void SetUp() override {
    app.WatchIdle({.Timeout = 30s,
                   .Warning = 10s,
                   .OnCountdown = [this](int left) { counts.push_back(left); },
                   .OnWarningEnd = [this] { ++ends; },
                   .OnIdle = [this] { ++idles; }});
  }
};

TEST_F(IdleWarningWatch, CountsDownEachSecondThenEndsTheWarningAndRunsTheReset) {
  app.Wait(19999ms);
  EXPECT_TRUE(counts.empty());
  app.Wait(1ms);
  EXPECT_EQ(counts, std::vector<int>{10});
  EXPECT_TRUE(app.IdleWarningShown());
  app.Wait(9999ms);
  EXPECT_EQ(counts, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(idles, 0);
  app.Wait(1ms);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(idles, 1);
  EXPECT_FALSE(app.WatchingIdle());
}

TEST_F(IdleWarningWatch, ThePressThatEndsTheWarningGoesNoFurtherUpToItsRelease) {
  EXPECT_FALSE(app.InputArrived(TInputEdge::Press, Button(1)));  // before the warning: the page's
  EXPECT_FALSE(app.InputArrived(TInputEdge::Release, Button(1)));
  app.Wait(25s);
  ASSERT_EQ(counts, (std::vector<int>{10, 9, 8, 7, 6, 5}));
  counts.clear();
  EXPECT_TRUE(app.InputArrived(TInputEdge::Press, Button(1)));
  EXPECT_FALSE(app.IdleWarningShown());
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(app.InputArrived(TInputEdge::Other));
  EXPECT_TRUE(app.InputArrived(TInputEdge::Release, Button(1)));
  EXPECT_FALSE(app.InputArrived(TInputEdge::Press, Button(1)));  // the next tap is the page's again
  EXPECT_FALSE(app.InputArrived(TInputEdge::Release, Button(1)));
  app.Wait(19999ms);
  EXPECT_TRUE(counts.empty());
  app.Wait(1ms);
  EXPECT_EQ(counts, std::vector<int>{10});
  EXPECT_EQ(idles, 0);
}

TEST_F(IdleWarningWatch, APointerMovingUnderTheWarningNeitherEndsItNorPostponesTheReset) {
  app.PointerAt({1, 1});
  app.Wait(25s);
  app.PointerAt({2, 2});
  EXPECT_TRUE(app.IdleWarningShown());
  app.Wait(5s);
  EXPECT_EQ(idles, 1);
}

TEST_F(IdleWarningWatch, SoundEndsTheWarningAndItsEndStartsAWholeSpell) {
  app.Wait(25s);
  counts.clear();
  app.SoundPlaying(true);
  EXPECT_FALSE(app.IdleWarningShown());
  EXPECT_EQ(ends, 1);
  app.Wait(1000s);
  EXPECT_EQ(idles, 0);
  app.SoundPlaying(false);
  app.Wait(19999ms);
  EXPECT_TRUE(counts.empty());
  app.Wait(1ms);
  EXPECT_EQ(counts, std::vector<int>{10});
  app.Wait(10s);
  EXPECT_EQ(idles, 1);
}

TEST_F(IdleWarningWatch, AReleasedHoldStartsAWholeSpellThen) {
  EXPECT_FALSE(app.InputArrived(TInputEdge::Press, Button(7)));
  app.Wait(100s);
  EXPECT_FALSE(app.InputArrived(TInputEdge::Release, Button(7)));
  app.Wait(19999ms);
  EXPECT_TRUE(counts.empty());
  app.Wait(1ms);
  EXPECT_EQ(counts, std::vector<int>{10});
}

TEST_F(IdleWarningWatch, StoppingTheWatchEndsTheWarning) {
  app.Wait(21s);
  app.StopWatchingIdle();
  EXPECT_EQ(ends, 1);
  app.Wait(100s);
  EXPECT_EQ(idles, 0);
}

}  // namespace
