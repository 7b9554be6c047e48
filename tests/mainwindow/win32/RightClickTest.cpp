#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "framework/core/PopupMenu.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/Handles.h"
#include "mainwindow/Unit12Module_win.h"
#include "tests/mainwindow/win32/Form12Fixture.h"
#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/ReceivedMouseMessages.h"
#include "tests/support/win32/ScriptedRun.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;

// The program's module start-up (emulation value, mouse hook) runs before the start-up block.
class RightClickFixture : public Form12Fixture {
 protected:
  void BeforeStartupBlock() override {
    Unit12::Initialization();
    received.emplace();
  }
  void TearDown() override {
    received.reset();
    Form12Fixture::TearDown();
  }
  bool Received(UINT message, HWND inside) const { return received->Received(message, inside); }
  // Every mouse button message the thread's windows actually receive.
  std::optional<ReceivedMouseMessages> received;
  // Opens a page so that the browser shows instead of the splash.
  void OpenPage() {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    ClickAt(CentreOf(WindowOf(Form12->Button1)));
    PumpUntil([&] { return !server.Requests().empty(); });
    PumpFor(std::chrono::milliseconds(500));
  }
};

TEST_F(RightClickFixture, RightClicksOverThePageNeverReachItWhileLeftClicksDo) {
  HWND browser = WindowOf(Form12->WebBrowser1);
  bool menuAppeared = false;
  ASSERT_NE(Unit12::HMouseHook, nullptr);
  RunWithScript(application, [&] {
    OpenPage();
    received->Clear();
    ClickAt(CentreOf(browser), true);
    ClickAt(CentreOf(browser), true);  // within the double-click time: a right double click
    menuAppeared =
        FindWindowW(L"#32768", nullptr) && IsWindowVisible(FindWindowW(L"#32768", nullptr));
    ClickAt(CentreOf(browser));
    PumpUntil([&] { return Received(WM_LBUTTONUP, browser); });
    application.Terminate();
  });
  EXPECT_FALSE(Received(WM_RBUTTONDOWN, browser));
  EXPECT_FALSE(Received(WM_RBUTTONUP, browser));
  EXPECT_FALSE(Received(WM_RBUTTONDBLCLK, browser));
  EXPECT_FALSE(menuAppeared);
  EXPECT_TRUE(Received(WM_LBUTTONDOWN, browser)) << "left clicks reach the page";
  EXPECT_TRUE(Received(WM_LBUTTONUP, browser));
}

TEST_F(RightClickFixture, RightClicksOverThePaneAndTheSplashPass) {
  HWND pane = WindowOf(Form12->SplitView1), splash = WindowOf(Form12->PanelZastava);
  RunWithScript(application, [&] {
    PumpUntil([&] { return IsWindowVisible(WindowOf(Form12)) != FALSE; });
    received->Clear();
    RECT paneArea;
    GetWindowRect(pane, &paneArea);
    ClickAt({(paneArea.left + paneArea.right) / 2, paneArea.bottom - 40},
            true);  // below the buttons
    ClickAt(CentreOf(splash), true);
    application.Terminate();
  });
  EXPECT_TRUE(Received(WM_RBUTTONDOWN, pane));
  EXPECT_TRUE(Received(WM_RBUTTONUP, pane));
  EXPECT_TRUE(Received(WM_RBUTTONDOWN, splash));
  EXPECT_TRUE(Received(WM_RBUTTONUP, splash));
}

