#pragma once

#include <webkit2/webkit2.h>

#include <array>
#include <cstddef>
#include <string>

#include "framework/core/Application.h"
#include "framework/core/PageLoad.h"
#include "framework/core/WebBrowser.h"
#include "framework/gtk/BrowserEvents.h"
#include "framework/gtk/Handles.h"
#include "framework/gtk/MemberCallback.h"

namespace fw::gtk {

// Brings the web view's page back by itself: a hung page is ended, a dead web process
// replaced, a page that could not be reached loaded again, a load that never ends stopped.
// The page's load is the core's; this tells it the view's signals and carries out what it says.
class BrowserRecovery : private BrowserEvents::Listener {
 public:
  // Listens through `events`, which must outlive it.
  BrowserRecovery(fw::TWebBrowser& browser, WebKitWebView* view, BrowserEvents& events);
  ~BrowserRecovery();
  BrowserRecovery(const BrowserRecovery&) = delete;
  BrowserRecovery& operator=(const BrowserRecovery&) = delete;

  // The program is about to load an address: a hung page's process ends first, and a pending
  // retry is dropped.
  void ProgramNavigates(const std::string& uri);
  // A navigation under way is one this asked for, not the program's.
  bool CarryingOut() const { return carryingOut_; }
  void SettingsChanged();

 private:
  bool DecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) override;
  void LoadChanged(WebKitLoadEvent event) override;
  bool LoadFailed(const char* uri, GError* error) override;
  void ResponsivenessChanged(bool responsive) override;
  void ProcessTerminated(WebKitWebProcessTerminationReason reason) override;
  template <fw::TPageTimer timer>
  gboolean OnTimer();
  template <fw::TPageTimer timer>
  static constexpr GSourceFunc TimerCallback =
      MemberCallback<&BrowserRecovery::OnTimer<timer>, G_SOURCE_REMOVE>::Call;
  gboolean AskThePage();
  // No member: a dropped question is still answered, when the recovery may be gone.
  static void OnAnswer(GObject* view, GAsyncResult* result, gpointer self);
  // `error`: what failed, for a refusal's box.
  void Run(const fw::TPageCommands& commands, const GError* error = nullptr);
  void Carry(const fw::TPageCommand& command, const GError* error);
  SourceId& Timer(fw::TPageTimer timer) { return timers_[static_cast<std::size_t>(timer)]; }
  void ServerAnswered();
  void FailAsTimeout(const std::string& uri, std::chrono::seconds waited);
  // What the view shows now; the view may forget it with its process.
  std::string Shown() const;
  // A question still unanswered no longer counts: its page or process is gone.
  void DropQuestion();

  fw::TWebBrowser& browser_;
  WebKitWebView* view_;
  fw::TPageLoad load_;
  bool carryingOut_ = false;
  std::string failedAddress_;  // of the last load that failed, whose error page shows
  int errorPageSteps_ = 0;     // loads that end before the engine's error page has shown
  bool timingOut_ = false;     // the failure being reported is the program's load timeout
  std::array<SourceId, fw::PageTimerCount> timers_;  // by TPageTimer
  SourceId pageQuestions_;                           // while a page shows
  ObjectRef<GCancellable> question_;                 // the question the page has not answered yet
  bool questionHung_ = false;                        // the page was found hung by it
  fw::TApplication::TInputSubscription input_;
};

}  // namespace fw::gtk
