#include "framework/win32/BrowserRecovery.h"

#include <exdispid.h>
#include <urlmon.h>

#include <optional>
#include <utility>

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/win32/Errors.h"

namespace fw::win32 {

namespace {

constexpr UINT_PTR kRetryTimer = 0x5201;
constexpr UINT_PTR kLoadTimer = 0x5202;
constexpr UINT_PTR kPatienceTimer = 0x5203;

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
      load_(browser.Recovery()),
      timers_{WindowTimer(window, kRetryTimer), WindowTimer(window, kLoadTimer),
              WindowTimer(window, kPatienceTimer)} {
  if (fw::Application) load_.CountInto(&fw::Application->Metrics());
  control->AddRef();
  control_.attach(control);
  events.Listen([this](DISPID id, DISPPARAMS& parameters) { Event(id, parameters); });
  // The visitor's input cancels a retry even where no idle reset watches it.
  if (fw::Application)
    input_ = fw::Application->SubscribeVisitorInput([this] { Run(load_.VisitorInput()); });
}

void BrowserRecovery::SettingsChanged() { Run(load_.SetRecovery(browser_.Recovery())); }

bool BrowserRecovery::TimerElapsed(UINT_PTR id) {
  for (std::size_t index = 0; index < timers_.size(); ++index) {
    if (id != timers_[index].Id()) continue;
    timers_[index].Stop();
    // The control runs in this process: its page never hangs apart from the program.
    Run(load_.TimerDue(static_cast<fw::TPageTimer>(index), std::string()));
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
        const std::string url = EventText(arguments[5]);
        // The control's own error pages are no navigation of the program's or the visitor's.
        if ((!cancel || *cancel == VARIANT_FALSE) && url.rfind("res:", 0) != 0) {
          downloading_ = false;
          Run(load_.LoadStarted(url));
        }
      }
      break;
    case DISPID_NAVIGATEERROR:  // (frame, URL, target, status, cancel)
      if (parameters.cArgs == 5 && events_.TopLevel(arguments[4])) {
        const VARIANT& status = EventValue(arguments[1]);
        // An HTTP status: the server answered, and its page completes the load.
        if (status.vt != VT_I4) break;
        if (const std::optional<fw::TLoadFailure> failure = Classify(status.lVal)) {
          Run(load_.LoadFailed(EventText(arguments[3]), *failure,
                               fw::FailureOfNavigateError(status.lVal)));
        } else {
          load_.ServerAnswered(status.lVal);
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
    case DISPID_DOCUMENTCOMPLETE:
      if (parameters.cArgs == 2 && events_.TopLevel(arguments[1]))
        Run(load_.Finished(EventText(arguments[0])));
      break;
    default:
      break;
  }
}

void BrowserRecovery::Run(const fw::TPageCommands& commands) {
  for (const fw::TPageCommand& command : commands) Carry(command);
}

void BrowserRecovery::Carry(const fw::TPageCommand& command) {
  using Action = fw::TPageCommand::TAction;
  switch (command.Action) {
    case Action::Navigate:
      try {
        browser_.Navigate(command.Address);
      } catch (...) {
        load_.NavigateFailed();
        throw;
      }
      break;
    case Action::FailAsTimeout:
      FailAsTimeout(command.Address);
      break;
    case Action::StartTimer:
      Timer(command.Timer).Stop();
      Timer(command.Timer).Start(command.Delay);
      break;
    case Action::CancelTimer:
      Timer(command.Timer).Stop();
      break;
    case Action::EndProcess:
      break;  // the control has no process of its own to end
    case Action::ShowRefusal:
      // The control's navigate call fails by itself for an address it refuses outright.
      break;
    case Action::GiveUp:
    case Action::PageShown:
      fw::ReportToBrowser(browser_, command);
      break;
  }
}

// The control waits for a silent server as long as the connection stays open. The load is
// stopped and counts as failed, so the retry applies; failed first, so that what the stop
// completes is no page that loaded.
void BrowserRecovery::FailAsTimeout(const std::string& url) {
  if (!LoadUnderWay()) return;
  Run(load_.LoadFailed(url, fw::TLoadFailure::Unreachable, fw::TFailureKind::Timeout));
  OleCheck(control_->Stop(), "The browser control failed to stop");
}

// No completion came since the load began; it may still have been cancelled before it started
// (by another listener of the control). Wine's control never reports itself busy, and its ready
// state says loading even then: that the download began is what tells.
bool BrowserRecovery::LoadUnderWay() const {
  VARIANT_BOOL busy = VARIANT_FALSE;
  return downloading_ || (SUCCEEDED(control_->get_Busy(&busy)) && busy != VARIANT_FALSE);
}

}  // namespace fw::win32
