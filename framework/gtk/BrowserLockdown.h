#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/WebBrowser.h"
#include "framework/gtk/BrowserEvents.h"
#include "framework/gtk/Handles.h"

namespace fw::gtk {

// The routes out of a locked-down kiosk, closed in the web view: a new window opens in the
// view itself (after a tap only), a main-frame page of a host the browser's list does not
// allow is dropped, and there is no file window, print dialog or download. The PDF viewer
// shows no open, save or print controls. Without a lockdown on the browser, the view behaves as the
// engine does.
class BrowserLockdown : private BrowserEvents::Listener {
 public:
  using Navigate = std::function<void(const std::string& url)>;
  // Listens through `events`, which must outlive it; `navigate` opens an address in the
  // same view.
  BrowserLockdown(const fw::TWebBrowser& browser, WebKitWebView* view, BrowserEvents& events,
                  Navigate navigate);
  BrowserLockdown(const BrowserLockdown&) = delete;
  BrowserLockdown& operator=(const BrowserLockdown&) = delete;
  // Before the program navigates: the viewer's style goes in with the first navigation.
  void BeforeNavigate();

 private:
  GtkWidget* OnCreate(WebKitWebView* view, WebKitNavigationAction* action);
  bool DecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) override;
  gboolean OnFileChooser(WebKitWebView* view, WebKitFileChooserRequest* request);
  gboolean OnPrint(WebKitWebView* view, WebKitPrintOperation* print);
  bool Locked() const { return browser_.Lockdown() != nullptr; }

  const fw::TWebBrowser& browser_;
  WebKitWebView* view_;
  Navigate navigate_;
  bool styled_ = false;
  std::vector<SignalConnection> connections_;
};

}  // namespace fw::gtk
