#include "framework/gtk/ControlPeers.h"

#include <cstdlib>
#include <memory>

#include "framework/core/Application.h"
#include "framework/core/Bitmap.h"
#include "framework/core/StyleManager.h"
#include "framework/core/StyleRules.h"
#include "framework/gtk/StyleSheet.h"

namespace fw::gtk {

namespace {

struct FontDescriptionDeleter {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using UniqueFontDescription = std::unique_ptr<PangoFontDescription, FontDescriptionDeleter>;

struct AttrListDeleter {
  void operator()(PangoAttrList* list) const { pango_attr_list_unref(list); }
};
using UniqueAttrList = std::unique_ptr<PangoAttrList, AttrListDeleter>;

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

}  // namespace

ContainerPeer::ContainerPeer(fw::TControl& control)
    : WidgetPeer(control, ObjectRef<GtkWidget>::Adopt(gtk_layout_new(nullptr, nullptr))) {
  ConnectTo<&ContainerPeer::OnDraw>(Widget(), "draw", this);
  TrackPointerOn(Widget());
}

gboolean ContainerPeer::OnDraw(GtkWidget* widget, cairo_t* cr) {
  // The children live on the layout's inner window; paint beneath them there.
  if (!gtk_cairo_should_draw_window(cr, gtk_layout_get_bin_window(GTK_LAYOUT(widget))))
    return FALSE;
  FillBackground(cr, widget);
  const std::string& caption = Control().Caption();
  if (!caption.empty()) {
    const auto layout =
        ObjectRef<PangoLayout>::Adopt(gtk_widget_create_pango_layout(widget, caption.c_str()));
    const auto font = FontDescription(Control().EffectiveFont(), ScaleFactor());
    pango_layout_set_font_description(layout.get(), font.get());
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout.get(), &width, &height);
    SetSourceColor(cr, fw::CaptionColorOf(Control(), fw::TStyleManager::ActiveStyle()));
    cairo_move_to(cr, (gtk_widget_get_allocated_width(widget) - width) / 2.0,
                  (gtk_widget_get_allocated_height(widget) - height) / 2.0);
    pango_cairo_show_layout(cr, layout.get());
  }
  return FALSE;  // the layout draws its children next
}

ButtonPeer::ButtonPeer(fw::TControl& control)
    : WidgetPeer(control, ObjectRef<GtkWidget>::Adopt(gtk_button_new_with_label(""))) {
  gtk_style_context_add_class(gtk_widget_get_style_context(Widget()), kButtonClass);
  gtk_widget_set_can_focus(Widget(), TRUE);
  ConnectTo<&ButtonPeer::OnClicked>(Widget(), "clicked", this);
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(Widget()));
  if (label && GTK_IS_LABEL(label)) {
    // The caption's fit is known only once the button has its size.
    ConnectTo<&ButtonPeer::OnLabelAllocated>(label, "size-allocate", this);
    // Only a safety net: the fitted caption is never wider than the button.
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  }
  AppearanceChanged();
}

void ButtonPeer::AppearanceChanged() {
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(Widget()));
  if (!label || !GTK_IS_LABEL(label)) return;
  fitted_ = {};
  FitCaption(label, gtk_widget_get_allocated_width(label) * ScaleFactor());
}

void ButtonPeer::OnLabelAllocated(GtkWidget* label, GdkRectangle* allocation) {
  FitCaption(label, allocation->width * ScaleFactor());
}

void ButtonPeer::FitCaption(GtkWidget* label, int width) {
  const fw::TFont& font = Control().EffectiveFont();
  const int scale = ScaleFactor();
  fw::TFont sized = font;
  const auto measuring =
      ObjectRef<PangoLayout>::Adopt(gtk_widget_create_pango_layout(label, nullptr));
  const fw::TCaptionFit fit = fw::FitCaption(
      Control().Caption(), width, std::abs(font.Height), [&](std::string_view text, int size) {
        sized.Height = -size;
        const auto description = FontDescription(sized, scale);
        pango_layout_set_font_description(measuring.get(), description.get());
        pango_layout_set_text(measuring.get(), text.data(), static_cast<int>(text.size()));
        int textWidth = 0, textHeight = 0;
        pango_layout_get_size(measuring.get(), &textWidth, &textHeight);
        // Pango units of toolkit pixels, rounded up to whole device pixels.
        return (textWidth * scale + PANGO_SCALE - 1) / PANGO_SCALE;
      });
  // Setting the text lays the label out again: only when the fit changed, or it never ends.
  if (fit == fitted_) return;
  fitted_ = fit;
  sized.Height = -fit.Size;
  gtk_label_set_text(GTK_LABEL(label), fit.Text.c_str());
  const auto description = FontDescription(sized, scale);
  const UniqueAttrList attributes(pango_attr_list_new());
  pango_attr_list_insert(attributes.get(), pango_attr_font_desc_new(description.get()));
  gtk_label_set_attributes(GTK_LABEL(label), attributes.get());
}

void ButtonPeer::OnClicked(GtkButton*) {
  fw::Application->Guard([&] { Control().Click(); });
}

ImagePeer::ImagePeer(fw::TImage& image)
    : WidgetPeer(image, ObjectRef<GtkWidget>::Adopt(gtk_drawing_area_new())), image_(image) {
  ConnectTo<&ImagePeer::OnDraw>(Widget(), "draw", this);
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

gboolean ImagePeer::OnDraw(GtkWidget* widget, cairo_t* cr) {
  FillBackground(cr, widget);
  const fw::TBitmap& picture = image_.Picture;
  if (picture.Empty()) return TRUE;
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.Width, picture.Height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return TRUE;
  cairo_surface_flush(surface.get());
  // Cairo wants premultiplied alpha in native-endian 32-bit words.
  fw::WritePremultipliedBgra(
      picture, cairo_image_surface_get_data(surface.get()),
      static_cast<std::size_t>(cairo_image_surface_get_stride(surface.get())));
  cairo_surface_mark_dirty(surface.get());
  // The picture and its place are device pixels.
  const double toToolkit = 1.0 / ScaleFactor();
  cairo_scale(cr, toToolkit, toToolkit);
  const fw::TBounds& cell = image_.Bounds();
  if (image_.Stretch) {
    cairo_scale(cr, static_cast<double>(cell.Width) / picture.Width,
                static_cast<double>(cell.Height) / picture.Height);
    cairo_set_source_surface(cr, surface.get(), 0, 0);
  } else {
    const fw::TPoint origin = image_.PictureOrigin();
    cairo_set_source_surface(cr, surface.get(), origin.X, origin.Y);
  }
  cairo_paint(cr);
  return TRUE;
}

}  // namespace fw::gtk
