#include "framework/win32/PlatformApplication.h"

#include <ole2.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/Errors.h"
#include "framework/win32/FormPeer.h"
#include "framework/win32/Input.h"
#include "framework/win32/PeerFactory.h"
#include "framework/win32/PopupMenuPresenter.h"
#include "framework/win32/Resources.h"
#include "framework/win32/StyleSupport.h"
#include "framework/win32/SystemInfo.h"
#include "framework/win32/Unicode.h"

namespace fw::win32 {

namespace {

constexpr wchar_t kApplicationClass[] = L"TApplication";

void RegisterApplicationClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kApplicationClass;
  if (!RegisterClassExW(&wc)) {
    const DWORD error = GetLastError();
    if (error != ERROR_CLASS_ALREADY_EXISTS)
      ThrowSystemError(error, "Cannot register the application window class");
  }
}

constexpr UINT_PTR kIdleTimer = 1;
// While the idle watch runs, whether the page plays sound is asked this often.
constexpr UINT_PTR kSoundTimer = 2;
constexpr UINT kSoundPollMs = 1000;

// The application whose window the timers run on: one per thread, as the message loop.
thread_local PlatformApplication* timerOwner = nullptr;

void CALLBACK SoundTimerTick(HWND, UINT, UINT_PTR, DWORD) {
  AtCallbackBoundary([] {
    if (timerOwner) timerOwner->SoundPlaying(timerOwner->SoundProbe()());
  });
}

void CALLBACK IdleTimerTick(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);  // one-shot: the application starts it again if it wants to
  AtCallbackBoundary([] {
    if (fw::Application) fw::Application->IdleTimerElapsed();
  });
}

}  // namespace

PlatformApplication::PlatformApplication() {
  RegisterApplicationClass();
  window_.reset(CreateWindowExW(0, kApplicationClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
  if (!window_) ThrowLastError("Cannot create the application window");
  timerOwner = this;
  fw::TPopupMenu::SetPresenter(ShowPopupMenu);
  fw::TStyleManager::SetPlatform({EmbeddedStyles, ShowStyleNotFoundDialog});
}

PlatformApplication::~PlatformApplication() {
  if (timerOwner == this) timerOwner = nullptr;
  fw::TPopupMenu::SetPresenter(nullptr);
  fw::TStyleManager::SetPlatform({});
  DestroyForms();
}

void PlatformApplication::Initialize() {
  if (!com_) com_.emplace();
}

void PlatformApplication::SetMainFormOnTaskBar(bool value) {
  fw::TApplication::SetMainFormOnTaskBar(value);
  // The taskbar button then belongs to the main form; the hidden window becomes a tool window.
  LONG_PTR exStyle = GetWindowLongPtrW(window_.get(), GWL_EXSTYLE);
  exStyle =
      value ? (exStyle | WS_EX_TOOLWINDOW) : (exStyle & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
  SetWindowLongPtrW(window_.get(), GWL_EXSTYLE, exStyle);
}

void PlatformApplication::SetTitle(std::string title) {
  fw::TApplication::SetTitle(std::move(title));
  // The hidden window carries the title only while it owns the taskbar button.
  SetWindowTextW(window_.get(), MainFormOnTaskBar() ? L"" : Widen(Title()).c_str());
}

std::string_view PlatformApplication::LayoutResource(const std::string& name) {
  return LoadRawResource(Widen(name));
}

int PlatformApplication::CreateFormPeer(fw::TForm& form) {
  auto formPeer = std::make_unique<FormPeer>(form, *this);
  FormPeer& formWindow = *formPeer;
  form.AttachPeer(std::move(formPeer));
  formWindow.Create(nullptr);
  // The system has placed the hidden window where it will appear (the start-up position and
  // the monitor the shell asked for).
  return WindowPixelsPerInch(formWindow.Handle());
}

void PlatformApplication::CreateControlPeer(fw::TControl& control, fw::TWinControl& parent) {
  auto peer = MakePeer(control);
  WindowPeer& window = *peer;
  control.AttachPeer(std::move(peer));
  window.Create(WindowOf(&parent));
  // A new child window goes below its siblings; later controls lie above earlier ones.
  SetWindowPos(window.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void PlatformApplication::Run() {
  if (MainForm()) ShowMainForm();
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    HandleMessage(message);
  }
}

void PlatformApplication::HandleMessage(MSG& message) {
  if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && RouteKey(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void SwitchMonitorPower(HWND window, LPARAM state) {
  // The default procedure hands it to the system, whatever the window's own does with it.
  DefWindowProcW(window, WM_SYSCOMMAND, SC_MONITORPOWER, state);
}

void PlatformApplication::SwitchDisplay(bool on) {
  // No pointer over the black: a cursor alone on a dark screen says someone is there.
  if (on == cursorHidden_) {
    ShowCursor(on ? TRUE : FALSE);
    cursorHidden_ = !on;
  }
  HWND form = MainForm() ? WindowOf(MainForm()) : nullptr;
  if (form) monitorPower_(form, on ? -1 : 2);
}

void PlatformApplication::ShowMainForm() {
  HWND window = WindowOf(MainForm());
  const bool maximized = MainForm()->WindowState == fw::TWindowState::wsMaximized;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const bool startMinimized =
      (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_SHOWMINNOACTIVE;
  if (startMinimized) {
    if (maximized) {
      // Restoring from the taskbar then brings the window back maximized.
      WINDOWPLACEMENT placement{};
      placement.length = sizeof placement;
      GetWindowPlacement(window, &placement);
      placement.flags |= WPF_RESTORETOMAXIMIZED;
      placement.showCmd = SW_SHOWMINNOACTIVE;
      SetWindowPlacement(window, &placement);
    } else {
      ShowWindow(window, SW_SHOWMINNOACTIVE);
    }
  } else {
    ShowWindow(window, maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  }
  UpdateWindow(window);
}

void PlatformApplication::Terminate() { PostQuitMessage(0); }

void PlatformApplication::Halt(int exitCode) {
  DestroyForms();
  std::exit(exitCode);
}

void PlatformApplication::WatchInput() {
  if (inputHook_) return;
  inputHook_.reset(SetWindowsHookExW(WH_GETMESSAGE, InputHook, nullptr, GetCurrentThreadId()));
  if (!inputHook_) ThrowLastError("Cannot watch the program's input");
}

void PlatformApplication::StartIdleTimer(std::chrono::milliseconds delay) {
  WatchInput();
  const auto ms = std::clamp<std::chrono::milliseconds::rep>(delay.count(), USER_TIMER_MINIMUM,
                                                             USER_TIMER_MAXIMUM);
  if (!SetTimer(window_.get(), kIdleTimer, static_cast<UINT>(ms), IdleTimerTick))
    ThrowLastError("Cannot start the idle timer");
  // Started once per watch: setting it again starts its period over, and in the warning the
  // idle timer is set each second, so it would never go off there.
  if (!pollingSound_) {
    if (!SetTimer(window_.get(), kSoundTimer, kSoundPollMs, SoundTimerTick))
      ThrowLastError("Cannot start watching the program's sound");
    pollingSound_ = true;
  }
}

void PlatformApplication::StopIdleTimer() {
  KillTimer(window_.get(), kIdleTimer);
  KillTimer(window_.get(), kSoundTimer);
  pollingSound_ = false;
}

void PlatformApplication::ShowErrorMessage(const std::string& text) {
  HWND owner = WindowOf(MainForm());
  MessageBoxW(owner, Widen(text).c_str(), Widen(Title()).c_str(), MB_ICONERROR | MB_OK);
}

}  // namespace fw::win32
