#include "framework/win32/Input.h"

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/KeyRouting.h"
#include "framework/core/WebBrowser.h"
#include "framework/win32/BrowserSite.h"
#include "framework/win32/ControlWindow.h"
#include "framework/win32/WebBrowserPeer.h"

namespace fw::win32 {

std::uint16_t VirtualKey(WPARAM wParam) { return static_cast<std::uint16_t>(wParam); }

fw::TShiftState ShiftStateOf(const MSG& message) {
  fw::TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= fw::ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= fw::ssCtrl;
  if (GetKeyState(VK_MENU) < 0 || message.message == WM_SYSKEYDOWN) shift |= fw::ssAlt;
  return shift;
}

namespace {

fw::TInputSource XButton(WPARAM wParam) {
  return fw::TInputSource::Button(GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? fw::kBackButton
                                                                         : fw::kForwardButton);
}

fw::TInputSource Contact(WPARAM wParam) {
  const UINT32 id = GET_POINTERID_WPARAM(wParam);
  POINTER_INPUT_TYPE type = PT_TOUCH;
  if (GetPointerType(id, &type) && type == PT_PEN) return fw::TInputSource::Pen(id);
  return fw::TInputSource::Touch(id);
}

}  // namespace

fw::TInputReport ClassifyInput(const MSG& m) {
  using fw::TInputEdge;
  using fw::TInputReport;
  using fw::TInputSource;
  switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return TInputReport::Edge(TInputEdge::Press, TInputSource::Key(VirtualKey(m.wParam)));
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return TInputReport::Edge(TInputEdge::Release, TInputSource::Key(VirtualKey(m.wParam)));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return TInputReport::Edge(TInputEdge::Press, TInputSource::Button(fw::kLeftButton));
    case WM_LBUTTONUP:
      return TInputReport::Edge(TInputEdge::Release, TInputSource::Button(fw::kLeftButton));
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return TInputReport::Edge(TInputEdge::Press, TInputSource::Button(fw::kRightButton));
    case WM_RBUTTONUP:
      return TInputReport::Edge(TInputEdge::Release, TInputSource::Button(fw::kRightButton));
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return TInputReport::Edge(TInputEdge::Press, TInputSource::Button(fw::kMiddleButton));
    case WM_MBUTTONUP:
      return TInputReport::Edge(TInputEdge::Release, TInputSource::Button(fw::kMiddleButton));
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
      return TInputReport::Edge(TInputEdge::Press, XButton(m.wParam));
    case WM_XBUTTONUP:
      return TInputReport::Edge(TInputEdge::Release, XButton(m.wParam));
    case WM_POINTERDOWN:
      return TInputReport::Edge(TInputEdge::Press, Contact(m.wParam));
    case WM_POINTERUP:
      return TInputReport::Edge(TInputEdge::Release, Contact(m.wParam));
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      return TInputReport::PointerAt({m.pt.x, m.pt.y});
    // On a window frame (a message box's) a press starts the system's own loop, which takes
    // the release: no hold.
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCXBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_POINTERUPDATE:
    case WM_TOUCH:
    case WM_GESTURE:
      return TInputReport::Edge(TInputEdge::Other);
  }
  return {};
}

bool RouteKey(MSG& message) {
  fw::TControl* focused = FindControl(message.hwnd);
  if (!focused) return false;
  // Inside the page (the browser control's own windows) keys belong to the browser.
  auto* browser = dynamic_cast<WebBrowserPeer*>(focused->Peer());
  const bool inPage = browser && message.hwnd != browser->Handle();
  const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  std::uint16_t key = VirtualKey(message.wParam);
  const bool consumed =
      fw::RouteKey(*focused, inPage, keyDown, key, ShiftStateOf(message), [&message, browser] {
        // Swallowed here too: not every version of the control asks its host before it acts.
        const auto& control = static_cast<const fw::TWebBrowser&>(browser->Control());
        if (SwallowsEngineWindowKey(message, control.Lockdown() != nullptr)) return true;
        IOleInPlaceActiveObject* active = browser->ActiveObject();
        return active && active->TranslateAccelerator(&message) == S_OK;
      });
  if (!consumed && keyDown && !inPage) message.wParam = key;
  return consumed;
}

LRESULT CALLBACK InputHook(int code, WPARAM removal, LPARAM message) {
  if (code == HC_ACTION && removal == PM_REMOVE && fw::Application) {
    auto& m = *reinterpret_cast<MSG*>(message);
    if (AtCallbackBoundary(false,
                           [&m] { return fw::DeliverInput(*fw::Application, ClassifyInput(m)); }))
      m.message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, removal, message);
}

}  // namespace fw::win32
