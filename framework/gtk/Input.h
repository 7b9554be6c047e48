#pragma once

#include <gdk/gdk.h>
#include <gtk/gtk.h>

#include <cstdint>

#include "framework/core/Events.h"
#include "framework/core/InputReport.h"

namespace fw::gtk {

// The platform's virtual-key number for a key, which the routing and the handlers speak.
std::uint16_t VirtualKey(guint keyval);

// The modifier keys held, from an event's state.
fw::TShiftState ShiftStateOf(guint state);

// What an event tells the idle watch.
fw::TInputReport ClassifyInput(const GdkEvent& event);

// Routes a key that reached `window` ahead of its focused widget. True when it was consumed.
bool RouteKey(GtkWindow* window, const GdkEventKey& event);

}  // namespace fw::gtk
