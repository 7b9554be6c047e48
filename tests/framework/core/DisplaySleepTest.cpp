#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/core/DisplaySleep.h"
#include "framework/core/EventLog.h"
#include "tests/support/ManualApplication.h"

namespace {

using namespace std::chrono_literals;
using fw::TInputEdge;
using fw::TInputSource;

constexpr int kDay = 24 * 60;

// A manual application whose wall clock runs with its steady one from a Monday's midnight
// (coordinated time as the local time), and that records what it asks of the display.
class DisplayApplication : public ManualApplication {
 public:
  std::chrono::system_clock::time_point wallStart =
      std::chrono::system_clock::time_point{} + std::chrono::days(4 + 7 * 2900);
  std::string switches;  // "off on off ..."
  std::string changes;   // what the program was told

  std::chrono::system_clock::time_point WallNow() const override {
    return wallStart +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(now.time_since_epoch());
  }
  fw::TWeekMinute LocalMinute(std::chrono::system_clock::time_point at) const override {
    const auto minutes =
        std::chrono::floor<std::chrono::minutes>(at - wallStart).count() % fw::kMinutesPerWeek;
    return static_cast<fw::TWeekMinute>(minutes);
  }

 protected:
  void SwitchDisplay(bool on) override { switches += on ? "on " : "off "; }
};

struct Step {
  enum Kind { Wait, Press, Release, Key, Move, Page, Splash } kind;
  int amount = 0;                  // seconds to wait; the pointer's x for Move
  bool claimed = false;            // what InputArrived returns for a press or release
  const char* switches = nullptr;  // the display's switches so far, after this step
};

struct SleepCase {
  const char* name;
  int offAfter;
  const char* hours;
  bool idleReset;
  int startMinute;  // of the week, where the wall clock starts
  std::vector<Step> steps;
};

void RunCase(const SleepCase& c) {
  DisplayApplication app;
  app.now += std::chrono::minutes(c.startMinute);
  fw::TDisplaySleep::TRules rules;
  rules.OffAfter = std::chrono::seconds(c.offAfter);
  rules.Hours = *fw::TDisplayHours::Parse(c.hours).Hours;
  rules.IdleReset = c.idleReset;
  app.WatchDisplay(rules, [&](bool off) { app.changes += off ? "off " : "on "; });
  int index = 0;
  for (const Step& step : c.steps) {
    ++index;
    bool claimed = false;
    switch (step.kind) {
      case Step::Wait:
        app.Wait(std::chrono::seconds(step.amount));
        break;
      case Step::Press:
        claimed = app.InputArrived(TInputEdge::Press, TInputSource::Button(fw::kLeftButton));
        break;
      case Step::Release:
        claimed = app.InputArrived(TInputEdge::Release, TInputSource::Button(fw::kLeftButton));
        break;
      case Step::Key:
        claimed = app.InputArrived(TInputEdge::Press, TInputSource::Key(36));
        EXPECT_EQ(app.InputArrived(TInputEdge::Release, TInputSource::Key(36)), claimed);
        break;
      case Step::Move:
        app.PointerAt({step.amount, 10});
        break;
      case Step::Page:
        app.ScreenShows(fw::TScreenShows::Page, "http://127.0.0.1/");
        break;
      case Step::Splash:
        app.ScreenShows(fw::TScreenShows::Splash);
        break;
    }
    if (step.kind == Step::Press || step.kind == Step::Release || step.kind == Step::Key) {
      EXPECT_EQ(claimed, step.claimed) << c.name << ", step " << index;
    }
    if (step.switches) {
      EXPECT_EQ(app.switches, step.switches) << c.name << ", step " << index;
    }
  }
  EXPECT_EQ(app.changes, app.switches) << c.name;
  EXPECT_EQ(app.Metrics().Screen() == fw::TScreenState::DisplayOff, app.DisplayOff()) << c.name;
}

TEST(DisplaySleep, GoesOffWhenNobodyIsThereAndTheWakingPressGoesNoFurther) {
  using S = Step;
  const SleepCase cases[] = {
      {"the splash after start, then a tap",
       60,
       "",
       true,
       10 * 60,
       {{S::Wait, 59, false, ""},
        {S::Wait, 1, false, "off "},
        {S::Move, 300, false, "off "},  // a pointer that moves wakes nothing
        {S::Press, 0, true, "off on "},
        {S::Release, 0, true},
        {S::Press, 0, false},  // the next tap is the visitor's again
        {S::Release, 0, false},
        {S::Wait, 60, false, "off on off "}}},
      {"a page holds it on until the idle reset brings the splash back",
       60,
       "",
       true,
       10 * 60,
       {{S::Press, 0, false},
        {S::Release, 0, false},
        {S::Page},
        {S::Wait, 600, false, ""},
        {S::Splash},
        {S::Wait, 59, false, ""},
        {S::Wait, 1, false, "off "},
        {S::Key, 0, true, "off on "}}},
      {"with no idle reset, quiet input is enough, a page or not",
       60,
       "",
       false,
       10 * 60,
       {{S::Page},
        {S::Wait, 30},
        {S::Move, 5},  // the pointer moved: someone is there
        {S::Wait, 59, false, ""},
        {S::Wait, 1, false, "off "}}},
      {"a held button holds it on",
       60,
       "",
       false,
       10 * 60,
       {{S::Press, 0, false},
        {S::Wait, 300, false, ""},
        {S::Release},
        {S::Wait, 60, false, "off "}}},
      {"zero: never off inside the hours", 0, "", false, 10 * 60, {{S::Wait, 86400, false, ""}}},
      {"the hours: off at the closing whatever the input, on at the opening",
       0,
       "Mo-Fr 08:00-20:00",
       true,
       19 * 60 + 59,
       {{S::Page},
        {S::Wait, 30},
        {S::Press, 0, false},
        {S::Release, 0, false},
        {S::Wait, 30, false, "off "},
        {S::Wait, 12 * 3600 - 1, false, "off "},
        {S::Wait, 1, false, "off on "}}},
      {"a tap outside the hours wakes it for a while; input keeps it on",
       120,
       "Mo-Fr 08:00-20:00",
       true,
       22 * 60,
       {{S::Wait, 1, false, "off "},
        {S::Press, 0, true, "off on "},
        {S::Release, 0, true},
        {S::Wait, 100},
        {S::Press, 0, false},
        {S::Release, 0, false},
        {S::Wait, 119, false, "off on "},
        {S::Wait, 1, false, "off on off "}}},
      {"woken outside the hours with no idle sleep: five minutes",
       0,
       "Mo 08:00-20:00",
       true,
       kDay + 60,
       {{S::Key, 0, true, "off on "},
        {S::Wait, 299, false, "off on "},
        {S::Wait, 1, false, "off on off "}}},
  };
  for (const SleepCase& c : cases) RunCase(c);
}

// A key held as the hours end is released while the display is off: the idle watch must not
// wait for that release for ever.
TEST(DisplaySleep, AReleaseWhileOffStillEndsTheIdleWatchsHold) {
  DisplayApplication app;
  app.now += std::chrono::minutes(20 * 60 - 1);
  fw::TDisplaySleep::TRules rules;
  rules.Hours = *fw::TDisplayHours::Parse("Mo 08:00-20:00").Hours;
  app.WatchDisplay(rules, nullptr);
  bool idle = false;
  app.WatchIdle(120s, [&] { idle = true; });
  EXPECT_FALSE(app.InputArrived(TInputEdge::Press, TInputSource::Key(50)));
  app.Wait(60s);
  ASSERT_TRUE(app.DisplayOff());
  EXPECT_TRUE(app.InputArrived(TInputEdge::Release, TInputSource::Key(50)));
  app.Wait(121s);
  EXPECT_TRUE(idle);
}

TEST(DisplaySleep, TheLogAndTheIdleWarningSeeTheDisplayGoOff) {
  struct Sink : fw::TLogSink {
    std::vector<std::string> lines;
    void Write(const fw::TEventText& event, std::string_view detail) override {
      lines.push_back(fw::EventLine(event.Event, detail));
    }
  } sink;
  fw::SetLogSink(&sink);
  DisplayApplication app;
  bool warningEnded = false;
  fw::TApplication::TIdleWatch watch;
  watch.Timeout = 120s;
  watch.Warning = 60s;
  watch.OnWarningEnd = [&] { warningEnded = true; };
  fw::TDisplaySleep::TRules rules;
  rules.OffAfter = 90s;
  rules.IdleReset = false;
  app.WatchDisplay(rules, nullptr);
  app.WatchIdle(watch);
  app.Wait(89s);
  EXPECT_TRUE(app.IdleWarningShown());
  app.Wait(2s);  // nobody would see the warning any more
  fw::SetLogSink(nullptr);
  EXPECT_TRUE(app.DisplayOff());
  EXPECT_TRUE(warningEnded);
  EXPECT_FALSE(app.IdleWarningShown());
  EXPECT_EQ(app.Metrics().Screen(), fw::TScreenState::DisplayOff);
  ASSERT_FALSE(sink.lines.empty());
  EXPECT_EQ(sink.lines.back(), "The display was switched off: nobody used the kiosk");
}

}  // namespace
