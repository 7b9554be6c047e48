// The right-click filter over the web view, with a popup menu given to the view: real
// right-button input (XTest) on Form12 built by the program's start-up, in this process.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "app/ProgramStartup.h"
#include "framework/core/PopupMenu.h"
#include "framework/core/StyleManager.h"
#include "framework/gtk/GtkFrameworkApplication.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/FormPeer.h"
#include "mainwindow/Unit12.h"
#include "mainwindow/Unit12Module_gtk.h"
#include "tests/mainwindow/gtk/Settle.h"

namespace {

TEST(RightClickMenu, ARightClickOnTheViewShowsItsMenuInsteadAndTheChosenItemRuns) {
  fw::gtk::GtkFrameworkApplication application;
  Unit12::Initialization(application);
  RunStartupBlock(application);
  auto* window = dynamic_cast<fw::gtk::FormPeer*>(Form12->Peer());
  ASSERT_TRUE(window);
  window->Show();
  ASSERT_TRUE(Settle([] { return Form12->Bounds().Width == 1280; }));
  Form12->PanelZastava->Hide();  // the view itself under the pointer

  auto* menu = new fw::TPopupMenu(Form12);  // owned by the form
  std::string chosen;
  menu->Items = {{"Первый", [&](fw::TObject*) { chosen = "first"; }},
                 {"Второй", [&](fw::TObject*) { chosen = "second"; }}};
  Form12->WebBrowser1->PopupMenu = menu;

  // The menu runs its own loop; the keys come from outside while it is open.
  const char* argv[] = {"xdotool", "mousemove", "700",  "400",  "click",  "3",    "sleep",
                        "1",       "key",       "Down", "Down", "Return", nullptr};
  GError* error = nullptr;
  const gboolean spawned = g_spawn_async(nullptr, const_cast<gchar**>(argv), nullptr,
                                         G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
  const fw::gtk::UniqueGError failure(error);
  ASSERT_TRUE(spawned) << (failure ? failure->message : "");
  EXPECT_TRUE(Settle([&] { return !chosen.empty(); }));
  EXPECT_EQ(chosen, "second");
  EXPECT_EQ(menu->PopupComponent, Form12->WebBrowser1);
  Form12 = nullptr;
  fw::TStyleManager::Reset();
}

}  // namespace
