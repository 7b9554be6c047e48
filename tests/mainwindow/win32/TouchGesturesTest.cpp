#include <map>
#include <utility>
#include <vector>

#include "framework/win32/TouchGestureConfig.h"
#include "tests/mainwindow/win32/Form12Fixture.h"
#include "tests/support/win32/ScriptedRun.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

// Wine has no touch gestures: what the window asks of a touch screen is recorded in place of
// the system's call.
class TouchGestures : public Form12Fixture {
 protected:
  struct Request {
    HWND window;
    std::map<DWORD, std::pair<DWORD, DWORD>> wantAndBlockById;
  };
  static inline std::vector<Request> requests;
  static BOOL WINAPI Record(HWND window, DWORD, UINT count, PGESTURECONFIG configs, UINT size) {
    EXPECT_EQ(size, sizeof(GESTURECONFIG));
    Request request{window, {}};
    for (UINT i = 0; i < count; ++i)
      request.wantAndBlockById[configs[i].dwID] = {configs[i].dwWant, configs[i].dwBlock};
    requests.push_back(request);
    return TRUE;
  }
  fw::win32::SetGestureConfigCall systemCall = nullptr;

  void SetUp() override {
    requests.clear();
    systemCall = std::exchange(fw::win32::SetGestureConfigFunction, Record);
    Form12Fixture::SetUp();
  }
  void TearDown() override {
    fw::win32::SetGestureConfigFunction = systemCall;
    Form12Fixture::TearDown();
  }
  static void NotifyGesture(HWND window) {
    GESTURENOTIFYSTRUCT info{sizeof info, 0, window, {}, 0};
    const POINT centre = CentreOf(window);
    info.ptsLocation = {static_cast<SHORT>(centre.x), static_cast<SHORT>(centre.y)};
    SendMessageW(window, WM_GESTURENOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  }
};

TEST_F(TouchGestures, PanIsOffAndOnlyPressAndTapIsLeftOnEverySurface) {
  constexpr DWORD kEveryPan = GC_PAN | GC_PAN_WITH_SINGLE_FINGER_VERTICALLY |
                              GC_PAN_WITH_SINGLE_FINGER_HORIZONTALLY | GC_PAN_WITH_GUTTER |
                              GC_PAN_WITH_INERTIA;
  const std::map<DWORD, std::pair<DWORD, DWORD>> expected{
      {GID_ZOOM, {0, GC_ZOOM}},
      {GID_PAN, {0, kEveryPan}},
      {GID_ROTATE, {0, GC_ROTATE}},
      {GID_TWOFINGERTAP, {0, GC_TWOFINGERTAP}},
      {GID_PRESSANDTAP, {GC_PRESSANDTAP, 0}},
  };
  for (fw::TControl* control :
       std::vector<fw::TControl*>{Form12, Form12->SplitView1, Form12->PanelZastava, Form12->AppBar,
                                  Form12->CloseButton, Form12->Button1}) {
    requests.clear();
    NotifyGesture(WindowOf(control));
    ASSERT_FALSE(requests.empty()) << control->Name() << " answered no gesture notification";
    EXPECT_EQ(requests.front().window, WindowOf(control)) << control->Name();
    EXPECT_EQ(requests.front().wantAndBlockById, expected) << control->Name();
  }
}

TEST_F(Form12Fixture, ASystemWithoutTouchGesturesIsNoFailure) {
  MessageBoxWatcher boxes;
  bool shownByEscape = false;
  RunWithScript(application, [&] {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    SetForegroundWindow(WindowOf(Form12));
    Form12->Button1->SetFocus();
    GESTURENOTIFYSTRUCT info{sizeof info, 0, WindowOf(Form12), {}, 0};
    SendMessageW(WindowOf(Form12), WM_GESTURENOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    // The window goes on taking input: Escape shows the bar.
    PressKey(VK_ESCAPE);
    shownByEscape = PumpUntil([] { return Form12->AppBar->Visible(); });
    application.Terminate();
  });
  EXPECT_TRUE(shownByEscape);
  EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
