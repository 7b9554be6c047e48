#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "framework/core/StyleManager.h"
#include "framework/core/StyleRules.h"
#include "framework/win32/PlatformApplication.h"
#include "mainwindow/Unit12.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_win32;
using fw::win32::WindowOf;

// What the program asked of the monitors' power (Wine does nothing with it).
std::vector<LPARAM>& PowerAsked() {
  static std::vector<LPARAM> asked;
  return asked;
}
void RecordMonitorPower(HWND, LPARAM state) { PowerAsked().push_back(state); }

bool SplashShows() { return IsWindowVisible(WindowOf(Form12->PanelZastava)) != FALSE; }
bool Covered() {
  return Form12->PanelDisplayOff && IsWindowVisible(WindowOf(Form12->PanelDisplayOff));
}

// Hours that leave out the present hour whatever it is: three open ones from an hour on.
fw::TDisplayHours ClosedNow() {
  const std::time_t now = std::time(nullptr);
  const int hour = std::localtime(&now)->tm_hour;
  char text[32];
  std::snprintf(text, sizeof text, "Mo-Su %02d:00-%02d:00", (hour + 1) % 24, (hour + 4) % 24);
  return *fw::TDisplayHours::Parse(text).Hours;
}

void WatchThePower() {
  PowerAsked().clear();
  static_cast<fw::win32::PlatformApplication*>(fw::Application)
      ->SetMonitorPower(RecordMonitorPower);
}

// The black lies over the pane's buttons: the tap that wakes the display lands on it.
void ExpectBlackOverTheButtons() {
  HWND cover = WindowOf(Form12->PanelDisplayOff);
  EXPECT_EQ(WindowFromPoint(CentreOf(WindowOf(Form12->Button1))), cover);
  const fw::TColor colour =
      fw::BackgroundColorOf(*Form12->PanelDisplayOff, fw::TStyleManager::ActiveStyle());
  EXPECT_EQ(colour, fw::clBlack);
}

TEST(DisplaySleep, OutsideTheHoursTheWindowIsBlackAndTheWakingTapOpensNothing) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  auto script = [&] {
    WatchThePower();
    Form12->UseDisplaySleep(0s, ClosedNow());
    ASSERT_TRUE(Covered());
    EXPECT_EQ(PowerAsked(), std::vector<LPARAM>{2});
    ExpectBlackOverTheButtons();

    ClickAt(CentreOf(WindowOf(Form12->Button1)));
    EXPECT_TRUE(PumpUntil([] { return !Covered(); }, 5s));
    EXPECT_EQ(PowerAsked(), (std::vector<LPARAM>{2, -1}));
    PumpFor(2s);
    EXPECT_TRUE(clinic.ReceivedRequests().empty()) << "the waking tap reached the button";
    EXPECT_TRUE(SplashShows());

    ClickAt(CentreOf(WindowOf(Form12->Button1)));
    EXPECT_TRUE(PumpUntil([&] { return !clinic.ReceivedRequests().empty(); }));
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
}

// Escape would show the app bar: the key that wakes the display does nothing of the kind.
TEST(DisplaySleep, NobodyThereItGoesOffAndTheWakingKeyGoesNoFurther) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  auto script = [&] {
    WatchThePower();
    Form12->UseDisplaySleep(2s, fw::TDisplayHours());
    PumpFor(1s);
    EXPECT_FALSE(Covered()) << "off before its time";
    EXPECT_TRUE(PumpUntil(Covered, 5s));
    EXPECT_EQ(PowerAsked(), std::vector<LPARAM>{2});
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([] { return !Covered(); }, 5s));
    PumpFor(500ms);
    EXPECT_FALSE(IsWindowVisible(WindowOf(Form12->AppBar))) << "the waking key showed the bar";
    EXPECT_TRUE(SplashShows());
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([] { return IsWindowVisible(WindowOf(Form12->AppBar)) != FALSE; }, 5s));
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
}

}  // namespace
