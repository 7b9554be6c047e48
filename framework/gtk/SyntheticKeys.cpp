#include "framework/gtk/SyntheticKeys.h"

#include <memory>

#include "framework/gtk/Handles.h"

namespace fw::gtk {

namespace {

struct EventDeleter {
  void operator()(GdkEvent* event) const { gdk_event_free(event); }
};

}  // namespace

void SendKeyTo(GtkWidget* view, guint keyval) {
  GdkWindow* window = gtk_widget_get_window(view);
  if (!window) return;
  GdkDisplay* display = gtk_widget_get_display(view);
  guint16 keycode = 0;
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  const bool found =
      gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys, &count);
  const std::unique_ptr<GdkKeymapKey, GFreeDeleter> owned(keys);
  if (found && count > 0) keycode = static_cast<guint16>(keys[0].keycode);
  GdkSeat* seat = gdk_display_get_default_seat(display);
  GdkDevice* keyboard = seat ? gdk_seat_get_keyboard(seat) : nullptr;
  for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
    std::unique_ptr<GdkEvent, EventDeleter> event(gdk_event_new(type));
    event->key.window = GDK_WINDOW(g_object_ref(window));
    event->key.send_event = TRUE;
    event->key.time = gtk_get_current_event_time();
    event->key.keyval = keyval;
    event->key.hardware_keycode = keycode;
    if (keyboard) gdk_event_set_device(event.get(), keyboard);
    gtk_widget_event(view, event.get());
  }
}

}  // namespace fw::gtk
