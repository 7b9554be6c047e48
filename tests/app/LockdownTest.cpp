#include <windows.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <mshtmhst.h>
#include <shobjidl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/win32/BrowserEvents.h"
#include "framework/win32/WebBrowserPeer.h"
#include "mainwindow/Unit12.h"
#include "tests/support/win32/BrowserSiteAccess.h"
#include "tests/support/win32/LoopbackHttpServer.h"
#include "tests/support/win32/NavigationRecorder.h"
#include "tests/support/win32/ProgramScript.h"
#include "tests/support/win32/WindowTesting.h"

namespace {

using namespace testing_win32;
using fw::win32::ComPtr;
using fw::win32::WindowOf;

// Under Wine no page runs, so nothing asks for a window, a download or a dialog by itself: the
// control's events are sent through the program's own listener as the control sends them, and
// the document host is asked as the control's document asks it.

const std::string kClinic = "http://127.0.0.1:" + std::to_string(CLINIC_PORT) + "/";
const std::string kElsewhere = "http://elsewhere.invalid/";

struct Bstr {
  explicit Bstr(const std::string& text)
      : value(SysAllocString(std::wstring(text.begin(), text.end()).c_str())) {}
  ~Bstr() { SysFreeString(value); }
  BSTR value;
};

// Sends an event to the program's listener; its arguments are given first to last, as the
// control declares them, and go out last first. Returns what the listeners left in Cancel.
bool Send(DISPID id, std::vector<VARIANT> arguments, std::size_t cancelAt) {
  VARIANT_BOOL cancel = VARIANT_FALSE;
  arguments[cancelAt].vt = VT_BYREF | VT_BOOL;
  arguments[cancelAt].pboolVal = &cancel;
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  const HRESULT hr = Peer().Events()->Sink()->Invoke(
      id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
  EXPECT_EQ(hr, S_OK);
  return cancel != VARIANT_FALSE;
}

VARIANT Dispatch(IDispatch* object) {
  VARIANT v;
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  return v;
}
VARIANT Text(const Bstr& text) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.bstrVal = text.value;
  return v;
}
VARIANT Number(LONG value) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}
VARIANT Flag(bool value) {
  VARIANT v;
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
VARIANT Empty() {
  VARIANT v;
  VariantInit(&v);
  return v;
}

bool BeforeNavigate(IDispatch* frame, const std::string& url) {
  Bstr address(url);
  return Send(DISPID_BEFORENAVIGATE2,
              {Dispatch(frame), Text(address), Empty(), Empty(), Empty(), Empty(), Empty()}, 6);
}

bool NewWindow(const std::string& url, DWORD flags) {
  Bstr address(url), from(kClinic);
  IDispatch* window = nullptr;
  VARIANT out;
  out.vt = VT_BYREF | VT_DISPATCH;
  out.ppdispVal = &window;
  return Send(DISPID_NEWWINDOW3,
              {out, Empty(), Number(static_cast<LONG>(flags)), Text(from), Text(address)}, 1);
}

bool FileDownload(bool activeDocument) {
  return Send(DISPID_FILEDOWNLOAD, {Flag(activeDocument), Empty()}, 1);
}

// Every route, locked down and not: what the control is told to cancel, and what the program
// opens instead.
TEST(Lockdown, EachRouteIsClosedOnlyWhenLockedDown) {
  LoopbackHttpServer clinic(CLINIC_PORT);
  struct Case {
    const char* route;
    bool cancelledLocked, cancelledOpen;
  };
  const std::vector<Case> cases{
      {"a page of another host", true, false},
      {"a page of the clinic's host", false, false},
      {"something inside the page from another host", false, false},
      {"a new window from a tap, to the clinic", true, false},
      {"a new window from a timer, to the clinic", true, false},
      {"a new window from a tap, to another host", true, false},
      {"a download", true, false},
      {"a document the control shows", false, false},
  };
  for (const bool locked : {true, false}) {
    std::vector<bool> cancelled;
    std::vector<std::string> opened;
    auto script = [&] {
      Form12->UseLockdown(locked, {});
      fw::win32::WebBrowserPeer& peer = Peer();
      IWebBrowser2* control = peer.Browser();
      NavigationRecorder navigations(control);
      cancelled.push_back(BeforeNavigate(control, kElsewhere));
      cancelled.push_back(BeforeNavigate(control, kClinic));
      cancelled.push_back(BeforeNavigate(nullptr, kElsewhere));  // not the control: a frame
      cancelled.push_back(NewWindow(kClinic, NWMF_USERINITED | NWMF_USERREQUESTED));
      PumpUntil([&] { return !clinic.Requests().empty(); }, std::chrono::seconds(5));
      cancelled.push_back(NewWindow(kClinic, 0));
      cancelled.push_back(NewWindow(kElsewhere, NWMF_USERINITED));
      cancelled.push_back(FileDownload(false));
      cancelled.push_back(FileDownload(true));
      PumpFor(std::chrono::milliseconds(500));
      opened = navigations.Addresses();
    };
    EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
    ASSERT_EQ(cancelled.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
      EXPECT_EQ(cancelled[i], locked ? cases[i].cancelledLocked : cases[i].cancelledOpen)
          << cases[i].route << (locked ? ", locked down" : ", not locked down");
    }
    // Locked down, the tap's new window opens in the same control; the others open nothing.
    // Not locked down, the control's own new window would open: nothing here.
    EXPECT_EQ(opened, locked ? std::vector<std::string>{kClinic} : std::vector<std::string>{})
        << (locked ? "locked down" : "not locked down");
  }
}

// Modifier keys held down for real while the document host is asked about a key.
class HeldKeys {
 public:
  explicit HeldKeys(std::vector<WORD> keys) : keys_(std::move(keys)) {
    for (WORD key : keys_) Send(key, true);
    // The thread's key state follows once the keys' messages have reached it.
    const bool down = PumpUntil(
        [&] {
          return std::all_of(keys_.begin(), keys_.end(),
                             [](WORD key) { return GetKeyState(key) < 0; });
        },
        std::chrono::seconds(3));
    EXPECT_TRUE(down) << "the held keys never reached the program";
  }
  ~HeldKeys() {
    for (WORD key : keys_) Send(key, false);
    PumpFor(std::chrono::milliseconds(100));
  }

 private:
  static void Send(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
  }
  std::vector<WORD> keys_;
};

// The document host, asked about each key as the control asks it before it acts on one: the
// keys for the engine's windows and dialogs are taken, locked down, and no other; and the
// print and page-setup commands do nothing.
TEST(Lockdown, TheDocumentHostTakesTheEngineWindowKeysAndThePrintCommands) {
  struct Key {
    const char* name;
    WORD key;
    std::vector<WORD> held;
    bool taken;
  };
  const std::vector<Key> keys{
      {"Ctrl+N", 'N', {VK_CONTROL}, true},
      {"Ctrl+O", 'O', {VK_CONTROL}, true},
      {"Ctrl+S", 'S', {VK_CONTROL}, true},
      {"Ctrl+P", 'P', {VK_CONTROL}, true},
      {"Ctrl+F", 'F', {VK_CONTROL}, true},
      {"F11", VK_F11, {}, true},
      {"Ctrl+C", 'C', {VK_CONTROL}, false},
      {"P", 'P', {}, false},
      {"AltGr+S", 'S', {VK_CONTROL, VK_MENU}, false},
      {"F5", VK_F5, {}, false},
  };
  constexpr GUID kDocHostCommands = {
      0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};
  for (const bool locked : {true, false}) {
    std::vector<HRESULT> answers;
    HRESULT print = E_FAIL, setup = E_FAIL;
    auto script = [&] {
      Form12->UseLockdown(locked, {});
      ClickAt(CentreOf(WindowOf(Form12->PanelZastava)));  // the keyboard's focus: this window
      ComPtr<IDocHostUIHandler> host = SiteAs<IDocHostUIHandler>(IID_IDocHostUIHandler);
      for (const Key& key : keys) {
        HeldKeys held(key.held);
        MSG message{WindowOf(Form12->WebBrowser1), WM_KEYDOWN, key.key, 0, 0, {}};
        answers.push_back(host->TranslateAccelerator(&message, nullptr, 0));
      }
      ComPtr<IOleCommandTarget> commands = SiteAs<IOleCommandTarget>(IID_IOleCommandTarget);
      print = commands->Exec(&kDocHostCommands, OLECMDID_SHOWPRINT, 0, nullptr, nullptr);
      setup = commands->Exec(&kDocHostCommands, OLECMDID_SHOWPAGESETUP, 0, nullptr, nullptr);
    };
    EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
    ASSERT_EQ(answers.size(), keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
      EXPECT_EQ(answers[i], locked && keys[i].taken ? S_OK : S_FALSE)
          << keys[i].name << (locked ? ", locked down" : ", not locked down");
    }
    // Not locked down, the control shows its own dialogs.
    EXPECT_EQ(print, locked ? S_OK : OLECMDERR_E_NOTSUPPORTED) << "print";
    EXPECT_EQ(setup, locked ? S_OK : OLECMDERR_E_NOTSUPPORTED) << "page setup";
  }
}

// The keys the page's window receives, by subclassing it.
class PageKeys {
 public:
  explicit PageKeys(HWND page) : page_(page) {
    received_ = &keys_;
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Record)));
    if (!previous_) throw std::runtime_error("cannot watch the page's window");
    current_ = previous_;
  }
  ~PageKeys() {
    SetWindowLongPtrW(page_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    received_ = nullptr;
  }
  const std::vector<WPARAM>& Keys() const { return keys_; }

 private:
  static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && received_) received_->push_back(wParam);
    return CallWindowProcW(current_, window, message, wParam, lParam);
  }
  static inline thread_local std::vector<WPARAM>* received_ = nullptr;
  static inline thread_local WNDPROC current_ = nullptr;
  HWND page_;
  WNDPROC previous_ = nullptr;
  std::vector<WPARAM> keys_;
};

