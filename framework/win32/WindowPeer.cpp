#include "framework/win32/WindowPeer.h"

#include <windowsx.h>

#include <map>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "framework/core/Application.h"
#include "framework/core/CallbackBoundary.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Gestures.h"
#include "framework/core/StyleManager.h"
#include "framework/core/StyleRules.h"
#include "framework/win32/Errors.h"
#include "framework/win32/FontFaces.h"
#include "framework/win32/TouchGestureConfig.h"
#include "framework/win32/Unicode.h"
#include "framework/win32/WindowClasses.h"

namespace fw::win32 {

namespace {

// The windows this backend created, with their peers. Lookups go through this table only:
// a window handle is unique while the window lives, so no other process's window (nor any
// window's properties or user data) can pass for one of ours.
std::unordered_map<HWND, WindowPeer*>& Peers() {
  static std::unordered_map<HWND, WindowPeer*> peers;
  return peers;
}

}  // namespace

COLORREF WindowPeer::BackgroundColorRef() const {
  return ToColorRef(fw::BackgroundColorOf(control_, fw::TStyleManager::ActiveStyle()));
}

COLORREF ToColorRef(fw::TColor color) {
  return color.IsSystem() ? GetSysColor(color.SystemIndex()) : RGB(color.R(), color.G(), color.B());
}

WindowPeer::~WindowPeer() {
  // Messages sent while the window goes must not reach a half-destroyed peer.
  if (window_) Peers().erase(window_.get());
}

WindowPeer* WindowPeer::FromHandle(HWND window) {
  const auto found = Peers().find(window);
  return found == Peers().end() ? nullptr : found->second;
}

std::wstring WindowPeer::ClassName() const { return L"TControl"; }

DWORD WindowPeer::Style() const {
  return WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (control_.Visible() ? WS_VISIBLE : 0);
}

RECT WindowPeer::InitialRect() const {
  const fw::TBounds& b = control_.Bounds();
  return {b.Left, b.Top, b.Right(), b.Bottom()};
}

void WindowPeer::Create(HWND parent) {
  const std::wstring className = ClassName();
  baseProcedure_ =
      RegisterClassOnce(className, SystemClass(), Procedure, ClassIcon(false), ClassIcon(true));
  const RECT r = InitialRect();
  HWND window = CreateWindowExW(ExStyle(), className.c_str(), Widen(control_.Caption()).c_str(),
                                Style(), r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                nullptr, GetModuleHandleW(nullptr), this);
  if (!window)
    ThrowLastError([&] { return "Cannot create the window of '" + control_.Name() + "'"; });
  window_.reset(window);  // WM_NCCREATE has normally taken it already
  UpdateFont();
  // Where the system has no Text Input Panel this fails, and nothing takes its place; a
  // system that does not know the class will not learn it while the program runs.
  static bool panelClassMissing = false;
  if (fw::Application && fw::Application->TouchFirst() && AttachesTextInputPanel() &&
      !panelClassMissing) {
    const HRESULT created = CoCreateInstance(CLSID_TextInputPanel, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_ITextInputPanel, textInputPanel_.put_void());
    if (SUCCEEDED(created)) {
      textInputPanel_->put_AttachedEditWindow(window);
    } else if (created == REGDB_E_CLASSNOTREG) {
      panelClassMissing = true;
    }
  }
  Created();
}

LRESULT CALLBACK WindowPeer::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return AtCallbackBoundary<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_NCCREATE) {
      auto* peer =
          static_cast<WindowPeer*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      Peers()[window] = peer;
      peer->window_.reset(window);
    }
    if (WindowPeer* peer = FromHandle(window)) return peer->Dispatch(message, wParam, lParam);
    // Before WM_NCCREATE (WM_GETMINMAXINFO) and while the peer goes: the class's own procedure.
    return CallWindowProcW(BaseProcedureOf(window), window, message, wParam, lParam);
  });
}

