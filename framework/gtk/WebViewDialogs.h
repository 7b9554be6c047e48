#pragma once

#include <webkit2/webkit2.h>

#include <memory>
#include <vector>

#include "framework/gtk/Handles.h"
#include "framework/gtk/WebViewEvents.h"

namespace fw::gtk {

// What a page holds open in front of the visitor: its alert, confirm or prompt, the question
// before it is left, a file window or a print dialog. The engine shows them; this keeps them
// at hand so that a navigation the program insists on can take them all away.
class WebViewDialogs : private WebViewEvents::Listener {
 public:
  // Listens through `events`, which must outlive it.
  WebViewDialogs(WebKitWebView* view, WebViewEvents& events);
  WebViewDialogs(const WebViewDialogs&) = delete;
  WebViewDialogs& operator=(const WebViewDialogs&) = delete;

  // Answers what is open as Cancel and takes it off the screen; until the next page arrives,
  // a question before leaving is answered "leave" without being shown.
  void LeavePage();

 private:
  static gboolean OnScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer self);
  void LoadChanged(WebKitLoadEvent event) override;
  void CloseScriptDialog();

  WebKitWebView* view_;
  bool leaving_ = false;
  using DialogRef = std::unique_ptr<WebKitScriptDialog, decltype(&webkit_script_dialog_unref)>;
  DialogRef dialog_{nullptr, webkit_script_dialog_unref};  // ours while the page waits for it
  std::vector<SignalConnection> connections_;
};

}  // namespace fw::gtk
