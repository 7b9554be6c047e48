#pragma once

#include <optional>
#include <string>

#include "framework/core/Control.h"
#include "framework/core/NavigationAllowList.h"

namespace fw {

// What a browser backend's peer offers besides being a control's peer.
class BrowserPeer {
 public:
  virtual ~BrowserPeer() = default;
  // Starts loading `url` in place of the current page; throws EOleException on failure.
  virtual void Navigate(const std::string& url) = 0;
  // Stops loading the page and running its scripts.
  virtual void Stop();
  // Removes everything browsing left in this user's browser storage. Throws, after removing
  // what it could, when something stays.
  virtual void ClearBrowsingData();
};

// The embedded web browser. It takes part in no gesture: strokes inside belong to the page.
class TWebBrowser : public TWinControl {
 public:
  using TWinControl::TWinControl;
  TControlKind Kind() const override { return TControlKind::WebBrowser; }
  bool TabStop() const override { return true; }
  void Navigate(const std::string& url);
  // As before the first navigation: the page stopped and left for a blank document, and the
  // browser's storage cleared. Every step is tried; what failed is thrown afterwards, as one.
  void StartOver();
  // Locked down, a page leads the kiosk only where `allowed` says, and never out of the view
  // (no new window, file window, print or download): the backend's peer closes each route.
  void Lock(NavigationAllowList allowed) { lockdown_ = std::move(allowed); }
  const NavigationAllowList* Lockdown() const { return lockdown_ ? &*lockdown_ : nullptr; }

 private:
  BrowserPeer& Browser() const;
  std::optional<NavigationAllowList> lockdown_;
};

}  // namespace fw
