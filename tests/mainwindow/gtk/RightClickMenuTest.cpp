// The right-click filter over the web view, with a popup menu given to the view: real
// right-button input (XTest) on Form12 built by the program's start-up, in this process.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ProgramStartup.h"
#include "framework/core/PopupMenu.h"
#include "framework/core/StyleManager.h"
#include "framework/gtk/FormPeer.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/PlatformApplication.h"
#include "mainwindow/Unit12.h"
#include "mainwindow/Unit12Module_gtk.h"
#include "tests/mainwindow/gtk/Settle.h"

namespace {

// Runs xdotool with `arguments`, without waiting for it; false when it cannot start.
bool SpawnXdotool(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "xdotool");
  arguments.push_back(nullptr);
  GError* error = nullptr;
  const gboolean spawned = g_spawn_async(nullptr, const_cast<gchar**>(arguments.data()), nullptr,
                                         G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
  const fw::gtk::UniqueGError failure(error);
  if (!spawned) ADD_FAILURE() << (failure ? failure->message : "xdotool did not start");
  return spawned;
}

// Whether a popup menu of this process is on the screen.
bool MenuShown() {
  GList* windows = gtk_window_list_toplevels();
  bool shown = false;
  for (GList* item = windows; item; item = item->next) {
    GtkWidget* window = GTK_WIDGET(item->data);
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(window));
    if (gtk_widget_get_mapped(window) && child && GTK_IS_MENU(child)) shown = true;
  }
  g_list_free(windows);
  return shown;
}

TEST(RightClickMenu, ARightClickOnTheViewShowsItsMenuInsteadAndTheChosenItemRuns) {
  fw::gtk::PlatformApplication application;
  Unit12::Initialization(application);
  RunStartupBlock(application);
  auto* window = fw::gtk::FormPeerOf(*Form12);
  ASSERT_TRUE(window);
  window->Show();
  ASSERT_TRUE(Settle([] { return Form12->Bounds().Width == 1280; }));
  Form12->PanelZastava->Hide();  // the view itself under the pointer

  auto* menu = static_cast<fw::TPopupMenu*>(
      fw::Adopt(*Form12, std::make_unique<fw::TPopupMenu>(Form12)));  // owned by the form
  std::string chosen;
  menu->Items = {{"Первый", [&](fw::TObject*) { chosen = "first"; }},
                 {"Второй", [&](fw::TObject*) { chosen = "second"; }}};
  Form12->WebBrowser1->PopupMenu = menu;

  // The menu runs its own loop, where a timer looks for it and, once it shows, has the keys
  // sent from outside.
  struct Watch {
    bool menuSeen = false, keysSent = false;
  } watch;
  const guint source = g_timeout_add(
      20,
      [](gpointer data) -> gboolean {
        auto& watch = *static_cast<Watch*>(data);
        try {
          if (!MenuShown()) return G_SOURCE_CONTINUE;
          watch.keysSent = SpawnXdotool({"key", "Down", "Down", "Return"});
        } catch (...) {
          ADD_FAILURE() << "the watch for the menu failed";
        }
        watch.menuSeen = true;
        return G_SOURCE_REMOVE;
      },
      &watch);
  EXPECT_TRUE(SpawnXdotool({"mousemove", "700", "400", "click", "3"}));
  EXPECT_TRUE(Settle([&] { return !chosen.empty(); }));
  if (!watch.menuSeen) g_source_remove(source);
  EXPECT_TRUE(watch.keysSent) << "the menu did not show";
  EXPECT_EQ(chosen, "second");
  EXPECT_EQ(menu->PopupComponent, Form12->WebBrowser1);
  Form12 = nullptr;
  fw::TStyleManager::Reset();
}

}  // namespace