TEST_F(RightClickFixture, OnlyActionRightDownAndUpAreFiltered) {
  HWND browser = WindowOf(Form12->WebBrowser1);
  struct Case {
    int code;
    UINT message;
    LRESULT expected;
  } cases[] = {{HC_ACTION, WM_RBUTTONDOWN, 1},   {HC_ACTION, WM_RBUTTONUP, 1},
               {HC_ACTION, WM_RBUTTONDBLCLK, 0}, {HC_ACTION, WM_NCRBUTTONDOWN, 0},
               {HC_ACTION, WM_NCRBUTTONUP, 0},   {HC_ACTION, WM_LBUTTONDOWN, 0},
               {HC_NOREMOVE, WM_RBUTTONDOWN, 0}, {HC_NOREMOVE, WM_RBUTTONUP, 0}};
  std::vector<LRESULT> results;
  RunWithScript(application, [&] {
    OpenPage();
    MOUSEHOOKSTRUCT record{};
    record.pt = CentreOf(browser);
    record.hwnd = WindowFromPoint(record.pt);
    for (const Case& c : cases) {
      results.push_back(Unit12::MouseProc(c.code, c.message, reinterpret_cast<LPARAM>(&record)));
    }
    application.Terminate();
  });
  ASSERT_EQ(results.size(), std::size(cases));
  for (std::size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(results[i], cases[i].expected)
        << "code " << cases[i].code << " message " << cases[i].message;
  }
}

// Seen from inside the menu's own modal loop.
struct MenuSighting {
  bool seen = false;
  POINT at{};
};
MenuSighting sighting;

void CALLBACK LookForMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (!sighting.seen && menu && IsWindowVisible(menu)) {
    sighting.seen = true;
    RECT r;
    GetWindowRect(menu, &r);
    sighting.at = {r.left, r.top};
    EndMenu();
  }
}

TEST_F(RightClickFixture, AnAssignedPopupMenuShowsOnReleaseAtThePointer) {
  fw::TPopupMenu menu(nullptr);
  menu.Items.push_back({"Обновить", nullptr});
  HWND browser = WindowOf(Form12->WebBrowser1);
  bool menuAfterPress = true;
  POINT pointer{};
  RunWithScript(application, [&] {
    OpenPage();
    Form12->WebBrowser1->PopupMenu = &menu;
    received->Clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, LookForMenu);
    pointer = CentreOf(browser);
    MoveTo(pointer);
    PressButton(true, true);
    PumpFor(std::chrono::milliseconds(300));
    menuAfterPress = sighting.seen;
    PressButton(true, false);
    PumpUntil([] { return sighting.seen; }, std::chrono::seconds(5));
    KillTimer(nullptr, timer);
    Form12->WebBrowser1->PopupMenu = nullptr;
    application.Terminate();
  });
  EXPECT_FALSE(menuAfterPress) << "button-down shows no menu";
  EXPECT_TRUE(sighting.seen) << "button-up shows the menu";
  EXPECT_NEAR(sighting.at.x, pointer.x, 2);
  EXPECT_NEAR(sighting.at.y, pointer.y, 2);
  EXPECT_EQ(menu.PopupComponent, Form12->WebBrowser1);
  EXPECT_FALSE(Received(WM_RBUTTONDOWN, browser));
  EXPECT_FALSE(Received(WM_RBUTTONUP, browser));
}

TEST_F(RightClickFixture, AFailingPopupMenuReachesTheHandlerAndTheClickStaysDiscarded) {
  fw::TPopupMenu menu(nullptr);
  menu.Items.push_back({"Обновить", nullptr});
  fw::TPopupMenu::SetPresenter([](fw::TPopupMenu&, int, int) { throw 3; });
  MessageBoxWatcher boxes;
  LRESULT result = 0;
  RunWithScript(application, [&] {
    OpenPage();
    Form12->WebBrowser1->PopupMenu = &menu;
    MOUSEHOOKSTRUCT record{};
    record.pt = CentreOf(WindowOf(Form12->WebBrowser1));
    result = Unit12::MouseProc(HC_ACTION, WM_RBUTTONUP, reinterpret_cast<LPARAM>(&record));
    PumpUntil([&] { return !boxes.Seen().empty(); });
    Form12->WebBrowser1->PopupMenu = nullptr;
    application.Terminate();
  });
  EXPECT_EQ(result, 1);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].text, L"An exception of an unknown type was raised.");
}

