#pragma once

#include <gtk/gtk.h>

#include "framework/gtk/Handles.h"

namespace fw::gtk {

// No pointer cursor over any window of the program while it exists (a touch kiosk): every
// window the toolkit maps, a message box's included, gets a blank cursor and keeps it
// whatever a widget or the web view sets later.
class HiddenCursor {
 public:
  HiddenCursor();
  ~HiddenCursor();
  HiddenCursor(const HiddenCursor&) = delete;
  HiddenCursor& operator=(const HiddenCursor&) = delete;

 private:
  gboolean Mapped(GSignalInvocationHint* hint, guint count, const GValue* parameters);

  ObjectRef<GdkCursor> blank_;
  gpointer widgetClass_ = nullptr;
  guint mapSignal_ = 0;
  gulong mapHook_ = 0;
};

}  // namespace fw::gtk
