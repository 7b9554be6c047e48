#pragma once

// The Windows backend (Win32, the browser control). Each backend has the same shape and turns
// its system's events into core calls and the core's decisions into system calls:
//   PlatformApplication  the loop, peers for forms and controls, idle and sound timers
//   Input                key codes, shift state, input reports, key routing to the page
//   WindowPeer, FormPeer, ControlPeers   one window per control; strokes via TStrokeTracker
//   WebBrowserPeer       the browser control; the only caller of its navigate method
//   BrowserEvents        the control's events, passed on in order: lockdown, recovery
//   BrowserLockdown      where a locked-down page may go, windows and downloads it may open
//   BrowserRecovery      the control's load events for the core's TPageLoad
//   BrowserSite, PageWindows   the page's dialogs and file/print windows, answered when leaving
//   TextInputPanel       the system's touch keyboard

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "framework/core/Application.h"
#include "framework/win32/AudioSessions.h"
#include "framework/win32/Handles.h"
#include "framework/win32/PageWindowWatch.h"

namespace fw::win32 {

// Switches the monitors' power as SC_MONITORPOWER says, through the system's default procedure.
void SwitchMonitorPower(HWND window, LPARAM state);

// The application object on Windows: OLE for the thread, a hidden application window,
// native windows for every form and control, and the message loop.
class PlatformApplication : public fw::TApplication {
 public:
  // Initializes OLE for the thread and creates the hidden application window.
  PlatformApplication();
  ~PlatformApplication() override;

  void Initialize() override;
  void SetMainFormOnTaskBar(bool value) override;
  void SetTitle(std::string title) override;
  void Run() override;
  void Terminate() override;
  // Routes one message as the loop does (the page's accelerators, dialog keys, key preview)
  // and dispatches it unless it was consumed. For loops of its own, such as a test's.
  void HandleMessage(MSG& message);

  // The exit procedure, then the end of the process: for the end of the user's session.
  [[noreturn]] void Halt(int exitCode);

  HWND Handle() const { return window_.get(); }

  // What tells whether the page plays sound, asked each second while the idle watch runs:
  // the process's audio sessions, or a test's stand-in.
  using SoundProbeFunction = bool (*)();
  SoundProbeFunction SoundProbe() const { return soundProbe_; }
  void SetSoundProbe(SoundProbeFunction probe) { soundProbe_ = probe; }

  // What switches the monitors' power (SC_MONITORPOWER's 2 off, -1 on) through `window`: the
  // system's default procedure, or a test's stand-in.
  using MonitorPowerFunction = void (*)(HWND window, LPARAM state);
  void SetMonitorPower(MonitorPowerFunction power) { monitorPower_ = power; }

 protected:
  std::string_view LayoutResource(const std::string& name) override;
  int CreateFormPeer(fw::TForm& form) override;
  void CreateControlPeer(fw::TControl& control, fw::TWinControl& parent) override;
  void ShowErrorMessage(const std::string& text) override;
  void StartIdleTimer(std::chrono::milliseconds delay) override;
  void StopIdleTimer() override;
  // The thread's input hook, idle reset or not.
  void WatchInput() override;
  void SwitchDisplay(bool on) override;

 private:
  void ShowMainForm();

  OleInitialization ole_;
  std::optional<ComInitialization> com_;  // from Initialize on
  UniqueWindow window_;
  PageWindowWatch pageWindows_;
  // Sees every input message any loop of this thread takes, the page's and modal ones' too;
  // installed with the first idle watch.
  UniqueHook inputHook_;
  SoundProbeFunction soundProbe_ = ThisProcessPlaysSound;
  MonitorPowerFunction monitorPower_ = SwitchMonitorPower;
  bool cursorHidden_ = false;
  bool pollingSound_ = false;
};

}  // namespace fw::win32
