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
        timer.Input(TInputEdge::Press, e.source, At(e.at));
        break;
      case Event::Release:
        timer.Input(TInputEdge::Release, e.source, At(e.at));
        break;
      case Event::Other:
        timer.Input(TInputEdge::Other, 0, At(e.at));
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
  timer.Input(TInputEdge::Press, kKeyA, At(1));
  EXPECT_EQ(timer.Remaining(At(40)), 30s);
  timer.Input(TInputEdge::Release, kKeyA, At(41));
  EXPECT_EQ(timer.Remaining(At(50)), 21s);
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
  app.InputArrived(TInputEdge::Other, 0);
  app.Wait(29s);
  EXPECT_EQ(idles, 0);
  app.Wait(1s);
  EXPECT_EQ(idles, 1);
}

TEST_F(IdleWatch, AHeldButtonPostponesItUntilReleasedAndAWholeTimeoutLater) {
  Watch(30s);
  app.InputArrived(TInputEdge::Press, 1);
  app.Wait(300s);
  EXPECT_EQ(idles, 0);
  app.InputArrived(TInputEdge::Release, 1);
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

}  // namespace
