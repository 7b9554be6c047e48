#include "framework/win32/ControlWindow.h"

#include "framework/win32/WindowPeer.h"

namespace fw::win32 {

HWND WindowOf(const fw::TControl* control) {
  const auto* peer = control ? dynamic_cast<const WindowPeer*>(control->Peer()) : nullptr;
  return peer ? peer->Handle() : nullptr;
}

fw::TControl* FindControl(HWND window) {
  for (HWND w = window; w; w = GetParent(w)) {
    if (WindowPeer* peer = WindowPeer::FromHandle(w)) return &peer->Control();
  }
  return nullptr;
}

}  // namespace fw::win32
