#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <string_view>

#include "framework/core/Application.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/ServiceNotifier.h"

namespace fw::gtk {

// The application object on Linux: the toolkit, a widget for every form and control, and
// the main loop. Log-out (SIGTERM, SIGHUP) ends the loop like Terminate, so the program
// leaves through its normal exit with code 0. Every event of the display passes through it
// first, so the idle watch sees the input of every window, the page's included. Under a
// service manager it tells it when the window is up, what the screen shows and that the loop
// still runs.
class GtkFrameworkApplication : public fw::TApplication {
 public:
  // A program's look at every event before any widget: true discards the event.
  using EventFilter = bool (*)(GdkEvent* event);

  // Opens the display; throws when there is none.
  GtkFrameworkApplication();
  ~GtkFrameworkApplication() override;

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

 private:
  void ApplyStyleSheet();
  static void HandleEvent(GdkEvent* event, gpointer self);
  static gboolean OnIdleTimer(gpointer self);

  UniqueMainLoop loop_;
  bool terminated_ = false;
  ObjectRef<GtkCssProvider> styleSheet_;
  SourceId sigterm_, sighup_, sigint_;
  SourceId idleTimer_;
  EventFilter eventFilter_ = nullptr;
  ServiceNotifier notifier_;
};

}  // namespace fw::gtk
