#include "framework/gtk/HiddenCursor.h"

#include <stdexcept>

#include "framework/gtk/MemberCallback.h"

namespace fw::gtk {

namespace {

constexpr const char* kBlankKey = "duvuzezera-blank-cursor";

void KeepBlank(GdkWindow* window, GParamSpec*, gpointer blank) {
  if (gdk_window_get_cursor(window) != blank) gdk_window_set_cursor(window, GDK_CURSOR(blank));
}

// The window and every window inside it. A widget or the web view that sets a cursor of its
// own later (a selectable label, a link on the page) finds it replaced at once.
void Cover(GdkWindow* window, GdkCursor* blank) {
  if (!g_object_get_data(G_OBJECT(window), kBlankKey)) {
    g_object_set_data(G_OBJECT(window), kBlankKey, blank);
    // The handler holds the cursor for as long as the window lives.
    g_signal_connect_data(
        window, "notify::cursor", G_CALLBACK(KeepBlank), g_object_ref(blank),
        [](gpointer data, GClosure*) { g_object_unref(data); }, GConnectFlags{});
  }
  KeepBlank(window, nullptr, blank);
  const UniqueGList children(gdk_window_get_children(window));
  for (GList* child = children.get(); child; child = child->next)
    Cover(GDK_WINDOW(child->data), blank);
}

// Undoes Cover: the windows take the cursors their widgets set again.
void Uncover(GdkWindow* window, GdkCursor* blank) {
  if (g_object_get_data(G_OBJECT(window), kBlankKey)) {
    g_signal_handlers_disconnect_matched(
        window, static_cast<GSignalMatchType>(G_SIGNAL_MATCH_FUNC | G_SIGNAL_MATCH_DATA), 0, 0,
        nullptr, reinterpret_cast<gpointer>(KeepBlank), blank);
    g_object_set_data(G_OBJECT(window), kBlankKey, nullptr);
    gdk_window_set_cursor(window, nullptr);
  }
  const UniqueGList children(gdk_window_get_children(window));
  for (GList* child = children.get(); child; child = child->next)
    Uncover(GDK_WINDOW(child->data), blank);
}

// The windows of every toplevel already shown.
template <class Each>
void ForEachShownWindow(Each each) {
  const UniqueGList toplevels(gtk_window_list_toplevels());
  for (GList* toplevel = toplevels.get(); toplevel; toplevel = toplevel->next) {
    GtkWidget* widget = GTK_WIDGET(toplevel->data);
    if (GdkWindow* window = gtk_widget_get_mapped(widget) ? gtk_widget_get_window(widget) : nullptr)
      each(window);
  }
}

}  // namespace

HiddenCursor::HiddenCursor() {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) throw std::runtime_error("no display to hide the pointer on");
  GdkCursor* blank = gdk_cursor_new_from_name(display, "none");
  if (!blank) blank = gdk_cursor_new_for_display(display, GDK_BLANK_CURSOR);
  if (!blank) throw std::runtime_error("the display has no blank pointer cursor");
  blank_ = ObjectRef<GdkCursor>::Adopt(blank);
  // The class holds the "map" signal; it stays while the hook is in.
  widgetClass_ = g_type_class_ref(GTK_TYPE_WIDGET);
  mapSignal_ = g_signal_lookup("map", GTK_TYPE_WIDGET);
  // Stays for the next widget (TRUE) even when one fails.
  mapHook_ = g_signal_add_emission_hook(
      mapSignal_, 0, MemberCallback<&HiddenCursor::Mapped, TRUE>::Call, this, nullptr);
  // Made while the program runs (the setting changed), windows are already shown.
  ForEachShownWindow([this](GdkWindow* window) { Cover(window, blank_.get()); });
}

HiddenCursor::~HiddenCursor() {
  g_signal_remove_emission_hook(mapSignal_, mapHook_);
  g_type_class_unref(widgetClass_);
  ForEachShownWindow([this](GdkWindow* window) { Uncover(window, blank_.get()); });
}

// "map" runs its class handler first, so the widget's windows exist and are shown here.
gboolean HiddenCursor::Mapped(GSignalInvocationHint*, guint count, const GValue* parameters) {
  if (count == 0) return TRUE;
  auto* widget = GTK_WIDGET(g_value_get_object(&parameters[0]));
  if (GdkWindow* window = widget ? gtk_widget_get_window(widget) : nullptr)
    Cover(window, blank_.get());
  return TRUE;
}

}  // namespace fw::gtk
