#pragma once

#include <gtk/gtk.h>

#include "framework/core/Form.h"
#include "framework/core/StandardControls.h"
#include "framework/core/Strokes.h"
#include "framework/gtk/Handles.h"

namespace fw::gtk {

class GtkFrameworkApplication;

// A control's widget. The layout's lengths are device pixels; the toolkit's are device
// pixels divided by the window's scale factor.
class WidgetPeer : public fw::ControlPeer {
 public:
  WidgetPeer(fw::TControl& control, GtkWidget* widget);
  ~WidgetPeer() override;
  WidgetPeer(const WidgetPeer&) = delete;
  WidgetPeer& operator=(const WidgetPeer&) = delete;

  GtkWidget* Widget() const { return widget_.get(); }
  fw::TControl& Control() const { return control_; }
  // Where the control's children go; none for a control that holds no others.
  virtual GtkLayout* Container() const { return nullptr; }
  // Puts the widget into its parent's container, at the control's bounds.
  void PutInto(GtkLayout* container);

  void BoundsChanged() override;
  void VisibleChanged() override;
  void AppearanceChanged() override { gtk_widget_queue_draw(Widget()); }
  void BringToFront() override;
  void SetFocus() override { gtk_widget_grab_focus(Widget()); }
  bool Focused() const override { return gtk_widget_is_focus(Widget()); }

  // The peer whose widget this is, or none.
  static WidgetPeer* FromWidget(GtkWidget* widget);
  // The control `widget` belongs to: its own, or that of the nearest ancestor with one.
  static fw::TControl* FindControl(GtkWidget* widget);
  // Device pixels per toolkit pixel in the window that holds the control.
  int ScaleFactor() const;

 protected:
  // Feeds the left-button input of `surface` to the stroke recogniser (for controls that
  // take part in gestures) and to ButtonPressed / ButtonReleased.
  void TrackPointerOn(GtkWidget* surface);
  virtual void ButtonPressed(const GdkEventButton&) {}
  virtual void ButtonReleased(const GdkEventButton&) {}
  // True while handling the release that ended a stroke of three samples or more.
  bool ReleaseEndsStroke() const { return releaseEndsStroke_; }
  // Fills `cr` (toolkit pixels) with the control's background.
  void FillBackground(cairo_t* cr, GtkWidget* surface) const;

 private:
  static gboolean OnPress(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnRelease(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer self);
  bool TakesStrokes() const;
  fw::TPoint ScreenPoint(double xRoot, double yRoot) const;

  fw::TControl& control_;
  ObjectRef<GtkWidget> widget_;
  fw::TStrokeSampler stroke_;
  bool tracking_ = false;
  bool releaseEndsStroke_ = false;
};

// A panel or the split view: a container that paints its background and its caption.
class ContainerPeer : public WidgetPeer {
 public:
  explicit ContainerPeer(fw::TControl& control);
  GtkLayout* Container() const override { return GTK_LAYOUT(Widget()); }

 private:
  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
};

class ButtonPeer : public WidgetPeer {
 public:
  explicit ButtonPeer(fw::TControl& control);
  void AppearanceChanged() override;

 private:
  static void OnClicked(GtkButton*, gpointer self);
};

class ImagePeer : public WidgetPeer {
 public:
  explicit ImagePeer(fw::TImage& image);

 protected:
  void ButtonPressed(const GdkEventButton&) override { pressed_ = true; }
  void ButtonReleased(const GdkEventButton& event) override;

 private:
  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
  fw::TImage& image_;
  bool pressed_ = false;
};

// The form's top-level window and its client area.
class FormPeer : public WidgetPeer {
 public:
  FormPeer(fw::TForm& form, GtkFrameworkApplication& application);
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
  static void OnClientAllocated(GtkWidget*, GdkRectangle* allocation, gpointer self);
  static void OnScaleChanged(GObject*, GParamSpec*, gpointer self);
  static gboolean ApplyClientSize(gpointer self);
  void Rescale();

  fw::TForm& form_;
  GtkFrameworkApplication& application_;
  ObjectRef<GtkWidget> client_;
  bool coversMonitor_ = false;
  SourceId pendingClientSize_;
};

}  // namespace fw::gtk
