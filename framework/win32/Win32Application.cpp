#include "framework/win32/Win32Application.h"

#include <ole2.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/core/StandardControls.h"
#include "framework/core/WebBrowser.h"
#include "framework/win32/ControlPeers.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/Errors.h"
#include "framework/win32/FormPeer.h"
#include "framework/win32/Input.h"
#include "framework/win32/PopupMenuPresenter.h"
#include "framework/win32/Resources.h"
#include "framework/win32/StyleSupport.h"
#include "framework/win32/SystemInfo.h"
#include "framework/win32/Unicode.h"
#include "framework/win32/WebBrowserPeer.h"

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

std::unique_ptr<WindowPeer> MakePeer(fw::TControl& control) {
  switch (control.Kind()) {
    case fw::TControlKind::Image:
      return std::make_unique<ImagePeer>(static_cast<fw::TImage&>(control));
    case fw::TControlKind::Button:
      return std::make_unique<ButtonPeer>(control);
    case fw::TControlKind::WebBrowser:
      return std::make_unique<WebBrowserPeer>(static_cast<fw::TWebBrowser&>(control));
    case fw::TControlKind::SplitView:
      return std::make_unique<ContainerPeer>(control, L"TSplitView");
    case fw::TControlKind::Panel:
      return std::make_unique<ContainerPeer>(control, L"TPanel");
    case fw::TControlKind::Form:
      break;
  }
  throw fw::Exception("No window kind for the control '" + control.Name() + "'");
}

constexpr UINT_PTR kIdleTimer = 1;
// While the idle watch runs, whether the page plays sound is asked this often.
constexpr UINT_PTR kSoundTimer = 2;
constexpr UINT kSoundPollMs = 1000;

void CALLBACK SoundTimerTick(HWND, UINT, UINT_PTR, DWORD) {
  AtCallbackBoundary([] {
    if (auto* application = dynamic_cast<Win32Application*>(fw::Application))
      application->SoundPlaying(application->SoundProbe()());
  });
}

void CALLBACK IdleTimerTick(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);  // one-shot: the application starts it again if it wants to
  AtCallbackBoundary([] {
    if (fw::Application) fw::Application->IdleTimerElapsed();
  });
}

}  // namespace

Win32Application::Win32Application() {
  RegisterApplicationClass();
  window_.reset(CreateWindowExW(0, kApplicationClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
  if (!window_) ThrowLastError("Cannot create the application window");
  fw::TPopupMenu::SetPresenter(ShowPopupMenu);
  fw::TStyleManager::SetPlatform({EmbeddedStyles, ShowStyleNotFoundDialog});
}

Win32Application::~Win32Application() {
  fw::TPopupMenu::SetPresenter(nullptr);
  fw::TStyleManager::SetPlatform({});
  DestroyForms();
}

void Win32Application::Initialize() {
  if (!com_) com_.emplace();
}

void Win32Application::SetMainFormOnTaskBar(bool value) {
  fw::TApplication::SetMainFormOnTaskBar(value);
  // The taskbar button then belongs to the main form; the hidden window becomes a tool window.
  LONG_PTR exStyle = GetWindowLongPtrW(window_.get(), GWL_EXSTYLE);
  exStyle =
      value ? (exStyle | WS_EX_TOOLWINDOW) : (exStyle & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
  SetWindowLongPtrW(window_.get(), GWL_EXSTYLE, exStyle);
}

void Win32Application::SetTitle(std::string title) {
  fw::TApplication::SetTitle(std::move(title));
  // The hidden window carries the title only while it owns the taskbar button.
  SetWindowTextW(window_.get(), MainFormOnTaskBar() ? L"" : Widen(Title()).c_str());
}

std::string_view Win32Application::LayoutResource(const std::string& name) {
  return LoadRawResource(Widen(name));
}

int Win32Application::CreateFormPeer(fw::TForm& form) {
  auto formPeer = std::make_unique<FormPeer>(form, *this);
  FormPeer& formWindow = *formPeer;
  form.AttachPeer(std::move(formPeer));
  formWindow.Create(nullptr);
  // The system has placed the hidden window where it will appear (the start-up position and
  // the monitor the shell asked for).
  return WindowPixelsPerInch(formWindow.Handle());
}

void Win32Application::CreateControlPeer(fw::TControl& control, fw::TWinControl& parent) {
  auto peer = MakePeer(control);
  WindowPeer& window = *peer;
  control.AttachPeer(std::move(peer));
  window.Create(WindowOf(&parent));
  // A new child window goes below its siblings; later controls lie above earlier ones.
  SetWindowPos(window.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Application::Run() {
  if (MainForm()) ShowMainForm();
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    HandleMessage(message);
  }
}

void Win32Application::HandleMessage(MSG& message) {
  if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && RouteKey(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Application::ShowMainForm() {
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

void Win32Application::Terminate() { PostQuitMessage(0); }

void Win32Application::Halt(int exitCode) {
  DestroyForms();
  std::exit(exitCode);
}

void Win32Application::WatchInput() {
  if (inputHook_) return;
  inputHook_.reset(SetWindowsHookExW(WH_GETMESSAGE, InputHook, nullptr, GetCurrentThreadId()));
  if (!inputHook_) ThrowLastError("Cannot watch the program's input");
}

void Win32Application::StartIdleTimer(std::chrono::milliseconds delay) {
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

void Win32Application::StopIdleTimer() {
  KillTimer(window_.get(), kIdleTimer);
  KillTimer(window_.get(), kSoundTimer);
  pollingSound_ = false;
}

void Win32Application::ShowErrorMessage(const std::string& text) {
  HWND owner = WindowOf(MainForm());
  MessageBoxW(owner, Widen(text).c_str(), Widen(Title()).c_str(), MB_ICONERROR | MB_OK);
}

}  // namespace fw::win32
