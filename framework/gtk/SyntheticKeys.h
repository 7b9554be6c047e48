#pragma once

#include <gtk/gtk.h>

namespace fw::gtk {

// A key press and release for `view`, as the keyboard would deliver them; nothing while the
// view has no window.
void SendKeyTo(GtkWidget* view, guint keyval);

}  // namespace fw::gtk