// Real keys typed into the page's window: locked down, Ctrl+P and F11 never reach it (nor the
// control, which acts on them there), while Ctrl+C and a letter do.
TEST(Lockdown, TheEngineWindowKeysTypedInThePageGoNoFurther) {
  for (const bool locked : {true, false}) {
    std::vector<WPARAM> received;
    auto script = [&] {
      Form12->UseLockdown(locked, {});
      HWND page = GetWindow(WindowOf(Form12->WebBrowser1), GW_CHILD);
      ASSERT_NE(page, nullptr) << "the control has no window of its own";
      ClickAt(CentreOf(WindowOf(Form12->PanelZastava)));  // the keyboard's focus: this window
      SetFocus(page);
      ASSERT_TRUE(PumpUntil([&] { return GetFocus() == page; }));
      PageKeys keys(page);
      PressKey('P', {VK_CONTROL});
      PressKey(VK_F11);
      PressKey('C', {VK_CONTROL});
      PressKey('A');
      PumpUntil([&] { return std::count(keys.Keys().begin(), keys.Keys().end(), 'A') > 0; });
      for (WPARAM key : keys.Keys())
        if (key != VK_CONTROL) received.push_back(key);
    };
    EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
    const std::vector<WPARAM> reaching =
        locked ? std::vector<WPARAM>{'C', 'A'} : std::vector<WPARAM>{'P', VK_F11, 'C', 'A'};
    EXPECT_EQ(received, reaching) << (locked ? "locked down" : "not locked down");
  }
}

