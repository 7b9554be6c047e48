#pragma once

#include "framework/core/PopupMenu.h"

namespace fw::gtk {

// Shows `menu` at the screen point (x, y), in device pixels, over the main form; returns once
// it is closed, then runs the chosen item's handler.
void ShowPopupMenu(fw::TPopupMenu& menu, int x, int y);

}  // namespace fw::gtk
