#pragma once

#include <windows.h>
#include <exdisp.h>

#include <chrono>
#include <string>

#include "framework/core/Application.h"
#include "framework/core/PageLoad.h"
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
// a load that never ends is stopped. The page's load is the core's; this tells it the control's
// events (DWebBrowserEvents2) and carries out what it says, with timers of the host window.
class BrowserRecovery {
 public:
  // Listens to the control's events through `events`, which must outlive it.
  BrowserRecovery(fw::TWebBrowser& browser, HWND window, IWebBrowser2* control,
                  BrowserEvents& events);
  BrowserRecovery(const BrowserRecovery&) = delete;
  BrowserRecovery& operator=(const BrowserRecovery&) = delete;

  void SettingsChanged();
  // The host window's WM_TIMER: true when the timer was one of these.
  bool TimerElapsed(UINT_PTR id);

 private:
  void Event(DISPID id, DISPPARAMS& parameters);
  void Run(const fw::TPageCommands& commands);
  void Carry(const fw::TPageCommand& command);
  WindowTimer& Timer(fw::TPageTimer timer);
  void FailAsTimeout(const std::string& url);
  bool LoadUnderWay() const;

  fw::TWebBrowser& browser_;
  BrowserEvents& events_;
  ComPtr<IWebBrowser2> control_;
  fw::TPageLoad load_;
  bool downloading_ = false;  // the control has begun to fetch since the load began
  WindowTimer retryTimer_;
  WindowTimer loadTimer_;
  WindowTimer patienceTimer_;
  fw::TApplication::TInputSubscription input_;
};

}  // namespace fw::win32
