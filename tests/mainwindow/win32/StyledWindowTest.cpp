#include <iomanip>
#include <sstream>

#include "tests/mainwindow/win32/Form12Fixture.h"
#include "tests/support/win32/ScreenCapture.h"
#include "tests/support/win32/ScriptedRun.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

std::string Hex(std::uint32_t rgb) {
  std::ostringstream out;
  out << "#" << std::hex << std::uppercase << std::setw(6) << std::setfill('0') << rgb;
  return out.str();
}

// The start-up block selects the embedded dark style before the window is built.
class StyledWindow : public Form12Fixture {
 protected:
  // Shows the window and keeps the pointer off every button.
  void Show() {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    MoveTo({GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5});
  }
};

TEST_F(StyledWindow, DarkBackgroundsAndASilverSplashCaption) {
  std::uint32_t paneFree = 0, formCorner = 0;
  int silver = 0, yellow = 0;
  RunWithScript(application, [&] {
    Show();
    // Read until the painting matches, or the time is up and the last reading is the verdict.
    PumpUntil([&] {
      const ScreenCapture pane = CaptureWindow(WindowOf(Form12->SplitView1));
      paneFree = pane.At(pane.Width() / 2, pane.Height() - 20);
      formCorner = CaptureWindow(WindowOf(Form12)).At(2, 2);
      const ScreenCapture splash = CaptureWindow(WindowOf(Form12->PanelZastava));
      silver = splash.Count(0xC0C0C0);
      yellow = splash.Count(0xFFFF00);
      return paneFree == 0x1A1A1A && formCorner == 0x1A1A1A && silver > 200 && yellow == 0;
    });
    application.Terminate();
  });
  EXPECT_EQ(Hex(paneFree), "#1A1A1A");
  EXPECT_EQ(Hex(formCorner), "#1A1A1A");
  EXPECT_GT(silver, 200) << "the caption's strokes are silver";
  EXPECT_EQ(yellow, 0) << "the layout's yellow gives way to the style";
}

TEST_F(StyledWindow, ButtonsAreFlatWithAWhiteBorderAndFocusedOnesLighter) {
  std::uint32_t normalBorder = 0, normalBorderInner = 0, normalLeft = 0, normalFace = 0,
                focusedFace = 0, focusedBorder = 0;
  bool focused = false;
  RunWithScript(application, [&] {
    Show();
    // Each look is read until it matches, or the time is up and the last reading is the verdict.
    PumpUntil([&] {
      const ScreenCapture normal = CaptureWindow(WindowOf(Form12->Button2));
      normalBorder = normal.At(normal.Width() / 2, 0);
      normalBorderInner = normal.At(normal.Width() / 2, 1);
      normalLeft = normal.At(1, normal.Height() / 2);  // the caption is wider than this button
      normalFace = normal.At(3, 3);
      return normalBorder == 0xFFFFFF && normalBorderInner == 0xFFFFFF && normalLeft == 0xFFFFFF &&
             normalFace == 0x1A1A1A;
    });
    Form12->Button1->SetFocus();
    PumpUntil([&] {
      focused = Form12->Button1->Focused();
      const ScreenCapture look = CaptureWindow(WindowOf(Form12->Button1));
      focusedBorder = look.At(0, 0);
      focusedFace = look.At(3, 3);
      return focused && focusedFace == 0x5E5E5E && focusedBorder == 0xF8F8F8;
    });
    application.Terminate();
  });
  EXPECT_EQ(Hex(normalBorder), "#FFFFFF");
  EXPECT_EQ(Hex(normalBorderInner), "#FFFFFF") << "two pixels wide";
  EXPECT_EQ(Hex(normalLeft), "#FFFFFF") << "a long caption stays inside the border";
  EXPECT_EQ(Hex(normalFace), "#1A1A1A") << "a transparent face shows the background";
  ASSERT_TRUE(focused);
  EXPECT_EQ(Hex(focusedFace), "#5E5E5E");
  EXPECT_EQ(Hex(focusedBorder), "#F8F8F8");
}

}  // namespace
