#include "framework/gtk/ServiceNotifier.h"

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "framework/core/ServiceStatus.h"
#include "framework/gtk/MemberCallback.h"

namespace fw::gtk {

ServiceNotifier::ServiceNotifier() {
  std::uint64_t usec = 0;
  // Also checks WATCHDOG_PID: a watchdog meant for another process is not this one's.
  const int enabled = sd_watchdog_enabled(0, &usec);
  if (enabled < 0)
    g_printerr("The service manager's watchdog setting is unusable: %s\n", g_strerror(-enabled));
  if (enabled <= 0) return;
  const auto period = fw::HeartbeatPeriod(std::chrono::microseconds(usec));
  heartbeat_.Reset(
      g_timeout_add(static_cast<guint>(std::min<std::int64_t>(period.count(), G_MAXUINT)),
                    MemberCallback<&ServiceNotifier::Beat, G_SOURCE_CONTINUE>::Call, this));
}

void ServiceNotifier::ReadyOnceDrawn(GtkWidget* window) {
  if (ready_) return;
  window_ = window;
  drawn_ = ConnectMemberAfter<&ServiceNotifier::Drawn>(window, "draw", this);
}

void ServiceNotifier::Status(const std::string& text) { Send("STATUS=" + text); }

void ServiceNotifier::Stopping() {
  drawn_.Reset();
  painted_.Reset();
  heartbeat_.Reset();
  Send("STOPPING=1");
}

gboolean ServiceNotifier::Beat() {
  Send("WATCHDOG=1");
  return G_SOURCE_CONTINUE;
}

gboolean ServiceNotifier::Drawn(GtkWidget*, cairo_t*) {
  // The frame is still being drawn here; it reaches the display once the paint is over.
  if (!painted_) painted_.Reset(g_idle_add(MemberCallback<&ServiceNotifier::Painted>::Call, this));
  return FALSE;
}

gboolean ServiceNotifier::Painted() {
  painted_.Forget();
  drawn_.Reset();
  gdk_display_sync(gtk_widget_get_display(window_));
  ready_ = true;
  Send("READY=1");
  return G_SOURCE_REMOVE;
}

void ServiceNotifier::Send(const std::string& message) {
  if (const int sent = sd_notify(0, message.c_str()); sent < 0)
    g_printerr("Cannot tell the service manager %s: %s\n", message.c_str(), g_strerror(-sent));
}

}  // namespace fw::gtk
