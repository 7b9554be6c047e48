#pragma once

#include <cstdint>

#include "framework/core/Events.h"

namespace fw {

// Whether a key pressed in the page asks the browser engine for a window or a dialog of its
// own: a new window, open, save, print, find (Ctrl+N, O, S, P, F) or full screen (F11). A
// locked kiosk swallows these; every other key reaches the page.
bool OpensEngineWindow(std::uint16_t key, TShiftState shift);

}  // namespace fw
