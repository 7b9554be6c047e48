#pragma once

#include <webkit2/webkit2.h>

#include <vector>

#include "framework/gtk/Handles.h"

namespace fw::gtk {

// The web view's navigation and process signals, heard once and passed to each listener in
// the order they listen: one that refuses a navigation comes before one that watches it.
class BrowserEvents {
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

  explicit BrowserEvents(WebKitWebView* view);
  BrowserEvents(const BrowserEvents&) = delete;
  BrowserEvents& operator=(const BrowserEvents&) = delete;

  // `listener` must stay until Close or the end of this.
  void Listen(Listener& listener) { listeners_.push_back(&listener); }
  // From now on no signal reaches a listener: before they go.
  void Close() { connections_.clear(); }

 private:
  gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                          WebKitPolicyDecisionType type);
  void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event);
  gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error);
  void OnResponsiveness(GObject* view, GParamSpec*);
  void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason);

  std::vector<Listener*> listeners_;
  std::vector<SignalConnection> connections_;
};

}  // namespace fw::gtk
