#include "framework/core/PageLoad.h"

#include <optional>
#include <string_view>
#include <utility>

#include "framework/core/EventLog.h"

namespace fw {

namespace {

using TAction = TPageCommand::TAction;

constexpr const char* kBlank = "about:blank";

// The blank document under the splash is no page anybody asked for.
bool IsPage(std::string_view address) { return !address.empty() && !address.starts_with("about:"); }

// Only the host: what else the address holds may be the visitor's.
std::string HostOf(std::string_view address) {
  const std::size_t scheme = address.find("://");
  const std::size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
  return std::string(address.substr(start, address.find_first_of(":/?#", start) - start));
}

const char* KindName(TFailureKind kind) {
  switch (kind) {
    case TFailureKind::Refused:
      return "connection refused";
    case TFailureKind::UnknownHost:
      return "unknown host";
    case TFailureKind::Timeout:
      return "timeout";
    case TFailureKind::HttpError:
      return "HTTP error";
    case TFailureKind::Other:
      return "other";
  }
  return "";
}

TPageCommand NavigateTo(const std::string& address) {
  return {.Action = TAction::Navigate, .Address = address.empty() ? kBlank : address};
}

}  // namespace

TPageLoad::TPageLoad(const TBrowserRecovery& settings)
    : settings_(settings), retry_(settings.RetryDelay) {}

TPageCommands TPageLoad::SetRecovery(const TBrowserRecovery& settings) {
  TPageCommands out;
  settings_ = settings;
  retry_.SetBase(settings.RetryDelay);
  Cancel(out, TPageTimer::Retry);
  return out;
}

void TPageLoad::Start(TPageCommands& out, TPageTimer timer, std::chrono::seconds delay) {
  running_[Index(timer)] = true;
  out.push_back({.Action = TAction::StartTimer, .Timer = timer, .Delay = delay});
}

void TPageLoad::Cancel(TPageCommands& out, TPageTimer timer) {
  if (!std::exchange(running_[Index(timer)], false)) return;
  out.push_back({.Action = TAction::CancelTimer, .Timer = timer});
}

void TPageLoad::CancelRetry(TPageCommands& out) {
  if (retry_.Cancel()) LogEvent(TEvent::RetryDropped, "the visitor or the program moved on");
  Cancel(out, TPageTimer::Retry);
}

TPageCommands TPageLoad::ProgramNavigates(const std::string& address) {
  TPageCommands out;
  goingTo_ = address;
  CancelRetry(out);
  if (hang_.Navigating()) out.push_back({.Action = TAction::EndProcess});
  Cancel(out, TPageTimer::Patience);
  programLoad_ = true;
  return out;
}

TPageCommands TPageLoad::LoadStarted(const std::string& address) {
  TPageCommands out;
  if (!address.empty()) goingTo_ = address;
  // A page's own link or a program load: whatever was pending is moot.
  if (!std::exchange(retryLoad_, false)) CancelRetry(out);
  failed_ = false;
  counted_ = false;
  status_ = 0;
  Start(out, TPageTimer::LoadTimeout, settings_.LoadTimeout);
  return out;
}

TPageCommands TPageLoad::LoadFailed(const std::string& address, TLoadFailure failure,
                                    TFailureKind kind) {
  TPageCommands out;
  // Whatever took its place runs a timeout of its own, if it loads anything.
  Cancel(out, TPageTimer::LoadTimeout);
  if (failure == TLoadFailure::Replaced) return out;
  if (!std::exchange(counted_, true)) CountFailure(kind, address);
  const bool programAsked = std::exchange(programLoad_, false);
  failed_ = true;
  const TFailedLoadResponse response = RespondToFailedLoad(failure, programAsked);
  if (response.Retry && !address.empty()) {
    if (const std::optional<std::chrono::seconds> wait = retry_.Failed(address))
      Start(out, TPageTimer::Retry, *wait);
  }
  if (response.Box) out.push_back({.Action = TAction::ShowRefusal, .Address = address});
  return out;
}

void TPageLoad::Committed() {
  programLoad_ = false;
  hang_.Committed();
}

TPageCommands TPageLoad::Finished(const std::string& address) {
  TPageCommands out;
  Cancel(out, TPageTimer::LoadTimeout);
  if (!failed_) {
    retry_.Loaded();
    out.push_back({.Action = TAction::PageShown, .Address = address});
    if (IsPage(address) && !std::exchange(counted_, true)) {
      if (const std::optional<TFailureKind> kind = FailureOfHttpStatus(status_)) {
        CountFailure(*kind, address);
      } else if (metrics_) {
        metrics_->LoadEnded(TLoadOutcome::Loaded, TMetrics::Clock::now());
      }
    }
  }
  return out;
}

void TPageLoad::CountFailure(TFailureKind kind, const std::string& address) {
  if (!IsPage(address)) return;
  if (metrics_) {
    metrics_->LoadFailed(kind);
    metrics_->LoadEnded(TLoadOutcome::Failed, TMetrics::Clock::now());
  }
  LogEvent(TEvent::PageFailed, std::string(KindName(kind)) + ", host " + HostOf(address));
}

void TPageLoad::CountHangEnded(const std::string& address) {
  if (metrics_) metrics_->HangEnded();
  LogEvent(TEvent::HangEnded, "host " + HostOf(address));
}

TPageCommands TPageLoad::ErrorPageShown(const std::string& address) {
  return {{.Action = TAction::PageShown, .Address = address, .ErrorPage = true}};
}

TPageCommands TPageLoad::VisitorInput() {
  TPageCommands out;
  CancelRetry(out);
  return out;
}

TPageCommands TPageLoad::Unresponsive() {
  TPageCommands out;
  if (hang_.Unresponsive() == THangStep::EndAndNavigate) {
    CountHangEnded(goingTo_);
    out.push_back({.Action = TAction::EndProcess});
    out.push_back(NavigateTo(goingTo_));
    return out;
  }
  // Noticed by the engine and by the backend's own question alike: the patience runs once.
  if (!Running(TPageTimer::Patience)) Start(out, TPageTimer::Patience, THangRecovery::Patience);
  return out;
}

TPageCommands TPageLoad::Responsive() {
  TPageCommands out;
  hang_.Responsive();
  Cancel(out, TPageTimer::Patience);
  return out;
}

TPageCommands TPageLoad::ProcessGone(TProcessEnd end, const std::string& shown,
                                     TCrashLimit::Clock::time_point now) {
  TPageCommands out;
  Cancel(out, TPageTimer::Patience);
  Cancel(out, TPageTimer::LoadTimeout);
  // Ended by the program itself, which loads what comes next.
  if (end == TProcessEnd::EndedByProgram) return out;
  if (metrics_) metrics_->WebProcessCrashed();
  LogEvent(TEvent::WebProcessCrashed, "host " + HostOf(shown));
  if (crashes_.AllowsReload(now)) {
    out.push_back(NavigateTo(shown));
    return out;
  }
  CancelRetry(out);
  out.push_back({.Action = TAction::GiveUp});
  return out;
}

TPageCommands TPageLoad::TimerDue(TPageTimer timer, const std::string& shown) {
  TPageCommands out;
  // A timer cancelled while its tick was on its way says nothing.
  if (!std::exchange(running_[Index(timer)], false)) return out;
  switch (timer) {
    case TPageTimer::Retry:
      RetryDue(out);
      break;
    case TPageTimer::LoadTimeout:
      out.push_back(
          {.Action = TAction::FailAsTimeout, .Address = goingTo_, .Delay = settings_.LoadTimeout});
      break;
    case TPageTimer::Patience:
      PatienceOut(out, shown);
      break;
  }
  return out;
}

void TPageLoad::RetryDue(TPageCommands& out) {
  if (const std::optional<std::string> address = retry_.Due()) {
    if (metrics_) metrics_->Retried();
    retryLoad_ = true;  // its start must not start the count over
    out.push_back(NavigateTo(*address));
  }
}

void TPageLoad::PatienceOut(TPageCommands& out, const std::string& shown) {
  const THangStep step = hang_.PatienceOut();
  if (step == THangStep::None) return;
  CountHangEnded(shown);
  out.push_back({.Action = TAction::EndProcess});
  out.push_back(NavigateTo(step == THangStep::EndAndReload ? shown : kBlank));
}

void ReportToBrowser(TWebBrowser& browser, const TPageCommand& command) {
  if (command.Action == TPageCommand::TAction::GiveUp) browser.GiveUp();
  if (command.Action == TPageCommand::TAction::PageShown)
    browser.PageShown(command.Address, command.ErrorPage);
}

}  // namespace fw
