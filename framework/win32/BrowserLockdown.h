#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/core/WebBrowser.h"
#include "framework/win32/BrowserEvents.h"

namespace fw::win32 {

// Keeps a locked kiosk's page inside the control: no new window (a tap's opens in the same
// control), no top-level navigation the allow list refuses, no download. Unlocked, it lets
// every event pass as the control's defaults have it.
class BrowserLockdown {
 public:
  using Navigate = std::function<void(const std::string& url)>;
  // Listens through `events`, which must outlive it; `navigate` opens an address in the
  // same control.
  BrowserLockdown(const fw::TWebBrowser& browser, BrowserEvents& events, Navigate navigate);

 private:
  void Event(DISPID id, DISPPARAMS& parameters);

  const fw::TWebBrowser& browser_;
  BrowserEvents& events_;
  Navigate navigate_;
};

}  // namespace fw::win32
