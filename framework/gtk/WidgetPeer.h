#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "framework/core/Control.h"
#include "framework/core/StrokeTracker.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/MemberCallback.h"

namespace fw::gtk {

// A control's widget. The layout's lengths are device pixels; the toolkit's are device
// pixels divided by the window's scale factor.
class WidgetPeer : public fw::ControlPeer {
 public:
  WidgetPeer(fw::TControl& control, ObjectRef<GtkWidget> widget);
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
  // Connects `Method` of `owner` (this peer); it stays connected until DisconnectSignals.
  template <auto Method, auto Failed = 0, class Owner>
  void ConnectTo(gpointer instance, const char* signal, Owner* owner) {
    connections_.push_back(ConnectMember<Method, Failed>(instance, signal, owner));
  }
  // The same for a handler that needs no owner.
  template <class Callback>
  void ConnectTo(gpointer instance, const char* signal, Callback callback) {
    connections_.push_back(Connect(instance, signal, callback, nullptr));
  }
  // Before a peer takes apart what its handlers use.
  void DisconnectSignals() { connections_.clear(); }
  // Feeds the left-button input of `surface` to the stroke recogniser (for controls that
  // take part in gestures) and to ButtonPressed / ButtonReleased.
  void TrackPointerOn(GtkWidget* surface);
  virtual void ButtonPressed(const GdkEventButton&) {}
  virtual void ButtonReleased(const GdkEventButton&) {}
  // True while handling the release that ended a stroke of three samples or more.
  bool ReleaseEndsStroke() const { return releaseVerdict_ != fw::TStrokeVerdict::TooShort; }
  // Fills `cr` (toolkit pixels) with the control's background.
  void FillBackground(cairo_t* cr, GtkWidget* surface) const;

 private:
  gboolean OnPress(GtkWidget*, GdkEventButton* event);
  gboolean OnRelease(GtkWidget*, GdkEventButton* event);
  gboolean OnMotion(GtkWidget*, GdkEventMotion* event);
  bool TakesStrokes() const;
  fw::TPoint ScreenPoint(double xRoot, double yRoot) const;

  fw::TControl& control_;
  ObjectRef<GtkWidget> widget_;
  std::vector<SignalConnection> connections_;
  fw::TStrokeTracker stroke_;
  fw::TStrokeVerdict releaseVerdict_ = fw::TStrokeVerdict::TooShort;
};

// The peer of a control this backend created a widget for, or none.
WidgetPeer* PeerOf(const fw::TControl& control);

// A length in the layout's device pixels, in the toolkit's pixels.
int ToToolkit(int device, int scale);

// The toolkit's rectangle over every device pixel of `bounds`: at a scale factor above 1 each
// edge between two toolkit pixels goes outward, so a control flush with its parent's far edge
// (the app bar at the bottom) stays flush and shows no smaller than the layout made it.
GdkRectangle ToToolkitRect(const fw::TBounds& bounds, int scale);

// Paints in a layout colour, the system colours included.
void SetSourceColor(cairo_t* cr, fw::TColor color);

}  // namespace fw::gtk
