#include <windows.h>
#include <commdlg.h>
#include <gtest/gtest.h>
#include <mshtmhst.h>

#include <chrono>
#include <functional>
#include <string>

#include "mainwindow/Unit12.h"
#include "tests/support/win32/BrowserSiteAccess.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_win32;
using fw::win32::WindowOf;

// The build resets after IDLE_RESET_SECONDS.
constexpr auto kTimeout = std::chrono::seconds(IDLE_RESET_SECONDS);

// A key pressed or released as a keyboard does it.
void SendKey(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
}

// A point in the navigation pane below its buttons.
POINT PaneFreeArea() {
  RECT pane;
  GetWindowRect(WindowOf(Form12->SplitView1), &pane);
  return {(pane.left + pane.right) / 2, pane.bottom - 150};
}

bool SplashShows() { return IsWindowVisible(WindowOf(Form12->PanelZastava)) != FALSE; }

// A click on "Кабинет"; returns the request it sent to the clinic.
HttpRequest OpenClinic(const LoopbackHttpServer& clinic) {
  const std::size_t before = clinic.ReceivedRequests().size();
  ClickAt(CentreOf(WindowOf(Form12->Button1)));
  PumpUntil([&] { return clinic.ReceivedRequests().size() > before; });
  const auto requests = clinic.ReceivedRequests();
  return requests.size() > before ? requests[before] : HttpRequest{};
}

