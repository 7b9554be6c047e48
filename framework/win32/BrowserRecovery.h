#pragma once

#include <windows.h>
#include <exdisp.h>

#include <chrono>
#include <optional>
#include <string>

#include "framework/core/LoadRetry.h"
#include "framework/core/WebBrowser.h"
#include "framework/win32/BrowserEvents.h"
#include "framework/win32/Handles.h"

namespace fw::win32 {

// A timer of a window, from SetTimer to KillTimer; its ticks arrive as WM_TIMER with its id.
class WindowTimer {
 public:
  WindowTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
  ~WindowTimer() { Stop(); }
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;
  void Start(std::chrono::milliseconds delay);  // throws when the system has no timer left
  void Stop();
  UINT_PTR Id() const { return id_; }

 private:
  HWND window_;
  UINT_PTR id_;
  bool running_ = false;
};

// Brings the control's page back by itself: a page that could not be reached is loaded again,
// a load that never ends is stopped. The rules are the core's; this listens to the control's
// events (DWebBrowserEvents2) and carries out what the rules say, with timers of the host
// window.
class BrowserRecovery {
 public:
  // Listens to the control's events through `events`, which must outlive it.
  BrowserRecovery(fw::TWebBrowser& browser, HWND window, IWebBrowser2* control,
                  BrowserEvents& events);
  ~BrowserRecovery();
  BrowserRecovery(const BrowserRecovery&) = delete;
  BrowserRecovery& operator=(const BrowserRecovery&) = delete;

  void SettingsChanged();
  // The host window's WM_TIMER: true when the timer was one of these.
  bool TimerElapsed(UINT_PTR id);

 private:
  void Event(DISPID id, DISPPARAMS& parameters);
  void Starting(const std::string& url);
  void Failed(std::optional<fw::TLoadFailure> failure, const std::string& url);
  void Completed();
  void CancelRetry();
  // Counted for the operator.
  void CountLoaded(const std::string& url);
  void RetryDue();
  void LoadTimedOut();
  bool LoadUnderWay() const;

  fw::TWebBrowser& browser_;
  BrowserEvents& events_;
  ComPtr<IWebBrowser2> control_;
  fw::TLoadRetry retry_;
  std::string goingTo_;       // the address the top-level frame is loading
  bool failed_ = false;       // the load under way has failed
  bool retryLoad_ = false;    // the load under way is a retry
  bool downloading_ = false;  // the control has begun to fetch since the load began
  WindowTimer retryTimer_;
  WindowTimer loadTimer_;
};

}  // namespace fw::win32
