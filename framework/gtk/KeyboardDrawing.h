#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "framework/core/Font.h"
#include "framework/core/KeyboardGeometry.h"
#include "framework/core/OnScreenKeyboard.h"

namespace fw::gtk {

// What one drawing of the keyboard needs: the keys as placed, which one is held, the form's
// font, and the panel's scale and resolution.
struct TKeyboardPicture {
  const fw::TOnScreenKeyboard& Keyboard;
  const std::vector<fw::TKeyPlace>& Places;
  std::optional<std::size_t> Pressed;
  const fw::TFont& Font;
  int Scale = 1;
  int PixelsPerInch = 96;
};

// In the active style's colours, as the push buttons are drawn: the panel's background, each
// key a button in its normal state, the held one pressed.
void DrawKeyboard(cairo_t* cr, const TKeyboardPicture& picture);

}  // namespace fw::gtk
