#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "tests/soak/ProcessFigures.h"
#include "tests/soak/ProgramDriver.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

// No count above where it was; where a figure is not reported both sides are empty.
bool NoGrowth(const ProcessFigures& before, const ProcessFigures& after) {
  return after.userObjects <= before.userObjects && after.gdiObjects <= before.gdiObjects &&
         after.handles <= before.handles && after.windows <= before.windows &&
         after.gdiTableEntries <= before.gdiTableEntries &&
         after.listedHandles <= before.listedHandles;
}

// What this sees under Wine, which reports no USER or GDI object count and no handle count:
// windows of the process (not menus, icons, cursors or hooks), every GDI object in the
// process's GDI handle table, and every handle of the process in the server's handle list.
// Memory is not checked: it is a figure of `make soak`.
TEST(Soak, TogglesNavigationsAndStrokesLeaveTheCountsWhereTheyWere) {
  ProgramDriver driver;
  ProcessFigures before, after;
  int noEffect = 0;
  bool settled = false;
  EXPECT_EQ(program_script::RunProgramWithScript([&] {
              driver.FocusNavigationButton();
              // One round first: the first page creates the browser's view window and its
              // network session (about 8 handles, 1 window and 1 GDI object under Wine).
              noEffect += driver.Navigate(6) + driver.ToggleByEscape(10) + driver.SwipeOnPane(10);
              before = MeasureThisProcess();
              noEffect +=
                  driver.Navigate(150) + driver.ToggleByEscape(300) + driver.SwipeOnPane(100);
              // The browser closes a page's sockets and events a moment after the page has
              // come; what a leak leaves stays.
              settled = PumpUntil(
                  [&] {
                    after = MeasureThisProcess();
                    return NoGrowth(before, after);
                  },
                  std::chrono::seconds(10));
            }),
            0);
  EXPECT_EQ(noEffect, 0) << "actions that had no effect";
  EXPECT_TRUE(before.gdiObjects || before.gdiTableEntries) << "no GDI figure to compare";
  EXPECT_TRUE(before.handles || before.listedHandles) << "no handle figure to compare";
  EXPECT_TRUE(settled) << "\n"
                       << FiguresHeader() << "\n"
                       << FiguresRow(before) << "  before\n"
                       << FiguresRow(after) << "  after";
}

}  // namespace
