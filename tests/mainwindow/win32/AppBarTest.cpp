#include <vector>

#include "framework/core/Scaling.h"
#include "tests/mainwindow/win32/Form12Fixture.h"
#include "tests/support/win32/ScriptedRun.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

// The shown window with real keyboard and mouse input.
class AppBar : public Form12Fixture {
 protected:
  bool Shown() const {
    return Form12->AppBar->Visible() && IsWindowVisible(WindowOf(Form12->AppBar));
  }
  HWND Focus() const { return GetFocus(); }
  void ShowWindowAndFocus(fw::TControl* control) {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    SetForegroundWindow(WindowOf(Form12));
    control->SetFocus();
    PumpFor(std::chrono::milliseconds(200));
  }
  // A point in the navigation pane below its buttons.
  POINT PaneFreeArea(int up = 0) const {
    RECT pane;
    GetWindowRect(WindowOf(Form12->SplitView1), &pane);
    return {(pane.left + pane.right) / 2, pane.bottom - 150 - up};
  }
  std::vector<POINT> SwipeUpFrom(POINT start) const {
    std::vector<POINT> points;
    for (int i = 0; i <= 12; ++i) points.push_back({start.x, start.y - 10 * i});
    return points;
  }
  std::vector<POINT> SidewaysFrom(POINT start) const {
    std::vector<POINT> points;
    for (int i = 0; i <= 8; ++i) points.push_back({start.x - 40 + 10 * i, start.y});
    return points;
  }
};

TEST_F(AppBar, EscapeTogglesAndEveryOtherPreviewedKeyHides) {
  std::vector<bool> states;
  RunWithScript(application, [&] {
    ShowWindowAndFocus(Form12->Button1);
    for (auto [key, modifiers] :
         std::vector<std::pair<WORD, std::vector<WORD>>>{{VK_ESCAPE, {}},
                                                         {VK_ESCAPE, {}},  // shown, hidden
                                                         {'A', {}},        // hidden stays hidden
                                                         {VK_ESCAPE, {}},
                                                         {'A', {}},  // shown, a letter hides
                                                         {VK_ESCAPE, {}},
                                                         {VK_F2, {}},  // a function key hides
                                                         {VK_ESCAPE, {}},
                                                         {'7', {}},  // a digit hides
                                                         {VK_ESCAPE, {}},
                                                         {VK_MENU, {}},  // Alt hides
                                                         {VK_ESCAPE, {}},
                                                         {'X', {VK_MENU}}}) {
      PressKey(key, modifiers);
      states.push_back(Shown());
    }
    application.Terminate();
  });
  EXPECT_EQ(states, (std::vector<bool>{true, false, false, true, false, true, false, true, false,
                                       true, false, true, false}));
}

TEST_F(AppBar, DialogKeysMoveTheFocusOrClickAndLeaveTheBarShown) {
  struct Step {
    WORD key;
    std::vector<WORD> modifiers;
    fw::TButton* focusAfter;
    bool shownAfter = true;
  };
  std::vector<std::string> problems;
  bool shownAfterSpace = true;
  std::size_t requestsBeforeSpace = 0;
  RunWithScript(application, [&] {
    ShowWindowAndFocus(Form12->Button1);
    PressKey(VK_ESCAPE);
    const std::vector<Step> steps{
        {VK_TAB, {}, Form12->Button2},
        {VK_DOWN, {}, Form12->Button3},  // tab order, not screen order
        {VK_UP, {}, Form12->Button2},
        // Shift itself is a key that reaches key preview: it hides the bar.
        {VK_TAB, {VK_SHIFT}, Form12->Button1, false},
        {VK_ESCAPE, {}, Form12->Button1},
        {VK_LEFT, {}, Form12->Button6},  // wraps around
        {VK_RIGHT, {}, Form12->Button1}};
    for (const Step& step : steps) {
      PressKey(step.key, step.modifiers);
      if (!step.focusAfter->Focused())
        problems.push_back("focus after key " + std::to_string(step.key));
      if (Shown() != step.shownAfter)
        problems.push_back("bar changed by key " + std::to_string(step.key));
    }
    Form12->Button2->SetFocus();
    PressKey(VK_RETURN);
    if (!PumpUntil([&] { return !server.Requests().empty(); }))
      problems.push_back("Enter did not click");
    if (!Shown()) problems.push_back("bar hidden by Enter");
    requestsBeforeSpace = server.Requests().size();
    Form12->Button1->SetFocus();
    PressKey(VK_SPACE);
    shownAfterSpace = Shown();
    if (!PumpUntil([&] { return server.Requests().size() > requestsBeforeSpace; })) {
      problems.push_back("Space did not click");
    }
    application.Terminate();
  });
  EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
  EXPECT_FALSE(shownAfterSpace) << "Space reaches key preview";
}

