#include "framework/gtk/WidgetPeer.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Gestures.h"
#include "framework/core/Scaling.h"
#include "framework/core/StyleManager.h"
#include "framework/core/StyleRules.h"

namespace fw::gtk {

namespace {

// The widgets this backend created, with their peers: nothing else can pass for a control.
std::unordered_map<GtkWidget*, WidgetPeer*>& Peers() {
  static std::unordered_map<GtkWidget*, WidgetPeer*> peers;
  return peers;
}

}  // namespace

int ToToolkit(int device, int scale) { return fw::MulDiv(device, 1, scale); }

namespace {
int FloorDiv(int value, int scale) {
  return value >= 0 ? value / scale : -((scale - 1 - value) / scale);
}
}  // namespace

GdkRectangle ToToolkitRect(const fw::TBounds& b, int scale) {
  const int left = FloorDiv(b.Left, scale);
  const int top = FloorDiv(b.Top, scale);
  const int right = -FloorDiv(-(b.Left + b.Width), scale);
  const int bottom = -FloorDiv(-(b.Top + b.Height), scale);
  return {left, top, right - left, bottom - top};
}

void SetSourceColor(cairo_t* cr, fw::TColor color) {
  // The two system colours a layout names, as the platform they come from has them.
  if (color.IsSystem())
    color = color == fw::clBtnFace ? fw::TColor::Rgb(0xF0, 0xF0, 0xF0) : fw::clBlack;
  cairo_set_source_rgb(cr, color.R() / 255.0, color.G() / 255.0, color.B() / 255.0);
}

WidgetPeer* PeerOf(const fw::TControl& control) {
  return dynamic_cast<WidgetPeer*>(control.Peer());
}

WidgetPeer::WidgetPeer(fw::TControl& control, ObjectRef<GtkWidget> widget)
    : control_(control), widget_(std::move(widget)) {
  if (!widget_) throw fw::Exception("Cannot create the widget of '" + control.Name() + "'");
  Peers()[widget_.get()] = this;
  gtk_widget_set_visible(widget_.get(), control.Visible());
}

WidgetPeer::~WidgetPeer() {
  GtkWidget* widget = widget_.get();
  Peers().erase(widget);
  DisconnectSignals();
  if (GtkWidget* parent = gtk_widget_get_parent(widget))
    gtk_container_remove(GTK_CONTAINER(parent), widget);
}

WidgetPeer* WidgetPeer::FromWidget(GtkWidget* widget) {
  const auto found = Peers().find(widget);
  return found == Peers().end() ? nullptr : found->second;
}

fw::TControl* WidgetPeer::FindControl(GtkWidget* widget) {
  for (; widget; widget = gtk_widget_get_parent(widget)) {
    if (WidgetPeer* peer = FromWidget(widget)) return &peer->Control();
  }
  return nullptr;
}

int WidgetPeer::ScaleFactor() const {
  const fw::TControl* top = &control_;
  while (top->Parent()) top = top->Parent();
  const WidgetPeer* form = PeerOf(*top);
  return std::max(1, gtk_widget_get_scale_factor(form ? form->Widget() : Widget()));
}

void WidgetPeer::PutInto(GtkLayout* container) {
  const GdkRectangle r = ToToolkitRect(control_.Bounds(), ScaleFactor());
  gtk_widget_set_size_request(Widget(), r.width, r.height);
  gtk_layout_put(container, Widget(), r.x, r.y);
}

void WidgetPeer::BoundsChanged() {
  GtkWidget* parent = gtk_widget_get_parent(Widget());
  if (!parent || !GTK_IS_LAYOUT(parent)) return;
  const GdkRectangle r = ToToolkitRect(control_.Bounds(), ScaleFactor());
  gtk_widget_set_size_request(Widget(), r.width, r.height);
  gtk_layout_move(GTK_LAYOUT(parent), Widget(), r.x, r.y);
}

void WidgetPeer::VisibleChanged() { gtk_widget_set_visible(Widget(), control_.Visible()); }

void WidgetPeer::BringToFront() {
  GtkWidget* parent = gtk_widget_get_parent(Widget());
  if (!parent || !GTK_IS_LAYOUT(parent)) return;
  // A container draws its children, and stacks their windows, in the order they were put
  // in: putting the widget in again places it above its siblings.
  gtk_container_remove(GTK_CONTAINER(parent), Widget());
  PutInto(GTK_LAYOUT(parent));
}

bool WidgetPeer::TakesStrokes() const {
  return control_.TakesPartInGestures() && fw::Application && fw::Application->TouchFirst();
}

void WidgetPeer::TrackPointerOn(GtkWidget* surface) {
  // Without the touch mask, a finger arrives as the pointer events the system emulates for
  // its first touch, so touch strokes take the same road as mouse strokes.
  gtk_widget_add_events(surface,
                        GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
  ConnectTo<&WidgetPeer::OnPress>(surface, "button-press-event", this);
  ConnectTo<&WidgetPeer::OnRelease>(surface, "button-release-event", this);
  ConnectTo<&WidgetPeer::OnMotion>(surface, "motion-notify-event", this);
}

fw::TPoint WidgetPeer::ScreenPoint(double xRoot, double yRoot) const {
  const int scale = ScaleFactor();
  return {static_cast<int>(xRoot * scale), static_cast<int>(yRoot * scale)};
}

gboolean WidgetPeer::OnPress(GtkWidget*, GdkEventButton* event) {
  // Every click sends a press of its own; the double- and triple-click events only follow.
  if (event->button != GDK_BUTTON_PRIMARY || event->type != GDK_BUTTON_PRESS) return FALSE;
  if (TakesStrokes()) stroke_.Press(ScreenPoint(event->x_root, event->y_root));
  ButtonPressed(*event);
  return TRUE;
}

gboolean WidgetPeer::OnMotion(GtkWidget*, GdkEventMotion* event) {
  if (stroke_.Tracking()) stroke_.Move(ScreenPoint(event->x_root, event->y_root));
  return TRUE;
}

gboolean WidgetPeer::OnRelease(GtkWidget*, GdkEventButton* event) {
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  releaseVerdict_ = stroke_.Release(ScreenPoint(event->x_root, event->y_root));
  // The control sees its release first; a click stays a click.
  fw::Application->Guard([&] { ButtonReleased(*event); });
  if (ReleaseEndsStroke()) {
    const fw::TStrokeVerdict verdict = std::exchange(releaseVerdict_, fw::TStrokeVerdict::TooShort);
    const fw::TPoint at = stroke_.Samples().back();
    fw::Application->Guard([&] { fw::DispatchStroke(control_, verdict, at); });
  }
  return TRUE;
}

void WidgetPeer::FillBackground(cairo_t* cr, GtkWidget* surface) const {
  SetSourceColor(cr, fw::BackgroundColorOf(control_, fw::TStyleManager::ActiveStyle()));
  cairo_rectangle(cr, 0, 0, gtk_widget_get_allocated_width(surface),
                  gtk_widget_get_allocated_height(surface));
  cairo_fill(cr);
}

}  // namespace fw::gtk
