#include "framework/gtk/StyleSheet.h"

#include <cstdio>

namespace fw::gtk {

namespace {

std::string Css(fw::TColor color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", color.R(), color.G(), color.B());
  return text;
}

std::string Rule(const std::string& selector, const fw::TButtonLook& look) {
  return "button." + std::string(kButtonClass) + selector +
         " { background-color: " + (look.Face ? Css(*look.Face) : std::string("transparent")) +
         "; border-color: " + Css(look.Border) +
         "; border-width: " + std::to_string(look.BorderWidth) + "px; color: " + Css(look.Text) +
         "; }\n";
}

}  // namespace

std::string ButtonStyleSheet(const fw::TStyle& style) {
  // The theme's gradients, shadows, rounding and padding would hide the style's look or
  // make a button larger than its layout size.
  std::string css = "button." + std::string(kButtonClass) +
                    " { background-image: none; box-shadow: none; text-shadow: none;"
                    " border-style: solid; border-radius: 0; padding: 0; margin: 0;"
                    " min-width: 0; min-height: 0; outline-width: 0; }\n";
  // Later rules win among equals: the order is ButtonStateOf's priority, lowest first.
  css += Rule("", fw::ButtonLook(style, fw::TButtonState::Normal));
  css += Rule(":focus", fw::ButtonLook(style, fw::TButtonState::Focused));
  css += Rule(":hover", fw::ButtonLook(style, fw::TButtonState::Hot));
  css += Rule(":active", fw::ButtonLook(style, fw::TButtonState::Pressed));
  css += Rule(":disabled", fw::ButtonLook(style, fw::TButtonState::Disabled));
  return css;
}

}  // namespace fw::gtk
