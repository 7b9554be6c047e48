#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/MetricsExposition.h"

namespace fw {

// What the screen shows, for whoever watches the kiosk from afar.
enum class TScreenState { Splash, Page, ErrorPage, IdleWarning, GivenUp, DisplayOff };

// Why a page failed to load, as an operator tells the cases apart.
enum class TFailureKind { Refused, UnknownHost, Timeout, HttpError, Other };

// How a load the visitor asked for ended.
enum class TLoadOutcome { Loaded, Failed };

struct TMetricsInfo {
  std::string Version;
  std::string Platform;  // "linux", "windows"
  std::string Engine;    // the page engine and its version
};

// A memory figure of the backend's, in bytes: e.g. the process tree's proportional set size.
struct TMemoryFigure {
  std::string Name;  // after the prefix: "memory_pss_bytes"
  std::string Help;
  double Bytes = 0;
};

// The counts and states the program publishes for the fleet's monitoring. Only counts: no
// address, nothing typed, no time of a single tap. Every family has one prefix.
class TMetrics {
 public:
  using Clock = std::chrono::system_clock;
  static constexpr const char* Prefix = "duvuzezera_kiosk_";

  void SetInfo(TMetricsInfo info, Clock::time_point started);
  // The buttons of the pane, by the names their counts carry; each count starts at zero.
  void DeclareButtons(const std::vector<std::string>& buttons);

  // The screen shows a splash, a page, the engine's error page or the state after giving up;
  // the idle warning covers whichever it is while it shows.
  void Screen(TScreenState state);
  void IdleWarning(bool shown);
  // The display is switched off: that is what a passer-by sees, whatever is behind it.
  void DisplayOff(bool off);
  TScreenState Screen() const;

  // A visitor's tap on a pane button; the first after the splash starts a visit. A button
  // that opens a page becomes the one its loads are counted for.
  void Tapped(const std::string& button, bool opensPage);
  // The page engine reports how a load the visitor led to ended (loads under the splash do
  // not count); a page loaded whole sets the time of the last one.
  void LoadEnded(TLoadOutcome outcome, Clock::time_point now);
  void LoadFailed(TFailureKind kind);
  void Retried();
  void HangEnded();
  void WebProcessCrashed();
  void GaveUp();
  void IdleReset();
  // The engine's process or the program was started afresh to give memory back.
  void MemoryRecycled();
  void SettingsProblems(int count);

  // Neither is a change of state: they are written with the next file.
  void Heartbeat(Clock::time_point now) { heartbeat_ = now; }
  void SetMemory(std::vector<TMemoryFigure> figures) { memory_ = std::move(figures); }

  // Rises at every change of what the file holds, heartbeat and memory aside.
  std::uint64_t Changes() const { return changes_; }

  std::vector<TMetricFamily> Families() const;
  std::string Exposition() const { return FormatExposition(Families()); }

 private:
  void Changed() { ++changes_; }

  TMetricsInfo info_;
  Clock::time_point started_{};
  Clock::time_point heartbeat_{};
  std::optional<Clock::time_point> lastLoaded_;
  TScreenState screen_ = TScreenState::Splash;
  bool warning_ = false;
  bool displayOff_ = false;
  bool visiting_ = false;
  std::string button_;  // whose loads are counted; empty under the splash
  std::map<std::string, std::uint64_t> taps_;
  std::map<std::pair<std::string, TLoadOutcome>, std::uint64_t> loads_;
  std::map<TFailureKind, std::uint64_t> failures_;
  std::uint64_t visits_ = 0, retries_ = 0, hangs_ = 0, crashes_ = 0, giveUps_ = 0, idleResets_ = 0,
                memoryRecycles_ = 0;
  int settingsProblems_ = 0;
  std::vector<TMemoryFigure> memory_;
  std::uint64_t changes_ = 0;
};

// A failure of a load whose server answered with `status`; nothing for a page that loaded.
std::optional<TFailureKind> FailureOfHttpStatus(int status);

// The status a Windows browser control reports for a failed navigation (an HTTP status or an
// INET_E_ code), as a kind.
TFailureKind FailureOfNavigateError(std::int32_t status);

}  // namespace fw
