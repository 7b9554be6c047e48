// What a handler throws while the toolkit calls into the program: real clicks (XTest) on
// Form12 built by the program's start-up, in this process.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/ProgramStartup.h"
#include "framework/core/Exceptions.h"
#include "framework/core/StyleManager.h"
#include "framework/gtk/FormPeer.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/PlatformApplication.h"
#include "framework/gtk/WidgetPeer.h"
#include "mainwindow/Unit12.h"
#include "tests/mainwindow/gtk/Settle.h"

namespace {

// Runs xdotool with `arguments`, without waiting for it.
void SpawnXdotool(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "xdotool");
  std::vector<gchar*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  GError* error = nullptr;
  const gboolean spawned = g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH,
                                         nullptr, nullptr, nullptr, &error);
  const fw::gtk::UniqueGError failure(error);
  if (!spawned) ADD_FAILURE() << (failure ? failure->message : "xdotool did not start");
}

// The centre of the control on the screen, in the device pixels xdotool speaks.
std::pair<int, int> ScreenCentre(const fw::TControl& control) {
  GtkWidget* widget = fw::gtk::PeerOf(control)->Widget();
  GtkWidget* top = gtk_widget_get_toplevel(widget);
  int x = 0, y = 0, left = 0, top_y = 0;
  gtk_widget_translate_coordinates(widget, top, gtk_widget_get_allocated_width(widget) / 2,
                                   gtk_widget_get_allocated_height(widget) / 2, &x, &y);
  gdk_window_get_origin(gtk_widget_get_window(top), &left, &top_y);
  const int scale = gtk_widget_get_scale_factor(widget);
  return {(left + x) * scale, (top_y + y) * scale};
}

// The text of each message box the program showed, each closed as soon as it showed.
struct BoxWatch {
  std::vector<std::string> texts;

  static gboolean Look(gpointer data) {
    auto& watch = *static_cast<BoxWatch*>(data);
    try {
      GList* windows = gtk_window_list_toplevels();
      for (GList* item = windows; item; item = item->next) {
        GtkWidget* window = GTK_WIDGET(item->data);
        if (!GTK_IS_MESSAGE_DIALOG(window) || !gtk_widget_get_mapped(window)) continue;
        gchar* text = nullptr;
        g_object_get(window, "text", &text, nullptr);
        watch.texts.emplace_back(text ? text : "");
        g_free(text);
        gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_CLOSE);
      }
      g_list_free(windows);
    } catch (...) {
      ADD_FAILURE() << "the watch for boxes failed";
    }
    return G_SOURCE_CONTINUE;
  }
};

TEST(CallbackFailure, WhatAClickHandlerThrowsIsShownInABoxAndTheLoopGoesOn) {
  fw::gtk::PlatformApplication application;
  RunStartupBlock(application);
  auto* window = fw::gtk::FormPeerOf(*Form12);
  ASSERT_TRUE(window);
  window->Show();
  ASSERT_TRUE(Settle([] { return Form12->Bounds().Width == 1280; }));

  struct Row {
    const char* what;
    std::function<void()> fail;
    std::string box;
  };
  const std::vector<Row> rows{
      {"an exception of the framework", [] { throw fw::Exception("Кнопка сломалась"); },
       "Кнопка сломалась."},
      {"something not an exception at all", [] { throw 42; },
       "An exception of an unknown type was raised."},
  };
  BoxWatch boxes;
  const guint source = g_timeout_add(20, BoxWatch::Look, &boxes);
  const auto [x, y] = ScreenCentre(*Form12->Button2);
  for (const Row& row : rows) {
    Form12->Button2->OnClick = [&row](fw::TObject*) { row.fail(); };
    const std::size_t before = boxes.texts.size();
    SpawnXdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"});
    EXPECT_TRUE(Settle([&] { return boxes.texts.size() > before; })) << row.what;
    if (boxes.texts.size() > before) {
      EXPECT_EQ(boxes.texts[before], row.box) << row.what;
    }
    // The loop goes on: Escape on the button clicked toggles the bar.
    const bool shown = Form12->AppBar->Visible();
    SpawnXdotool({"key", "Escape"});
    EXPECT_TRUE(Settle([&] { return Form12->AppBar->Visible() != shown; })) << row.what;
  }
  g_source_remove(source);
  EXPECT_EQ(boxes.texts.size(), rows.size()) << "one box for each failure";
  Form12 = nullptr;
  fw::TStyleManager::Reset();
}

}  // namespace
