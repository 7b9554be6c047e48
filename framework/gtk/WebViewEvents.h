#pragma once

#include <webkit2/webkit2.h>

#include <vector>

#include "framework/gtk/Handles.h"

namespace fw::gtk {

// The web view's navigation and process signals, heard once and passed to each listener in
// the order they listen: one that refuses a navigation comes before one that watches it.
class WebViewEvents {
 public:
  class Listener {
   public:
    // True: the decision is taken, and the listeners after this one do not see it.
    virtual bool DecidePolicy(WebKitPolicyDecision*, WebKitPolicyDecisionType) { return false; }
    virtual void LoadChanged(WebKitLoadEvent) {}
    // True: handled, and the engine shows no error page of its own.
    virtual bool LoadFailed(const char* /*uri*/, GError*) { return false; }
    virtual void ResponsivenessChanged(bool /*responsive*/) {}
    virtual void ProcessTerminated(WebKitWebProcessTerminationReason) {}

   protected:
    ~Listener() = default;
  };

  explicit WebViewEvents(WebKitWebView* view);
  WebViewEvents(const WebViewEvents&) = delete;
  WebViewEvents& operator=(const WebViewEvents&) = delete;

  // `listener` must stay until Close or the end of this.
  void Listen(Listener& listener) { listeners_.push_back(&listener); }
  // From now on no signal reaches a listener: before they go.
  void Close() { connections_.clear(); }

 private:
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self);
  static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                               gpointer self);
  static void OnResponsiveness(GObject* view, GParamSpec*, gpointer self);
  static void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                  gpointer self);

  std::vector<Listener*> listeners_;
  std::vector<SignalConnection> connections_;
};

}  // namespace fw::gtk