// A page's confirm, asked of the document host as the control asks it, shows in the program's
// box: locked down, the message box leaves the navigation buttons working, and a tap on "Кабинет"
// answers it as Cancel and opens the clinic's page. Not locked down, the message box holds the
// window as the control's own would, and the tap goes nowhere.
TEST(Lockdown, APageDialogGivesWayToANavigationButton) {
  for (const bool locked : {true, false}) {
    LoopbackHttpServer clinic(CLINIC_PORT);
    HRESULT shown = E_FAIL;
    LRESULT answer = 0;
    bool boxUp = false;
    std::size_t requests = 0;
    auto script = [&] {
      Form12->UseLockdown(locked, {});
      ComPtr<IDocHostShowUI> host = SiteAs<IDocHostShowUI>(__uuidof(IDocHostShowUI));
      Later tap([&] {
        HWND box = GetActiveWindow();
        boxUp = box && box != WindowOf(Form12);
        ClickAt(CentreOf(WindowOf(Form12->Button1)));
        // A box the tap left standing is answered OK, so that the test ends and says so.
        if (boxUp && !PumpUntil([&] { return !IsWindow(box); }, std::chrono::seconds(3)))
          PostMessageW(box, WM_COMMAND, IDOK, 0);
      });
      wchar_t text[] = L"Leave the page?", caption[] = L"Page";
      shown = host->ShowMessage(WindowOf(Form12->WebBrowser1), text, caption, MB_OKCANCEL, nullptr,
                                0, &answer);
      if (locked) PumpUntil([&] { return !clinic.Requests().empty(); });
      requests = clinic.Requests().size();
    };
    EXPECT_EQ(program_script::RunProgramWithScript(script), 0);
    EXPECT_TRUE(boxUp) << "the page's box showed";
    EXPECT_EQ(shown, S_OK);
    if (locked) {
      EXPECT_EQ(answer, IDCANCEL) << "the tap answers the message box as Cancel";
      EXPECT_EQ(requests, 1u) << "the tap's navigation ran";
    } else {
      EXPECT_EQ(answer, IDOK) << "the message box stood until the test answered it";
      EXPECT_EQ(requests, 0u) << "the tap reached a button behind the message box";
    }
  }
}

}  // namespace
