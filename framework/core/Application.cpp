#include "framework/core/Application.h"

#include <algorithm>
#include <utility>

#include "framework/core/EventLog.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Layout.h"
#include "framework/core/Messages.h"

namespace fw {

TApplication* Application = nullptr;

TApplication::TApplication() {
  if (Application) throw Exception("An application object exists already");
  Application = this;
}

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

struct TApplication::TInputSubscription::TListeners {
  int lastId = 0;
  std::vector<std::pair<int, std::shared_ptr<const std::function<void()>>>> entries;
};

TApplication::TInputSubscription::TInputSubscription(TInputSubscription&& other) noexcept
    : listeners_(std::move(other.listeners_)), id_(std::exchange(other.id_, 0)) {}

TApplication::TInputSubscription& TApplication::TInputSubscription::operator=(
    TInputSubscription&& other) noexcept {
  if (this != &other) {
    Reset();
    listeners_ = std::move(other.listeners_);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

void TApplication::TInputSubscription::Reset() {
  if (const std::shared_ptr<TListeners> listeners = listeners_.lock()) {
    std::erase_if(listeners->entries, [this](const auto& entry) { return entry.first == id_; });
  }
  listeners_.reset();
  id_ = 0;
}

TApplication::TInputSubscription TApplication::SubscribeVisitorInput(
    std::function<void()> listener) {
  WatchInput();
  if (!visitorListeners_) visitorListeners_ = std::make_shared<TInputSubscription::TListeners>();
  const int id = ++visitorListeners_->lastId;
  visitorListeners_->entries.emplace_back(
      id, std::make_shared<const std::function<void()>>(std::move(listener)));
  return TInputSubscription(visitorListeners_, id);
}

void TApplication::AddForm(std::unique_ptr<TForm> form) {
  const std::string resource = form->LayoutResourceName();
  LoadLayout(*form, resource, LayoutResource(resource));
  // Scale for the monitor the window will appear on before any control exists.
  form->ScaleForPixelsPerInch(CreateFormPeer(*form));
  // Creation order puts every parent before its children, and later siblings above earlier.
  for (TComponent* component : form->Components()) {
    if (auto* control = dynamic_cast<TControl*>(component)) AttachControl(*control);
  }
  forms_.push_back(std::move(form));
}

void TApplication::AttachControl(TControl& control) {
  TWinControl* parent = control.Parent();
  if (!parent || !parent->Peer())
    throw Exception("The control '" + control.Name() + "' has no parent to hold it");
  CreateControlPeer(control, *parent);
}

void TApplication::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    HandleCurrentException();
  }
}

void TApplication::HandleCurrentException() {
  try {
    throw;
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleException(Exception("An exception of an unknown type was raised"));
  }
}

void TApplication::HandleException(const std::exception& e) {
  if (dynamic_cast<const EAbort*>(&e)) return;
  ShowErrorMessage(WithClosingFullStop(e.what()));
}

void TApplication::WatchIdle(std::chrono::milliseconds timeout, std::function<void()> onIdle) {
  TIdleWatch watch;
  watch.Timeout = timeout;
  watch.OnIdle = std::move(onIdle);
  WatchIdle(std::move(watch));
}

void TApplication::WatchIdle(TIdleWatch watch) {
  if (watch.Timeout <= watch.Timeout.zero() || idle_.Armed()) return;
  idle_.Arm(watch.Timeout, watch.Warning, Now());
  watch_ = std::move(watch);
  ScheduleTimer();
}

void TApplication::StopWatchingIdle() {
  if (!idle_.Armed()) return;
  idle_.Disarm();
  ScheduleTimer();
  EndIdleWarning();
}

void TApplication::WatchDisplay(TDisplaySleep::TRules rules,
                                std::function<void(bool off)> onChange) {
  onDisplayChange_ = std::move(onChange);
  display_.Start(std::move(rules), Now(), WallNow(),
                 [this](std::chrono::system_clock::time_point at) { return LocalMinute(at); });
  WatchInput();
  UpdateDisplay();
  ScheduleTimer();
}

void TApplication::UpdateDisplay(std::string_view whyOn) {
  const TDisplayOff off = display_.Update(Now(), WallNow());
  if (off == displayOff_) return;
  const bool wasOff = displayOff_ != TDisplayOff::No;
  displayOff_ = off;
  if (wasOff == (off != TDisplayOff::No)) return;
  if (off != TDisplayOff::No) {
    LogEvent(TEvent::DisplayOff,
             off == TDisplayOff::Hours ? "outside the display hours" : "nobody used the kiosk");
    metrics_.DisplayOff(true);
    EndIdleWarning();
    if (onDisplayChange_) Guard([&] { onDisplayChange_(true); });
    Guard([&] { SwitchDisplay(false); });
  } else {
    LogEvent(TEvent::DisplayOn, whyOn);
    Guard([&] { SwitchDisplay(true); });
    metrics_.DisplayOff(false);
    if (onDisplayChange_) Guard([&] { onDisplayChange_(false); });
  }
}

bool TApplication::InputArrived(TInputEdge edge, TInputSource source) {
  if (display_.Input(edge, source, Now())) {
    // A hold the idle watch saw begin must still end, or it would hold the watch off for good.
    if (edge == TInputEdge::Release) idle_.Input(edge, source, Now());
    if (DisplayOff() && display_.Off() == TDisplayOff::No) {
      UpdateDisplay("a tap woke it");
      ScheduleTimer();
    }
    return true;
  }
  if (edge != TInputEdge::Release && visitorListeners_) {
    // A listener may end subscriptions meanwhile, its own or others': only those still there
    // hear the input, and one that goes while it runs stays alive until it returns.
    const std::shared_ptr<TInputSubscription::TListeners> listeners = visitorListeners_;
    std::vector<int> ids;
    for (const auto& entry : listeners->entries) ids.push_back(entry.first);
    for (const int id : ids) {
      const auto entry =
          std::ranges::find(listeners->entries, id, [](const auto& e) { return e.first; });
      if (entry == listeners->entries.end()) continue;
      const std::shared_ptr<const std::function<void()>> listener = entry->second;
      Guard(*listener);
    }
  }
  const bool wasHolding = idle_.Holding();
  idle_.Input(edge, source, Now());
  bool swallow = swallowing_;
  if (IdleWarningShown()) {
    swallow = swallowing_ = true;
    EndIdleWarning();
  }
  if (!idle_.Holding()) {
    swallowing_ = false;
    // The timer waits a whole timeout while something is held; the spell starts now.
    if (wasHolding && idle_.Armed()) ScheduleTimer();
  }
  return swallow;
}

void TApplication::PointerAt(TPoint at) {
  display_.PointerAt(at, Now());
  if (!IdleWarningShown()) idle_.PointerAt(at, Now());
}

void TApplication::SoundPlaying(bool playing) {
  display_.SoundPlaying(playing, Now());
  const bool wasHolding = idle_.Holding();
  idle_.SoundPlaying(playing, Now());
  if (playing) EndIdleWarning();
  if (wasHolding && !idle_.Holding() && idle_.Armed()) ScheduleTimer();
}

void TApplication::EndIdleWarning() {
  if (!IdleWarningShown()) return;
  countShown_ = 0;
  metrics_.IdleWarning(false);
  if (watch_.OnWarningEnd) Guard(watch_.OnWarningEnd);
}

void TApplication::SetAlarm(std::chrono::milliseconds delay, std::function<void()> onAlarm) {
  alarmAt_ = Now() + std::max(delay, delay.zero());
  onAlarm_ = std::move(onAlarm);
  ScheduleTimer();
}

void TApplication::CancelAlarm() {
  if (!alarmAt_) return;
  alarmAt_.reset();
  onAlarm_ = nullptr;
  ScheduleTimer();
}

void TApplication::ScheduleTimer() {
  const auto now = Now();
  std::optional<TIdleTimer::Clock::duration> next;
  if (idle_.Armed()) next = idle_.NextChange(now);
  if (const auto change = display_.NextChange(now, WallNow()))
    next = std::min(next.value_or(*change), *change);
  if (alarmAt_) next = std::min(next.value_or(*alarmAt_ - now), *alarmAt_ - now);
  if (!next) {
    StopIdleTimer();
    return;
  }
  StartIdleTimer(std::chrono::ceil<std::chrono::milliseconds>(std::max(*next, next->zero())));
}

void TApplication::IdleTimerElapsed() {
  if (alarmAt_ && *alarmAt_ <= Now()) {
    alarmAt_.reset();
    const std::function<void()> onAlarm = std::exchange(onAlarm_, nullptr);
    Guard(onAlarm);
  }
  UpdateDisplay();
  if (!idle_.Armed()) {
    ScheduleTimer();
    return;
  }
  const auto now = Now();
  switch (idle_.Phase(now)) {
    case TIdlePhase::Quiet:
      EndIdleWarning();
      break;
    case TIdlePhase::Warning:
      if (DisplayOff()) break;  // nobody would see it
      if (const int left = idle_.SecondsLeft(now); left != countShown_) {
        countShown_ = left;
        metrics_.IdleWarning(true);
        if (watch_.OnCountdown) Guard([&] { watch_.OnCountdown(left); });
      }
      break;
    case TIdlePhase::Due: {
      StopWatchingIdle();
      const std::function<void()> onIdle = watch_.OnIdle;  // the handler may start a new watch
      Guard(onIdle);
      ScheduleTimer();
      return;
    }
  }
  ScheduleTimer();
}

void TApplication::StartIdleTimer(std::chrono::milliseconds) {
  throw Exception("This platform has no idle timer");
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) forms_.pop_back();
}

void TApplication::ScreenShows(TScreenShows shows, std::string_view address) {
  if (display_.Started()) {
    display_.SplashShows(shows == TScreenShows::Splash || shows == TScreenShows::GivenUp, Now());
    ScheduleTimer();
  }
  switch (shows) {
    case TScreenShows::Splash:
      metrics_.Screen(TScreenState::Splash);
      break;
    case TScreenShows::Page:
      metrics_.Screen(TScreenState::Page);
      break;
    case TScreenShows::ErrorPage:
      metrics_.Screen(TScreenState::ErrorPage);
      break;
    case TScreenShows::GivenUp:
      metrics_.Screen(TScreenState::GivenUp);
      break;
  }
  std::string status = ServiceStatusText(shows, address);
  if (status == status_) return;
  status_ = std::move(status);
  ReportStatus(status_);
}

}  // namespace fw
