#include "framework/gtk/WebViewDialogs.h"

#include <cstring>
#include <utility>
#include <vector>

#include "framework/core/CallbackBoundary.h"

namespace fw::gtk {

namespace {

// The engine draws a page's dialog as a child of the view, which answering it leaves behind.
void DestroyScriptDialogBox(GtkWidget* child, gpointer) {
  if (std::strcmp(G_OBJECT_TYPE_NAME(child), "WebKitScriptDialogImpl") == 0)
    gtk_widget_destroy(child);
}

// The file window and the print dialog the engine opens for a page; the program itself opens
// neither.
bool PageWindow(GtkWidget* window) {
  const char* type = G_OBJECT_TYPE_NAME(window);
  return GTK_IS_FILE_CHOOSER_DIALOG(window) || std::strcmp(type, "GtkPrintUnixDialog") == 0;
}

void CancelPageWindows() {
  // The list holds no references: each is taken first, as a response may destroy a window.
  std::vector<ObjectRef<GtkWidget>> windows;
  const UniqueGList toplevels(gtk_window_list_toplevels());
  for (GList* item = toplevels.get(); item; item = item->next)
    windows.push_back(ObjectRef<GtkWidget>::Retain(static_cast<GtkWidget*>(item->data)));
  for (const ObjectRef<GtkWidget>& window : windows) {
    if (PageWindow(window.get()) && gtk_widget_get_visible(window.get()))
      gtk_dialog_response(GTK_DIALOG(window.get()), GTK_RESPONSE_CANCEL);
  }
}

}  // namespace

WebViewDialogs::WebViewDialogs(WebKitWebView* view, WebViewEvents& events) : view_(view) {
  events.Listen(*this);
  connections_.push_back(Connect(view, "script-dialog", OnScriptDialog, this));
}

void WebViewDialogs::LeavePage() {
  leaving_ = true;
  CloseScriptDialog();
  CancelPageWindows();
}

gboolean WebViewDialogs::OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer self) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    auto& dialogs = *static_cast<WebViewDialogs*>(self);
    if (dialogs.leaving_ && webkit_script_dialog_get_dialog_type(dialog) ==
                                WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
      webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
      return TRUE;  // answered when the engine lets go of it; nothing shows
    }
    dialogs.CloseScriptDialog();
    dialogs.dialog_.reset(webkit_script_dialog_ref(dialog));
    return FALSE;  // the engine shows it
  });
}

void WebViewDialogs::LoadChanged(WebKitLoadEvent event) {
  // The page that could ask is gone: the next one may ask its visitor again.
  if (event == WEBKIT_LOAD_COMMITTED) leaving_ = false;
}

void WebViewDialogs::CloseScriptDialog() {
  if (!dialog_) return;
  const DialogRef dialog = std::move(dialog_);
  // A question before leaving is answered "leave"; otherwise, unanswered, a confirm is false
  // and a prompt gets nothing: Cancel.
  if (webkit_script_dialog_get_dialog_type(dialog.get()) ==
      WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
    webkit_script_dialog_confirm_set_confirmed(dialog.get(), TRUE);
  }
  webkit_script_dialog_close(dialog.get());
  gtk_container_forall(GTK_CONTAINER(view_), DestroyScriptDialogBox, nullptr);
}

}  // namespace fw::gtk
