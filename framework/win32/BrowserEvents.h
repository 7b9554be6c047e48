#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win32/Handles.h"

namespace fw::win32 {

// The browser control's events (DWebBrowserEvents2), heard once and passed to each listener
// in the order they listen: one that cancels a navigation comes before one that watches it.
class BrowserEvents {
 public:
  using Listener = std::function<void(DISPID id, DISPPARAMS& parameters)>;

  explicit BrowserEvents(IWebBrowser2* control);
  ~BrowserEvents();
  BrowserEvents(const BrowserEvents&) = delete;
  BrowserEvents& operator=(const BrowserEvents&) = delete;

  void Listen(Listener listener) { listeners_.push_back(std::move(listener)); }
  // What the control calls with its events.
  IDispatch* Sink() const;
  // Whether an event's frame argument is the control itself, not a frame inside its page.
  bool TopLevel(const VARIANT& frame) const;

 private:
  class Dispatcher;
  void Event(DISPID id, DISPPARAMS& parameters);

  ComPtr<IUnknown> identity_;  // the control's own IUnknown, to tell its frames from it
  ComPtr<Dispatcher> sink_;
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  std::vector<Listener> listeners_;
};

// An event's argument as sent, whether by value or by reference to a VARIANT.
const VARIANT& EventValue(const VARIANT& argument);
// A text argument; empty when it is none.
std::string EventText(const VARIANT& argument);
// An event's Cancel argument (a VARIANT_BOOL by reference), or nothing when it is none.
VARIANT_BOOL* EventCancel(const VARIANT& argument);

}  // namespace fw::win32
