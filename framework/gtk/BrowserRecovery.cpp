#include "framework/gtk/BrowserRecovery.h"

#include <optional>
#include <utility>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
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

// The engine finds a page unresponsive only when it asks it something; with nobody tapping
// it asks nothing. A trivial question this often lets a hang show within a few seconds.
constexpr std::chrono::seconds kQuestionInterval{2};

guint Seconds(std::chrono::seconds delay, GSourceFunc callback, gpointer self) {
  return g_timeout_add_seconds_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay.count()), callback,
                                    self, nullptr);
}

}  // namespace

BrowserRecovery::BrowserRecovery(fw::TWebBrowser& browser, WebKitWebView* view,
                                 BrowserEvents& events)
    : browser_(browser), view_(view), load_(browser.Recovery()) {
  events.Listen(*this);
  if (fw::Application) load_.CountInto(&fw::Application->Metrics());
  if (fw::Application)
    input_ = fw::Application->SubscribeVisitorInput([this] { Run(load_.VisitorInput()); });
}

BrowserRecovery::~BrowserRecovery() { DropQuestion(); }

void BrowserRecovery::SettingsChanged() { Run(load_.SetRecovery(browser_.Recovery())); }

void BrowserRecovery::ProgramNavigates(const std::string& uri) { Run(load_.ProgramNavigates(uri)); }

std::string BrowserRecovery::Shown() const {
  const gchar* uri = webkit_web_view_get_uri(view_);
  return uri ? uri : "";
}

template <fw::TPageTimer timer>
gboolean BrowserRecovery::OnTimer() {
  Timer(timer).Forget();
  Run(load_.TimerDue(timer, Shown()));
  return G_SOURCE_REMOVE;
}

void BrowserRecovery::Run(const fw::TPageCommands& commands, const GError* error) {
  for (const fw::TPageCommand& command : commands) Carry(command, error);
}

void BrowserRecovery::Carry(const fw::TPageCommand& command, const GError* error) {
  using Action = fw::TPageCommand::TAction;
  switch (command.Action) {
    case Action::Navigate: {
      carryingOut_ = true;
      try {
        browser_.Navigate(command.Address);
      } catch (...) {
        carryingOut_ = false;
        load_.NavigateFailed();
        throw;
      }
      carryingOut_ = false;
      break;
    }
    case Action::FailAsTimeout:
      FailAsTimeout(command.Address, command.Delay);
      break;
    case Action::StartTimer: {
      GSourceFunc callback = command.Timer == fw::TPageTimer::Retry
                                 ? TimerCallback<fw::TPageTimer::Retry>
                             : command.Timer == fw::TPageTimer::LoadTimeout
                                 ? TimerCallback<fw::TPageTimer::LoadTimeout>
                                 : TimerCallback<fw::TPageTimer::Patience>;
      Timer(command.Timer).Reset(Seconds(command.Delay, callback, this));
      break;
    }
    case Action::CancelTimer:
      Timer(command.Timer).Reset();
      break;
    case Action::EndProcess:
      // The engine starts another at the next load.
      webkit_web_view_terminate_web_process(view_);
      break;
    case Action::ShowRefusal:
      // As a failing navigate call's exception: after the call has returned, and the engine's
      // error page stays.
      fw::Application->HandleException(
          fw::EOleException(error ? error->message : "The address was refused: " + command.Address,
                            error ? error->code : 0));
      break;
    case Action::GiveUp:
    case Action::PageShown:
      fw::ReportToBrowser(browser_, command);
      break;
  }
}

void BrowserRecovery::ResponsivenessChanged(bool responsive) {
  Run(responsive ? load_.Responsive() : load_.Unresponsive());
}

gboolean BrowserRecovery::AskThePage() {
  if (question_) {
    // Unanswered for a whole interval: the page's thread is held.
    if (!std::exchange(questionHung_, true)) Run(load_.Unresponsive());
    return G_SOURCE_CONTINUE;
  }
  question_ = ObjectRef<GCancellable>::Adopt(g_cancellable_new());
  // In a world of the program's own; the answer itself does not matter.
  webkit_web_view_evaluate_javascript(view_, "0", -1, "duvuzezera-recovery", nullptr,
                                      question_.get(), OnAnswer, this);
  return G_SOURCE_CONTINUE;
}

