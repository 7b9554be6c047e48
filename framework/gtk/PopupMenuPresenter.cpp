#include "framework/gtk/PopupMenuPresenter.h"

#include <gtk/gtk.h>

#include <vector>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/FormPeer.h"

namespace fw::gtk {

namespace {

constexpr char kItemIndex[] = "fw-item-index";

struct Choice {
  std::size_t item = 0;  // 1-based; 0: none
};

void OnActivate(GtkMenuItem* item, gpointer choice) {
  fw::AtCallbackBoundary([&] {
    static_cast<Choice*>(choice)->item =
        GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(item), kItemIndex));
  });
}

void OnDeactivate(GtkMenuShell*, gpointer loop) { g_main_loop_quit(static_cast<GMainLoop*>(loop)); }

}  // namespace

void ShowPopupMenu(fw::TPopupMenu& menu, int x, int y) {
  fw::TForm* form = fw::Application ? fw::Application->MainForm() : nullptr;
  FormPeer* owner = form ? FormPeerOf(*form) : nullptr;
  GdkWindow* window = owner ? gtk_widget_get_window(owner->Widget()) : nullptr;
  if (!window) throw fw::Exception("No window to show the menu '" + menu.Name() + "' over");

  const auto popup = ObjectRef<GtkWidget>::Adopt(gtk_menu_new());
  Choice choice;
  std::vector<SignalConnection> activations;
  for (std::size_t i = 0; i < menu.Items.size(); ++i) {
    GtkWidget* item = gtk_menu_item_new_with_label(menu.Items[i].Caption.c_str());
    g_object_set_data(G_OBJECT(item), kItemIndex, GSIZE_TO_POINTER(i + 1));
    activations.push_back(Connect(item, "activate", OnActivate, &choice));
    gtk_menu_shell_append(GTK_MENU_SHELL(popup.get()), item);
    gtk_widget_show(item);
  }
  UniqueMainLoop loop(g_main_loop_new(nullptr, FALSE));
  SignalConnection deactivated = Connect(popup.get(), "deactivate", OnDeactivate, loop.get());
  int originX = 0, originY = 0;
  gdk_window_get_origin(window, &originX, &originY);
  const int scale = owner->ScaleFactor();
  const GdkRectangle at{x / scale - originX, y / scale - originY, 1, 1};
  gtk_menu_popup_at_rect(GTK_MENU(popup.get()), window, &at, GDK_GRAVITY_NORTH_WEST,
                         GDK_GRAVITY_NORTH_WEST, nullptr);
  // Modal, as the menu of the other platform: the caller goes on once it is closed.
  if (gtk_widget_get_visible(popup.get())) g_main_loop_run(loop.get());
  // The items go with the menu, so their handlers go first.
  deactivated.Reset();
  activations.clear();
  gtk_widget_destroy(popup.get());
  if (choice.item >= 1 && choice.item <= menu.Items.size() && menu.Items[choice.item - 1].OnClick)
    menu.Items[choice.item - 1].OnClick(&menu);
}

}  // namespace fw::gtk