// Windows of other code may carry anything in their properties and user data; only the
// framework's own windows are controls.
TEST_F(RightClickFixture, AWindowTheFrameworkDidNotCreateIsNeverTakenForAControl) {
  fw::win32::UniqueWindow foreign(CreateWindowExW(0, L"BUTTON", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                                  300, 300, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(foreign);
  SetPropW(foreign.get(), L"fw.WindowPeer", reinterpret_cast<HANDLE>(0x1234));
  SetWindowLongPtrW(foreign.get(), GWLP_USERDATA, 0x1234);
  SetWindowPos(foreign.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(fw::win32::FindControl(foreign.get()), nullptr);
  MOUSEHOOKSTRUCT record{};
  record.pt = {150, 150};
  ASSERT_EQ(WindowFromPoint(record.pt), foreign.get());
  EXPECT_EQ(Unit12::MouseProc(HC_ACTION, WM_RBUTTONDOWN, reinterpret_cast<LPARAM>(&record)), 0);
  RemovePropW(foreign.get(), L"fw.WindowPeer");
}

// Two copies of the program: this one holds the mouse capture (a left press on its pane)
// while the pointer is over the other copy's page, where a right-click then happens.
TEST_F(RightClickFixture, ARightClickOverAnotherCopysPageWhileThisOneHasTheCaptureChangesNothing) {
  ChildProcess other(PROGRAM_PATH);
  HWND otherForm = other.WaitForWindow(L"TForm12");
  ASSERT_NE(otherForm, nullptr);
  bool otherRunning = false, menuAppeared = true, shownByEscape = false;
  HWND paneWindow = WindowOf(Form12->SplitView1);
  RunWithScript(application, [&] {
    HWND form = WindowOf(Form12);
    PumpUntil([&] { return IsWindowVisible(form) != FALSE; });
    // Half the screen for this copy, so that the other copy's page shows beside it.
    ShowWindow(form, SW_RESTORE);
    SetWindowPos(form, HWND_TOP, 0, 0, 500, GetSystemMetrics(SM_CYSCREEN), 0);
    PumpFor(std::chrono::milliseconds(300));
    const POINT overOtherPage{900, GetSystemMetrics(SM_CYSCREEN) / 2};
    ASSERT_EQ(GetAncestor(WindowFromPoint(overOtherPage), GA_ROOT), otherForm);
    RECT pane;
    GetWindowRect(WindowOf(Form12->SplitView1), &pane);
    received->Clear();
    MoveTo({(pane.left + pane.right) / 2, pane.bottom - 100});
    PressButton(false, true);
    MoveTo(overOtherPage);
    PressButton(true, true);
    PressButton(true, false);
    PressButton(false, false);
    // The right click went to the window holding the capture, past the filter, which found
    // no control of this copy under the pointer.
    PumpUntil([&] { return Received(WM_LBUTTONUP, paneWindow); });
    menuAppeared =
        FindWindowW(L"#32768", nullptr) && IsWindowVisible(FindWindowW(L"#32768", nullptr));
    otherRunning = other.WaitForExit(std::chrono::milliseconds(0)) == STILL_ACTIVE;
    // This copy goes on as before: Escape shows its bar.
    SetForegroundWindow(form);
    Form12->Button1->SetFocus();
    PressKey(VK_ESCAPE);
    shownByEscape = PumpUntil([] { return Form12->AppBar->Visible(); });
    application.Terminate();
  });
  EXPECT_TRUE(Received(WM_RBUTTONDOWN, paneWindow)) << "the right press reached this copy";
  EXPECT_TRUE(Received(WM_RBUTTONUP, paneWindow));
  EXPECT_FALSE(menuAppeared);
  EXPECT_TRUE(shownByEscape);
  EXPECT_TRUE(otherRunning) << "the other copy ended";
  PostMessageW(otherForm, WM_CLOSE, 0, 0);
  EXPECT_EQ(other.WaitForExit(), 0u);
}

}  // namespace
