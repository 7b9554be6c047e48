#include "framework/gtk/BrowserEvents.h"

#include "framework/core/CallbackBoundary.h"
#include "framework/gtk/MemberCallback.h"

namespace fw::gtk {

// Each listener is a callback of its own: what one throws is shown, and the others still hear.

BrowserEvents::BrowserEvents(WebKitWebView* view) {
  connections_.push_back(
      ConnectMember<&BrowserEvents::OnDecidePolicy>(view, "decide-policy", this));
  connections_.push_back(ConnectMember<&BrowserEvents::OnLoadChanged>(view, "load-changed", this));
  connections_.push_back(ConnectMember<&BrowserEvents::OnLoadFailed>(view, "load-failed", this));
  connections_.push_back(ConnectMember<&BrowserEvents::OnResponsiveness>(
      view, "notify::is-web-process-responsive", this));
  connections_.push_back(
      ConnectMember<&BrowserEvents::OnProcessTerminated>(view, "web-process-terminated", this));
}

gboolean BrowserEvents::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                       WebKitPolicyDecisionType type) {
  for (Listener* listener : listeners_) {
    if (AtCallbackBoundary(false, [&] { return listener->DecidePolicy(decision, type); }))
      return TRUE;
  }
  return FALSE;  // the engine decides as it would
}

void BrowserEvents::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event) {
  for (Listener* listener : listeners_) AtCallbackBoundary([&] { listener->LoadChanged(event); });
}

gboolean BrowserEvents::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error) {
  for (Listener* listener : listeners_) {
    if (AtCallbackBoundary(false, [&] { return listener->LoadFailed(uri, error); })) return TRUE;
  }
  return FALSE;
}

void BrowserEvents::OnResponsiveness(GObject* view, GParamSpec*) {
  const bool responsive = webkit_web_view_get_is_web_process_responsive(WEBKIT_WEB_VIEW(view));
  for (Listener* listener : listeners_)
    AtCallbackBoundary([&] { listener->ResponsivenessChanged(responsive); });
}

void BrowserEvents::OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason) {
  for (Listener* listener : listeners_)
    AtCallbackBoundary([&] { listener->ProcessTerminated(reason); });
}

}  // namespace fw::gtk
