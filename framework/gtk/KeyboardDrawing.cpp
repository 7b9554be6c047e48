#include "framework/gtk/KeyboardDrawing.h"

#include <memory>
#include <string>

#include "framework/core/Scaling.h"
#include "framework/core/StyleManager.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/WidgetPeer.h"

namespace fw::gtk {

namespace {

struct FontDeleter {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};

}  // namespace

void DrawKeyboard(cairo_t* cr, const TKeyboardPicture& picture) {
  const fw::TOnScreenKeyboard& keyboard = picture.Keyboard;
  const fw::TStyle none{};
  const fw::TStyle* active = fw::TStyleManager::ActiveStyle();
  const fw::TStyle& style = active ? *active : none;
  const int scale = picture.Scale;
  cairo_scale(cr, 1.0 / scale, 1.0 / scale);  // device pixels from here on
  SetSourceColor(cr, fw::StyleColor(style, "Panel", fw::clBtnFace));
  cairo_paint(cr);
  const fw::TFont& font = picture.Font;
  std::unique_ptr<PangoFontDescription, FontDeleter> description(pango_font_description_new());
  pango_font_description_set_family(description.get(), font.Name.c_str());
  const int keyHeight = fw::ScaleToDpi(fw::KeyHeightDesign, picture.PixelsPerInch);
  pango_font_description_set_absolute_size(description.get(), keyHeight * 0.4 * PANGO_SCALE);
  const auto layout = ObjectRef<PangoLayout>::Adopt(pango_cairo_create_layout(cr));
  pango_layout_set_font_description(layout.get(), description.get());
  for (std::size_t k = 0; k < picture.Places.size(); ++k) {
    const fw::TKeyPlace& place = picture.Places[k];
    const fw::TKeySpec& key = keyboard.Rows()[place.Row][place.Index];
    const bool pressed = picture.Pressed == k;
    const bool shiftOn = key.Action == fw::TKeyAction::Shift && keyboard.Shifted();
    const fw::TButtonLook look = fw::ButtonLook(
        style, pressed || shiftOn ? fw::TButtonState::Pressed : fw::TButtonState::Normal);
    const fw::TBounds& b = place.Bounds;
    const double inset = look.BorderWidth / 2.0;
    cairo_rectangle(cr, b.Left + inset, b.Top + inset, b.Width - 2 * inset, b.Height - 2 * inset);
    if (look.Face) {
      SetSourceColor(cr, *look.Face);
      cairo_fill_preserve(cr);
    }
    SetSourceColor(cr, look.Border);
    cairo_set_line_width(cr, look.BorderWidth);
    cairo_stroke(cr);
    const std::string& label = keyboard.Label(key);
    if (label.empty()) continue;
    pango_layout_set_text(layout.get(), label.c_str(), -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout.get(), &width, &height);
    SetSourceColor(cr, look.Text);
    cairo_move_to(cr, b.Left + (b.Width - width) / 2.0, b.Top + (b.Height - height) / 2.0);
    pango_cairo_show_layout(cr, layout.get());
  }
}

}  // namespace fw::gtk
