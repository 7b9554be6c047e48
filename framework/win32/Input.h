#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/core/Events.h"
#include "framework/core/InputReport.h"

namespace fw::win32 {

// The virtual-key number of a key message's key, which the routing and the handlers speak.
std::uint16_t VirtualKey(WPARAM wParam);

// The modifier keys held as `message` arrives.
fw::TShiftState ShiftStateOf(const MSG& message);

// What a message tells the idle watch.
fw::TInputReport ClassifyInput(const MSG& message);

// Routes a key message ahead of dispatch: the page's accelerators, dialog keys, key preview.
// True when it was consumed; otherwise the key preview may have changed its key.
bool RouteKey(MSG& message);

// A thread's WH_GETMESSAGE hook: every input message that any loop takes reaches the
// application, and one it claims becomes WM_NULL.
LRESULT CALLBACK InputHook(int code, WPARAM removal, LPARAM message);

}  // namespace fw::win32
