#include "mainwindow/Unit12Module_win.h"

#include "browser/u_LibIEInit.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/Control.h"
#include "framework/core/PopupMenu.h"
#include "framework/win32/ControlWindow.h"
#include "mainwindow/RightClickFilter.h"

namespace Unit12 {

HHOOK HMouseHook = nullptr;

LRESULT CALLBACK MouseProc(int nCode, WPARAM WP, LPARAM LP) {
  // The next hook always runs first, for discarded messages too; its result is cut to 32 bits.
  LRESULT Result = static_cast<std::int32_t>(CallNextHookEx(HMouseHook, nCode, WP, LP));
  if (nCode != HC_ACTION) return Result;
  // Nothing may escape into the system's hook chain: a failure passes the message on.
  return fw::AtCallbackBoundary(Result, [&] {
    const MOUSEHOOKSTRUCT MHS = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(LP);
    const HookedMouseMessage message = WP == WM_RBUTTONDOWN ? HookedMouseMessage::RightButtonDown
                                       : WP == WM_RBUTTONUP ? HookedMouseMessage::RightButtonUp
                                                            : HookedMouseMessage::Other;
    if (message == HookedMouseMessage::Other) return Result;
    fw::TControl* WC = fw::win32::FindControl(WindowFromPoint(MHS.pt));
    const RightClickDecision decision = DecideRightClick(true, message, WC);
    if (!decision.Discard) return Result;
    Result = 1;
    if (decision.ShowPopupMenu) {
      // A menu that fails still leaves the click discarded.
      try {
        WC->PopupMenu->PopupComponent = WC;
        WC->PopupMenu->Popup(MHS.pt.x, MHS.pt.y);
      } catch (...) {
        fw::ReportCurrentException();
      }
    }
    return Result;
  });
}

void Initialization() {
  u_LibIEInit::setEmbeddedWebbrowserMode(u_LibIEInit::TIEMode::iemIE11, "");
  HMouseHook =
      SetWindowsHookExW(WH_MOUSE, MouseProc, GetModuleHandleW(nullptr), GetCurrentThreadId());
}

}  // namespace Unit12
