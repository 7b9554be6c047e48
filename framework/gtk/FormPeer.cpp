#include "framework/gtk/FormPeer.h"

#include <gdk/gdkx.h>

#include <algorithm>

#include "framework/core/CallbackBoundary.h"
#include "framework/core/Scaling.h"
#include "framework/gtk/Input.h"

namespace fw::gtk {

namespace {

bool WindowManagerMaximizes(GdkDisplay* display) {
#ifdef GDK_WINDOWING_X11
  if (GDK_IS_X11_DISPLAY(display)) {
    return gdk_x11_screen_supports_net_wm_hint(
        gdk_display_get_default_screen(display),
        gdk_atom_intern_static_string("_NET_WM_STATE_MAXIMIZED_VERT"));
  }
#endif
  (void)display;
  return true;
}

}  // namespace

FormPeer* FormPeerOf(const fw::TForm& form) { return dynamic_cast<FormPeer*>(form.Peer()); }

FormPeer::FormPeer(fw::TForm& form, fw::TApplication& application)
    // The toolkit owns a new window's first reference and drops it when it is destroyed.
    : WidgetPeer(form, ObjectRef<GtkWidget>::Retain(gtk_window_new(GTK_WINDOW_TOPLEVEL))),
      form_(form),
      application_(application),
      client_(ObjectRef<GtkWidget>::Adopt(gtk_layout_new(nullptr, nullptr))) {
  GtkWindow* window = Window();
  gtk_window_set_title(window, form.Caption().c_str());
  gtk_window_set_decorated(window, form.BorderStyle != fw::TFormBorderStyle::bsNone);
  const int scale = ScaleFactor();
  gtk_window_set_default_size(window, ToToolkit(form.Bounds().Width, scale),
                              ToToolkit(form.Bounds().Height, scale));
  gtk_container_add(GTK_CONTAINER(window), client_.get());
  gtk_widget_show(client_.get());
  ConnectTo(Widget(), "delete-event", OnDelete);
  ConnectTo(Widget(), "key-press-event", OnKeyPress);
  ConnectTo(Widget(), "notify::scale-factor", OnScaleChanged);
  ConnectTo(client_.get(), "size-allocate", OnClientAllocated);
  // The settings outlive every window: the handler must go with the window.
  ConnectTo(gtk_settings_get_default(), "notify::gtk-xft-dpi", OnScaleChanged);
  ConnectTo(client_.get(), "draw", OnDrawClient);
  TrackPointerOn(client_.get());
}

FormPeer::~FormPeer() {
  DisconnectSignals();
  gtk_widget_destroy(Widget());
}

int FormPeer::PixelsPerInch() const {
  int xftDpi = 0;  // 1024 x dots per inch; -1 when the desktop sets none
  g_object_get(gtk_settings_get_default(), "gtk-xft-dpi", &xftDpi, nullptr);
  const int dpi = xftDpi > 0 ? (xftDpi + 512) / 1024 : fw::DesignPixelsPerInch;
  return ScaleFactor() * dpi;
}

void FormPeer::BoundsChanged() {
  // While maximized, or covering the monitor, the window's size is not the layout's to set.
  if (coversMonitor_ || gtk_window_is_maximized(Window())) return;
  const int scale = ScaleFactor();
  gtk_window_resize(Window(), std::max(1, ToToolkit(form_.Bounds().Width, scale)),
                    std::max(1, ToToolkit(form_.Bounds().Height, scale)));
}

void FormPeer::VisibleChanged() {
  if (form_.Visible())
    gtk_widget_show(Widget());
  else
    gtk_widget_hide(Widget());
}

void FormPeer::Show() {
  if (form_.WindowState == fw::TWindowState::wsMaximized) {
    GdkDisplay* display = gtk_widget_get_display(Widget());
    if (WindowManagerMaximizes(display)) {
      gtk_window_maximize(Window());
    } else if (GdkMonitor* monitor = gdk_display_get_primary_monitor(display)
                                         ? gdk_display_get_primary_monitor(display)
                                         : gdk_display_get_monitor(display, 0)) {
      GdkRectangle area;
      gdk_monitor_get_geometry(monitor, &area);
      coversMonitor_ = true;
      gtk_window_move(Window(), area.x, area.y);
      gtk_window_resize(Window(), area.width, area.height);
    }
  }
  gtk_window_present(Window());
}

gboolean FormPeer::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  return AtCallbackBoundary<gboolean>(TRUE, [&]() -> gboolean {
    // Closing the main form ends the application, unless the form keeps it open.
    auto& peer = *static_cast<FormPeer*>(data);
    bool close = true;
    peer.application_.Guard([&] { close = peer.form_.CloseQuery(); });
    if (close) peer.application_.Terminate();
    return TRUE;
  });
}

gboolean FormPeer::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    return RouteKey(static_cast<FormPeer*>(data)->Window(), *event);
  });
}

gboolean FormPeer::OnDrawClient(GtkWidget* widget, cairo_t* cr, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    if (gtk_cairo_should_draw_window(cr, gtk_layout_get_bin_window(GTK_LAYOUT(widget))))
      static_cast<FormPeer*>(data)->FillBackground(cr, widget);
    return FALSE;
  });
}

void FormPeer::OnClientAllocated(GtkWidget*, GdkRectangle*, gpointer data) {
  AtCallbackBoundary([&] {
    auto* self = static_cast<FormPeer*>(data);
    // The children have their sizes for this pass already, and new ones asked for now would
    // wait for some later pass: the layout follows the new size right after this one.
    if (!self->pendingClientSize_) {
      self->pendingClientSize_.Reset(
          g_idle_add_full(GTK_PRIORITY_RESIZE, ApplyClientSize, self, nullptr));
    }
  });
}

gboolean FormPeer::ApplyClientSize(gpointer data) {
  return AtCallbackBoundary<gboolean>(G_SOURCE_REMOVE, [&]() -> gboolean {
    auto* self = static_cast<FormPeer*>(data);
    self->pendingClientSize_.Forget();
    const int scale = self->ScaleFactor();
    const int width = gtk_widget_get_allocated_width(self->client_.get()) * scale;
    const int height = gtk_widget_get_allocated_height(self->client_.get()) * scale;
    const fw::TBounds& b = self->form_.Bounds();
    if (b.Width != width || b.Height != height)
      fw::Application->Guard([&] { self->form_.ClientResized(width, height); });
    return G_SOURCE_REMOVE;
  });
}

void FormPeer::OnScaleChanged(GObject*, GParamSpec*, gpointer data) {
  AtCallbackBoundary([&] { static_cast<FormPeer*>(data)->Rescale(); });
}

void FormPeer::Rescale() {
  // Moved to a monitor of another scale, or the font resolution changed: rescale the
  // layout, then place every widget again, since the toolkit's pixels changed size too.
  fw::Application->Guard([&] { form_.ScaleForPixelsPerInch(PixelsPerInch()); });
  for (fw::TComponent* component : form_.Components()) {
    if (auto* control = dynamic_cast<fw::TControl*>(component); control && control->Peer()) {
      control->Peer()->BoundsChanged();
      control->Peer()->AppearanceChanged();
    }
  }
  const int scale = ScaleFactor();
  fw::Application->Guard([&] {
    form_.ClientResized(gtk_widget_get_allocated_width(client_.get()) * scale,
                        gtk_widget_get_allocated_height(client_.get()) * scale);
  });
}

}  // namespace fw::gtk
