#include "framework/gtk/WebViewRecovery.h"

#include <optional>
#include <utility>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/EventLog.h"
#include "framework/core/Exceptions.h"

namespace fw::gtk {

namespace {

fw::TLoadFailure Classify(const GError* error) {
  // A load that another navigation replaced, or that became a download, did not fail.
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
      g_error_matches(error, WEBKIT_POLICY_ERROR,
                      WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
      g_error_matches(error, WEBKIT_PLUGIN_ERROR, WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD)) {
    return fw::TLoadFailure::Replaced;
  }
  // The address itself is refused before any request leaves: a failing navigate call.
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL) ||
      g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI) ||
      g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT)) {
    return fw::TLoadFailure::AddressRefused;
  }
  return fw::TLoadFailure::Unreachable;
}

// The kind an operator tells failures apart by; the program's own timeout says so itself.
fw::TFailureKind KindOf(const GError* error, bool timedOut) {
  if (timedOut || g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT))
    return fw::TFailureKind::Timeout;
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED))
    return fw::TFailureKind::Refused;
  if (error && error->domain == G_RESOLVER_ERROR) return fw::TFailureKind::UnknownHost;
  return fw::TFailureKind::Other;
}

const char* KindName(fw::TFailureKind kind) {
  switch (kind) {
    case fw::TFailureKind::Refused:
      return "connection refused";
    case fw::TFailureKind::UnknownHost:
      return "unknown host";
    case fw::TFailureKind::Timeout:
      return "timeout";
    case fw::TFailureKind::HttpError:
      return "HTTP error";
    case fw::TFailureKind::Other:
      return "other";
  }
  return "";
}

// Only the host: what else the address holds may be the visitor's.
std::string HostOf(const char* uri) {
  gchar* host = nullptr;
  if (uri) {
    g_uri_split(uri, G_URI_FLAGS_NONE, nullptr, nullptr, &host, nullptr, nullptr, nullptr, nullptr,
                nullptr);
  }
  const UniqueGChar owned(host);
  return host ? host : "?";
}

void CountFailure(fw::TFailureKind kind, const char* uri) {
  fw::TMetrics& metrics = fw::Application->Metrics();
  metrics.LoadFailed(kind);
  metrics.LoadEnded(fw::TLoadOutcome::Failed, fw::TMetrics::Clock::now());
  fw::LogEvent(fw::TEvent::PageFailed, std::string(KindName(kind)) + ", host " + HostOf(uri));
}

// The engine finds a page unresponsive only when it asks it something; with nobody tapping
// it asks nothing. A trivial question this often lets a hang show within a few seconds.
constexpr std::chrono::seconds kQuestionInterval{2};

guint Seconds(std::chrono::seconds delay, GSourceFunc callback, gpointer self) {
  return g_timeout_add_seconds_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay.count()), callback,
                                    self, nullptr);
}

}  // namespace

WebViewRecovery::WebViewRecovery(fw::TWebBrowser& browser, WebKitWebView* view)
    : browser_(browser), view_(view), retry_(browser.Recovery().RetryDelay) {
  connections_.push_back(
      Connect(view, "notify::is-web-process-responsive", OnResponsiveness, this));
  connections_.push_back(Connect(view, "web-process-terminated", OnProcessTerminated, this));
  connections_.push_back(Connect(view, "decide-policy", OnDecidePolicy, this));
  connections_.push_back(Connect(view, "load-changed", OnLoadChanged, this));
  connections_.push_back(Connect(view, "load-failed", OnLoadFailed, this));
  if (fw::Application) fw::Application->OnVisitorInput = [this] { VisitorActed(); };
}

WebViewRecovery::~WebViewRecovery() {
  DropQuestion();
  if (fw::Application) fw::Application->OnVisitorInput = nullptr;
}

void WebViewRecovery::SettingsChanged() {
  retry_.SetBase(browser_.Recovery().RetryDelay);
  retryTimer_.Reset();
}

void WebViewRecovery::BeforeProgramLoad(const std::string& uri) {
  goingTo_ = uri;
  CancelRetry();
  if (hang_.Navigating()) EndWebProcess();
  patience_.Reset();
  programLoad_ = true;
}

void WebViewRecovery::VisitorActed() { CancelRetry(); }

void WebViewRecovery::CancelRetry() {
  if (retry_.Cancel())
    fw::LogEvent(fw::TEvent::RetryDropped, "the visitor or the program moved on");
  retryTimer_.Reset();
}

void WebViewRecovery::EndWebProcess() { webkit_web_view_terminate_web_process(view_); }

void WebViewRecovery::Shown(const std::string& address, bool errorPage) {
  if (browser_.OnPageShown)
    fw::Application->Guard([&] { browser_.OnPageShown(address, errorPage); });
}

void WebViewRecovery::HangEnded() {
  fw::Application->Metrics().HangEnded();
  fw::LogEvent(fw::TEvent::HangEnded, "host " + HostOf(webkit_web_view_get_uri(view_)));
}