TEST_F(AppBar, StrokesOnTakingPartSurfacesToggleOrHideButNotFromButtons) {
  std::vector<std::pair<const char*, bool>> states;
  RunWithScript(application, [&] {
    ShowWindowAndFocus(Form12->Button1);
    auto record = [&](const char* what) { states.emplace_back(what, Shown()); };
    DragThrough(SwipeUpFrom(PaneFreeArea()));
    record("swipe-up on the pane shows");
    DragThrough(SwipeUpFrom(PaneFreeArea()));
    record("again hides");
    ClickAt(PaneFreeArea());
    record("a click changes nothing");
    DragThrough(SwipeUpFrom(CentreOf(WindowOf(Form12->PanelZastava))));
    record("swipe-up on the splash shows");
    DragThrough(SidewaysFrom(PaneFreeArea()));
    record("an unmatched stroke hides");
    DragThrough(SwipeUpFrom(PaneFreeArea()));
    DragThrough(SwipeUpFrom(CentreOf(WindowOf(Form12->Button5))));
    record("a swipe from a button changes nothing");
    DragThrough({PaneFreeArea(), {PaneFreeArea().x, PaneFreeArea().y - 6}});
    record("a short drag changes nothing");
    RECT bar;
    GetWindowRect(WindowOf(Form12->AppBar), &bar);
    DragThrough(SwipeUpFrom({bar.left + 300, bar.bottom - 5}));
    record("a swipe-up on the shown bar hides it");
    application.Terminate();
  });
  const std::vector<std::pair<const char*, bool>> expected{
      {"swipe-up on the pane shows", true},   {"again hides", false},
      {"a click changes nothing", false},     {"swipe-up on the splash shows", true},
      {"an unmatched stroke hides", false},   {"a swipe from a button changes nothing", true},
      {"a short drag changes nothing", true}, {"a swipe-up on the shown bar hides it", false}};
  EXPECT_EQ(states, expected);
}

TEST_F(AppBar, AStrokeWhosePressIsTheSecondOfADoubleClickToggles) {
  bool shownAfterTapAndSwipe = false;
  RunWithScript(application, [&] {
    ShowWindowAndFocus(Form12->Button1);
    const std::vector<POINT> swipe = SwipeUpFrom(PaneFreeArea());
    ClickAt(swipe.front());
    DragThrough(swipe);  // within the double-click time, at the same point
    shownAfterTapAndSwipe = Shown();
    application.Terminate();
  });
  EXPECT_TRUE(shownAfterTapAndSwipe);
}

TEST_F(AppBar, KeysInsideThePageDoNotReachTheWindowWhileStrokesStillDo) {
  bool shownAfterEscape = true, focusInPage = false, shownAfterSwipe = false;
  RunWithScript(application, [&] {
    ShowWindowAndFocus(Form12->Button1);
    ClickAt(CentreOf(WindowOf(Form12->Button1)));  // opens a page
    PumpUntil([&] { return !server.Requests().empty(); });
    PumpFor(std::chrono::milliseconds(500));
    HWND browser = WindowOf(Form12->WebBrowser1);
    HWND page = WindowFromPoint(CentreOf(browser));
    ClickAt(CentreOf(browser));
    // Wine's browser control, having no HTML engine, does not take the focus on a click;
    // put it where a click into the page puts it on Windows.
    if (!IsChild(browser, GetFocus())) SetFocus(page);
    focusInPage = IsChild(browser, GetFocus()) && page != browser;
    PressKey(VK_ESCAPE);
    shownAfterEscape = Shown();
    DragThrough(SwipeUpFrom(PaneFreeArea()));
    shownAfterSwipe = Shown();
    application.Terminate();
  });
  ASSERT_TRUE(focusInPage) << "a click into the page gives it the focus";
  EXPECT_FALSE(shownAfterEscape);
  EXPECT_TRUE(shownAfterSwipe);
}

TEST_F(AppBar, TheBarFollowsResizesAndResolutionChangesAt75PixelsHigh) {
  RECT restored{}, afterDpi{}, pane{};
  HWND top = nullptr;
  // To 144 from the usual screen, back to 96 from a 144 one.
  const int targetDpi = dpi == 96 ? 144 : 96;
  RunWithScript(application, [&] {
    ShowWindowAndFocus(Form12->Button1);
    PressKey(VK_ESCAPE);
    top = GetWindow(WindowOf(Form12), GW_CHILD);
    HWND form = WindowOf(Form12);
    ShowWindow(form, SW_RESTORE);
    SetWindowPos(form, nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
    PumpFor(std::chrono::milliseconds(200));
    restored = BoundsOf(WindowOf(Form12->AppBar));
    RECT suggested{0, 0, 1200, 780};
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(targetDpi, targetDpi),
                 reinterpret_cast<LPARAM>(&suggested));
    PumpFor(std::chrono::milliseconds(200));
    afterDpi = BoundsOf(WindowOf(Form12->AppBar));
    pane = BoundsOf(WindowOf(Form12->SplitView1));
    application.Terminate();
  });
  EXPECT_EQ(top, WindowOf(Form12->AppBar))
      << "a shown bar lies above the splash and everything else";
  EXPECT_EQ(restored, Bounds(0, 625, 1000, 75));
  EXPECT_EQ(afterDpi, Bounds(0, 705, 1200, 75));
  EXPECT_EQ(pane.right - pane.left, fw::MulDiv(200, targetDpi, 96));
  EXPECT_EQ(Form12->PixelsPerInch, targetDpi);
  EXPECT_EQ(Form12->Button1->EffectiveFont().Height, fw::MulDiv(-19, targetDpi, 96));
}

}  // namespace
