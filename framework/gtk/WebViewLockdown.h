#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/WebBrowser.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/WebViewEvents.h"

namespace fw::gtk {

// The routes out of a locked-down kiosk, closed in the web view: a new window opens in the
// view itself (after a tap only), a main-frame page of a host the browser's list does not
// allow is dropped, and there is no file window, print dialog or download. The PDF viewer
// shows no open, save or print controls. Without a lockdown on the browser, the view behaves as the
// engine does.
class WebViewLockdown : private WebViewEvents::Listener {
 public:
  using Navigate = std::function<void(const std::string& url)>;
  // Listens through `events`, which must outlive it; `navigate` opens an address in the
  // same view.
  WebViewLockdown(const fw::TWebBrowser& browser, WebKitWebView* view, WebViewEvents& events,
                  Navigate navigate);
  WebViewLockdown(const WebViewLockdown&) = delete;
  WebViewLockdown& operator=(const WebViewLockdown&) = delete;
  // Before the program navigates: the viewer's style goes in with the first navigation.
  void BeforeNavigate();

 private:
  static GtkWidget* OnCreate(WebKitWebView* view, WebKitNavigationAction* action, gpointer self);
  bool DecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) override;
  static gboolean OnFileChooser(WebKitWebView* view, WebKitFileChooserRequest* request,
                                gpointer self);
  static gboolean OnPrint(WebKitWebView* view, WebKitPrintOperation* print, gpointer self);
  bool Locked() const { return browser_.Lockdown() != nullptr; }

  const fw::TWebBrowser& browser_;
  WebKitWebView* view_;
  Navigate navigate_;
  bool styled_ = false;
  std::vector<SignalConnection> connections_;
};

}  // namespace fw::gtk
