#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "framework/win32/AudioSessions.h"
#include "framework/win32/PlatformApplication.h"
#include "mainwindow/IdleReset.h"
#include "mainwindow/Unit12.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_win32;
using fw::win32::WindowOf;
using Clock = std::chrono::steady_clock;

// The build resets after IDLE_RESET_SECONDS, warning for the last IDLE_WARNING_SECONDS.
constexpr auto kTimeout = std::chrono::seconds(IDLE_RESET_SECONDS);
constexpr auto kWarning = std::chrono::seconds(IDLE_WARNING_SECONDS);
// Room for the start of a window or of a sound poll.
constexpr auto kSlack = 3s;

bool SplashShows() { return IsWindowVisible(WindowOf(Form12->PanelZastava)) != FALSE; }
bool WarningShows() {
  return Form12->PanelIdleWarning && IsWindowVisible(WindowOf(Form12->PanelIdleWarning));
}
HWND BrowserWindow() { return WindowOf(Form12->WebBrowser1); }

// The count the warning shows, or 0 when its text is not the warning's.
int CountShown() {
  const std::string text = fw::win32::Narrow(TextOf(WindowOf(Form12->PanelIdleWarning)));
  for (int n = 1; n <= kWarning.count(); ++n)
    if (text == IdleWarningText(n)) return n;
  return 0;
}

std::size_t RequestsTo(const LoopbackHttpServer& clinic) {
  return clinic.ReceivedRequests().size();
}

// Counts the left-button presses and releases a window's procedure gets, while alive.
struct ButtonMessages {
  HWND window;
  WNDPROC original;
  int count = 0;

  explicit ButtonMessages(HWND w)
      : window(w), original(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC))) {
    SetPropW(window, L"ButtonMessages", this);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  }
  ~ButtonMessages() {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(window, L"ButtonMessages");
  }
  ButtonMessages(const ButtonMessages&) = delete;
  ButtonMessages& operator=(const ButtonMessages&) = delete;

  static LRESULT CALLBACK Procedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<ButtonMessages*>(GetPropW(w, L"ButtonMessages"));
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) ++self->count;
    return CallWindowProcW(self->original, w, message, wParam, lParam);
  }
};

TEST(IdleWarning, CoversTheBrowserCountsDownAndTheInputThatEndsItGoesNoFurther) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  auto script = [&] {
    HWND button = WindowOf(Form12->Button1);
    // The first click goes to a window that has settled in front; before that it can be lost.
    HWND form = WindowOf(Form12);
    ASSERT_TRUE(PumpUntil([&] {
      SetForegroundWindow(form);
      return IsZoomed(form) && GetForegroundWindow() == form;
    }));
    ClickAt(CentreOf(button));
    ASSERT_TRUE(PumpUntil([&] { return RequestsTo(clinic) == 1; }));
    ASSERT_EQ(GetFocus(), button);
    const bool barShown = IsWindowVisible(WindowOf(Form12->AppBar)) != FALSE;
    auto lastInput = Clock::now();
    EXPECT_EQ(Form12->PanelIdleWarning, nullptr);  // the window tree is as it was until then

    ASSERT_TRUE(PumpUntil(WarningShows, kTimeout + kSlack));
    EXPECT_GE(Clock::now() - lastInput, kTimeout - kWarning - 500ms);
    HWND panel = WindowOf(Form12->PanelIdleWarning);
    EXPECT_EQ(GetParent(panel), form);
    EXPECT_EQ(BoundsOf(panel), BoundsOf(BrowserWindow()));
    EXPECT_EQ(ChildrenTopDown(form).front(), panel);
    const int first = CountShown();
    EXPECT_GE(first, kWarning.count() - 1) << fw::win32::Narrow(TextOf(panel));
    EXPECT_TRUE(PumpUntil([&] { return CountShown() == first - 1; }, 2s));

    // Space would press the focused button and open the clinic again; the one that ends the
    // warning does not, the next one does.
    PressKey(VK_SPACE);
    EXPECT_TRUE(PumpUntil([] { return !WarningShows(); }, 2s));
    PressKey(VK_SPACE);
    EXPECT_TRUE(PumpUntil([&] { return RequestsTo(clinic) >= 2; }));

    // A click on the warning reaches neither the warning nor the window under it, press or
    // release; the next click there does. Both are watched from before the first click, and
    // the second click's press and release are the only ones the window under it hears.
    const POINT point = CentreOf(BrowserWindow());
    ButtonMessages under(WindowFromPoint(point));
    ASSERT_TRUE(PumpUntil(WarningShows, kTimeout + kSlack));
    // A whole idle time after the two presses: a request the first press made has landed.
    EXPECT_EQ(RequestsTo(clinic), 2u);
    ASSERT_EQ(WindowFromPoint(point), panel);
    ButtonMessages onPanel(panel);
    ClickAt(point);
    EXPECT_TRUE(PumpUntil([] { return !WarningShows(); }, 2s));
    ASSERT_EQ(WindowFromPoint(point), under.window);
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(IsWindowVisible(WindowOf(Form12->AppBar)) != FALSE, barShown);
    ClickAt(point);
    EXPECT_TRUE(PumpUntil([&] { return under.count >= 2; }, 2s));
    EXPECT_EQ(onPanel.count, 0);
    EXPECT_EQ(under.count, 2);
    lastInput = Clock::now();

    // Without input the warning runs out into the reset.
    ASSERT_TRUE(PumpUntil(WarningShows, kTimeout + kSlack));
    EXPECT_TRUE(PumpUntil(SplashShows, kWarning + kSlack));
    EXPECT_FALSE(WarningShows());
    EXPECT_GE(Clock::now() - lastInput, kTimeout - 500ms);
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
}

std::atomic<bool> playing = false;
bool PageSound() { return playing; }

TEST(IdleWarning, SoundEndsTheWarningAndHoldsTheResetOffUntilItStops) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  auto script = [&] {
    auto& application = dynamic_cast<fw::win32::PlatformApplication&>(*fw::Application);
    // The program asks the audio sessions; here they answer, and nothing plays.
    ASSERT_EQ(application.SoundProbe(), &fw::win32::ThisProcessPlaysSound);
    EXPECT_FALSE(fw::win32::ThisProcessPlaysSound());
    application.SetSoundProbe(PageSound);

    ClickAt(CentreOf(WindowOf(Form12->Button1)));
    ASSERT_TRUE(PumpUntil([&] { return RequestsTo(clinic) == 1; }));
    ASSERT_TRUE(PumpUntil(WarningShows, kTimeout + kSlack));
    playing = true;
    EXPECT_TRUE(PumpUntil([] { return !WarningShows(); }, kSlack));
    EXPECT_FALSE(PumpUntil([] { return WarningShows() || SplashShows(); }, 2 * kTimeout))
        << "the spell ended while the page played sound";

    playing = false;
    const auto stopped = Clock::now();
    EXPECT_TRUE(PumpUntil(WarningShows, kTimeout + kSlack));
    EXPECT_TRUE(PumpUntil(SplashShows, kWarning + kSlack));
    EXPECT_GE(Clock::now() - stopped, kTimeout - 500ms);
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
}

}  // namespace