// The engine shows a server's error answer as a page; for the operator it is a failure. The
// blank document under the splash is no page, even when it ends after the first tap.
void WebViewRecovery::CountFinished(const char* uri) {
  if (!uri || g_str_has_prefix(uri, "about:")) return;
  WebKitWebResource* resource = webkit_web_view_get_main_resource(view_);
  WebKitURIResponse* response = resource ? webkit_web_resource_get_response(resource) : nullptr;
  const guint status = response ? webkit_uri_response_get_status_code(response) : 0;
  if (const auto kind = fw::FailureOfHttpStatus(static_cast<int>(status))) {
    CountFailure(*kind, uri);
    return;
  }
  fw::Application->Metrics().LoadEnded(fw::TLoadOutcome::Loaded, fw::TMetrics::Clock::now());
}

void WebViewRecovery::OnResponsiveness(GObject*, GParamSpec*, gpointer self) {
  AtCallbackBoundary([&] {
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    if (webkit_web_view_get_is_web_process_responsive(recovery.view_)) {
      recovery.PageResponsive();
    } else {
      recovery.PageUnresponsive();
    }
  });
}

void WebViewRecovery::PageResponsive() {
  hang_.Responsive();
  patience_.Reset();
}

void WebViewRecovery::PageUnresponsive() {
  if (hang_.Unresponsive() == fw::THangStep::EndAndNavigate) {
    const std::string uri = goingTo_;  // the process's end may change it
    HangEnded();
    EndWebProcess();
    webkit_web_view_load_uri(view_, uri.empty() ? "about:blank" : uri.c_str());
    return;
  }
  // Found by the engine and by the program's question alike: the patience runs once.
  if (!patience_) patience_.Reset(Seconds(fw::THangRecovery::Patience, OnPatienceOut, this));
}

gboolean WebViewRecovery::AskThePage(gpointer self) {
  return AtCallbackBoundary<gboolean>(G_SOURCE_CONTINUE, [&] {
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    if (recovery.question_) {
      // Unanswered for a whole interval: the page's thread is held.
      if (!std::exchange(recovery.questionHung_, true)) recovery.PageUnresponsive();
      return G_SOURCE_CONTINUE;
    }
    recovery.question_ = ObjectRef<GCancellable>::Adopt(g_cancellable_new());
    // In a world of the program's own; the answer itself does not matter.
    webkit_web_view_evaluate_javascript(recovery.view_, "0", -1, "duvuzezera-recovery", nullptr,
                                        recovery.question_.get(), OnAnswer, self);
    return G_SOURCE_CONTINUE;
  });
}

void WebViewRecovery::OnAnswer(GObject* view, GAsyncResult* result, gpointer self) {
  AtCallbackBoundary([&] {
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
    const ObjectRef<JSCValue> answer = ObjectRef<JSCValue>::Adopt(value);
    const UniqueGError owned(error);
    // Dropped: the recovery may be gone.
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return;
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    recovery.question_.reset();
    if (std::exchange(recovery.questionHung_, false)) recovery.PageResponsive();
  });
}

void WebViewRecovery::DropQuestion() {
  if (question_) g_cancellable_cancel(question_.get());
  question_.reset();
  questionHung_ = false;
}

gboolean WebViewRecovery::OnPatienceOut(gpointer self) {
  return AtCallbackBoundary<gboolean>(G_SOURCE_REMOVE, [&] {
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    recovery.patience_.Forget();
    const fw::THangStep step = recovery.hang_.PatienceOut();
    if (step == fw::THangStep::None) return G_SOURCE_REMOVE;
    // The address before the process goes: the view may forget it with the page.
    const gchar* shown = webkit_web_view_get_uri(recovery.view_);
    const std::string uri = shown ? shown : "about:blank";
    recovery.HangEnded();
    recovery.EndWebProcess();
    webkit_web_view_load_uri(recovery.view_,
                             step == fw::THangStep::EndAndReload ? uri.c_str() : "about:blank");
    return G_SOURCE_REMOVE;
  });
}

void WebViewRecovery::OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                          gpointer self) {
  AtCallbackBoundary([&] {
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    recovery.patience_.Reset();
    recovery.loadTimer_.Reset();
    recovery.DropQuestion();
    // Ended by the program itself, which loads what comes next.
    if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
    fw::Application->Metrics().WebProcessCrashed();
    fw::LogEvent(fw::TEvent::WebProcessCrashed, reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT
                                                    ? "it exceeded its memory limit"
                                                    : "it crashed");
    if (recovery.crashes_.AllowsReload(fw::TCrashLimit::Clock::now())) {
      const gchar* shown = webkit_web_view_get_uri(recovery.view_);
      webkit_web_view_load_uri(recovery.view_, shown ? shown : "about:blank");
      return;
    }
    recovery.CancelRetry();
    fw::TWebBrowser& browser = recovery.browser_;
    if (browser.OnGiveUp) fw::Application->Guard([&browser] { browser.OnGiveUp(&browser); });
  });
}

