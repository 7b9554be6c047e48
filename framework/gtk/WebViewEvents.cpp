#include "framework/gtk/WebViewEvents.h"

#include "framework/core/CallbackBoundary.h"

namespace fw::gtk {

// Each listener is a callback of its own: what one throws is shown, and the others still hear.

WebViewEvents::WebViewEvents(WebKitWebView* view) {
  connections_.push_back(Connect(view, "decide-policy", OnDecidePolicy, this));
  connections_.push_back(Connect(view, "load-changed", OnLoadChanged, this));
  connections_.push_back(Connect(view, "load-failed", OnLoadFailed, this));
  connections_.push_back(
      Connect(view, "notify::is-web-process-responsive", OnResponsiveness, this));
  connections_.push_back(Connect(view, "web-process-terminated", OnProcessTerminated, this));
}

gboolean WebViewEvents::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                       WebKitPolicyDecisionType type, gpointer self) {
  for (Listener* listener : static_cast<WebViewEvents*>(self)->listeners_) {
    if (AtCallbackBoundary(false, [&] { return listener->DecidePolicy(decision, type); }))
      return TRUE;
  }
  return FALSE;  // the engine decides as it would
}

void WebViewEvents::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
  for (Listener* listener : static_cast<WebViewEvents*>(self)->listeners_)
    AtCallbackBoundary([&] { listener->LoadChanged(event); });
}

gboolean WebViewEvents::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                     gpointer self) {
  for (Listener* listener : static_cast<WebViewEvents*>(self)->listeners_) {
    if (AtCallbackBoundary(false, [&] { return listener->LoadFailed(uri, error); })) return TRUE;
  }
  return FALSE;
}

void WebViewEvents::OnResponsiveness(GObject* view, GParamSpec*, gpointer self) {
  const bool responsive = webkit_web_view_get_is_web_process_responsive(WEBKIT_WEB_VIEW(view));
  for (Listener* listener : static_cast<WebViewEvents*>(self)->listeners_)
    AtCallbackBoundary([&] { listener->ResponsivenessChanged(responsive); });
}

void WebViewEvents::OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                        gpointer self) {
  for (Listener* listener : static_cast<WebViewEvents*>(self)->listeners_)
    AtCallbackBoundary([&] { listener->ProcessTerminated(reason); });
}

}  // namespace fw::gtk
