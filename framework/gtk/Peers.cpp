#include "framework/gtk/Peers.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Gestures.h"
#include "framework/core/Scaling.h"
#include "framework/core/StyleManager.h"
#include "framework/core/StyleRules.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/gtk/GtkFrameworkApplication.h"
#include "framework/gtk/StyleSheet.h"

namespace fw::gtk {

namespace {

// The widgets this backend created, with their peers: nothing else can pass for a control.
std::unordered_map<GtkWidget*, WidgetPeer*>& Peers() {
  static std::unordered_map<GtkWidget*, WidgetPeer*> peers;
  return peers;
}

int ToToolkit(int device, int scale) { return fw::MulDiv(device, 1, scale); }

void SetSourceColor(cairo_t* cr, fw::TColor color) {
  // The two system colours a layout names, as the platform they come from has them.
  if (color.IsSystem())
    color = color == fw::clBtnFace ? fw::TColor::Rgb(0xF0, 0xF0, 0xF0) : fw::clBlack;
  cairo_set_source_rgb(cr, color.R() / 255.0, color.G() / 255.0, color.B() / 255.0);
}

struct FontDescriptionDeleter {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using UniqueFontDescription = std::unique_ptr<PangoFontDescription, FontDescriptionDeleter>;

// The layout's font heights are device pixels (negative: the character height).
UniqueFontDescription FontDescription(const fw::TFont& font, int scale) {
  UniqueFontDescription d(pango_font_description_new());
  pango_font_description_set_family(d.get(), font.Name.c_str());
  pango_font_description_set_absolute_size(
      d.get(), static_cast<double>(std::abs(font.Height)) * PANGO_SCALE / scale);
  pango_font_description_set_weight(d.get(), font.Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(d.get(), font.Italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return d;
}

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};

template <class Callback>
void Connect(GtkWidget* widget, const char* signal, Callback callback, void* self) {
  g_signal_connect(widget, signal, G_CALLBACK(callback), self);
}

}  // namespace

WidgetPeer::WidgetPeer(fw::TControl& control, GtkWidget* widget)
    : control_(control), widget_(widget) {
  if (!widget_) throw fw::Exception("Cannot create the widget of '" + control.Name() + "'");
  Peers()[widget_.get()] = this;
  gtk_widget_set_visible(widget_.get(), control.Visible());
}

WidgetPeer::~WidgetPeer() {
  GtkWidget* widget = widget_.get();
  Peers().erase(widget);
  g_signal_handlers_disconnect_by_data(widget, this);
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
  const auto* form = dynamic_cast<const WidgetPeer*>(top->Peer());
  return std::max(1, gtk_widget_get_scale_factor(form ? form->Widget() : Widget()));
}

void WidgetPeer::PutInto(GtkLayout* container) {
  const int scale = ScaleFactor();
  const fw::TBounds& b = control_.Bounds();
  gtk_widget_set_size_request(Widget(), ToToolkit(b.Width, scale), ToToolkit(b.Height, scale));
  gtk_layout_put(container, Widget(), ToToolkit(b.Left, scale), ToToolkit(b.Top, scale));
}

void WidgetPeer::BoundsChanged() {
  GtkWidget* parent = gtk_widget_get_parent(Widget());
  if (!parent || !GTK_IS_LAYOUT(parent)) return;
  const int scale = ScaleFactor();
  const fw::TBounds& b = control_.Bounds();
  gtk_widget_set_size_request(Widget(), ToToolkit(b.Width, scale), ToToolkit(b.Height, scale));
  gtk_layout_move(GTK_LAYOUT(parent), Widget(), ToToolkit(b.Left, scale), ToToolkit(b.Top, scale));
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
  Connect(surface, "button-press-event", OnPress, this);
  Connect(surface, "button-release-event", OnRelease, this);
  Connect(surface, "motion-notify-event", OnMotion, this);
}

fw::TPoint WidgetPeer::ScreenPoint(double xRoot, double yRoot) const {
  const int scale = ScaleFactor();
  return {static_cast<int>(xRoot * scale), static_cast<int>(yRoot * scale)};
}

gboolean WidgetPeer::OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    auto* self = static_cast<WidgetPeer*>(data);
    // Every click sends a press of its own; the double- and triple-click events only follow.
    if (event->button != GDK_BUTTON_PRIMARY || event->type != GDK_BUTTON_PRESS) return FALSE;
    if (self->TakesStrokes()) {
      self->stroke_.Press(self->ScreenPoint(event->x_root, event->y_root));
      self->tracking_ = true;
    }
    self->ButtonPressed(*event);
    return TRUE;
  });
}