gboolean WebViewRecovery::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                         WebKitPolicyDecisionType type, gpointer self) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    if (uri) static_cast<WebViewRecovery*>(self)->goingTo_ = uri;
    return FALSE;  // the engine decides as it would
  });
}

void WebViewRecovery::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
  AtCallbackBoundary([&] {
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    switch (event) {
      case WEBKIT_LOAD_STARTED:
        // The engine's error page for the failure just reported is no navigation of its own.
        if (recovery.errorPageSteps_) return;
        // A page's own link or a program load: whatever was pending is moot.
        if (!std::exchange(recovery.retryLoad_, false)) recovery.CancelRetry();
        recovery.loadFailed_ = false;
        recovery.loadTimer_.Reset(
            Seconds(recovery.browser_.Recovery().LoadTimeout, OnLoadTimeout, self));
        break;
      case WEBKIT_LOAD_REDIRECTED:
        break;
      case WEBKIT_LOAD_COMMITTED: {
        recovery.programLoad_ = false;
        recovery.hang_.Committed();
        // The blank document runs no script: under the splash nothing is asked.
        const gchar* uri = webkit_web_view_get_uri(recovery.view_);
        const bool page = uri && !g_str_has_prefix(uri, "about:");
        recovery.DropQuestion();
        recovery.pageQuestions_.Reset(page ? Seconds(kQuestionInterval, AskThePage, self) : 0);
        break;
      }
      case WEBKIT_LOAD_FINISHED:
        if (recovery.errorPageSteps_) {
          // The failed load's end: its error page takes the screen.
          if (recovery.errorPageSteps_-- == 2) recovery.Shown(recovery.failedAddress_, true);
          return;
        }
        recovery.loadTimer_.Reset();
        if (!recovery.loadFailed_) {
          recovery.retry_.Loaded();
          const gchar* uri = webkit_web_view_get_uri(recovery.view_);
          recovery.CountFinished(uri);
          recovery.Shown(uri ? uri : "", false);
        }
        break;
    }
  });
}

gboolean WebViewRecovery::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                       gpointer self) {
  return AtCallbackBoundary<gboolean>(FALSE, [&]() -> gboolean {
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    const fw::TLoadFailure failure = Classify(error);
    if (failure == fw::TLoadFailure::Replaced) return FALSE;
    CountFailure(KindOf(error, std::exchange(recovery.timedOut_, false)), uri);
    const bool programAsked = std::exchange(recovery.programLoad_, false);
    recovery.loadTimer_.Reset();
    recovery.loadFailed_ = true;
    // The failed load finishes, then the engine's error page loads in its place.
    recovery.errorPageSteps_ = 2;
    recovery.failedAddress_ = uri ? uri : "";
    const fw::TFailedLoadResponse response = fw::RespondToFailedLoad(failure, programAsked);
    if (response.Retry && uri) {
      if (const std::optional<std::chrono::seconds> wait = recovery.retry_.Failed(uri))
        recovery.retryTimer_.Reset(Seconds(*wait, OnRetryDue, self));
    }
    // As a failing navigate call's exception: after the call has returned, and the engine's
    // error page stays.
    if (response.Box)
      fw::Application->HandleException(fw::EOleException(error->message, error->code));
    return FALSE;
  });
}

gboolean WebViewRecovery::OnRetryDue(gpointer self) {
  return AtCallbackBoundary<gboolean>(G_SOURCE_REMOVE, [&] {
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    recovery.retryTimer_.Forget();
    if (const std::optional<std::string> uri = recovery.retry_.Due()) {
      fw::Application->Metrics().Retried();
      recovery.retryLoad_ = true;  // its start must not start the count over
      webkit_web_view_load_uri(recovery.view_, uri->c_str());
    }
    return G_SOURCE_REMOVE;
  });
}

// The engine waits for a silent server as long as the connection stays open. The load is
// failed as a timeout: the engine replaces it with its error page, and the retry applies.
gboolean WebViewRecovery::OnLoadTimeout(gpointer self) {
  return AtCallbackBoundary<gboolean>(G_SOURCE_REMOVE, [&] {
    auto& recovery = *static_cast<WebViewRecovery*>(self);
    recovery.loadTimer_.Forget();
    const std::string uri = recovery.goingTo_;
    const UniqueGError error(g_error_new(
        WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_TRANSPORT, "The server did not answer in %lld s",
        static_cast<long long>(recovery.browser_.Recovery().LoadTimeout.count())));
    gboolean handled = FALSE;
    recovery.timedOut_ = true;
    g_signal_emit_by_name(recovery.view_, "load-failed", WEBKIT_LOAD_STARTED, uri.c_str(),
                          error.get(), &handled);
    return G_SOURCE_REMOVE;
  });
}

}  // namespace fw::gtk
