#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <utility>

#include "framework/win32/WebBrowserPeer.h"
#include "mainwindow/Unit12.h"

// What the control asks of its host, asked by a test as the control's document asks it: under
// Wine no page runs, so nothing asks by itself.
namespace testing_win32 {

inline fw::win32::WebBrowserPeer& Peer() {
  auto* peer = dynamic_cast<fw::win32::WebBrowserPeer*>(Form12->WebBrowser1->Peer());
  if (!peer || !peer->Events()) throw std::runtime_error("the browser control is not running");
  return *peer;
}

template <typename Interface>
fw::win32::ComPtr<Interface> SiteAs(REFIID iid) {
  fw::win32::ComPtr<IOleObject> object;
  fw::win32::ComPtr<IOleClientSite> site;
  fw::win32::ComPtr<Interface> wanted;
  if (FAILED(Peer().Browser()->QueryInterface(IID_IOleObject, object.put_void())) ||
      FAILED(object->GetClientSite(site.put())) ||
      FAILED(site->QueryInterface(iid, wanted.put_void()))) {
    throw std::runtime_error("the control's site offers no such interface");
  }
  return wanted;
}

// Runs once, a moment after it is set, from whatever loop dispatches the thread's messages: the
// page's dialog's own loop included.
class Later {
 public:
  explicit Later(std::function<void()> action, UINT milliseconds = 700) {
    action_ = std::move(action);
    id_ = SetTimer(nullptr, 0, milliseconds, Run);
  }
  ~Later() {
    KillTimer(nullptr, id_);
    action_ = nullptr;
  }
  Later(const Later&) = delete;
  Later& operator=(const Later&) = delete;

 private:
  static void CALLBACK Run(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (auto action = std::exchange(action_, nullptr)) action();
  }
  static inline std::function<void()> action_;
  UINT_PTR id_;
};

}  // namespace testing_win32
