#include "framework/core/Metrics.h"

#include <array>

namespace fw {

namespace {

constexpr std::array kScreens{
    std::pair{TScreenState::Splash, "splash"},
    std::pair{TScreenState::Page, "page"},
    std::pair{TScreenState::ErrorPage, "error_page"},
    std::pair{TScreenState::IdleWarning, "idle_warning"},
    std::pair{TScreenState::GivenUp, "given_up"},
    std::pair{TScreenState::DisplayOff, "display_off"},
};

constexpr std::array kFailures{
    std::pair{TFailureKind::Refused, "refused"},
    std::pair{TFailureKind::UnknownHost, "unknown_host"},
    std::pair{TFailureKind::Timeout, "timeout"},
    std::pair{TFailureKind::HttpError, "http_error"},
    std::pair{TFailureKind::Other, "other"},
};

double Seconds(TMetrics::Clock::time_point at) {
  return static_cast<double>(
             std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count()) /
         1000.0;
}

TMetricFamily Family(std::string name, std::string help, TMetricType type) {
  return {TMetrics::Prefix + std::move(name), std::move(help), type, {}};
}

TMetricFamily Single(std::string name, std::string help, TMetricType type, double value) {
  TMetricFamily family = Family(std::move(name), std::move(help), type);
  family.Samples.push_back({{}, value});
  return family;
}

}  // namespace

void TMetrics::SetInfo(TMetricsInfo info, Clock::time_point started) {
  info_ = std::move(info);
  started_ = started;
  heartbeat_ = started;
  Changed();
}

void TMetrics::DeclareButtons(const std::vector<std::string>& buttons) {
  for (const std::string& button : buttons) {
    taps_.try_emplace(button, 0);
    loads_.try_emplace({button, TLoadOutcome::Loaded}, 0);
    loads_.try_emplace({button, TLoadOutcome::Failed}, 0);
  }
  Changed();
}

void TMetrics::Screen(TScreenState state) {
  if (state == TScreenState::Splash || state == TScreenState::GivenUp) {
    // Back to the start: the visit is over, and loads under the splash are nobody's.
    visiting_ = false;
    button_.clear();
  }
  if (state == screen_) return;
  screen_ = state;
  Changed();
}

void TMetrics::IdleWarning(bool shown) {
  if (shown == warning_) return;
  warning_ = shown;
  Changed();
}

void TMetrics::DisplayOff(bool off) {
  if (off == displayOff_) return;
  displayOff_ = off;
  Changed();
}

TScreenState TMetrics::Screen() const {
  if (displayOff_) return TScreenState::DisplayOff;
  return warning_ ? TScreenState::IdleWarning : screen_;
}

void TMetrics::Tapped(const std::string& button, bool opensPage) {
  ++taps_[button];
  if (!visiting_) {
    visiting_ = true;
    ++visits_;
  }
  if (opensPage) button_ = button;
  Changed();
}

void TMetrics::LoadEnded(TLoadOutcome outcome, Clock::time_point now) {
  if (button_.empty()) return;
  ++loads_[{button_, outcome}];
  if (outcome == TLoadOutcome::Loaded) lastLoaded_ = now;
  Changed();
}

void TMetrics::LoadFailed(TFailureKind kind) {
  ++failures_[kind];
  Changed();
}

void TMetrics::Retried() {
  ++retries_;
  Changed();
}

void TMetrics::HangEnded() {
  ++hangs_;
  Changed();
}

void TMetrics::WebProcessCrashed() {
  ++crashes_;
  Changed();
}

void TMetrics::GaveUp() {
  ++giveUps_;
  Changed();
}

void TMetrics::IdleReset() {
  ++idleResets_;
  Changed();
}

void TMetrics::MemoryRecycled() {
  ++memoryRecycles_;
  Changed();
}

void TMetrics::SettingsProblems(int count) {
  if (count == settingsProblems_) return;
  settingsProblems_ = count;
  Changed();
}

std::vector<TMetricFamily> TMetrics::Families() const {
  std::vector<TMetricFamily> out;
  TMetricFamily info =
      Family("info", "The program's version, platform and page engine.", TMetricType::Gauge);
  info.Samples.push_back(
      {{{"version", info_.Version}, {"platform", info_.Platform}, {"engine", info_.Engine}}, 1});
  out.push_back(std::move(info));
  out.push_back(Single("start_time_seconds", "When the program started, in Unix time.",
                       TMetricType::Gauge, Seconds(started_)));
  out.push_back(Single("heartbeat_time_seconds",
                       "When the main loop last ran, in Unix time; stale when the program is "
                       "frozen.",
                       TMetricType::Gauge, Seconds(heartbeat_)));

  TMetricFamily screen =
      Family("screen", "What the screen shows now: 1 for that state, 0 for the others.",
             TMetricType::Gauge);
  for (const auto& [state, name] : kScreens) {
    screen.Samples.push_back({{{"state", name}}, state == Screen() ? 1.0 : 0.0});
  }
  out.push_back(std::move(screen));

  out.push_back(Single("last_page_loaded_time_seconds",
                       "When a page the visitor asked for last loaded whole, in Unix time; 0 "
                       "before the first.",
                       TMetricType::Gauge, lastLoaded_ ? Seconds(*lastLoaded_) : 0));

  TMetricFamily loads =
      Family("page_loads_total", "Page loads a visitor led to, by pane button and outcome.",
             TMetricType::Counter);
  for (const auto& [key, count] : loads_) {
    loads.Samples.push_back(
        {{{"button", key.first},
          {"outcome", key.second == TLoadOutcome::Loaded ? "loaded" : "failed"}},
         static_cast<double>(count)});
  }
  out.push_back(std::move(loads));

  TMetricFamily failures =
      Family("load_failures_total", "Failed page loads, by kind.", TMetricType::Counter);
  for (const auto& [kind, name] : kFailures) {
    const auto found = failures_.find(kind);
    failures.Samples.push_back(
        {{{"kind", name}}, found == failures_.end() ? 0.0 : static_cast<double>(found->second)});
  }
  out.push_back(std::move(failures));

  const auto counter = [&](const char* name, const char* help, std::uint64_t value) {
    out.push_back(Single(name, help, TMetricType::Counter, static_cast<double>(value)));
  };
  counter("load_retries_total", "Loads of a failed page tried again.", retries_);
  counter("hung_pages_ended_total", "Pages that stopped answering and whose web process was ended.",
          hangs_);
  counter("web_process_crashes_total", "Web processes that ended unexpectedly.", crashes_);
  counter("give_ups_total",
          "Times the web process kept dying and the kiosk went back to the splash.", giveUps_);
  counter("idle_resets_total", "Returns to the splash after a quiet spell.", idleResets_);
  counter("memory_recycles_total",
          "Web processes started afresh at an idle reset because memory was over its limit.",
          memoryRecycles_);
  out.push_back(Single("settings_problems", "Settings refused at start.", TMetricType::Gauge,
                       settingsProblems_));

  TMetricFamily taps =
      Family("button_taps_total", "Taps on the pane's buttons, by button.", TMetricType::Counter);
  for (const auto& [button, count] : taps_) {
    taps.Samples.push_back({{{"button", button}}, static_cast<double>(count)});
  }
  out.push_back(std::move(taps));
  counter("visits_total", "Visits: from the first tap after the splash up to the return to it.",
          visits_);

  for (const TMemoryFigure& figure : memory_) {
    out.push_back(Single(figure.Name, figure.Help, TMetricType::Gauge, figure.Bytes));
  }
  return out;
}

std::optional<TFailureKind> FailureOfHttpStatus(int status) {
  if (status >= 400 && status <= 599) return TFailureKind::HttpError;
  return std::nullopt;
}

TFailureKind FailureOfNavigateError(std::int32_t status) {
  if (FailureOfHttpStatus(status)) return TFailureKind::HttpError;
  switch (static_cast<std::uint32_t>(status)) {
    case 0x800C0004:  // INET_E_CANNOT_CONNECT
      return TFailureKind::Refused;
    case 0x800C0005:  // INET_E_RESOURCE_NOT_FOUND: the name did not resolve
      return TFailureKind::UnknownHost;
    case 0x800C000B:  // INET_E_CONNECTION_TIMEOUT
      return TFailureKind::Timeout;
    default:
      return TFailureKind::Other;
  }
}

}  // namespace fw
