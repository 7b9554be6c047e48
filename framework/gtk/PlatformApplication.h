#pragma once

// The Linux backend (GTK 3, WebKitGTK). Each backend has the same shape and turns its
// system's events into core calls and the core's decisions into system calls:
//   PlatformApplication  the loop, peers for forms and controls, idle timer, message boxes
//   Input                key codes, shift state, input reports, key routing to the page
//   WidgetPeer, FormPeer, ControlPeers   one widget per control; strokes via TStrokeTracker
//   WebBrowserPeer       the engine's view; the only caller of its load function
//   BrowserEvents        the engine's signals, passed on in order: lockdown, recovery, dialogs
//   BrowserLockdown      where a locked-down page may go, windows and downloads it may open
//   BrowserRecovery      the engine's load, hang and crash events for the core's TPageLoad
//   WebViewDialogs       the page's dialogs and file/print windows, answered when leaving
//   KeyboardPanel        the program's own on-screen keyboard (this platform has none)
//   ServiceNotifier      readiness, status and heartbeat for the service manager

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <string_view>

#include "framework/core/Application.h"
#include "framework/gtk/DisplayPower.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/MemberCallback.h"
#include "framework/gtk/ServiceNotifier.h"

namespace fw::gtk {

// The application object on Linux: the toolkit, a widget for every form and control, and
// the main loop. Log-out (SIGTERM, SIGHUP) ends the loop like Terminate, so the program
// leaves through its normal exit with code 0. Every event of the display passes through it
// first, so the idle watch sees the input of every window, the page's included. Under a
// service manager it tells it when the window is up, what the screen shows and that the loop
// still runs.
class PlatformApplication : public fw::TApplication {
 public:
  // A program's look at every event before any widget: true discards the event.
  using EventFilter = bool (*)(GdkEvent* event);

  // Opens the display; throws when there is none.
  PlatformApplication();
  ~PlatformApplication() override;

  void Initialize() override {}
  void SetTitle(std::string title) override;
  void Run() override;
  void Terminate() override;

  void SetEventFilter(EventFilter filter) { eventFilter_ = filter; }

 protected:
  std::string_view LayoutResource(const std::string& name) override;
  int CreateFormPeer(fw::TForm& form) override;
  void CreateControlPeer(fw::TControl& control, fw::TWinControl& parent) override;
  void ShowErrorMessage(const std::string& text) override;
  void StartIdleTimer(std::chrono::milliseconds delay) override;
  void StopIdleTimer() override { idleTimer_.Reset(); }
  void ReportStatus(const std::string& text) override { notifier_.Status(text); }
  void SwitchDisplay(bool on) override;

 private:
  void ApplyStyleSheet();
  void HandleEvent(GdkEvent* event);
  gboolean OnIdleTimer();
  gboolean OnTerminateSignal();
  static constexpr GSourceFunc TerminateOnSignal =
      MemberCallback<&PlatformApplication::OnTerminateSignal, G_SOURCE_CONTINUE>::Call;

  UniqueMainLoop loop_;
  bool terminated_ = false;
  ObjectRef<GtkCssProvider> styleSheet_;
  SourceId sigterm_, sighup_, sigint_;
  SourceId idleTimer_;
  EventFilter eventFilter_ = nullptr;
  std::unique_ptr<DisplayPower> displayPower_;
  ObjectRef<GdkCursor> cursorBeforeOff_;
  ServiceNotifier notifier_;
};

}  // namespace fw::gtk
