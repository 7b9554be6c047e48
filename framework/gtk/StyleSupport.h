#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "framework/core/StyleManager.h"

namespace fw::gtk {

// The styles compiled into the executable.
std::vector<fw::TStyleManager::EmbeddedStyle> EmbeddedStyles();

// A modal error box over `owner` (or none): the text, one button; returns once it is closed.
void ShowMessageDialog(GtkWindow* owner, const std::string& title, const std::string& text,
                       const char* button);

// The "Error" box with a Close button that the style manager shows for a missing style.
void ShowStyleNotFoundDialog(const std::string& text);

}  // namespace fw::gtk