gboolean WidgetPeer::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    auto* self = static_cast<WidgetPeer*>(data);
    if (self->tracking_) self->stroke_.Move(self->ScreenPoint(event->x_root, event->y_root));
    return TRUE;
  });
}

gboolean WidgetPeer::OnRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    auto* self = static_cast<WidgetPeer*>(data);
    if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
    if (self->tracking_) {
      self->tracking_ = false;
      self->stroke_.Move(self->ScreenPoint(event->x_root, event->y_root));
      self->releaseEndsStroke_ =
          fw::RecognizeStroke(self->stroke_.Samples()) != fw::TStrokeVerdict::TooShort;
    }
    // The control sees its release first; a click stays a click.
    fw::Application->Guard([&] { self->ButtonReleased(*event); });
    if (self->releaseEndsStroke_) {
      self->releaseEndsStroke_ = false;
      const std::vector<fw::TPoint> samples = self->stroke_.Samples();
      fw::Application->Guard([&] {
        fw::DispatchStroke(self->control_, fw::RecognizeStroke(samples), samples.back());
      });
    }
    return TRUE;
  });
}

void WidgetPeer::FillBackground(cairo_t* cr, GtkWidget* surface) const {
  SetSourceColor(cr, fw::BackgroundColorOf(control_, fw::TStyleManager::ActiveStyle()));
  cairo_rectangle(cr, 0, 0, gtk_widget_get_allocated_width(surface),
                  gtk_widget_get_allocated_height(surface));
  cairo_fill(cr);
}

ContainerPeer::ContainerPeer(fw::TControl& control)
    : WidgetPeer(control, gtk_layout_new(nullptr, nullptr)) {
  Connect(Widget(), "draw", OnDraw, this);
  TrackPointerOn(Widget());
}

gboolean ContainerPeer::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    auto* self = static_cast<ContainerPeer*>(data);
    // The children live on the layout's inner window; paint beneath them there.
    if (!gtk_cairo_should_draw_window(cr, gtk_layout_get_bin_window(GTK_LAYOUT(widget))))
      return FALSE;
    self->FillBackground(cr, widget);
    const std::string& caption = self->Control().Caption();
    if (!caption.empty()) {
      ObjectRef<PangoLayout> layout(gtk_widget_create_pango_layout(widget, caption.c_str()));
      const auto font = FontDescription(self->Control().EffectiveFont(), self->ScaleFactor());
      pango_layout_set_font_description(layout.get(), font.get());
      int width = 0, height = 0;
      pango_layout_get_pixel_size(layout.get(), &width, &height);
      SetSourceColor(cr, fw::CaptionColorOf(self->Control(), fw::TStyleManager::ActiveStyle()));
      cairo_move_to(cr, (gtk_widget_get_allocated_width(widget) - width) / 2.0,
                    (gtk_widget_get_allocated_height(widget) - height) / 2.0);
      pango_cairo_show_layout(cr, layout.get());
    }
    return FALSE;  // the layout draws its children next
  });
}

ButtonPeer::ButtonPeer(fw::TControl& control) : WidgetPeer(control, gtk_button_new_with_label("")) {
  gtk_style_context_add_class(gtk_widget_get_style_context(Widget()), kButtonClass);
  gtk_widget_set_can_focus(Widget(), TRUE);
  Connect(Widget(), "clicked", OnClicked, this);
  AppearanceChanged();
}

void ButtonPeer::AppearanceChanged() {
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(Widget()));
  if (!label || !GTK_IS_LABEL(label)) return;
  gtk_label_set_text(GTK_LABEL(label), Control().Caption().c_str());
  // A caption wider than the button is cut, never allowed to widen it past its layout size.
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  const auto font = FontDescription(Control().EffectiveFont(), ScaleFactor());
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_font_desc_new(font.get()));
  gtk_label_set_attributes(GTK_LABEL(label), attributes);
  pango_attr_list_unref(attributes);
}

void ButtonPeer::OnClicked(GtkButton*, gpointer data) {
  AtCallbackBoundary(0, [&] {
    auto& control = static_cast<ButtonPeer*>(data)->Control();
    fw::Application->Guard([&] { control.Click(); });
    return 0;
  });
}

ImagePeer::ImagePeer(fw::TImage& image) : WidgetPeer(image, gtk_drawing_area_new()), image_(image) {
  Connect(Widget(), "draw", OnDraw, this);
  TrackPointerOn(Widget());
}

void ImagePeer::ButtonReleased(const GdkEventButton& event) {
  if (!pressed_) return;
  pressed_ = false;
  const bool inside = event.x >= 0 && event.y >= 0 &&
                      event.x < gtk_widget_get_allocated_width(Widget()) &&
                      event.y < gtk_widget_get_allocated_height(Widget());
  // A release that ends a stroke is a gesture, not a click.
  if (inside && !ReleaseEndsStroke()) image_.Click();
}

