#pragma once

#include <string>

#include "framework/core/Control.h"

namespace fw {

// What a browser backend's peer offers besides being a control's peer.
class BrowserPeer {
 public:
  virtual ~BrowserPeer() = default;
  // Starts loading `url` in place of the current page; throws EOleException on failure.
  virtual void Navigate(const std::string& url) = 0;
};

// The embedded web browser. It takes part in no gesture: strokes inside belong to the page.
class TWebBrowser : public TWinControl {
 public:
  using TWinControl::TWinControl;
  bool TabStop() const override { return true; }
  void Navigate(const std::string& url);
};

}  // namespace fw