void BrowserRecovery::OnAnswer(GObject* view, GAsyncResult* result, gpointer self) {
  AtCallbackBoundary([&] {
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
    const ObjectRef<JSCValue> answer = ObjectRef<JSCValue>::Adopt(value);
    const UniqueGError owned(error);
    // Dropped: the recovery may be gone.
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return;
    auto& recovery = *static_cast<BrowserRecovery*>(self);
    recovery.question_.reset();
    if (std::exchange(recovery.questionHung_, false)) recovery.Run(recovery.load_.Responsive());
  });
}

void BrowserRecovery::DropQuestion() {
  if (question_) g_cancellable_cancel(question_.get());
  question_.reset();
  questionHung_ = false;
}

void BrowserRecovery::ProcessTerminated(WebKitWebProcessTerminationReason reason) {
  DropQuestion();
  // Ended by the program itself, which loads what comes next.
  const fw::TProcessEnd end = reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API
                                  ? fw::TProcessEnd::EndedByProgram
                                  : fw::TProcessEnd::Crashed;
  Run(load_.ProcessGone(end, Shown(), fw::TCrashLimit::Clock::now()));
}

bool BrowserRecovery::DecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return false;
  // The view names where the main frame goes only once the page arrives.
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
      WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (uri) load_.Heading(uri);
  return false;  // the engine decides as it would
}

void BrowserRecovery::LoadChanged(WebKitLoadEvent event) {
  switch (event) {
    case WEBKIT_LOAD_STARTED:
      // The engine's error page for the failure just reported is no navigation of its own.
      if (errorPageSteps_) return;
      Run(load_.LoadStarted());
      break;
    case WEBKIT_LOAD_REDIRECTED:
      break;
    case WEBKIT_LOAD_COMMITTED: {
      load_.Committed();
      // The blank document runs no script: under the splash nothing is asked.
      const std::string uri = Shown();
      const bool page = !uri.empty() && !uri.starts_with("about:");
      DropQuestion();
      pageQuestions_.Reset(
          page
              ? Seconds(kQuestionInterval,
                        MemberCallback<&BrowserRecovery::AskThePage, G_SOURCE_CONTINUE>::Call, this)
              : 0);
      break;
    }
    case WEBKIT_LOAD_FINISHED:
      if (errorPageSteps_) {
        // The failed load's end: its error page takes the screen.
        if (errorPageSteps_-- == 2) Run(load_.ErrorPageShown(failedAddress_));
        return;
      }
      ServerAnswered();
      Run(load_.Finished(Shown()));
      break;
  }
}

bool BrowserRecovery::LoadFailed(const char* uri, GError* error) {
  const fw::TLoadFailure failure = Classify(error);
  if (failure != fw::TLoadFailure::Replaced) {
    // The failed load finishes, then the engine's error page loads in its place.
    errorPageSteps_ = 2;
    failedAddress_ = uri ? uri : "";
  }
  Run(load_.LoadFailed(uri ? uri : "", failure, KindOf(error, std::exchange(timingOut_, false))),
      error);
  return false;
}

// The engine shows a server's error answer as a page; the operator is told of it as a failure.
void BrowserRecovery::ServerAnswered() {
  WebKitWebResource* resource = webkit_web_view_get_main_resource(view_);
  WebKitURIResponse* response = resource ? webkit_web_resource_get_response(resource) : nullptr;
  load_.ServerAnswered(response ? static_cast<int>(webkit_uri_response_get_status_code(response))
                                : 0);
}

// The engine waits for a silent server as long as the connection stays open. The load is
// failed as a timeout: the engine replaces it with its error page, and the retry applies.
void BrowserRecovery::FailAsTimeout(const std::string& uri, std::chrono::seconds waited) {
  const UniqueGError error(g_error_new(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_TRANSPORT,
                                       "The server did not answer in %lld s",
                                       static_cast<long long>(waited.count())));
  gboolean handled = FALSE;
  timingOut_ = true;
  g_signal_emit_by_name(view_, "load-failed", WEBKIT_LOAD_STARTED, uri.c_str(), error.get(),
                        &handled);
  timingOut_ = false;
}

}  // namespace fw::gtk