LRESULT WindowPeer::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  // Every tap counts: the second press of a double click is a press like the first, for a
  // push button's command and for a stroke alike.
  if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) TrackStroke(message, lParam);
  // Another window took the mouse: the stroke is over, unrecognised.
  if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != window_.get())
    stroke_.Cancel();
  const LRESULT result = HandleMessage(message, wParam, lParam);
  if (message == WM_LBUTTONUP && GetCapture() == window_.get()) ReleaseCapture();
  if (message == WM_LBUTTONUP && ReleaseEndsStroke()) {
    const fw::TStrokeVerdict verdict = std::exchange(releaseVerdict_, fw::TStrokeVerdict::TooShort);
    const fw::TPoint at = stroke_.Samples().back();
    fw::Application->Guard([&] { fw::DispatchStroke(control_, verdict, at); });
  }
  return result;
}

void WindowPeer::TrackStroke(UINT message, LPARAM lParam) {
  if (!control_.TakesPartInGestures() || !fw::Application || !fw::Application->TouchFirst()) return;
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(window_.get(), &at);
  switch (message) {
    case WM_LBUTTONDOWN:
      stroke_.Press({at.x, at.y});
      SetCapture(window_.get());  // the stroke may leave the control
      break;
    case WM_MOUSEMOVE:
      stroke_.Move({at.x, at.y});
      break;
    case WM_LBUTTONUP:
      releaseVerdict_ = stroke_.Release({at.x, at.y});
      break;
  }
}

LRESULT WindowPeer::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(baseProcedure_, window_.get(), message, wParam, lParam);
}

LRESULT WindowPeer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // A child push button was clicked (by mouse, Space or Enter).
      if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
        if (WindowPeer* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
          fw::TControl& clicked = child->Control();
          fw::Application->Guard([&clicked] { clicked.Click(); });
          return 0;
        }
      }
      break;
    case WM_DRAWITEM: {
      // Owner-drawn children (styled push buttons) draw themselves.
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (WindowPeer* child = FromHandle(item->hwndItem)) {
        child->DrawItem(*item);
        return TRUE;
      }
      break;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_GESTURENOTIFY:
      // Set before the gesture starts; the notification then goes on up as usual.
      ConfigureTouchGestures(window_.get());
      break;
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window_.get(), &area);
      FillBackground(reinterpret_cast<HDC>(wParam), area);
      return 1;
    }
    case WM_NCDESTROY: {
      // The system destroyed the window (with its parent): forget it.
      HWND window = window_.release();
      Peers().erase(window);
      return CallWindowProcW(baseProcedure_, window, message, wParam, lParam);
    }
  }
  return Default(message, wParam, lParam);
}

void WindowPeer::FillBackground(HDC dc, const RECT& area) const {
  UniqueBrush brush(CreateSolidBrush(BackgroundColorRef()));
  FillRect(dc, &area, brush.get());
}

void WindowPeer::BoundsChanged() {
  const fw::TBounds& b = control_.Bounds();
  SetWindowPos(window_.get(), nullptr, b.Left, b.Top, b.Width, b.Height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowPeer::VisibleChanged() {
  ShowWindow(window_.get(), control_.Visible() ? SW_SHOWNA : SW_HIDE);
}

void WindowPeer::AppearanceChanged() {
  SetWindowTextW(window_.get(), Widen(control_.Caption()).c_str());
  UpdateFont();
  InvalidateRect(window_.get(), nullptr, TRUE);
}

void WindowPeer::UpdateFont() {
  const fw::TFont& f = control_.EffectiveFont();
  UniqueFont font = CreateFontOf(f, f.Height, kFallbackFontFace);
  if (!font) return;  // keep the previous font rather than none
  SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  font_ = std::move(font);
}

void WindowPeer::BringToFront() {
  SetWindowPos(window_.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowPeer::SetFocus() { ::SetFocus(window_.get()); }

bool WindowPeer::Focused() const { return window_ && GetFocus() == window_.get(); }

}  // namespace fw::win32
