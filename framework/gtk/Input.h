#pragma once

#include <gdk/gdk.h>

#include <cstdint>

#include "framework/core/Events.h"
#include "framework/core/Geometry.h"
#include "framework/core/IdleTimer.h"

namespace fw::gtk {

// The platform's virtual-key number for a key, which the routing and the handlers speak.
std::uint16_t VirtualKey(guint keyval);

// The modifier keys held, from an event's state.
fw::TShiftState ShiftStateOf(guint state);

// What an event tells the idle watch: an input edge of some source, where the pointer is, or
// nothing. Keys count by their hardware code, then buttons, then touch points, each in a
// range of its own.
struct InputReport {
  enum class Kind { Nothing, Edge, Pointer };
  Kind kind = Kind::Nothing;
  fw::TInputEdge edge = fw::TInputEdge::Other;
  int source = 0;
  fw::TPoint pointer{};
};
inline constexpr int kButtonSources = 0x10000;
inline constexpr int kTouchSources = 0x20000;

InputReport ClassifyInput(const GdkEvent& event);

}  // namespace fw::gtk
