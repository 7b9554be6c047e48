#include "framework/win32/BrowserRecovery.h"

#include <exdispid.h>
#include <urlmon.h>

#include <utility>

#include "framework/core/Application.h"
#include "framework/core/EventLog.h"
#include "framework/core/Exceptions.h"
#include "framework/win32/Errors.h"
#include "framework/win32/Win32Application.h"

namespace fw::win32 {

namespace {

constexpr UINT_PTR kRetryTimer = 0x5201;
constexpr UINT_PTR kLoadTimer = 0x5202;

// What a NavigateError's status says about the page; nothing when the server answered (an
// HTTP status: its own page shows, and it is up).
std::optional<fw::TLoadFailure> Classify(LONG status) {
  if (status > 0 && status < 1000) return std::nullopt;
  switch (static_cast<HRESULT>(status)) {
    case INET_E_NO_SESSION:
    case INET_E_CANNOT_CONNECT:
    case INET_E_RESOURCE_NOT_FOUND:  // the host name could not be resolved
    case INET_E_DATA_NOT_AVAILABLE:
    case INET_E_DOWNLOAD_FAILURE:
    case INET_E_CONNECTION_TIMEOUT:
    case INET_E_CANNOT_LOAD_DATA:
      return fw::TLoadFailure::Unreachable;
    case INET_E_INVALID_URL:
    case INET_E_UNKNOWN_PROTOCOL:
      return fw::TLoadFailure::AddressRefused;
    default:
      // Stopped, replaced, or content the control cannot show: nothing a retry would change.
      return fw::TLoadFailure::Replaced;
  }
}

// Only the host: what else the address holds may be the visitor's.
std::string HostOf(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  const std::size_t end = url.find_first_of(":/?#", start);
  return url.substr(start, end == std::string::npos ? std::string::npos : end - start);
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

void CountFailure(fw::TFailureKind kind, const std::string& url) {
  fw::TMetrics& metrics = fw::Application->Metrics();
  metrics.LoadFailed(kind);
  metrics.LoadEnded(fw::TLoadOutcome::Failed, fw::TMetrics::Clock::now());
  fw::LogEvent(fw::TEvent::PageFailed, std::string(KindName(kind)) + ", host " + HostOf(url));
}

}  // namespace

void WindowTimer::Start(std::chrono::milliseconds delay) {
  if (!SetTimer(window_, id_, static_cast<UINT>(delay.count()), nullptr))
    throw fw::Exception("No timer is left for the browser's recovery");
  running_ = true;
}

void WindowTimer::Stop() {
  if (std::exchange(running_, false)) KillTimer(window_, id_);
}

BrowserRecovery::BrowserRecovery(fw::TWebBrowser& browser, HWND window, IWebBrowser2* control,
                                 BrowserEvents& events)
    : browser_(browser),
      events_(events),
      retry_(browser.Recovery().RetryDelay),
      retryTimer_(window, kRetryTimer),
      loadTimer_(window, kLoadTimer) {
  control->AddRef();
  control_.attach(control);
  events.Listen([this](DISPID id, DISPPARAMS& parameters) { Event(id, parameters); });
  if (fw::Application) fw::Application->OnVisitorInput = [this] { CancelRetry(); };
  // The visitor's input cancels a retry even where no idle reset watches it.
  if (auto* application = dynamic_cast<Win32Application*>(fw::Application))
    application->WatchInput();
}

BrowserRecovery::~BrowserRecovery() {
  if (fw::Application) fw::Application->OnVisitorInput = nullptr;
}

void BrowserRecovery::SettingsChanged() {
  retry_.SetBase(browser_.Recovery().RetryDelay);
  retryTimer_.Stop();
}

bool BrowserRecovery::TimerElapsed(UINT_PTR id) {
  if (id == retryTimer_.Id()) {
    retryTimer_.Stop();
    RetryDue();
    return true;
  }
  if (id == loadTimer_.Id()) {
    loadTimer_.Stop();
    LoadTimedOut();
    return true;
  }
  return false;
}

// The arguments arrive last first.
void BrowserRecovery::Event(DISPID id, DISPPARAMS& parameters) {
  VARIANT* arguments = parameters.rgvarg;
  switch (id) {
    case DISPID_BEFORENAVIGATE2:  // (frame, URL, flags, target, post data, headers, cancel)
      // A listener before this one may have cancelled it: then nothing starts.
      if (parameters.cArgs == 7 && events_.TopLevel(arguments[6])) {
        const VARIANT_BOOL* cancel = EventCancel(arguments[0]);
        if (!cancel || *cancel == VARIANT_FALSE) Starting(EventText(arguments[5]));
      }
      break;
    case DISPID_NAVIGATEERROR:  // (frame, URL, target, status, cancel)
      if (parameters.cArgs == 5 && events_.TopLevel(arguments[4])) {
        const VARIANT& status = EventValue(arguments[1]);
        if (status.vt == VT_I4) {
          const std::string url = EventText(arguments[3]);
          const std::optional<fw::TLoadFailure> failure = Classify(status.lVal);
          // A stop or a replacement is no failure; an HTTP status is one only from 400 up.
          if (failure ? *failure != fw::TLoadFailure::Replaced
                      : fw::FailureOfHttpStatus(status.lVal).has_value())
            CountFailure(fw::FailureOfNavigateError(status.lVal), url);
          Failed(failure, url);
        }
      }
      break;
    case DISPID_DOWNLOADBEGIN:
      downloading_ = true;
      break;
    case DISPID_DOWNLOADCOMPLETE:
      downloading_ = false;
      break;
    case DISPID_NAVIGATECOMPLETE2:  // (frame, URL)
      if (parameters.cArgs == 2 && events_.TopLevel(arguments[1])) Completed();
      break;
    case DISPID_DOCUMENTCOMPLETE:
      if (parameters.cArgs == 2 && events_.TopLevel(arguments[1])) {
        Completed();
        CountLoaded(EventText(arguments[0]));
      }
      break;
    default:
      break;
  }
}

void BrowserRecovery::Starting(const std::string& url) {
  // The control's own error pages are no navigation of the program's or the visitor's.
  if (url.rfind("res:", 0) == 0) return;
  // A page's own link, the program's load or the start over: whatever was pending is moot.
  if (!std::exchange(retryLoad_, false)) CancelRetry();
  goingTo_ = url;
  failed_ = false;
  downloading_ = false;
  loadTimer_.Start(browser_.Recovery().LoadTimeout);
}

void BrowserRecovery::Failed(std::optional<fw::TLoadFailure> failure, const std::string& url) {
  loadTimer_.Stop();
  failed_ = true;
  if (!failure) {
    retry_.Loaded();  // the server answered
    return;
  }
  // The control's navigate call fails by itself for an address it refuses outright, and that
  // failure is the box: only the retry is left to decide here.
  if (!fw::RespondToFailedLoad(*failure, false).Retry || url.empty()) return;
  if (const std::optional<std::chrono::seconds> wait = retry_.Failed(url)) {
    retryTimer_.Stop();
    retryTimer_.Start(*wait);
  }
}

void BrowserRecovery::Completed() {
  loadTimer_.Stop();
  if (!failed_) retry_.Loaded();
}

// The blank document under the splash and the control's error pages are no page loaded.
void BrowserRecovery::CountLoaded(const std::string& url) {
  if (failed_ || url.rfind("about:", 0) == 0 || url.rfind("res:", 0) == 0) return;
  fw::Application->Metrics().LoadEnded(fw::TLoadOutcome::Loaded, fw::TMetrics::Clock::now());
}

void BrowserRecovery::CancelRetry() {
  if (retry_.Cancel())
    fw::LogEvent(fw::TEvent::RetryDropped, "the visitor or the program moved on");
  retryTimer_.Stop();
}

void BrowserRecovery::RetryDue() {
  if (const std::optional<std::string> url = retry_.Due()) {
    fw::Application->Metrics().Retried();
    retryLoad_ = true;  // its start must not start the count over
    try {
      browser_.Navigate(*url);
    } catch (...) {
      retryLoad_ = false;
      throw;
    }
  }
}

// The control waits for a silent server as long as the connection stays open. The load is
// stopped and counts as failed, so the retry applies.
void BrowserRecovery::LoadTimedOut() {
  if (!LoadUnderWay()) return;
  failed_ = true;  // what the stop completes is no page that loaded
  OleCheck(control_->Stop(), "The browser control failed to stop");
  CountFailure(fw::TFailureKind::Timeout, goingTo_);
  Failed(fw::TLoadFailure::Unreachable, goingTo_);
}

// No completion came since the load began; it may still have been cancelled before it started
// (by another listener of the control). Wine's control never reports itself busy, and its ready
// state says loading even then: that the download began is what tells.
bool BrowserRecovery::LoadUnderWay() const {
  VARIANT_BOOL busy = VARIANT_FALSE;
  return downloading_ || (SUCCEEDED(control_->get_Busy(&busy)) && busy != VARIANT_FALSE);
}

}  // namespace fw::win32
