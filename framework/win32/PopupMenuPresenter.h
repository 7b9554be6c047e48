#pragma once

#include "framework/core/PopupMenu.h"

namespace fw::win32 {

// Shows a popup menu with the system's menu at a screen point and runs the chosen item.
void ShowPopupMenu(fw::TPopupMenu& menu, int x, int y);

}  // namespace fw::win32