gboolean ImagePeer::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    auto* self = static_cast<ImagePeer*>(data);
    self->FillBackground(cr, widget);
    const fw::TBitmap& picture = self->image_.Picture;
    if (picture.Empty()) return TRUE;
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.Width, picture.Height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return TRUE;
    cairo_surface_flush(surface.get());
    // Cairo wants premultiplied alpha in native-endian 32-bit words.
    unsigned char* rows = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < picture.Height; ++y) {
      auto* out = reinterpret_cast<std::uint32_t*>(rows + y * stride);
      for (int x = 0; x < picture.Width; ++x) {
        const std::uint8_t* p =
            &picture.Rgba[(static_cast<std::size_t>(y) * picture.Width + x) * 4];
        const unsigned a = p[3];
        out[x] = (a << 24) | ((p[0] * a / 255) << 16) | ((p[1] * a / 255) << 8) | (p[2] * a / 255);
      }
    }
    cairo_surface_mark_dirty(surface.get());
    // The picture and its place are device pixels.
    const double toToolkit = 1.0 / self->ScaleFactor();
    cairo_scale(cr, toToolkit, toToolkit);
    const fw::TBounds& cell = self->image_.Bounds();
    if (self->image_.Stretch) {
      cairo_scale(cr, static_cast<double>(cell.Width) / picture.Width,
                  static_cast<double>(cell.Height) / picture.Height);
      cairo_set_source_surface(cr, surface.get(), 0, 0);
    } else {
      const fw::TPoint origin = self->image_.PictureOrigin();
      cairo_set_source_surface(cr, surface.get(), origin.X, origin.Y);
    }
    cairo_paint(cr);
    return TRUE;
  });
}

FormPeer::FormPeer(fw::TForm& form, GtkFrameworkApplication& application)
    // The toolkit owns a new window's first reference and drops it when it is destroyed.
    : WidgetPeer(form, GTK_WIDGET(g_object_ref(gtk_window_new(GTK_WINDOW_TOPLEVEL)))),
      form_(form),
      application_(application),
      client_(gtk_layout_new(nullptr, nullptr)) {
  GtkWindow* window = Window();
  gtk_window_set_title(window, form.Caption().c_str());
  gtk_window_set_decorated(window, form.BorderStyle != fw::TFormBorderStyle::bsNone);
  const int scale = ScaleFactor();
  gtk_window_set_default_size(window, ToToolkit(form.Bounds().Width, scale),
                              ToToolkit(form.Bounds().Height, scale));
  gtk_container_add(GTK_CONTAINER(window), client_.get());
  gtk_widget_show(client_.get());
  Connect(Widget(), "delete-event", OnDelete, this);
  Connect(Widget(), "key-press-event", OnKeyPress, this);
  Connect(Widget(), "notify::scale-factor", OnScaleChanged, this);
  Connect(client_.get(), "size-allocate", OnClientAllocated, this);
  g_signal_connect(gtk_settings_get_default(), "notify::gtk-xft-dpi", G_CALLBACK(OnScaleChanged),
                   this);
  Connect(
      client_.get(), "draw",
      +[](GtkWidget* widget, cairo_t* cr, gpointer data) -> gboolean {
        return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
          if (gtk_cairo_should_draw_window(cr, gtk_layout_get_bin_window(GTK_LAYOUT(widget))))
            static_cast<FormPeer*>(data)->FillBackground(cr, widget);
          return FALSE;
        });
      },
      this);
  TrackPointerOn(client_.get());
}

FormPeer::~FormPeer() {
  g_signal_handlers_disconnect_by_data(gtk_settings_get_default(), this);
  g_signal_handlers_disconnect_by_data(client_.get(), this);
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
    // Closing the main form ends the application.
    static_cast<FormPeer*>(data)->application_.Terminate();
    return TRUE;
  });
}

gboolean FormPeer::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    auto* self = static_cast<FormPeer*>(data);
    return self->application_.RouteKey(self->form_, *event);
  });
}

void FormPeer::OnClientAllocated(GtkWidget*, GdkRectangle*, gpointer data) {
  AtCallbackBoundary(0, [&] {
    auto* self = static_cast<FormPeer*>(data);
    // The children have their sizes for this pass already, and new ones asked for now would
    // wait for some later pass: the layout follows the new size right after this one.
    if (!self->pendingClientSize_) {
      self->pendingClientSize_.Reset(
          g_idle_add_full(GTK_PRIORITY_RESIZE, ApplyClientSize, self, nullptr));
    }
    return 0;
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
  AtCallbackBoundary(0, [&] {
    static_cast<FormPeer*>(data)->Rescale();
    return 0;
  });
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
