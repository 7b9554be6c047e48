#pragma once

#include <webkit2/webkit2.h>

#include <string>

#include "framework/core/WebBrowser.h"
#include "framework/gtk/Peers.h"

namespace fw::gtk {

// The browser control on Linux: a WebKit web view. The engine's own context menu never
// opens, whatever asks for it (right button, Menu key, touch long-press).
class WebViewPeer : public WidgetPeer, public fw::BrowserPeer {
 public:
  explicit WebViewPeer(fw::TWebBrowser& browser);
  void Navigate(const std::string& url) override;
  WebKitWebView* View() const { return WEBKIT_WEB_VIEW(Widget()); }

 private:
  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                               gpointer self);
};

}  // namespace fw::gtk
