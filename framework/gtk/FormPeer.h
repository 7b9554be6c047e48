#pragma once

#include <gtk/gtk.h>

#include "framework/core/Application.h"
#include "framework/core/Form.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/WidgetPeer.h"

namespace fw::gtk {

// The form's top-level window and its client area.
class FormPeer : public WidgetPeer {
 public:
  FormPeer(fw::TForm& form, fw::TApplication& application);
  ~FormPeer() override;
  GtkLayout* Container() const override { return GTK_LAYOUT(client_.get()); }
  GtkWindow* Window() const { return GTK_WINDOW(Widget()); }

  void BoundsChanged() override;
  void VisibleChanged() override;
  void SetFocus() override { gtk_window_present(Window()); }
  bool Focused() const override { return gtk_window_is_active(Window()); }
  // Shows the window in its window state: maximized, or covering its monitor where no
  // window manager maximizes windows.
  void Show();
  // The resolution the layout is scaled for: the monitor's scale factor times the
  // toolkit's font resolution.
  int PixelsPerInch() const;

 private:
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
  static gboolean OnDrawClient(GtkWidget* widget, cairo_t* cr, gpointer self);
  static void OnClientAllocated(GtkWidget*, GdkRectangle* allocation, gpointer self);
  static void OnScaleChanged(GObject*, GParamSpec*, gpointer self);
  static gboolean ApplyClientSize(gpointer self);
  void Rescale();

  fw::TForm& form_;
  fw::TApplication& application_;
  ObjectRef<GtkWidget> client_;
  bool coversMonitor_ = false;
  SourceId pendingClientSize_;
};

// The window of a form this backend created, or none.
FormPeer* FormPeerOf(const fw::TForm& form);

}  // namespace fw::gtk
