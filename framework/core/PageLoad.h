#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "framework/core/CrashLimit.h"
#include "framework/core/HangRecovery.h"
#include "framework/core/LoadRetry.h"
#include "framework/core/Metrics.h"
#include "framework/core/WebBrowser.h"

namespace fw {

// The timers a page's load runs on; a backend keeps one of each.
enum class TPageTimer { Retry, LoadTimeout, Patience };
inline constexpr std::size_t PageTimerCount = 3;

// How the page's engine process went.
enum class TProcessEnd { Crashed, EndedByProgram };

// What the backend does for the page's load, in the order given.
struct TPageCommand {
  enum class TAction {
    Navigate,       // Address, through TWebBrowser::Navigate
    FailAsTimeout,  // stop the load under way, failed as unreachable after Delay
    StartTimer,     // Timer, after Delay; started again if it runs
    CancelTimer,    // Timer
    EndProcess,     // end the engine's web process; the next load starts another
    ShowRefusal,    // the message box of a navigate call for an address the engine refused
    GiveUp,         // TWebBrowser::OnGiveUp
    PageShown,      // TWebBrowser::OnPageShown(Address, ErrorPage)
  };
  TAction Action{};
  std::string Address{};
  TPageTimer Timer = TPageTimer::Retry;
  std::chrono::seconds Delay{};
  bool ErrorPage = false;
  bool operator==(const TPageCommand&) const = default;
};
using TPageCommands = std::vector<TPageCommand>;

// Carries out a command that is the browser's to report (GiveUp, PageShown) on `browser`; every
// other command is the backend's, and is left alone.
void ReportToBrowser(TWebBrowser& browser, const TPageCommand& command);

// The life of the browser's page: loads, their failures and retries, the load that never
// ends, a hung page and a dead engine process. A backend reports its engine's events and
// carries out the commands each returns; the rules are LoadRetry, HangRecovery and CrashLimit.
class TPageLoad {
 public:
  explicit TPageLoad(const TBrowserRecovery& settings);
  // Drops a pending retry: its wait was the old setting's.
  [[nodiscard]] TPageCommands SetRecovery(const TBrowserRecovery& settings);

  // What an operator watches is counted into `metrics` and logged (none: nothing is counted).
  void CountInto(TMetrics* metrics) { metrics_ = metrics; }

  // The program asks for `address` (not a navigation these commands asked for).
  [[nodiscard]] TPageCommands ProgramNavigates(const std::string& address);
  // A Navigate command could not be carried out.
  void NavigateFailed() { retryLoad_ = false; }
  // The main frame is headed for `address`, before its load starts.
  void Heading(const std::string& address) { goingTo_ = address; }
  // The main frame's load started, the program's, the page's or a retry; a non-empty
  // address is where it goes.
  [[nodiscard]] TPageCommands LoadStarted(const std::string& address = {});
  // `kind` is what the operator is told of it.
  [[nodiscard]] TPageCommands LoadFailed(const std::string& address, TLoadFailure failure,
                                         TFailureKind kind = TFailureKind::Other);
  // The server answered the main frame with `status`: an error status is no failure the
  // program recovers from, but one the operator is told of when the load ends.
  void ServerAnswered(int status) { status_ = status; }
  // The load's page has begun to arrive.
  void Committed();
  // The main frame's load has ended, with `address` shown unless it failed.
  [[nodiscard]] TPageCommands Finished(const std::string& address);
  // The engine's error page for a failed load has taken the screen.
  [[nodiscard]] TPageCommands ErrorPageShown(const std::string& address);
  [[nodiscard]] TPageCommands VisitorInput();
  [[nodiscard]] TPageCommands Unresponsive();
  [[nodiscard]] TPageCommands Responsive();
  // `shown`: the address the browser shows now, which a reload loads again.
  [[nodiscard]] TPageCommands ProcessGone(TProcessEnd end, const std::string& shown,
                                          TCrashLimit::Clock::time_point now);
  [[nodiscard]] TPageCommands TimerDue(TPageTimer timer, const std::string& shown);

  bool Running(TPageTimer timer) const { return running_[Index(timer)]; }

 private:
  static std::size_t Index(TPageTimer timer) { return static_cast<std::size_t>(timer); }
  void Start(TPageCommands& out, TPageTimer timer, std::chrono::seconds delay);
  void Cancel(TPageCommands& out, TPageTimer timer);
  void CancelRetry(TPageCommands& out);
  void RetryDue(TPageCommands& out);
  void PatienceOut(TPageCommands& out, const std::string& shown);
  void CountFailure(TFailureKind kind, const std::string& address);
  void CountHangEnded(const std::string& address);

  TBrowserRecovery settings_;
  TLoadRetry retry_;
  THangRecovery hang_;
  TCrashLimit crashes_;
  std::string goingTo_;
  bool programLoad_ = false;  // the load under way was asked for by the program
  bool failed_ = false;       // the last load ended in failure
  bool retryLoad_ = false;    // the next load to start is a retry
  TMetrics* metrics_ = nullptr;
  bool counted_ = false;  // the load under way was counted: a backend may report its end twice
  int status_ = 0;        // the server's answer to the load under way
  std::array<bool, 3> running_{};
};

}  // namespace fw