TEST(IdleReset, AfterAnIdleTimeTheSplashReturnsAndTheNextVisitCarriesNoCookie) {
  using Clock = std::chrono::steady_clock;
  LoopbackHttpServer clinic(CLINIC_PORT);
  clinic.AddToNextResponse({"Set-Cookie: visit=1; Path=/",
                            "Set-Cookie: kept=2; Expires=Fri, 01 Jan 2038 00:00:00 GMT; Path=/"});
  MessageBoxWatcher boxes;  // a failure to clear would be shown in a box
  auto script = [&] {
    HWND startUpFocus = GetFocus();
    ASSERT_EQ(OpenClinic(clinic).line, "GET / HTTP/1.1");
    // The browser keeps both cookies for the visitor, until the reset.
    const HttpRequest again = OpenClinic(clinic);
    EXPECT_NE(again.Header("Cookie").find("visit=1"), std::string::npos) << again.Header("Cookie");
    EXPECT_NE(again.Header("Cookie").find("kept=2"), std::string::npos) << again.Header("Cookie");

    // The idle time starts at a known key after the page came; another key 2 s before the
    // timeout starts it again: 2 s past the first spell's end, the page is still there.
    PressKey(VK_SHIFT);
    const auto spell = Clock::now();
    PumpFor(kTimeout - 2s);
    PressKey(VK_SHIFT);
    const auto key = Clock::now();
    PumpFor(std::chrono::duration_cast<std::chrono::milliseconds>(spell + kTimeout + 2s -
                                                                  Clock::now()));
    EXPECT_FALSE(SplashShows()) << "reset although a key came in";
    ASSERT_LT(Clock::now(), key + kTimeout - 2s) << "the check came too late to tell";

    EXPECT_TRUE(PumpUntil(SplashShows, kTimeout * 3));
    EXPECT_FALSE(IsWindowVisible(WindowOf(Form12->AppBar)));
    EXPECT_EQ(program_script::LocationOfTheBrowser(), "about:blank");
    EXPECT_EQ(GetFocus(), startUpFocus);

    const HttpRequest fresh = OpenClinic(clinic);
    EXPECT_EQ(fresh.line, "GET / HTTP/1.1");
    EXPECT_EQ(fresh.Header("Cookie"), "");
    EXPECT_FALSE(SplashShows());

    // A key or a button held down past the timeout postpones the reset until its release.
    struct Hold {
      const char* what;
      std::function<void(bool down)> press;
    };
    const Hold holds[] = {
        {"Shift", [](bool down) { SendKey(VK_SHIFT, down); }},
        {"the left button on the pane",
         [](bool down) {
           if (down) MoveTo(PaneFreeArea());
           PressButton(false, down);
         }},
    };
    for (const Hold& hold : holds) {
      if (SplashShows()) OpenClinic(clinic);
      hold.press(true);
      PumpFor(kTimeout + 2s);
      EXPECT_FALSE(SplashShows()) << "reset while " << hold.what << " was held";
      hold.press(false);
      const auto released = Clock::now();
      EXPECT_TRUE(PumpUntil(SplashShows, kTimeout * 3)) << "no reset after " << hold.what;
      EXPECT_GE(Clock::now() - released, kTimeout - 1s) << hold.what;
    }
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  for (const SeenMessageBox& box : boxes.Seen()) ADD_FAILURE() << fw::win32::Narrow(box.text);
}

// A page's dialog left open, not locked down: the reset answers it as Cancel, its box goes and
// the splash returns. The question the control asks before it leaves a page, asked after the
// browser was told to leave it, is answered "leave" with no box, until the navigation has been
// asked of the control.
TEST(IdleReset, ThePagesDialogAndItsQuestionBeforeLeavingNeverOutliveTheReset) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  HRESULT shown = E_FAIL;
  LRESULT answer = 0, leaveAnswer = 0, laterAnswer = 0;
  HWND box = nullptr;
  bool laterBox = false;
  auto script = [&] {
    OpenClinic(clinic);
    fw::win32::ComPtr<IDocHostShowUI> host = SiteAs<IDocHostShowUI>(__uuidof(IDocHostShowUI));
    Later opened([&] {
      box = GetActiveWindow();
      if (box == WindowOf(Form12)) box = nullptr;
    });
    wchar_t text[] = L"Save the form?", caption[] = L"Page";
    const auto asked = std::chrono::steady_clock::now();
    shown = host->ShowMessage(WindowOf(Form12->WebBrowser1), text, caption, MB_OKCANCEL, nullptr, 0,
                              &answer);
    EXPECT_GE(std::chrono::steady_clock::now() - asked, kTimeout - 1s)
        << "answered before the reset";
    EXPECT_TRUE(PumpUntil(SplashShows, 5s));
    EXPECT_FALSE(box && IsWindow(box)) << "the page's box outlived the reset";
    EXPECT_EQ(program_script::LocationOfTheBrowser(), "about:blank");

    OpenClinic(clinic);
    wchar_t leave[] = L"Are you sure you want to leave this page?";
    Peer().LeavePage();
    EXPECT_EQ(host->ShowMessage(WindowOf(Form12->WebBrowser1), leave, caption, MB_OKCANCEL, nullptr,
                                0, &leaveAnswer),
              S_OK);
    EXPECT_EQ(GetActiveWindow(), WindowOf(Form12)) << "a box for the question";
    Peer().Navigate("about:blank");
    // Left: the next page's questions are its visitor's again.
    Later answered([&] {
      if (HWND next = GetActiveWindow(); next != WindowOf(Form12)) {
        laterBox = true;
        PostMessageW(next, WM_COMMAND, IDOK, 0);
      }
    });
    EXPECT_EQ(host->ShowMessage(WindowOf(Form12->WebBrowser1), leave, caption, MB_OKCANCEL, nullptr,
                                0, &laterAnswer),
              S_OK);
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  EXPECT_NE(box, nullptr) << "the page's box showed";
  EXPECT_EQ(shown, S_OK);
  EXPECT_EQ(answer, IDCANCEL);
  EXPECT_EQ(leaveAnswer, IDOK);
  EXPECT_TRUE(laterBox) << "the next page's question was not put to its visitor";
  EXPECT_EQ(laterAnswer, IDOK);
}

// A file window the control opened for the page (here opened as the control opens it: a common
// dialog owned by the program's window, from the thread's loop) is cancelled by the reset.
bool leftStanding = false;

TEST(IdleReset, AFileWindowThePageOpenedIsCancelledByTheReset) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  BOOL chosen = TRUE;
  DWORD failure = 1;
  bool returned = false;
  auto script = [&] {
    OpenClinic(clinic);
    Later open([&] {
      wchar_t file[MAX_PATH] = L"";
      OPENFILENAMEW dialog{};
      dialog.lStructSize = sizeof dialog;
      dialog.hwndOwner = WindowOf(Form12);
      dialog.lpstrFile = file;
      dialog.nMaxFile = MAX_PATH;
      dialog.Flags = OFN_EXPLORER;
      // Should the reset leave it standing, the test closes it itself, and says so.
      const UINT_PTR rescue = SetTimer(nullptr, 0, static_cast<UINT>(kTimeout.count() * 3000),
                                       [](HWND, UINT, UINT_PTR, DWORD) {
                                         leftStanding = true;
                                         PostMessageW(GetActiveWindow(), WM_COMMAND, IDCANCEL, 0);
                                       });
      chosen = GetOpenFileNameW(&dialog);
      KillTimer(nullptr, rescue);
      failure = CommDlgExtendedError();
      returned = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return returned; }, kTimeout * 4));
    EXPECT_FALSE(leftStanding) << "the file window outlived the reset";
    EXPECT_TRUE(PumpUntil(SplashShows, 5s));
  };
  EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
  EXPECT_FALSE(chosen);
  EXPECT_EQ(failure, 0u) << "cancelled, not failed";
}

}  // namespace
