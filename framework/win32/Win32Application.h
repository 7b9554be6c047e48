#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "framework/core/Application.h"
#include "framework/win32/AudioSessions.h"
#include "framework/win32/Handles.h"

namespace fw::win32 {

// The application object on Windows: OLE for the thread, a hidden application window,
// native windows for every form and control, and the message loop.
class Win32Application : public fw::TApplication {
 public:
  // Initializes OLE for the thread and creates the hidden application window.
  Win32Application();
  ~Win32Application() override;

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

 protected:
  std::string_view LayoutResource(const std::string& name) override;
  int CreateFormPeer(fw::TForm& form) override;
  void CreateControlPeer(fw::TControl& control, fw::TWinControl& parent) override;
  void ShowErrorMessage(const std::string& text) override;
  void StartIdleTimer(std::chrono::milliseconds delay) override;
  void StopIdleTimer() override;
  // The thread's input hook, idle reset or not.
  void WatchInput() override;

 private:
  void ShowMainForm();

  OleInitialization ole_;
  std::optional<ComInitialization> com_;  // from Initialize on
  UniqueWindow window_;
  // Sees every input message any loop of this thread takes, the page's and modal ones' too;
  // installed with the first idle watch.
  UniqueHook inputHook_;
  SoundProbeFunction soundProbe_ = ThisProcessPlaysSound;
  bool pollingSound_ = false;
};

}  // namespace fw::win32
