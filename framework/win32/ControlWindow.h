#pragma once

#include <windows.h>

namespace fw {
class TControl;
}

namespace fw::win32 {

// The native window of a control; none before its window exists.
HWND WindowOf(const fw::TControl* control);

// The framework control that owns `window` or, failing that, its nearest parent window
// that a control owns; none at the top.
fw::TControl* FindControl(HWND window);

}  // namespace fw::win32
