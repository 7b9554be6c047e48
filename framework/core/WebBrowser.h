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
  // Stops loading the page and running its scripts.
  virtual void Stop();
  // Removes everything browsing left in this user's browser storage. Throws, after removing
  // what it could, when something stays.
  virtual void ClearBrowsingData();
  // The program's own keyboard for the page's fields, where the platform has none; a
  // platform whose system keyboard serves the page ignores both.
  virtual void UseOnScreenKeyboard(bool) {}
  virtual void HideOnScreenKeyboard() {}
  virtual void AllowOnScreenKeyboard(bool) {}
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

  // Whether the program's keyboard serves the page's fields (off until asked for).
  void UseOnScreenKeyboard(bool use);
  void HideOnScreenKeyboard();
  // While not allowed the keyboard stays hidden, and a field that gets the focus brings none.
  void AllowOnScreenKeyboard(bool allowed);
  bool OnScreenKeyboardShown() const { return keyboardShown_; }
  // What the peer reports as the keyboard shows and hides.
  void KeyboardShownChanged(bool shown) { keyboardShown_ = shown; }

 private:
  BrowserPeer& Browser() const;
  bool keyboardShown_ = false;
};

}  // namespace fw
