#pragma once

#include <webkit2/webkit2.h>

#include <string>
#include <vector>

#include "framework/core/CrashLimit.h"
#include "framework/core/HangRecovery.h"
#include "framework/core/LoadRetry.h"
#include "framework/core/WebBrowser.h"
#include "framework/gtk/Handles.h"

namespace fw::gtk {

// Brings the web view's page back by itself: a hung page is ended, a dead web process
// replaced, a page that could not be reached loaded again, a load that never ends stopped.
// The rules are the core's; this feeds them the view's signals and carries out what they say.
class WebViewRecovery {
 public:
  WebViewRecovery(fw::TWebBrowser& browser, WebKitWebView* view);
  ~WebViewRecovery();
  WebViewRecovery(const WebViewRecovery&) = delete;
  WebViewRecovery& operator=(const WebViewRecovery&) = delete;

  // The program is about to load an address: a hung page's process ends first, and a pending
  // retry is dropped.
  void BeforeProgramLoad(const std::string& uri);
  void SettingsChanged();

 private:
  static void OnResponsiveness(GObject* view, GParamSpec*, gpointer self);
  static void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                  gpointer self);
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self);
  static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                               gpointer self);
  static gboolean OnPatienceOut(gpointer self);
  static gboolean OnRetryDue(gpointer self);
  static gboolean OnLoadTimeout(gpointer self);
  static gboolean AskThePage(gpointer self);
  static void OnAnswer(GObject* view, GAsyncResult* result, gpointer self);
  void PageUnresponsive();
  void PageResponsive();
  // A question still unanswered no longer counts: its page or process is gone.
  void DropQuestion();
  void VisitorActed();
  void CancelRetry();
  // Ends the web process; the engine starts another at the next load.
  void EndWebProcess();
  void Shown(const std::string& address, bool errorPage);
  // Counted and logged for the operator.
  void HangEnded();
  void CountFinished(const char* uri);

  fw::TWebBrowser& browser_;
  WebKitWebView* view_;
  fw::THangRecovery hang_;
  fw::TCrashLimit crashes_;
  fw::TLoadRetry retry_;
  // Where the main frame is going: the view names it only once the page arrives.
  std::string goingTo_;
  std::string failedAddress_;  // of the last load that failed, whose error page shows
  bool programLoad_ = false;   // the load under way was asked for by the program
  int errorPageSteps_ = 0;     // loads that end before the engine's error page has shown
  bool loadFailed_ = false;    // the last load ended in failure
  bool retryLoad_ = false;     // the load under way is a retry
  bool timedOut_ = false;      // the failure being reported is the program's load timeout
  SourceId patience_;
  SourceId retryTimer_;
  SourceId loadTimer_;
  SourceId pageQuestions_;            // while a page shows
  ObjectRef<GCancellable> question_;  // the question the page has not answered yet
  bool questionHung_ = false;         // the page was found hung by it
  std::vector<SignalConnection> connections_;
};

}  // namespace fw::gtk
