#pragma once

#include <gtk/gtk.h>

#include <string>

#include "framework/gtk/Handles.h"

namespace fw::gtk {

// The program's side of the service manager's notification protocol (systemd's sd_notify):
// ready once the window is on the screen, a heartbeat for the watchdog, the status line and
// the end. Started by hand, with no notification socket in its environment, it says nothing.
class ServiceNotifier {
 public:
  // Starts the heartbeat when the service manager asks for one (WATCHDOG_USEC). It runs on the
  // default main context, the loop that draws and takes input, so a stuck loop stops it.
  ServiceNotifier();
  ServiceNotifier(const ServiceNotifier&) = delete;
  ServiceNotifier& operator=(const ServiceNotifier&) = delete;

  // Tells the service manager the program is ready once `window` has been painted and the
  // display has what was drawn.
  void ReadyOnceDrawn(GtkWidget* window);
  void Status(const std::string& text);
  // The program is ending; the window being watched may go after this.
  void Stopping();

 private:
  gboolean Beat();
  gboolean Drawn(GtkWidget* window, cairo_t*);
  gboolean Painted();
  static void Send(const std::string& message);

  SourceId heartbeat_;
  SignalConnection drawn_;
  SourceId painted_;
  GtkWidget* window_ = nullptr;
  bool ready_ = false;
};

}  // namespace fw::gtk
